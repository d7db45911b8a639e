#include "AviScan.h"

#include "JournalFormat.h"

#include <cstring>

namespace {

constexpr uint32_t kRiff = FourCC("RIFF");
constexpr uint32_t kList = FourCC("LIST");
constexpr uint32_t kAvi = FourCC("AVI ");
constexpr uint32_t kMovi = FourCC("movi");
constexpr uint32_t kIdx1 = FourCC("idx1");
constexpr uint32_t kJunk = FourCC("JUNK");

struct ChunkHead {
    uint32_t ckid = 0;
    uint32_t size = 0;
    uint32_t listType = 0;   // for RIFF and LIST
    uint8_t firstByte = 0;
};

bool ReadHead(ByteSource& source, uint64_t offset, ChunkHead& head) {
    uint8_t bytes[12] = {};
    if (source.ReadAt(offset, bytes, sizeof bytes) < 8) return false;
    std::memcpy(&head.ckid, bytes, 4);
    std::memcpy(&head.size, bytes + 4, 4);
    std::memcpy(&head.listType, bytes + 8, 4);
    head.firstByte = bytes[8];
    return true;
}

uint64_t Padded(uint32_t size) { return static_cast<uint64_t>(size) + (size & 1); }

bool IsDataChunk(uint32_t ckid, const StreamKind (&kinds)[2]) {
    const int stream = ChunkStream(ckid);
    if (stream < 0 || stream >= 2) return false;
    const uint16_t type = ChunkType(ckid);
    switch (kinds[stream]) {
    case StreamKind::Video: return type == TwoCC('d', 'b') || type == TwoCC('d', 'c') || type == TwoCC('p', 'c');
    case StreamKind::Sound: return type == TwoCC('w', 'b');
    default: return false;
    }
}

// The first byte at or after offset that is not zero; the size when there is none.
uint64_t FirstNonZero(ByteSource& source, uint64_t offset) {
    const uint64_t size = source.Size();
    std::vector<uint8_t> block(64 * 1024);
    while (offset < size) {
        const size_t got = source.ReadAt(offset, block.data(), block.size());
        if (got == 0) return size;
        for (size_t i = 0; i < got; ++i)
            if (block[i] != 0) return offset + i;
        offset += got;
    }
    return size;
}

// A file that begins with a RIFF header: closed, or killed while the header
// and index were being written. In the second case the chunks begin behind
// the movi list's header, or behind what there is of the header.
AviLayout FromHeader(ByteSource& source, const ChunkHead& riff, const StreamKind (&kinds)[2]) {
    const uint64_t size = source.Size();
    const uint64_t riffEnd = 8 + static_cast<uint64_t>(riff.size);
    bool movi = false, index = false;
    uint64_t dataStart = 0;
    uint64_t at = 12;
    ChunkHead head;
    while (at + 8 <= size && ReadHead(source, at, head)) {
        if (head.ckid == 0) {   // a part of the header that was not written
            at = FirstNonZero(source, at);
            continue;
        }
        if (IsDataChunk(head.ckid, kinds) && !movi) return {AviShape::Interrupted, at};
        if (head.ckid == kList && head.listType == kMovi) {
            movi = true;
            dataStart = at + 12;
        } else if (head.ckid == kIdx1) {
            index = at + 8 + head.size <= size;
            break;
        } else if (head.ckid != kList && head.ckid != kJunk) {
            break;   // nothing this writer puts at the top
        }
        const uint64_t end = at + 8 + Padded(head.size);
        if (end > size) break;
        at = end;
    }
    if (movi && index && riffEnd <= size) return {AviShape::Complete, 0};
    if (movi) return {AviShape::Interrupted, dataStart};
    return {AviShape::Unknown, 0};
}

}  // namespace

int ChunkStream(uint32_t ckid) {
    const char a = static_cast<char>(ckid & 0xFF), b = static_cast<char>((ckid >> 8) & 0xFF);
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
}

uint16_t ChunkType(uint32_t ckid) { return static_cast<uint16_t>(ckid >> 16); }

AviLayout FindAviLayout(ByteSource& source, const StreamKind (&kinds)[2]) {
    const uint64_t size = source.Size();
    ChunkHead head;
    if (size >= 12 && ReadHead(source, 0, head) && head.ckid == kRiff && head.listType == kAvi)
        return FromHeader(source, head, kinds);
    const uint64_t first = FirstNonZero(source, 0);
    if (first >= size) return {AviShape::Zeros, 0};
    if (ReadHead(source, first, head) && IsDataChunk(head.ckid, kinds)) return {AviShape::Interrupted, first};
    return {AviShape::Unknown, 0};
}

ChunkScan ScanChunks(ByteSource& source, uint64_t dataStart, const StreamKind (&kinds)[2]) {
    ChunkScan scan;
    const uint64_t size = source.Size();
    uint64_t at = dataStart;
    ChunkHead head;
    while (at + 8 <= size && ReadHead(source, at, head)) {
        const bool data = IsDataChunk(head.ckid, kinds);
        if (!data && head.ckid != kJunk) break;
        const uint64_t end = at + 8 + static_cast<uint64_t>(head.size);
        if (end > size) break;   // torn: the writer died while this chunk went out
        if (data) scan.chunks.push_back({head.ckid, at, head.size, head.size > 0 ? head.firstByte : uint8_t{0}});
        scan.padMissing = (head.size & 1) && end == size;
        at = end + (head.size & 1);
        scan.dataEnd = scan.padMissing ? end : at;
    }
    if (scan.dataEnd < dataStart) scan.dataEnd = dataStart;
    scan.droppedBytes = size - scan.dataEnd;
    return scan;
}
