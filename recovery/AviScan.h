// Reading an AVI file that its writer did not close: the writer reserves the
// header area (left as zeros) and appends the chunks of every stream behind
// it ("00db", "00dc", "00pc", "01wb", ...); the headers and the index come
// only at the close. These functions find where the chunks begin, walk them
// and stop at the first one that did not reach the disk whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Random access to the bytes of a file (or of a test's buffer).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads up to n bytes at offset; fewer only at the end (or on an error).
    virtual size_t ReadAt(uint64_t offset, void* buffer, size_t n) = 0;
};

// The kind of each stream by its number, as the chunk ids name them.
enum class StreamKind : uint8_t { None, Video, Sound };

struct ChunkEntry {
    uint32_t ckid = 0;
    uint64_t offset = 0;   // of the chunk header
    uint32_t size = 0;     // of the data
    uint8_t firstByte = 0; // of the data, when there is any
};

enum class AviShape {
    Complete,      // headers and index are there: the file was closed
    Interrupted,   // chunks behind an unwritten (or half-written) header
    Zeros,         // nothing but zeros (or nothing at all) reached the disk
    Unknown,       // not a file this writer left
};

struct AviLayout {
    AviShape shape = AviShape::Unknown;
    uint64_t dataStart = 0;   // the first chunk, for Interrupted
};

// Where the chunks begin, or why there are none to read.
AviLayout FindAviLayout(ByteSource& source, const StreamKind (&kinds)[2]);

struct ChunkScan {
    std::vector<ChunkEntry> chunks;   // in file order, JUNK left out
    uint64_t dataEnd = 0;             // after the last whole chunk and its pad byte
    bool padMissing = false;          // the last chunk is odd and its pad byte is not there
    uint64_t droppedBytes = 0;        // a torn chunk at the end, or anything else behind the chunks
};

// Walks the chunks from dataStart while each one is a data chunk of a known
// stream (or JUNK) that lies whole in the file.
ChunkScan ScanChunks(ByteSource& source, uint64_t dataStart, const StreamKind (&kinds)[2]);

// The stream a data chunk id belongs to ("01wb" is stream 1), or -1.
int ChunkStream(uint32_t ckid);
// The two letters after the stream number ("db", "dc", "pc", "wb").
uint16_t ChunkType(uint32_t ckid);
constexpr uint16_t TwoCC(char a, char b) {
    return static_cast<uint16_t>(static_cast<uint8_t>(a) | static_cast<uint8_t>(b) << 8);
}
