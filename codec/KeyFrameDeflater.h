// Key frames take most of a recording's bytes and most of the codec's time:
// a whole picture deflated every few seconds, though most of a screen has
// not changed since the last one. This deflater remembers how it cut the
// last key frame into literals and matches; where those still hold (the
// same bytes, the same repeats) it takes them again and only searches where
// the picture changed. Its search looks where a screen repeats itself (the
// pixel before, the row above, earlier places with the same bytes) and
// codes each block with Huffman tables of its own.
//
// It writes the start of a zlib stream that stays open (the header, the
// blocks, a sync flush); zlib continues the stream from the last
// kWindow bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class KeyFrameDeflater {
public:
    // The farthest back a deflate match reaches, and so the dictionary the
    // stream continues from.
    static constexpr size_t kWindow = 32768;

    // What the picture is: prefixBytes (a palette) and then rows of
    // rowBytes; and what changed since the last picture deflated: one byte
    // per block of blockRows rows and blockBytes bytes (the last ones of a
    // row or column may be cut short), row of blocks after row of blocks,
    // non-zero where it changed (null: all of it).
    struct Layout {
        size_t pixelBytes = 1;
        size_t rowBytes = 1;
        size_t prefixBytes = 0;
        bool prefixChanged = true;
        const uint8_t* changedBlocks = nullptr;
        size_t blocksPerRow = 0;
        size_t blockBytes = 1;
        size_t blockRows = 1;
    };

    // Deflates size bytes laid out as given. Returns the bytes written to
    // out; 0 when they do not fit in capacity or memory is short.
    size_t Deflate(const uint8_t* data, size_t size, const Layout& layout, uint8_t* out, size_t capacity);

    // Forgets the last key frame (a new size or format).
    void Forget();

private:
    struct Stretch {   // bytes [from, to) known to lie in unchanged blocks
        size_t from = 0;
        size_t to = 0;
    };
    struct Match {
        size_t length = 0;
        size_t distance = 0;
    };
    Match Longest(size_t pos) const;
    void Insert(size_t pos);
    void Parse(size_t& pos, size_t boundary);
    bool StillHolds(uint32_t token, size_t pos);
    bool Unchanged(size_t pos, size_t length, Stretch& known) const;

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    Layout layout_;
    Match ahead_;                   // the match found one byte on, while deciding lazily
    bool haveAhead_ = false;
    Stretch target_, source_;       // the last unchanged stretches found for tokens and what they repeat

    std::vector<uint32_t> head_;    // per hash of 3 bytes: the last position with it, plus one (0: none)
    std::vector<uint32_t> chain_;   // per position in the window: the one before with its hash, plus one
    std::vector<uint32_t> longHead_, longChain_;   // the same for 16 bytes
    std::vector<uint32_t> tokens_;  // this picture's literals and matches
    std::vector<uint32_t> last_;    // the last picture's
    size_t lastSize_ = 0, lastRowBytes_ = 0, lastPrefixBytes_ = 0;
    size_t blockTokens_ = 0;        // tokens_ already written
};
