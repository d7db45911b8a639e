#include "AviRebuild.h"

#include "../codec/ZmbvFormat.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kKeyFrame = 0x10;   // AVIIF_KEYFRAME
constexpr uint32_t kNoTime = 0x100;    // AVIIF_NOTIME: a palette change takes no time
constexpr uint32_t kHasIndex = 0x10;   // AVIF_HASINDEX
constexpr uint32_t kInterleaved = 0x100;   // AVIF_ISINTERLEAVED
constexpr uint32_t kPaletteChanges = 0x10000;   // AVISF_VIDEO_PALCHANGES
constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;
// RIFF sizes are 32 bits; a rebuilt file stays below this.
constexpr uint64_t kMaxFileBytes = 0xFFFFFFF0ull;

uint32_t ReadU32(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t v = 0;
    if (bytes.size() >= at + 4) std::memcpy(&v, &bytes[at], 4);
    return v;
}

class Out {
public:
    void U32(uint32_t v) { Bytes(&v, 4); }
    void Bytes(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
    }
    // A chunk with its pad byte.
    void Chunk(uint32_t ckid, const void* data, size_t n) {
        U32(ckid);
        U32(static_cast<uint32_t>(n));
        Bytes(data, n);
        if (n & 1) bytes.push_back(0);
    }
    // Opens a LIST (or RIFF); Close fills in its size.
    size_t Open(uint32_t ckid, uint32_t type) {
        U32(ckid);
        U32(0);
        U32(type);
        return bytes.size() - 8;
    }
    void Close(size_t sizeAt) {
        const auto size = static_cast<uint32_t>(bytes.size() - sizeAt - 4);
        std::memcpy(&bytes[sizeAt], &size, 4);
    }
    std::vector<uint8_t> bytes;
};

struct Totals {
    uint32_t positions = 0, frames = 0;
    uint64_t soundBytes = 0;
    uint32_t maxVideo = 0, maxSound = 0;
    bool paletteChanges = false;
};

void StreamList(Out& out, const JournalStream& stream, const StreamHeader& header) {
    const size_t list = out.Open(FourCC("LIST"), FourCC("strl"));
    out.Chunk(FourCC("strh"), &header, sizeof header);
    out.Chunk(FourCC("strf"), stream.format.data(), stream.format.size());
    if (!stream.name.empty()) out.Chunk(FourCC("strn"), stream.name.c_str(), stream.name.size() + 1);
    out.Close(list);
}

std::vector<uint8_t> Header(const JournalContent& journal, const Totals& totals, uint64_t moviBytes) {
    const JournalStream& video = journal.streams[0];
    const JournalStream& sound = journal.streams[1];
    const bool withSound = sound.present;
    StreamHeader videoHeader = video.header;
    videoHeader.dwLength = totals.positions;
    videoHeader.dwSuggestedBufferSize = totals.maxVideo;
    if (totals.paletteChanges) videoHeader.dwFlags |= kPaletteChanges;
    StreamHeader soundHeader = sound.header;
    const uint32_t blockAlign = std::max<uint32_t>(1, ReadU32(sound.format, 12) & 0xFFFF);
    soundHeader.dwLength = static_cast<uint32_t>(totals.soundBytes / blockAlign);
    soundHeader.dwSuggestedBufferSize = totals.maxSound;

    const uint32_t rate = videoHeader.dwRate, scale = videoHeader.dwScale;
    uint64_t bytesPerSecond = rate && scale ? static_cast<uint64_t>(totals.maxVideo) * rate / scale : 0;
    if (withSound) bytesPerSecond += ReadU32(sound.format, 8);
    const auto height = static_cast<int32_t>(ReadU32(video.format, 8));
    const uint32_t main[14] = {
        rate ? static_cast<uint32_t>((1000000ull * scale + rate / 2) / rate) : 0,   // microseconds per frame
        static_cast<uint32_t>(std::min<uint64_t>(bytesPerSecond, 0xFFFFFFFFu)),
        0,
        kHasIndex | (withSound ? kInterleaved : 0),
        totals.positions,
        0,
        withSound ? 2u : 1u,
        std::max(totals.maxVideo, totals.maxSound),
        ReadU32(video.format, 4),
        static_cast<uint32_t>(height < 0 ? -height : height),
        0, 0, 0, 0,
    };

    Out out;
    const size_t riff = out.Open(FourCC("RIFF"), FourCC("AVI "));
    const size_t hdrl = out.Open(FourCC("LIST"), FourCC("hdrl"));
    out.Chunk(FourCC("avih"), main, sizeof main);
    StreamList(out, video, videoHeader);
    if (withSound) StreamList(out, sound, soundHeader);
    out.Close(hdrl);
    out.U32(FourCC("LIST"));
    out.U32(static_cast<uint32_t>(4 + moviBytes));
    out.U32(FourCC("movi"));
    // The RIFF size counts the header only: PlanRebuild adds the chunks and the index.
    out.Close(riff);
    return out.bytes;
}

}  // namespace

void JournalStreamKinds(const JournalContent& journal, StreamKind (&kinds)[2]) {
    kinds[0] = journal.streams[0].present ? StreamKind::Video : StreamKind::None;
    kinds[1] = journal.streams[1].present ? StreamKind::Sound : StreamKind::None;
}

bool IsKeyFrame(const JournalContent& journal, uint32_t position, const ChunkEntry& chunk) {
    if (chunk.size == 0) return false;   // an empty position
    const uint32_t compression = ReadU32(journal.streams[0].format, 16);
    // Every uncompressed frame stands alone; a ZMBV frame says so in its first byte.
    if (compression == kBiRgb || compression == kBiBitfields) return true;
    if (compression == kZmbvCode) return (chunk.firstByte & kZmbvKeyFrame) != 0;
    // Other compressors: what the file service's index said while recording;
    // beyond the journal, the chunk id ("db" marks a key frame in this writer's files).
    if (position < journal.keyFrames.size()) return journal.keyFrames[position] != 0;
    return ChunkType(chunk.ckid) == TwoCC('d', 'b');
}

namespace {

// The index flags of one chunk of the scan, counted into the totals.
uint32_t CountChunk(const JournalContent& journal, const ChunkEntry& chunk, Totals& totals) {
    if (ChunkStream(chunk.ckid) == 1) {
        totals.soundBytes += chunk.size;
        totals.maxSound = std::max(totals.maxSound, chunk.size);
        return kKeyFrame;
    }
    if (ChunkType(chunk.ckid) == TwoCC('p', 'c')) {
        totals.paletteChanges = true;
        return kNoTime;
    }
    const uint32_t flags = IsKeyFrame(journal, totals.positions, chunk) ? kKeyFrame : 0;
    ++totals.positions;
    if (chunk.size > 0) ++totals.frames;
    totals.maxVideo = std::max(totals.maxVideo, chunk.size);
    return flags;
}

// The chunks of the scan that fit a file of the largest size, with their
// index: the copy runs from the first chunk's offset to end, and a pad byte
// follows when the last chunk lost its own.
struct IndexedChunks {
    Out index;
    Totals totals;
    uint64_t end = 0;
    bool pad = false;
};

IndexedChunks IndexChunks(const JournalContent& journal, const ChunkScan& scan, size_t headerBytes) {
    IndexedChunks out;
    out.index.U32(FourCC("idx1"));
    out.index.U32(0);
    const uint64_t base = scan.chunks.front().offset;
    out.end = base;
    for (size_t i = 0; i < scan.chunks.size(); ++i) {
        const ChunkEntry& chunk = scan.chunks[i];
        const bool padHere = (chunk.size & 1) && i + 1 == scan.chunks.size() && scan.padMissing;
        const uint64_t chunkEnd = chunk.offset + 8 + chunk.size + ((chunk.size & 1) && !padHere ? 1 : 0);
        const uint64_t total = headerBytes + (chunkEnd - base) + (padHere ? 1 : 0) + out.index.bytes.size() + 16;
        if (total > kMaxFileBytes) break;

        out.index.U32(chunk.ckid);
        out.index.U32(CountChunk(journal, chunk, out.totals));
        out.index.U32(static_cast<uint32_t>(chunk.offset - base + 4));   // from the "movi" code
        out.index.U32(chunk.size);
        out.end = chunkEnd;
        out.pad = padHere;
    }
    const auto indexBytes = static_cast<uint32_t>(out.index.bytes.size() - 8);
    std::memcpy(&out.index.bytes[4], &indexBytes, 4);
    return out;
}

}  // namespace

bool PlanRebuild(const JournalContent& journal, const ChunkScan& scan, RebuildPlan& plan) {
    plan = RebuildPlan{};
    const JournalStream& video = journal.streams[0];
    const JournalStream& sound = journal.streams[1];
    if (!journal.valid || !video.present || video.format.size() < 40) return false;
    if (sound.present && sound.format.size() < 16) return false;
    if (scan.chunks.empty()) return false;

    // The header's size does not depend on the counts in it.
    IndexedChunks chunks = IndexChunks(journal, scan, Header(journal, Totals{}, 0).size());
    plan.copyFrom = scan.chunks.front().offset;
    plan.copyBytes = chunks.end - plan.copyFrom;
    plan.padByte = chunks.pad;
    const uint64_t moviBytes = plan.copyBytes + (chunks.pad ? 1 : 0);
    plan.header = Header(journal, chunks.totals, moviBytes);
    const auto riffSize = static_cast<uint32_t>(plan.header.size() - 8 + moviBytes + chunks.index.bytes.size());
    std::memcpy(&plan.header[4], &riffSize, 4);
    plan.index = std::move(chunks.index.bytes);
    plan.positions = chunks.totals.positions;
    plan.frames = chunks.totals.frames;
    const uint32_t blockAlign = std::max<uint32_t>(1, ReadU32(sound.format, 12) & 0xFFFF);
    plan.soundSamples = chunks.totals.soundBytes / blockAlign;
    plan.rate = video.header.dwRate;
    plan.scale = video.header.dwScale;
    return true;
}

bool WriteRebuilt(ByteSource& source, ByteSink& sink, const RebuildPlan& plan) {
    if (!sink.Write(plan.header.data(), plan.header.size())) return false;
    std::vector<uint8_t> buffer(1 << 20);
    uint64_t at = plan.copyFrom;
    uint64_t left = plan.copyBytes;
    while (left > 0) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
        if (source.ReadAt(at, buffer.data(), want) != want) return false;
        if (!sink.Write(buffer.data(), want)) return false;
        at += want;
        left -= want;
    }
    if (plan.padByte) {
        const uint8_t zero = 0;
        if (!sink.Write(&zero, 1)) return false;
    }
    return sink.Write(plan.index.data(), plan.index.size());
}
