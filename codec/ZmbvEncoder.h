// The ZMBV encoder: key frames whole, other frames as one vector per block
// (unchanged, moved or scrolled) plus the XOR of the blocks that differ,
// all through one deflate stream that lives from key frame to key frame.
// Plain C++; the Windows driver wraps it.
//
// Memory, for pictures of n bytes at 32 bits: the decoder's picture (n),
// one inter frame's payload (n), row hashes (n / 8), per-block state
// (about n / 6), zlib's state (about 270 KB) and the key-frame deflater
// (at most 5n / 8 + 1.7 MB, see KeyFrameDeflater.h): under 3n + 2 MB, so
// about 100 MB at 3840x2160. The output buffer is the caller's.
#pragma once

#include "KeyFrameDeflater.h"
#include "ZmbvFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct ZmbvVector {
    int8_t dx = 0;
    int8_t dy = 0;
};
inline bool operator==(ZmbvVector a, ZmbvVector b) { return a.dx == b.dx && a.dy == b.dy; }

struct ZmbvEncoded {
    size_t bytes = 0;   // 0: the frame could not be written
    bool key = false;
};

class ZmbvEncoder {
public:

    ZmbvEncoder();
    ~ZmbvEncoder();
    ZmbvEncoder(const ZmbvEncoder&) = delete;
    ZmbvEncoder& operator=(const ZmbvEncoder&) = delete;

    // Prepares for pictures of this size and format; false when they are not
    // taken or memory is short. The first frame after this is a key frame.
    bool Begin(int width, int height, ZmbvFormat format);
    void End();
    bool Begun() const { return format_ != ZmbvFormat::None; }

    // The most bytes one frame can take, headers included.
    size_t MaxFrameBytes() const { return maxFrameBytes_; }
    static size_t FrameBound(int width, int height, ZmbvFormat format);

    // Encodes one picture into out. The palette (Pal8 only) is 256 R, G, B
    // triples. A key frame is written when asked, at the first frame and
    // after a failure, since the decoder's state is then unknown.
    ZmbvEncoded Encode(const PictureView& picture, const uint8_t* palette, bool keyFrame, uint8_t* out,
                       size_t capacity);

private:
    struct Deflater;
    // This frame's changed blocks: the vertical vectors their row hashes
    // propose, and the best vector found so far.
    struct Changed {
        int block;
        int keyRow;           // a row unlike the one above it; -1: none (a flat block)
        int8_t hashDy[3];
        int hashDyCount;
        ZmbvVector best;
        int bestRows;         // rows of the block equal under the best vector
        int rows;             // the block's height
        bool quick;           // matched whole by its last vector or a hot one
    };
    struct Rect {
        int x0, y0, w, h;
        size_t bytes;         // of one row
    };

    static constexpr int kHotCount = 6;
    static constexpr int kHashTries = 3;
    // Searches are costly: a few a frame, spread over the blocks nothing
    // else matched; one that finds a vector tries it on all of them.
    static constexpr int kSearchesPerFrame = 8;

    size_t EncodeKey(const PictureView& picture, const uint8_t* palette, uint8_t* out, size_t capacity);
    size_t EncodeInter(const PictureView& picture, const uint8_t* palette, uint8_t* out, size_t capacity);
    Rect BlockRect(int block) const;
    void FindChangedBlocks(const PictureView& picture);
    void QuickMatch(const PictureView& picture, Changed& c);
    void HashChangedBlocks(const PictureView& picture);
    int VoteScroll() const;
    void ChooseVector(const PictureView& picture, Changed& c, uint8_t* pairs);
    bool TryVector(const PictureView& picture, Changed& c, ZmbvVector v);
    void SearchUnmatched(const PictureView& picture);
    bool Search(const PictureView& picture, const Changed& c, ZmbvVector& found) const;
    uint8_t* WriteBlock(const PictureView& picture, const Changed& c, uint8_t* pairs, uint8_t* xorOut) const;
    void RememberHotVectors();
    void AddHot(ZmbvVector v);
    void HashAllRows();
    bool SetLevel(int level, uint8_t* next);
    uint8_t* PreviousAt(int x, int y) { return previous_.data() + size_t(y) * rowBytes_ + size_t(x) * bpp_; }
    const uint8_t* PreviousAt(int x, int y) const {
        return previous_.data() + size_t(y) * rowBytes_ + size_t(x) * bpp_;
    }

    std::unique_ptr<Deflater> deflater_;   // zlib, for the frames between key frames
    KeyFrameDeflater keyDeflater_;
    CodecWorker worker_;                  // shares large key frames; lives as long as the encoder
    ZmbvFormat format_ = ZmbvFormat::None;
    int width_ = 0, height_ = 0, bpp_ = 0;
    int blocksX_ = 0, blocksY_ = 0;
    size_t rowBytes_ = 0;
    size_t maxFrameBytes_ = 0;
    bool needKey_ = true;
    int level_ = 0;                       // the deflate level the stream is at
    uint32_t frameNumber_ = 0;

    std::vector<uint8_t> previous_;       // the decoder's picture, top-down, no row padding
    std::vector<uint8_t> payload_;        // one inter frame before deflating
    std::vector<uint64_t> hashes_;        // previous_ row hashes, per block column then row
    bool hashesKnown_ = false;            // hashes_ are those of previous_
    std::vector<ZmbvVector> lastVectors_; // per block: the vector it took last time it changed
    std::vector<uint8_t> changedSinceKey_; // per block: changed since the last key frame
    bool paletteChangedSinceKey_ = true;
    std::array<uint8_t, kZmbvPaletteBytes> palette_{};

    std::vector<Changed> changed_;
    std::vector<uint64_t> newHashes_;     // kZmbvBlockSize per changed block
    std::vector<size_t> unmatched_;       // changed_ entries no vector reproduces
    int scrollDy_ = 0;

    ZmbvVector hot_[kHotCount];           // vectors that matched whole blocks lately
    int hotCount_ = 0;
};
