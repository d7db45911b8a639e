// Fuzz test of the ZMBV codec. The first byte picks the pixel format and
// one of three modes:
//   0  the bytes are frames (two-byte length, then the frame) for the
//      decoder: every frame is taken or refused, never read or written
//      out of bounds, and a taken one writes in every layout;
//   1  the bytes describe pictures (a first picture, then edits: moves,
//      fills, palette changes, key frames) that go through the encoder and
//      must come out of the decoder unchanged;
//   2  as 1, with bytes of each encoded frame changed before decoding, so
//      that broken data reaches the decoder past zlib.
// Then a byte each for width and height.
#include "codec/ZmbvDecoder.h"
#include "codec/ZmbvEncoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool More() const { return at < size; }
    uint8_t Byte() { return at < size ? data[at++] : 0; }
};

constexpr ZmbvFormat kFormats[] = {ZmbvFormat::Pal8, ZmbvFormat::Rgb555, ZmbvFormat::Rgb565, ZmbvFormat::Bgr0};

ZmbvOutput SameLayout(ZmbvFormat format) {
    switch (format) {
    case ZmbvFormat::Pal8: return ZmbvOutput::Pal8;
    case ZmbvFormat::Rgb555: return ZmbvOutput::Rgb555;
    case ZmbvFormat::Rgb565: return ZmbvOutput::Rgb565;
    default: return ZmbvOutput::Bgr0;
    }
}

// Every layout the decoder writes, each into a buffer of exactly its size.
void WriteEveryLayout(const ZmbvDecoder& decoder, int width, int height) {
    const ZmbvOutput layouts[] = {ZmbvOutput::Pal8, ZmbvOutput::Rgb555, ZmbvOutput::Rgb565, ZmbvOutput::Bgr24,
                                  ZmbvOutput::Bgr0};
    const int bits[] = {8, 16, 16, 24, 32};
    for (int i = 0; i < 5; ++i) {
        const ptrdiff_t stride = DibStride(width, bits[i]);
        std::vector<uint8_t> out(size_t(stride) * size_t(height));
        // Bottom-up, as a DIB usually is.
        decoder.Write({out.data() + stride * (height - 1), -stride}, layouts[i]);
    }
}

void DecodeFrames(Reader& in, ZmbvFormat format, int width, int height) {
    ZmbvDecoder decoder;
    Check(decoder.Begin(width, height, BitsPerPixel(format)));
    while (in.More()) {
        size_t length = in.Byte();
        length |= size_t(in.Byte()) << 8;
        length = std::min(length, in.size - in.at);
        std::vector<uint8_t> frame(in.data + in.at, in.data + in.at + length);   // exact size for the sanitizer
        in.at += length;
        if (decoder.Decode(frame.data(), frame.size()) == ZmbvResult::Ok) WriteEveryLayout(decoder, width, height);
    }
}

// The next picture from the last: a block of it moved, filled or kept.
void Edit(Reader& in, std::vector<uint8_t>& picture, int width, int height, int bpp) {
    const int kind = in.Byte() % 4;
    const int x = in.Byte() % width, y = in.Byte() % height;
    const int w = 1 + in.Byte() % width, h = 1 + in.Byte() % height;
    const int dx = int8_t(in.Byte()) % 70, dy = int8_t(in.Byte()) % 70;
    const uint8_t value = in.Byte();
    const std::vector<uint8_t> before = picture;
    const size_t row = size_t(width) * bpp;
    for (int j = y; j < std::min(height, y + h); ++j) {
        for (int i = x; i < std::min(width, x + w); ++i) {
            uint8_t* to = picture.data() + size_t(j) * row + size_t(i) * bpp;
            const int sx = i - dx, sy = j - dy;
            for (int b = 0; b < bpp; ++b) {
                if (kind == 0) to[b] = value;
                else if (kind == 1 && sx >= 0 && sx < width && sy >= 0 && sy < height)
                    to[b] = before[size_t(sy) * row + size_t(sx) * bpp + b];
                else if (kind == 2) to[b] = uint8_t(value + i * 7 + j * 3 + b);
            }
        }
    }
}

void RoundTrip(Reader& in, ZmbvFormat format, int width, int height, bool corrupt) {
    const int bpp = BytesPerPixel(format);
    ZmbvEncoder encoder;
    ZmbvDecoder decoder;
    Check(encoder.Begin(width, height, format));
    Check(decoder.Begin(width, height, bpp * 8));
    std::vector<uint8_t> picture(size_t(width) * height * bpp);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = in.More() ? in.Byte() : uint8_t(i * 13);
    uint8_t palette[kZmbvPaletteBytes];
    for (int i = 0; i < kZmbvPaletteBytes; ++i) palette[i] = uint8_t(i * 5);
    std::vector<uint8_t> frame(encoder.MaxFrameBytes());
    bool trusted = true;   // false after a corrupted frame, until the next key frame
    for (int n = 0; n < 24 && (n == 0 || in.More()); ++n) {
        const uint8_t control = in.Byte();
        if (n > 0) Edit(in, picture, width, height, bpp);
        if (control & 1) palette[in.Byte() % kZmbvPaletteBytes] ^= in.Byte();
        const ZmbvEncoded encoded =
            encoder.Encode({picture.data(), ptrdiff_t(width) * bpp}, palette, control & 2, frame.data(), frame.size());
        Check(encoded.bytes > 0 && encoded.bytes <= frame.size());
        std::vector<uint8_t> data(frame.begin(), frame.begin() + ptrdiff_t(encoded.bytes));
        if (encoded.key) trusted = true;
        if (corrupt && (control & 4)) {
            data[in.Byte() % data.size()] ^= uint8_t(1 + in.Byte() % 255);
            if (control & 8) data.resize(in.Byte() % data.size());
            trusted = false;
        }
        const ZmbvResult result = decoder.Decode(data.data(), data.size());
        if (!trusted) {
            if (result == ZmbvResult::Ok) WriteEveryLayout(decoder, width, height);
            continue;
        }
        Check(result == ZmbvResult::Ok);
        std::vector<uint8_t> out(picture.size());
        Check(decoder.Write({out.data(), ptrdiff_t(width) * bpp}, SameLayout(format)));
        Check(out == picture);
        if (format == ZmbvFormat::Pal8) Check(std::memcmp(decoder.Palette(), palette, kZmbvPaletteBytes) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    Reader in{data, size};
    const uint8_t head = in.Byte();
    const ZmbvFormat format = kFormats[head & 3];
    const int mode = (head >> 2) % 3;
    const int width = 1 + in.Byte() % 100, height = 1 + in.Byte() % 100;
    if (mode == 0) DecodeFrames(in, format, width, height);
    else RoundTrip(in, format, width, height, mode == 2);
    return 0;
}
