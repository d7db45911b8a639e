#include "DriverFormats.h"

#include <cstdlib>
#include <cstring>

namespace {

// The three masks that follow a BI_BITFIELDS header (in the header itself
// for the V4 and V5 headers, at the same place).
void Masks(const BITMAPINFOHEADER* header, DWORD (&masks)[3]) {
    std::memcpy(masks, reinterpret_cast<const uint8_t*>(header) + sizeof(BITMAPINFOHEADER), sizeof masks);
}

bool HasMasks(const BITMAPINFOHEADER* header, DWORD red, DWORD green, DWORD blue) {
    DWORD masks[3];
    Masks(header, masks);
    return masks[0] == red && masks[1] == green && masks[2] == blue;
}

bool ReadSize(const BITMAPINFOHEADER* header, DibLayout& layout) {
    if (!header || header->biSize < sizeof(BITMAPINFOHEADER) || header->biPlanes > 1) return false;
    if (header->biWidth <= 0 || header->biHeight == 0 || header->biHeight == LONG(0x80000000)) return false;
    layout.width = header->biWidth;
    layout.height = std::abs(header->biHeight);
    layout.topDown = header->biHeight < 0;
    layout.bits = header->biBitCount;
    return ZmbvSizeFits(layout.width, layout.height, ZmbvFormat::Bgr0);
}

}  // namespace

bool ReadCompressInput(const BITMAPINFOHEADER* header, DibLayout& layout) {
    if (!ReadSize(header, layout)) return false;
    const DWORD compression = header->biCompression;
    switch (layout.bits) {
    case 8:
        if (compression != BI_RGB || header->biClrUsed > 256) return false;
        layout.format = ZmbvFormat::Pal8;
        layout.output = ZmbvOutput::Pal8;
        return true;
    case 16:
        if (compression == BI_RGB || (compression == BI_BITFIELDS && HasMasks(header, 0x7C00, 0x03E0, 0x001F))) {
            layout.format = ZmbvFormat::Rgb555;
            layout.output = ZmbvOutput::Rgb555;
            return true;
        }
        if (compression == BI_BITFIELDS && HasMasks(header, 0xF800, 0x07E0, 0x001F)) {
            layout.format = ZmbvFormat::Rgb565;
            layout.output = ZmbvOutput::Rgb565;
            return true;
        }
        return false;
    case 32:
        if (compression != BI_RGB && !(compression == BI_BITFIELDS && HasMasks(header, 0xFF0000, 0xFF00, 0xFF)))
            return false;
        layout.format = ZmbvFormat::Bgr0;
        layout.output = ZmbvOutput::Bgr0;
        return true;
    default:
        return false;
    }
}

bool ReadDecompressOutput(const BITMAPINFOHEADER* header, DibLayout& layout) {
    if (!ReadCompressInput(header, layout)) {
        if (!ReadSize(header, layout) || layout.bits != 24 || header->biCompression != BI_RGB) return false;
        layout.output = ZmbvOutput::Bgr24;
    }
    return true;
}

bool ReadCompressed(const BITMAPINFOHEADER* header, int& width, int& height, int& bits) {
    DibLayout layout;
    if (!ReadSize(header, layout)) return false;
    if (header->biCompression != kZmbvCode && header->biCompression != FourCC("zmbv"))
        return false;
    if (layout.bits != 8 && layout.bits != 16 && layout.bits != 32) return false;
    width = layout.width;
    height = layout.height;
    bits = layout.bits;
    return true;
}

DWORD ColourCount(const BITMAPINFOHEADER* header) {
    if (header->biBitCount != 8) return 0;
    return header->biClrUsed == 0 || header->biClrUsed > 256 ? 256 : header->biClrUsed;
}

void ReadPalette(const BITMAPINFOHEADER* header, uint8_t (&palette)[kZmbvPaletteBytes]) {
    std::memset(palette, 0, sizeof palette);
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(header) + header->biSize);
    const DWORD count = ColourCount(header);
    for (DWORD i = 0; i < count; ++i) {
        palette[3 * i] = table[i].rgbRed;
        palette[3 * i + 1] = table[i].rgbGreen;
        palette[3 * i + 2] = table[i].rgbBlue;
    }
}

PictureView InputRows(const void* bits, const DibLayout& layout) {
    const ptrdiff_t stride = DibStride(layout.width, layout.bits);
    const auto* base = static_cast<const uint8_t*>(bits);
    if (layout.topDown) return {base, stride};
    return {base + stride * (layout.height - 1), -stride};
}

MutablePictureView OutputRows(void* bits, const DibLayout& layout) {
    const PictureView view = InputRows(bits, layout);
    return {const_cast<uint8_t*>(view.top), view.stride};
}
