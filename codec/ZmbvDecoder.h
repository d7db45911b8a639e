// The ZMBV decoder, for our own decompressor: every frame is checked
// against the picture size before a byte of it is used, and a frame that
// does not fit is refused without touching the picture held.
#pragma once

#include "ZmbvFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

enum class ZmbvResult {
    Ok,
    NotReady,    // not begun, or no key frame since the start or since a refused frame
    Malformed,   // refused: the frame does not fit the picture or the stream
};

// The pixel layouts a decoded picture can be written in.
enum class ZmbvOutput { Pal8, Rgb555, Rgb565, Bgr24, Bgr0 };

class ZmbvDecoder {
public:
    ZmbvDecoder();
    ~ZmbvDecoder();
    ZmbvDecoder(const ZmbvDecoder&) = delete;
    ZmbvDecoder& operator=(const ZmbvDecoder&) = delete;

    // Frames of this size with 8, 16 (555 or 565, as the key frames say) or
    // 32 bits per pixel; false when not taken or memory is short.
    bool Begin(int width, int height, int bitsPerPixel);
    void End();

    // One frame as stored in the file; an empty frame repeats the picture.
    ZmbvResult Decode(const uint8_t* data, size_t size);

    // The stream's pixel format (from the last key frame; None before it).
    ZmbvFormat Format() const { return format_; }
    const uint8_t* Palette() const { return palette_.data(); }   // 256 R, G, B

    // Writes the picture in a layout; Pal8 only from an 8-bit stream.
    bool Write(const MutablePictureView& out, ZmbvOutput layout) const;

private:
    struct Inflater;
    ZmbvResult DecodeKey(const uint8_t* data, size_t size);
    ZmbvResult DecodeInter(const uint8_t* data, size_t size);
    bool Unpack(const uint8_t* data, size_t size, size_t& unpacked);
    void CopyBlock(int x0, int y0, int w, int h, int dx, int dy);

    std::unique_ptr<Inflater> inflater_;
    int width_ = 0, height_ = 0, bits_ = 0, bpp_ = 0;
    size_t rowBytes_ = 0;
    ZmbvFormat format_ = ZmbvFormat::None;
    bool synced_ = false;
    uint8_t compression_ = kZmbvDeflated;
    int blockWidth_ = kZmbvBlockSize, blockHeight_ = kZmbvBlockSize;

    std::vector<uint8_t> picture_;   // top-down, no row padding
    std::vector<uint8_t> next_;      // the picture being built
    std::vector<uint8_t> unpacked_;  // one frame's payload
    std::array<uint8_t, kZmbvPaletteBytes> palette_{};
};
