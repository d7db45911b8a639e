#include "ZmbvDriver.h"

#include "DriverFormats.h"
#include "ZmbvDecoder.h"
#include "ZmbvEncoder.h"

#include <mmsystem.h>
#include <vfw.h>

#include <cstring>
#include <new>

namespace {

constexpr DWORD kDefaultKeyFrameRate = 300;
constexpr wchar_t kShortName[] = L"ZMBV";
constexpr wchar_t kDescription[] = L"Velmorax Screen Codec (ZMBV)";

// Everything one ICOpen owns; the driver id is its address.
struct Instance {
    DWORD quality = ICQUALITY_HIGH;

    ZmbvEncoder encoder;
    DibLayout input;
    // 8 bits: the palette frames are compressed with, and the colour table
    // the frames' own header had last. Wine's compressed stream announces a
    // new palette with a new ICM_COMPRESS_BEGIN but goes on passing its
    // first header with every frame; a frame header whose table changes is
    // a new palette too.
    uint8_t palette[kZmbvPaletteBytes] = {};
    uint8_t framePalette[kZmbvPaletteBytes] = {};
    bool framePaletteSeen = false;

    ZmbvDecoder decoder;
    DibLayout output;
    int streamBits = 0;
};

LRESULT GetInfo(ICINFO* info, DWORD size) {
    if (!info) return sizeof(ICINFO);
    if (size < sizeof(ICINFO)) return 0;
    std::memset(info, 0, sizeof(ICINFO));
    info->dwSize = sizeof(ICINFO);
    info->fccType = ICTYPE_VIDEO;
    info->fccHandler = kZmbvCode;
    info->dwFlags = VIDCF_TEMPORAL | VIDCF_FASTTEMPORALC | VIDCF_FASTTEMPORALD;
    info->dwVersion = 0x00010000;
    info->dwVersionICM = ICVERSION;
    std::memcpy(info->szName, kShortName, sizeof kShortName);
    std::memcpy(info->szDescription, kDescription, sizeof kDescription);
    return sizeof(ICINFO);
}

// ----- Compression -----

// The compressed format of a capture format; with an 8-bit one, its colour
// table goes along so that the stream's format carries the first palette.
LRESULT CompressGetFormat(const BITMAPINFOHEADER* in, BITMAPINFOHEADER* out) {
    DibLayout layout;
    if (!ReadCompressInput(in, layout)) return ICERR_BADFORMAT;
    const DWORD colours = ColourCount(in);
    const LRESULT size = LRESULT(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    if (!out) return size;
    std::memset(out, 0, sizeof(BITMAPINFOHEADER));
    out->biSize = sizeof(BITMAPINFOHEADER);
    out->biWidth = layout.width;
    out->biHeight = layout.height;
    out->biPlanes = 1;
    out->biBitCount = WORD(layout.bits);
    out->biCompression = kZmbvCode;
    out->biSizeImage = DWORD(ZmbvEncoder::FrameBound(layout.width, layout.height, layout.format));
    out->biClrUsed = colours;
    if (colours)
        std::memcpy(reinterpret_cast<uint8_t*>(out) + sizeof(BITMAPINFOHEADER),
                    reinterpret_cast<const uint8_t*>(in) + in->biSize, colours * sizeof(RGBQUAD));
    return ICERR_OK;
}

LRESULT CompressQuery(const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out) {
    DibLayout layout;
    if (!ReadCompressInput(in, layout)) return ICERR_BADFORMAT;
    if (!out) return ICERR_OK;
    int width = 0, height = 0, bits = 0;
    if (!ReadCompressed(out, width, height, bits)) return ICERR_BADFORMAT;
    return width == layout.width && height == layout.height && bits == layout.bits ? ICERR_OK : ICERR_BADFORMAT;
}

LRESULT CompressGetSize(const BITMAPINFOHEADER* in) {
    DibLayout layout;
    if (!ReadCompressInput(in, layout)) return 0;
    return LRESULT(ZmbvEncoder::FrameBound(layout.width, layout.height, layout.format));
}

LRESULT CompressBegin(Instance& instance, const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out) {
    if (CompressQuery(in, out) != ICERR_OK) return ICERR_BADFORMAT;
    ReadCompressInput(in, instance.input);
    ReadPalette(in, instance.palette);
    if (!instance.framePaletteSeen) std::memcpy(instance.framePalette, instance.palette, kZmbvPaletteBytes);
    instance.framePaletteSeen = true;
    return instance.encoder.Begin(instance.input.width, instance.input.height, instance.input.format)
               ? ICERR_OK
               : ICERR_MEMORY;
}

bool SameSize(const DibLayout& a, const DibLayout& b) {
    return a.width == b.width && a.height == b.height && a.bits == b.bits && a.format == b.format;
}

LRESULT Compress(Instance& instance, ICCOMPRESS* c) {
    if (!c || !c->lpbiInput || !c->lpInput || !c->lpbiOutput || !c->lpOutput) return ICERR_BADPARAM;
    if (!instance.encoder.Begun()) return ICERR_ERROR;
    DibLayout layout;
    if (!ReadCompressInput(c->lpbiInput, layout) || !SameSize(layout, instance.input)) return ICERR_BADFORMAT;
    uint8_t palette[kZmbvPaletteBytes];
    ReadPalette(c->lpbiInput, palette);
    if (std::memcmp(palette, instance.framePalette, kZmbvPaletteBytes) != 0) {
        std::memcpy(instance.framePalette, palette, kZmbvPaletteBytes);
        std::memcpy(instance.palette, palette, kZmbvPaletteBytes);
    }

    // The caller asks for key frames at its interval (and the encoder adds
    // one at the start); the caller's buffer is as large as
    // ICM_COMPRESS_GET_SIZE said. The input is a whole picture: the message
    // has no size to check it against.
    const ZmbvEncoded frame = instance.encoder.Encode(InputRows(c->lpInput, layout), instance.palette,
                                                      (c->dwFlags & ICCOMPRESS_KEYFRAME) != 0,
                                                      static_cast<uint8_t*>(c->lpOutput),
                                                      instance.encoder.MaxFrameBytes());
    if (frame.bytes == 0) return ICERR_INTERNAL;
    c->lpbiOutput->biSizeImage = DWORD(frame.bytes);
    if (c->lpdwFlags) *c->lpdwFlags = frame.key ? AVIIF_KEYFRAME : 0;
    return ICERR_OK;
}

// ----- Decompression -----

LRESULT DecompressQuery(const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out) {
    int width = 0, height = 0, bits = 0;
    if (!ReadCompressed(in, width, height, bits)) return ICERR_BADFORMAT;
    if (!out) return ICERR_OK;
    DibLayout layout;
    if (!ReadDecompressOutput(out, layout) || layout.width != width || layout.height != height) return ICERR_BADFORMAT;
    // An 8-bit picture only from an 8-bit stream; 16 and 32 bits from their
    // own depth; 24 and 32 bits from any stream.
    const bool fits = layout.bits == bits || layout.bits == 24 || layout.bits == 32;
    return fits ? ICERR_OK : ICERR_BADFORMAT;
}

// The stream's own depth as a DIB, with the stream format's colour table.
LRESULT DecompressGetFormat(const BITMAPINFOHEADER* in, BITMAPINFOHEADER* out) {
    int width = 0, height = 0, bits = 0;
    if (!ReadCompressed(in, width, height, bits)) return ICERR_BADFORMAT;
    const DWORD colours = bits == 8 ? 256 : 0;
    const LRESULT size = LRESULT(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    if (!out) return size;
    std::memset(out, 0, size_t(size));
    out->biSize = sizeof(BITMAPINFOHEADER);
    out->biWidth = width;
    out->biHeight = height;
    out->biPlanes = 1;
    out->biBitCount = WORD(bits);
    out->biCompression = BI_RGB;
    out->biSizeImage = DWORD(DibStride(width, bits) * height);
    out->biClrUsed = colours;
    if (colours) {
        const DWORD given = in->biBitCount == 8 ? ColourCount(in) : 0;
        std::memcpy(reinterpret_cast<uint8_t*>(out) + sizeof(BITMAPINFOHEADER),
                    reinterpret_cast<const uint8_t*>(in) + in->biSize, given * sizeof(RGBQUAD));
    }
    return ICERR_OK;
}

LRESULT DecompressBegin(Instance& instance, const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out) {
    if (!out || DecompressQuery(in, out) != ICERR_OK) return ICERR_BADFORMAT;
    int width = 0, height = 0;
    ReadCompressed(in, width, height, instance.streamBits);
    ReadDecompressOutput(out, instance.output);
    return instance.decoder.Begin(width, height, instance.streamBits) ? ICERR_OK : ICERR_MEMORY;
}

LRESULT Decompress(Instance& instance, const ICDECOMPRESS* d) {
    if (!d || !d->lpbiInput || !d->lpbiOutput || !d->lpOutput) return ICERR_BADPARAM;
    int width = 0, height = 0, bits = 0;
    DibLayout layout;
    if (!ReadCompressed(d->lpbiInput, width, height, bits) || !ReadDecompressOutput(d->lpbiOutput, layout))
        return ICERR_BADFORMAT;
    if (layout.width != instance.output.width || layout.height != instance.output.height ||
        layout.bits != instance.output.bits || layout.output != instance.output.output || bits != instance.streamBits)
        return ICERR_BADFORMAT;
    const size_t size = (d->dwFlags & ICDECOMPRESS_NULLFRAME) || !d->lpInput ? 0 : d->lpbiInput->biSizeImage;
    if (instance.decoder.Decode(static_cast<const uint8_t*>(d->lpInput), size) != ZmbvResult::Ok)
        return ICERR_BADFORMAT;
    if (d->dwFlags & ICDECOMPRESS_HURRYUP) return ICERR_OK;
    return instance.decoder.Write(OutputRows(d->lpOutput, layout), layout.output) ? ICERR_OK : ICERR_BADFORMAT;
}

LRESULT InstanceMessage(Instance& instance, UINT message, LPARAM p1, LPARAM p2) {
    const auto* in = reinterpret_cast<const BITMAPINFOHEADER*>(p1);
    auto* out = reinterpret_cast<BITMAPINFOHEADER*>(p2);
    switch (message) {
    case ICM_GETINFO: return GetInfo(reinterpret_cast<ICINFO*>(p1), DWORD(p2));
    case ICM_GETSTATE:
    case ICM_SETSTATE: return 0;   // nothing to configure
    case ICM_CONFIGURE:
    case ICM_ABOUT: return ICERR_UNSUPPORTED;
    case ICM_GETDEFAULTQUALITY:
        if (!p1) return ICERR_BADPARAM;
        *reinterpret_cast<DWORD*>(p1) = ICQUALITY_HIGH;
        return ICERR_OK;
    case ICM_GETQUALITY:
        if (!p1) return ICERR_BADPARAM;
        *reinterpret_cast<DWORD*>(p1) = instance.quality;
        return ICERR_OK;
    case ICM_SETQUALITY:   // lossless: taken, changes nothing
        instance.quality = DWORD(p1);
        return ICERR_OK;
    case ICM_GETDEFAULTKEYFRAMERATE:
        if (!p1) return ICERR_BADPARAM;
        *reinterpret_cast<DWORD*>(p1) = kDefaultKeyFrameRate;
        return ICERR_OK;
    case ICM_COMPRESS_FRAMES_INFO: return ICERR_OK;   // key frames come with each frame's flags
    case ICM_COMPRESS_QUERY: return CompressQuery(in, out);
    case ICM_COMPRESS_GET_FORMAT: return CompressGetFormat(in, out);
    case ICM_COMPRESS_GET_SIZE: return CompressGetSize(in);
    case ICM_COMPRESS_BEGIN: return CompressBegin(instance, in, out);
    case ICM_COMPRESS_END:
        instance.encoder.End();
        return ICERR_OK;
    case ICM_COMPRESS: return Compress(instance, reinterpret_cast<ICCOMPRESS*>(p1));
    case ICM_DECOMPRESS_QUERY: return DecompressQuery(in, out);
    case ICM_DECOMPRESS_GET_FORMAT: return DecompressGetFormat(in, out);
    case ICM_DECOMPRESS_BEGIN: return DecompressBegin(instance, in, out);
    case ICM_DECOMPRESS_END:
        instance.decoder.End();
        return ICERR_OK;
    case ICM_DECOMPRESS: return Decompress(instance, reinterpret_cast<const ICDECOMPRESS*>(p1));
    default: return ICERR_UNSUPPORTED;
    }
}

// The driver manager may open without ICOPEN (to configure): an instance
// all the same, since the id must not be 0. Drawing is not offered.
LRESULT Open(ICOPEN* open) {
    if (open && open->fccType != ICTYPE_VIDEO && open->fccType != 0) return 0;
    if (open && (open->dwFlags & ICMODE_DRAW)) return 0;
    auto* instance = new (std::nothrow) Instance;
    if (open) open->dwError = instance ? ICERR_OK : ICERR_MEMORY;
    return reinterpret_cast<LRESULT>(instance);
}

}  // namespace

extern "C" LRESULT CALLBACK ZmbvDriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM p1, LPARAM p2) {
    try {
        switch (message) {
        case DRV_LOAD:
        case DRV_FREE:
        case DRV_ENABLE:
        case DRV_DISABLE: return 1;
        case DRV_OPEN: return Open(reinterpret_cast<ICOPEN*>(p2));
        case DRV_CLOSE:
            delete reinterpret_cast<Instance*>(id);
            return 1;
        case DRV_QUERYCONFIGURE: return 0;
        case DRV_CONFIGURE: return DRVCNF_OK;
        case DRV_INSTALL:
        case DRV_REMOVE: return DRVCNF_OK;
        default: break;
        }
        if (message < DRV_USER) return DefDriverProc(id, driver, message, p1, p2);
        if (!id) return ICERR_BADHANDLE;
        return InstanceMessage(*reinterpret_cast<Instance*>(id), message, p1, p2);
    } catch (...) {
        return ICERR_MEMORY;   // std::bad_alloc is the only thing thrown
    }
}
