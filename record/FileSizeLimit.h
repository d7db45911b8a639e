// The size limit of a recording's file. The AVI file services write 32-bit
// offsets and stop at 2 GB without reporting it, leaving a file whose
// header claims frames it does not hold; so the writer counts what the file
// will hold and the recording stops before a write could take it past a
// safe limit below that.
#pragma once

#include <cstdint>
#include <string>

// The limit: well below 2^31 bytes, so that even a frame larger than its
// bound and the index written at the end stay inside what the file
// services can address.
constexpr int64_t kFileSizeLimit = 2000000000;

// What the file holds before its first frame and around its frames: the
// headers (2 KB as written here) and the list and index chunk headers,
// with ample room.
constexpr int64_t kFileHeaderBytes = 64 * 1024;

// Room kept free in a recording with sound for the blocks that reach the
// file when it stops: the wave recorder holds up to eight buffers, and more
// may be on their way; the largest blocks (44100 Hz, 16 bits) are 16 KB.
constexpr int64_t kSoundReserveBytes = 16 * (24 + 16 * 1024);

// Bytes one write adds to the file: the chunk's header, its data padded to
// an even size, and its 16-byte index entry. An empty position costs
// ChunkBytes(0).
int64_t ChunkBytes(int64_t dataBytes);

// The most bytes one frame of frameSize bytes can take once compressed:
// itself for uncompressed frames; with room for a compressor's overhead
// (its own headers, stored blocks of incompressible pictures) otherwise.
int64_t FrameBound(int32_t frameSize, bool compressed);

// A palette change of an uncompressed stream: the change record (4 bytes)
// and its entries.
int64_t PaletteChangeBytes(int32_t colourCount);

// The limit set by the test-only environment setting (a decimal count of
// bytes): a positive number below the real limit makes the limit small;
// anything else (missing, not a number, 0, larger) leaves the real one.
int64_t FileSizeLimitFrom(const char* text);

// The compressor set by the test-only environment setting: exactly four
// characters (such as "DIB ") as a four-character code; 0 for anything else.
uint32_t CompressorFrom(const char* text);

// The running count of a file against its limit. Only chunks written are
// counted.
class FileSizeBudget {
public:
    explicit FileSizeBudget(int64_t limit = kFileSizeLimit) : limit_(limit) {}

    int64_t Limit() const { return limit_; }
    int64_t Counted() const { return counted_; }
    // Whether bytes more fit, with reserve bytes kept free for what must
    // still follow (the sound that waits when the recording stops).
    bool Fits(int64_t bytes, int64_t reserve = 0) const { return counted_ + bytes + reserve <= limit_; }
    // A chunk of dataBytes was written.
    void AddChunk(int64_t dataBytes) {
        counted_ += ChunkBytes(dataBytes);
        ++chunks_;
    }
    // What the close still writes: the index (an entry per chunk) and its header.
    int64_t IndexBytes() const { return 8 + 16 * chunks_; }

private:
    int64_t limit_;
    int64_t counted_ = kFileHeaderBytes;
    int64_t chunks_ = 0;
};

// Room the file's disk must still have before a write of nextBytes (a whole
// chunk, as ChunkBytes counts it): the write itself, the reserve kept for the
// sound of the stop, the index that the close writes, and a margin for the
// headers rewritten at the close and the file service's own write buffer.
// A disk with less free space stops the recording before the file breaks.
constexpr int64_t kCloseMarginBytes = 256 * 1024;
int64_t DiskRoomNeeded(const FileSizeBudget& budget, int64_t nextBytes, int64_t reserve);

// The limit as the message of a recording stopped there shows it: in bytes and megabytes.
std::string LimitText(int64_t limit);
