#include "ZmbvDecoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

struct ZmbvDecoder::Inflater {
    z_stream stream{};
    bool ready = false;
    ~Inflater() {
        if (ready) inflateEnd(&stream);
    }
};

ZmbvDecoder::ZmbvDecoder() = default;
ZmbvDecoder::~ZmbvDecoder() = default;

bool ZmbvDecoder::Begin(int width, int height, int bitsPerPixel) {
    End();
    const ZmbvFormat widest = bitsPerPixel == 8 ? ZmbvFormat::Pal8 : bitsPerPixel == 16 ? ZmbvFormat::Rgb565
                              : bitsPerPixel == 32 ? ZmbvFormat::Bgr0 : ZmbvFormat::None;
    if (!ZmbvSizeFits(width, height, widest)) return false;
    try {
        width_ = width;
        height_ = height;
        bits_ = bitsPerPixel;
        bpp_ = bitsPerPixel / 8;
        rowBytes_ = size_t(width) * size_t(bpp_);
        picture_.assign(rowBytes_ * size_t(height), 0);
        next_.assign(picture_.size(), 0);
        inflater_ = std::make_unique<Inflater>();
        if (inflateInit(&inflater_->stream) != Z_OK) {
            End();
            return false;
        }
        inflater_->ready = true;
    } catch (const std::bad_alloc&) {
        End();
        return false;
    }
    return true;
}

void ZmbvDecoder::End() {
    inflater_.reset();
    picture_ = {};
    next_ = {};
    unpacked_ = {};
    width_ = height_ = bits_ = bpp_ = 0;
    format_ = ZmbvFormat::None;
    synced_ = false;
    palette_.fill(0);
}

ZmbvResult ZmbvDecoder::Decode(const uint8_t* data, size_t size) {
    if (!inflater_) return ZmbvResult::NotReady;
    if (size == 0) return synced_ ? ZmbvResult::Ok : ZmbvResult::NotReady;
    if (!data) return ZmbvResult::Malformed;
    const ZmbvResult result = (data[0] & kZmbvKeyFrame) ? DecodeKey(data, size) : DecodeInter(data, size);
    if (result != ZmbvResult::Ok) synced_ = false;   // the stream can only go on from the next key frame
    return result;
}

// The frame's payload into unpacked_; false when it is not a valid
// continuation of the stream or would be larger than any frame can be.
bool ZmbvDecoder::Unpack(const uint8_t* data, size_t size, size_t& unpacked) {
    const size_t capacity = unpacked_.size();   // one byte more than the largest payload
    if (compression_ == kZmbvStored) {
        if (size >= capacity) return false;
        if (size) std::memcpy(unpacked_.data(), data, size);
        unpacked = size;
        return true;
    }
    if (size == 0) {
        unpacked = 0;
        return true;
    }
    if (size > 0xFFFFFFFFu) return false;
    z_stream& stream = inflater_->stream;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = unpacked_.data();
    stream.avail_out = static_cast<uInt>(capacity);
    const int result = inflate(&stream, Z_SYNC_FLUSH);
    unpacked = capacity - stream.avail_out;
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return false;
    return stream.avail_in == 0 && unpacked < capacity;
}

ZmbvResult ZmbvDecoder::DecodeKey(const uint8_t* data, size_t size) {
    if (size < kZmbvKeyHeaderBytes) return ZmbvResult::Malformed;
    const uint8_t compression = data[3];
    const auto format = static_cast<ZmbvFormat>(data[4]);
    const int blockWidth = data[5], blockHeight = data[6];
    if (data[1] != kZmbvMajorVersion || data[2] != kZmbvMinorVersion || compression > kZmbvDeflated)
        return ZmbvResult::Malformed;
    if (BitsPerPixel(format) != bits_ || blockWidth == 0 || blockHeight == 0) return ZmbvResult::Malformed;

    const size_t palette = format == ZmbvFormat::Pal8 ? kZmbvPaletteBytes : 0;
    const size_t area = VectorAreaBytes(BlockCount(width_, blockWidth), BlockCount(height_, blockHeight));
    try {
        unpacked_.resize(palette + area + picture_.size() + 1);
    } catch (const std::bad_alloc&) {
        return ZmbvResult::Malformed;
    }
    compression_ = compression;
    if (compression == kZmbvDeflated && inflateReset(&inflater_->stream) != Z_OK) return ZmbvResult::Malformed;
    size_t unpacked = 0;
    if (!Unpack(data + kZmbvKeyHeaderBytes, size - kZmbvKeyHeaderBytes, unpacked)) return ZmbvResult::Malformed;
    if (unpacked != palette + picture_.size()) return ZmbvResult::Malformed;

    if (palette) std::memcpy(palette_.data(), unpacked_.data(), palette);
    std::memcpy(picture_.data(), unpacked_.data() + palette, picture_.size());
    format_ = format;
    blockWidth_ = blockWidth;
    blockHeight_ = blockHeight;
    synced_ = true;
    return ZmbvResult::Ok;
}

ZmbvResult ZmbvDecoder::DecodeInter(const uint8_t* data, size_t size) {
    if (!synced_) return ZmbvResult::NotReady;
    size_t unpacked = 0;
    if (!Unpack(data + 1, size - 1, unpacked)) return ZmbvResult::Malformed;
    if (unpacked == 0) return ZmbvResult::Ok;   // the same picture again

    const uint8_t* in = unpacked_.data();
    const uint8_t* const end = in + unpacked;
    std::array<uint8_t, kZmbvPaletteBytes> palette = palette_;
    if ((data[0] & kZmbvPaletteChange) && format_ == ZmbvFormat::Pal8) {
        if (end - in < kZmbvPaletteBytes) return ZmbvResult::Malformed;
        for (int i = 0; i < kZmbvPaletteBytes; ++i) palette[i] ^= in[i];
        in += kZmbvPaletteBytes;
    }
    const int blocksX = BlockCount(width_, blockWidth_), blocksY = BlockCount(height_, blockHeight_);
    const size_t area = VectorAreaBytes(blocksX, blocksY);
    if (size_t(end - in) < area) return ZmbvResult::Malformed;
    const uint8_t* pairs = in;
    in += area;

    for (int by = 0; by < blocksY; ++by) {
        const int y0 = by * blockHeight_, h = std::min(blockHeight_, height_ - y0);
        for (int bx = 0; bx < blocksX; ++bx) {
            const int x0 = bx * blockWidth_, w = std::min(blockWidth_, width_ - x0);
            const size_t block = size_t(by) * size_t(blocksX) + size_t(bx);
            const auto first = static_cast<int8_t>(pairs[2 * block]);
            const auto second = static_cast<int8_t>(pairs[2 * block + 1]);
            CopyBlock(x0, y0, w, h, first >> 1, second >> 1);
            if (!(first & 1)) continue;
            const size_t bytes = size_t(w) * size_t(bpp_);
            if (size_t(end - in) < bytes * size_t(h)) return ZmbvResult::Malformed;
            for (int r = 0; r < h; ++r, in += bytes) {
                uint8_t* row = next_.data() + size_t(y0 + r) * rowBytes_ + size_t(x0) * size_t(bpp_);
                for (size_t i = 0; i < bytes; ++i) row[i] ^= in[i];
            }
        }
    }
    picture_.swap(next_);
    palette_ = palette;
    return ZmbvResult::Ok;
}

// The block at (x0, y0) from the picture at (x0 + dx, y0 + dy) into next_;
// what lies outside the picture reads as 0.
void ZmbvDecoder::CopyBlock(int x0, int y0, int w, int h, int dx, int dy) {
    const int sx = x0 + dx;
    const int left = std::clamp(-sx, 0, w);                      // pixels left of the picture
    const int inside = std::max(0, std::min(sx + w, width_) - std::max(sx, 0));
    const size_t bpp = size_t(bpp_);
    for (int r = 0; r < h; ++r) {
        uint8_t* row = next_.data() + size_t(y0 + r) * rowBytes_ + size_t(x0) * bpp;
        const int sy = y0 + r + dy;
        if (sy < 0 || sy >= height_ || inside == 0) {
            std::memset(row, 0, size_t(w) * bpp);
            continue;
        }
        const uint8_t* source = picture_.data() + size_t(sy) * rowBytes_ + size_t(std::max(sx, 0)) * bpp;
        std::memset(row, 0, size_t(left) * bpp);
        std::memcpy(row + size_t(left) * bpp, source, size_t(inside) * bpp);
        std::memset(row + size_t(left + inside) * bpp, 0, size_t(w - left - inside) * bpp);
    }
}

namespace {

struct Rgb {
    uint8_t r, g, b;
};

uint8_t Expand5(unsigned v) { return uint8_t((v << 3) | (v >> 2)); }
uint8_t Expand6(unsigned v) { return uint8_t((v << 2) | (v >> 4)); }

// One pixel of the decoded picture in its own format, as red, green and blue.
Rgb PixelColour(ZmbvFormat format, const uint8_t* row, int x, const uint8_t* palette) {
    switch (format) {
    case ZmbvFormat::Pal8: {
        const uint8_t* entry = palette + 3 * row[x];
        return {entry[0], entry[1], entry[2]};
    }
    case ZmbvFormat::Rgb555: {
        const unsigned v = unsigned(row[2 * x]) | unsigned(row[2 * x + 1]) << 8;
        return {Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31)};
    }
    case ZmbvFormat::Rgb565: {
        const unsigned v = unsigned(row[2 * x]) | unsigned(row[2 * x + 1]) << 8;
        return {Expand5(v >> 11), Expand6((v >> 5) & 63), Expand5(v & 31)};
    }
    default:
        return {row[4 * x + 2], row[4 * x + 1], row[4 * x]};
    }
}

// One pixel in the layout asked for.
void PutPixel(ZmbvOutput layout, uint8_t* row, int x, Rgb c) {
    switch (layout) {
    case ZmbvOutput::Rgb555:
    case ZmbvOutput::Rgb565: {
        const unsigned v = layout == ZmbvOutput::Rgb555
                               ? unsigned(c.r >> 3) << 10 | unsigned(c.g >> 3) << 5 | unsigned(c.b >> 3)
                               : unsigned(c.r >> 3) << 11 | unsigned(c.g >> 2) << 5 | unsigned(c.b >> 3);
        row[2 * x] = uint8_t(v);
        row[2 * x + 1] = uint8_t(v >> 8);
        break;
    }
    case ZmbvOutput::Bgr24:
        row[3 * x] = c.b;
        row[3 * x + 1] = c.g;
        row[3 * x + 2] = c.r;
        break;
    default:
        row[4 * x] = c.b;
        row[4 * x + 1] = c.g;
        row[4 * x + 2] = c.r;
        row[4 * x + 3] = 0;
        break;
    }
}

bool SameLayout(ZmbvOutput layout, ZmbvFormat format) {
    return (layout == ZmbvOutput::Pal8 && format == ZmbvFormat::Pal8) ||
           (layout == ZmbvOutput::Rgb555 && format == ZmbvFormat::Rgb555) ||
           (layout == ZmbvOutput::Rgb565 && format == ZmbvFormat::Rgb565) ||
           (layout == ZmbvOutput::Bgr0 && format == ZmbvFormat::Bgr0);
}

}  // namespace

bool ZmbvDecoder::Write(const MutablePictureView& out, ZmbvOutput layout) const {
    if (!out.top || format_ == ZmbvFormat::None) return false;
    if (SameLayout(layout, format_)) {
        for (int y = 0; y < height_; ++y) std::memcpy(out.Row(y), picture_.data() + size_t(y) * rowBytes_, rowBytes_);
        return true;
    }
    if (layout == ZmbvOutput::Pal8) return false;   // no colour reduction
    for (int y = 0; y < height_; ++y) {
        const uint8_t* in = picture_.data() + size_t(y) * rowBytes_;
        uint8_t* row = out.Row(y);
        for (int x = 0; x < width_; ++x) PutPixel(layout, row, x, PixelColour(format_, in, x, palette_.data()));
    }
    return true;
}
