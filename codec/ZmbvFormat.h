// The facts of the ZMBV bitstream that the encoder and the decoder share:
// frame flags, the key-frame header, pixel formats and the block size.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint8_t kZmbvKeyFrame = 1;        // flag: a whole picture follows
constexpr uint8_t kZmbvPaletteChange = 2;   // flag, 8-bit inter frames: palette XOR first

constexpr uint8_t kZmbvMajorVersion = 0;
constexpr uint8_t kZmbvMinorVersion = 1;
constexpr uint8_t kZmbvStored = 0;          // payload as is
constexpr uint8_t kZmbvDeflated = 1;        // payload in one zlib stream across frames

constexpr int kZmbvKeyHeaderBytes = 7;      // flags, versions, compression, format, block size
constexpr int kZmbvPaletteBytes = 256 * 3;  // R, G, B per entry
constexpr int kZmbvBlockSize = 16;          // what we write; the decoder takes any 1..255
constexpr int kZmbvMaxVector = 63;          // vectors are -64..63 in both directions
constexpr int kZmbvMinVector = -64;

// The pixel formats as the key-frame header names them. Only these are
// written; 24 bits and below 8 bits are left to other codecs.
enum class ZmbvFormat : uint8_t {
    None = 0,
    Pal8 = 4,     // one byte per pixel, 256-colour palette
    Rgb555 = 5,   // 16-bit word: x RRRRR GGGGG BBBBB
    Rgb565 = 6,   // 16-bit word: RRRRR GGGGGG BBBBB
    Bgr0 = 8,     // bytes B, G, R, unused (a 32-bit DIB)
};

constexpr int BytesPerPixel(ZmbvFormat format) {
    switch (format) {
    case ZmbvFormat::Pal8: return 1;
    case ZmbvFormat::Rgb555:
    case ZmbvFormat::Rgb565: return 2;
    case ZmbvFormat::Bgr0: return 4;
    default: return 0;
    }
}

constexpr int BitsPerPixel(ZmbvFormat format) { return BytesPerPixel(format) * 8; }

// Pictures larger than this are refused: it keeps every size computation
// far from overflow, in 32-bit processes too.
constexpr int kZmbvMaxSide = 16384;
constexpr int64_t kZmbvMaxPictureBytes = int64_t{1} << 28;

inline bool ZmbvSizeFits(int width, int height, ZmbvFormat format) {
    if (width < 1 || height < 1 || width > kZmbvMaxSide || height > kZmbvMaxSide) return false;
    return BytesPerPixel(format) != 0 &&
           int64_t{width} * height * BytesPerPixel(format) <= kZmbvMaxPictureBytes;
}

// Blocks across and down for a block size (edge blocks are cut).
inline int BlockCount(int side, int block) { return (side + block - 1) / block; }

// The vector pairs area: two bytes per block, padded to a multiple of four.
inline size_t VectorAreaBytes(int blocksX, int blocksY) {
    const size_t pairs = size_t(blocksX) * size_t(blocksY) * 2;
    return (pairs + 3) & ~size_t{3};
}

// A view of a caller's picture: the top row and the step from one row to
// the one below it (negative for a bottom-up DIB).
struct PictureView {
    const uint8_t* top = nullptr;
    ptrdiff_t stride = 0;
    const uint8_t* Row(int y) const { return top + stride * y; }
};

struct MutablePictureView {
    uint8_t* top = nullptr;
    ptrdiff_t stride = 0;
    uint8_t* Row(int y) const { return top + stride * y; }
};

// A DIB's rows are padded to four bytes.
inline ptrdiff_t DibStride(int width, int bitsPerPixel) {
    return ptrdiff_t((int64_t{width} * bitsPerPixel + 31) / 32 * 4);
}
