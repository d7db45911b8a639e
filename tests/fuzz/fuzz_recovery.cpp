// Fuzz test of the rebuild of a recording whose program died. The input is a
// journal (two-byte length, then its bytes) followed by the AVI file as the
// writer left it. Journals and files of any shape are read without reading
// out of bounds; what is rebuilt is a whole RIFF file whose index names each
// chunk where it lies, and a second look at it finds a closed file.
#include "recovery/AviRebuild.h"
#include "recovery/AviScan.h"
#include "recovery/JournalFormat.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

class Memory : public ByteSource, public ByteSink {
public:
    explicit Memory(std::vector<uint8_t> b = {}) : bytes(std::move(b)) {}
    uint64_t Size() const override { return bytes.size(); }
    size_t ReadAt(uint64_t offset, void* buffer, size_t n) override {
        if (offset >= bytes.size()) return 0;
        n = std::min<size_t>(n, bytes.size() - static_cast<size_t>(offset));
        std::memcpy(buffer, bytes.data() + offset, n);
        return n;
    }
    bool Write(const void* data, size_t n) override {
        bytes.insert(bytes.end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + n);
        return true;
    }
    std::vector<uint8_t> bytes;
};

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// The rebuilt file: RIFF size, the index at the end, every entry a chunk of its id and size.
void CheckRebuilt(const std::vector<uint8_t>& f, const RebuildPlan& plan) {
    Check(f.size() >= plan.header.size() + 8 && U32(f, 4) == f.size() - 8);
    const size_t index = plan.header.size() + plan.copyBytes + (plan.padByte ? 1 : 0);
    Check(U32(f, index) == FourCC("idx1") && index + 8 + U32(f, index + 4) == f.size());
    const size_t movi = plan.header.size() - 4;
    Check(U32(f, movi) == FourCC("movi"));
    uint32_t positions = 0;
    for (size_t e = index + 8; e + 16 <= f.size(); e += 16) {
        const size_t at = movi + U32(f, e + 8);
        Check(at + 8 + U32(f, e + 12) <= index);
        Check(U32(f, at) == U32(f, e) && U32(f, at + 4) == U32(f, e + 12));
        if (ChunkStream(U32(f, e)) == 0 && ChunkType(U32(f, e)) != TwoCC('p', 'c')) ++positions;
    }
    Check(positions == plan.positions);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t journalBytes = std::min<size_t>(size - 2, data[0] | data[1] << 8);
    const JournalContent journal = ParseJournal(std::vector<uint8_t>(data + 2, data + 2 + journalBytes));
    Memory file(std::vector<uint8_t>(data + 2 + journalBytes, data + size));

    StreamKind kinds[2];
    JournalStreamKinds(journal, kinds);
    const AviLayout layout = FindAviLayout(file, kinds);
    if (layout.shape != AviShape::Interrupted) return 0;
    Check(layout.dataStart < file.Size());
    const ChunkScan scan = ScanChunks(file, layout.dataStart, kinds);
    Check(scan.dataEnd <= file.Size());
    RebuildPlan plan;
    if (!PlanRebuild(journal, scan, plan)) return 0;
    Memory out;
    Check(WriteRebuilt(file, out, plan));
    CheckRebuilt(out.bytes, plan);
    Check(FindAviLayout(out, kinds).shape == AviShape::Complete);
    return 0;
}
