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
//
// Large pictures are cut at rows into pieces of 1 MB or more (at most 8),
// which this thread and a CodecWorker's take one after another until none
// is left: a piece's matches reach back into the kWindow bytes before it
// as into its own, and every piece ends with a sync flush, so the pieces
// written one after the other are one stream, as if deflated in one go.
// The cuts depend only on the size, never on the thread, so the bytes are
// the same with or without one. Many pieces share the work out where two
// halves would not: on a screen the changes gather in a few windows, and
// one half would hold most of them.
//
// Memory, for a picture of n bytes: the list of the last key frame's cuts
// and the one being made are kept in 1 byte per run of literals and 3 per
// match, and each stops growing at n / 4 bytes (a picture so full of short
// matches that it would need more is searched anew where its list ends);
// with what growing a list leaves behind in the heap, at most 3n / 4.
// Besides that, per thread, 768 KB of hash tables and 66 KB of tokens
// before they are written (and the worker's stack): under 2 bytes per
// picture byte from 1 MB up, under 2 MB below. Measured with codec_bench
// on the worst case, a short match after every literal: 1.81 bytes per
// picture byte at 1 MB, 0.94 at 1920x1080 (32 bits), 0.65 at 3840x2160;
// on noise 0.36 and 0.11 at the last two (it was 8).
// The output goes into the caller's buffer (each piece as far along as
// the pieces before it could take at most, moved down when all are done).
#pragma once

#include "CodecWorker.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class KeyFrameDeflater {
public:
    // The farthest back a deflate match reaches, and so the dictionary the
    // stream continues from.
    static constexpr size_t kWindow = 32768;
    // Pictures from this size on are deflated in pieces of at least
    // kPieceBytes, at most kMaxPieces of them.
    static constexpr size_t kPiecesFrom = size_t(4) << 20;
    static constexpr size_t kPieceBytes = size_t(1) << 20;
    static constexpr int kMaxPieces = 8;

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

    KeyFrameDeflater();
    ~KeyFrameDeflater();
    KeyFrameDeflater(const KeyFrameDeflater&) = delete;
    KeyFrameDeflater& operator=(const KeyFrameDeflater&) = delete;

    // Deflates size bytes laid out as given, in the given number of pieces
    // (1 to kMaxPieces, fewer when the picture has fewer rows; 0: by the
    // size), shared with the worker when there is one.
    // Returns the bytes written to out; 0 when they do not fit in capacity
    // or memory is short.
    size_t Deflate(const uint8_t* data, size_t size, const Layout& layout, uint8_t* out, size_t capacity,
                   int pieces = 0, CodecWorker* worker = nullptr);

    // The most Deflate writes for size bytes, in any number of pieces.
    static size_t Bound(size_t size);

    // Forgets the last key frame (a new size or format).
    void Forget();

private:
    struct Piece;
    struct Tables;
    struct PieceQueue;
    struct PieceRunner;
    static void RunPieces(void* runner);
    std::unique_ptr<Piece> pieces_[kMaxPieces];
    std::unique_ptr<Tables> tables_[2];   // this thread's and the worker's
    size_t lastSize_ = 0, lastRowBytes_ = 0, lastPrefixBytes_ = 0;
    int lastPieces_ = 0;
};
