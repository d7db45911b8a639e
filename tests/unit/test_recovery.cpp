// A recording that survives the program's death: the journal's records, the
// scan of a file whose writer died (torn last chunk, empty positions, a
// palette change, sound), the rebuilt header and index, the checks that
// leave a changed or removed file alone, and the journal of a recording
// through the file service compared with what the service itself writes.
#include "doctest.h"

#include "recovery/AviRebuild.h"
#include "recovery/AviScan.h"
#include "recovery/JournalFormat.h"
#include "recovery/RecordingJournal.h"
#include "recovery/RecoveryRun.h"
#include "codec/ZmbvDriver.h"

#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

class Memory : public ByteSource, public ByteSink {
public:
    explicit Memory(Bytes b = {}) : bytes(std::move(b)) {}
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
    Bytes bytes;
};

uint32_t U32(const Bytes& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

// A chunk as the writer appends it: id, size, data, pad byte.
void Chunk(Bytes& file, const char* id, size_t size, uint8_t fill) {
    const uint32_t ckid = FourCC(*reinterpret_cast<const char(*)[5]>(id));
    const auto n = static_cast<uint32_t>(size);
    file.insert(file.end(), reinterpret_cast<const uint8_t*>(&ckid), reinterpret_cast<const uint8_t*>(&ckid) + 4);
    file.insert(file.end(), reinterpret_cast<const uint8_t*>(&n), reinterpret_cast<const uint8_t*>(&n) + 4);
    file.insert(file.end(), size, fill);
    if (size & 1) file.push_back(0);
}

StreamHeader Header(const char (&type)[5], const char (&handler)[5], uint32_t scale, uint32_t rate) {
    StreamHeader h;
    h.fccType = FourCC(type);
    h.fccHandler = FourCC(handler);
    h.dwScale = scale;
    h.dwRate = rate;
    return h;
}

// A journal of a 4x2 recording at 10 frames per second, with 8-bit sound.
Bytes JournalBytes(uint32_t compression, int bits, const std::string& path) {
    Bytes b = JournalMagic();
    Append(b, RecordingRecord(NowFileTime(), path));
    Append(b, StreamRecord(0, Header("vids", "DIB ", 1000, 10000), "Velmorax Video"));
    Bytes format(40 + (bits == 8 ? 1024 : 0), 0);
    const uint32_t head[5] = {40, 4, 2, 1u | static_cast<uint32_t>(bits) << 16, compression};
    std::memcpy(format.data(), head, sizeof head);
    Append(b, FormatRecord(0, format.data(), format.size()));
    Append(b, StreamRecord(1, Header("auds", "\0\0\0\0", 1, 11025), ""));
    const uint8_t wave[18] = {1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0, 0, 0};
    Append(b, FormatRecord(1, wave, sizeof wave));
    return b;
}

// What a killed recording leaves: the reserved header area as zeros, then
// frames (one of them odd-sized), sound, an empty position, a palette
// change, and the last frame torn.
Bytes KilledFile() {
    Bytes file(2048, 0);
    Chunk(file, "00db", 9, 0x11);
    Chunk(file, "01wb", 5, 0x80);
    Chunk(file, "00dc", 0, 0);
    Chunk(file, "00pc", 8, 0x22);
    Chunk(file, "00db", 32, 0x33);
    Chunk(file, "01wb", 7, 0x81);
    Chunk(file, "00db", 32, 0x44);
    file.resize(file.size() - 10);
    return file;
}

struct Entry {
    std::string id;
    uint32_t flags, offset, size;
};

// The rebuilt file's stream headers and index; checks the RIFF sizes on the way.
struct Parsed {
    std::vector<Bytes> strh, strf;
    std::string name;
    uint32_t totalFrames = 0, streams = 0;
    size_t movi = 0;   // of the "movi" code
    std::vector<Entry> index;
};

// The file service leaves a few bytes behind its RIFF data: ours do not.
Parsed Parse(const Bytes& f, bool exact = true) {
    Parsed p;
    REQUIRE(f.size() > 12);
    CHECK(std::string(f.begin(), f.begin() + 4) == "RIFF");
    if (exact) CHECK(U32(f, 4) == f.size() - 8);
    for (size_t at = 12; at + 8 <= f.size();) {
        const std::string id(f.begin() + at, f.begin() + at + 4);
        const uint32_t size = U32(f, at + 4);
        const size_t body = at + 8;
        if (id == "LIST") {
            const std::string type(f.begin() + body, f.begin() + body + 4);
            if (type == "movi") {
                p.movi = body;
                at = body + size + (size & 1);
            } else {
                at = body + 4;   // into hdrl and strl
            }
            continue;
        }
        const Bytes data(f.begin() + body, f.begin() + body + size);
        if (id == "avih") {
            p.totalFrames = U32(data, 16);
            p.streams = U32(data, 24);
        } else if (id == "strh") {
            p.strh.push_back(data);
        } else if (id == "strf") {
            p.strf.push_back(data);
        } else if (id == "strn") {
            p.name = reinterpret_cast<const char*>(data.data());
        } else if (id == "idx1") {
            for (size_t i = 0; i + 16 <= size; i += 16)
                p.index.push_back({std::string(data.begin() + i, data.begin() + i + 4), U32(data, i + 4),
                                   U32(data, i + 8), U32(data, i + 12)});
            if (exact) CHECK(body + size == f.size());
        }
        at = body + size + (size & 1);
    }
    return p;
}

std::string TempFolder(const char* name) {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + name + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    const HANDLE f = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
}

Bytes ReadFile(const std::string& path) {
    const HANDLE f = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    Bytes bytes(::GetFileSize(f, nullptr));
    DWORD got = 0;
    ::ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    ::CloseHandle(f);
    bytes.resize(got);
    return bytes;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

TEST_CASE("recovery: the journal reads back, and a torn or damaged record ends it") {
    Bytes b = JournalBytes(0, 32, "C:\\films\\clip.avi");
    JournalProgress first;
    first.keyFrames = {1, 0, 0, 1, 0, 0, 0, 0, 1};
    first.soundSamples = 2048;
    first.fileSize = 5000;
    Append(b, ProgressRecord(first));
    const size_t complete = b.size();
    JournalProgress second;
    second.firstPosition = 9;
    second.keyFrames = {0, 1};
    second.fileSize = 7000;
    Append(b, ProgressRecord(second));

    JournalContent j = ParseJournal(b);
    REQUIRE(j.valid);
    CHECK(j.path == "C:\\films\\clip.avi");
    CHECK(j.streams[0].name == "Velmorax Video");
    CHECK(j.streams[0].header.dwRate == 10000);
    CHECK(j.streams[0].format.size() == 40);
    CHECK(j.streams[1].format.size() == 18);
    CHECK(j.keyFrames == Bytes{1, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1});
    CHECK(j.fileSize == 7000);
    CHECK(j.soundSamples == 0);

    // Killed while the last record went out: the ones before stand.
    b.resize(b.size() - 3);
    j = ParseJournal(b);
    CHECK(j.keyFrames.size() == 9);
    CHECK(j.fileSize == 5000);
    CHECK(j.soundSamples == 2048);
    // A damaged record ends the journal there.
    b[complete - 6] ^= 0x40;
    CHECK(ParseJournal(b).keyFrames.empty());
    // A progress record that leaves a gap does not belong to this journal.
    Bytes gap = JournalBytes(0, 32, "x.avi");
    second.firstPosition = 5;
    Append(gap, ProgressRecord(second));
    CHECK(ParseJournal(gap).keyFrames.empty());
    CHECK_FALSE(ParseJournal(Bytes(40, 'x')).valid);
}

TEST_CASE("recovery: frames, sound, an empty position and a palette change at their positions; the torn frame goes") {
    const JournalContent journal = ParseJournal(JournalBytes(0, 8, "C:\\k.avi"));
    Memory killed(KilledFile());
    RebuildPlan plan;
    REQUIRE(AssessFile(journal, killed, plan) == Verdict::Rebuild);
    CHECK(plan.positions == 3);
    CHECK(plan.frames == 2);
    CHECK(plan.soundSamples == 12);
    Memory out;
    REQUIRE(WriteRebuilt(killed, out, plan));

    const Parsed p = Parse(out.bytes);
    CHECK(p.totalFrames == 3);
    CHECK(p.streams == 2);
    CHECK(p.name == "Velmorax Video");
    REQUIRE(p.strh.size() == 2);
    CHECK(U32(p.strh[0], 0) == FourCC("vids"));
    CHECK(U32(p.strh[0], 8) == 0x10000);   // the stream has palette changes
    CHECK(U32(p.strh[0], 32) == 3);        // dwLength: positions
    CHECK(U32(p.strh[0], 36) == 32);       // dwSuggestedBufferSize: the largest frame
    CHECK(U32(p.strh[1], 0) == FourCC("auds"));
    CHECK(U32(p.strh[1], 32) == 12);       // samples
    CHECK(p.strf[0].size() == 40 + 1024);
    CHECK(p.strf[1].size() == 18);

    const std::vector<Entry> expected = {
        {"00db", 0x10, 0, 9}, {"01wb", 0x10, 0, 5}, {"00dc", 0, 0, 0},
        {"00pc", 0x100, 0, 8}, {"00db", 0x10, 0, 32}, {"01wb", 0x10, 0, 7},
    };
    REQUIRE(p.index.size() == expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        CAPTURE(i);
        const Entry& e = p.index[i];
        CHECK(e.id == expected[i].id);
        CHECK(e.flags == expected[i].flags);
        CHECK(e.size == expected[i].size);
        // The offset (from the "movi" code) names the chunk, with its data behind.
        const size_t at = p.movi + e.offset;
        CHECK(std::string(out.bytes.begin() + at, out.bytes.begin() + at + 4) == e.id);
        CHECK(U32(out.bytes, at + 4) == e.size);
    }
    CHECK(out.bytes[p.movi + p.index[4].offset + 8] == 0x33);

    // The rebuilt file is a closed one: a second look finds nothing to do.
    Memory again(out.bytes);
    CHECK(AssessFile(journal, again, plan) == Verdict::Complete);
}

TEST_CASE("recovery: key frames by the codec's own mark, else by the journal") {
    const ChunkEntry keyZmbv{FourCC("00dc"), 0, 10, 1}, interZmbv{FourCC("00db"), 0, 10, 0};
    JournalContent zmbv = ParseJournal(JournalBytes(FourCC("ZMBV"), 32, "z.avi"));
    zmbv.keyFrames = {0, 1};
    CHECK(IsKeyFrame(zmbv, 0, keyZmbv));
    CHECK_FALSE(IsKeyFrame(zmbv, 1, interZmbv));
    CHECK_FALSE(IsKeyFrame(zmbv, 0, ChunkEntry{FourCC("00dc"), 0, 0, 1}));   // an empty position

    JournalContent other = ParseJournal(JournalBytes(FourCC("XVID"), 32, "x.avi"));
    other.keyFrames = {0, 1};
    CHECK_FALSE(IsKeyFrame(other, 0, ChunkEntry{FourCC("00db"), 0, 10, 1}));
    CHECK(IsKeyFrame(other, 1, ChunkEntry{FourCC("00dc"), 0, 10, 0}));
    // Beyond the journal the file service's chunk id tells.
    CHECK(IsKeyFrame(other, 2, ChunkEntry{FourCC("00db"), 0, 10, 0}));
    CHECK_FALSE(IsKeyFrame(other, 2, ChunkEntry{FourCC("00dc"), 0, 10, 1}));
}

TEST_CASE("recovery: a removed or changed file is left alone; zeros and strangers are no recording") {
    JournalContent j = ParseJournal(JournalBytes(0, 32, "C:\\k.avi"));
    j.fileSize = 5000;
    j.fileTime = j.recordTime = 1000 * 10000000ull;
    const uint64_t second = 10000000;
    CHECK(CheckFileFacts(j, {false, 0, 0}) == Verdict::Gone);
    CHECK(CheckFileFacts(j, {true, 6000, j.fileTime + second}) == Verdict::Rebuild);   // grew a little after
    CHECK(CheckFileFacts(j, {true, 4999, j.fileTime}) == Verdict::Changed);            // shorter than it was
    CHECK(CheckFileFacts(j, {true, 6000, j.fileTime - 60 * second}) == Verdict::Changed);
    CHECK(CheckFileFacts(j, {true, 6000, j.recordTime + 60 * second}) == Verdict::Changed);
    CHECK(CheckFileFacts(JournalContent{}, {true, 6000, 0}) == Verdict::Unreadable);

    RebuildPlan plan;
    Memory zeros(Bytes(4096, 0)), nothing, stranger(Bytes(4096, 'x'));
    CHECK(AssessFile(j, zeros, plan) == Verdict::Empty);
    CHECK(AssessFile(j, nothing, plan) == Verdict::Empty);
    CHECK(AssessFile(j, stranger, plan) == Verdict::CannotRebuild);
    // Only a part of the first frame reached the disk: not nothing, so it stays.
    Bytes torn(2048, 0);
    Chunk(torn, "00db", 100, 1);
    torn.resize(2100);
    Memory tornFirst(torn);
    CHECK(AssessFile(j, tornFirst, plan) == Verdict::CannotRebuild);
    // Killed while the close wrote the header: the chunks behind the movi list's header come back.
    Bytes half = KilledFile();
    const uint32_t riff[3] = {FourCC("RIFF"), 123456, FourCC("AVI ")};
    const uint32_t movi[3] = {FourCC("LIST"), 0, FourCC("movi")};
    std::memcpy(half.data(), riff, sizeof riff);
    std::memcpy(half.data() + 2036, movi, sizeof movi);
    Memory halfClosed(half);
    CHECK(AssessFile(j, halfClosed, plan) == Verdict::Rebuild);
    CHECK(plan.positions == 3);
    // Frames but no format to describe them.
    JournalContent noFormat = j;
    noFormat.streams[0].format.clear();
    Memory killed(KilledFile());
    CHECK(AssessFile(noFormat, killed, plan) == Verdict::CannotRebuild);
}

TEST_CASE("recovery: the journal folder at a start") {
    const std::string folder = TempFolder("vmx-recovery-");
    const std::string rebuilt = folder + "\\a.avi", gone = folder + "\\gone.avi", strange = folder + "\\s.avi";
    WriteFile(rebuilt, KilledFile());
    WriteFile(strange, Bytes(3000, 'x'));
    WriteFile(folder + "\\a.journal", JournalBytes(0, 8, rebuilt));
    WriteFile(folder + "\\b.journal", JournalBytes(0, 8, gone));
    WriteFile(folder + "\\c.journal", JournalBytes(0, 8, strange));
    WriteFile(folder + "\\d.journal", JournalBytes(0, 8, folder + "\\live.avi"));
    // A running recording holds its journal: it is not touched.
    const HANDLE live = ::CreateFileA((folder + "\\d.journal").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);

    // Without asking: rebuilt where possible, and what cannot be rebuilt keeps its journal.
    auto results = RecoverRecordings(folder, nullptr);
    CHECK(results.size() == 3);
    Memory after(ReadFile(rebuilt));
    RebuildPlan plan;
    CHECK(AssessFile(ParseJournal(JournalBytes(0, 8, rebuilt)), after, plan) == Verdict::Complete);
    CHECK_FALSE(Exists(RebuildingName(rebuilt)));
    CHECK_FALSE(Exists(folder + "\\a.journal"));
    CHECK_FALSE(Exists(folder + "\\b.journal"));
    CHECK(Exists(folder + "\\c.journal"));
    CHECK(Exists(folder + "\\d.journal"));

    // A start that asks tells of the file it cannot rebuild, which stays as it was.
    struct Prompt : RecoveryPrompt {
        bool AskRebuild(const std::string&, uint32_t, uint32_t) override { return true; }
        void TellNotRebuilt(const std::string& path) override { told.push_back(path); }
        std::vector<std::string> told;
    } prompt;
    results = RecoverRecordings(folder, &prompt);
    CHECK(prompt.told == std::vector<std::string>{strange});
    CHECK(ReadFile(strange) == Bytes(3000, 'x'));
    CHECK_FALSE(Exists(folder + "\\c.journal"));
    CHECK(Exists(folder + "\\d.journal"));

    ::CloseHandle(live);
    for (const char* name : {"\\a.avi", "\\s.avi", "\\d.journal"}) ::DeleteFileA((folder + name).c_str());
    ::RemoveDirectoryA(folder.c_str());
}

TEST_CASE("recovery: the journal of a recording through the file service rebuilds what the service writes") {
    ICInstall(ICTYPE_VIDEO, FourCC("ZMBV"), reinterpret_cast<LPARAM>(ZmbvDriverProc), nullptr, ICINSTALL_FUNCTION);
    const std::string folder = TempFolder("vmx-journal-");
    const std::string path = folder + "\\z.avi";
    ::AVIFileInit();
    PAVIFILE file = nullptr;
    REQUIRE(::AVIFileOpenA(&file, path.c_str(), OF_WRITE | OF_CREATE, nullptr) == 0);
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.fccHandler = FourCC("ZMBV");
    info.dwScale = 1000;
    info.dwRate = 10000;
    lstrcpynA(info.szName, "Velmorax Video", sizeof info.szName);
    PAVISTREAM raw = nullptr, video = nullptr, sound = nullptr;
    REQUIRE(::AVIFileCreateStreamA(file, &raw, &info) == 0);
    BITMAPINFOHEADER format{sizeof format, 64, 48, 1, 32, BI_RGB, 64 * 48 * 4, 0, 0, 0, 0};
    AVICOMPRESSOPTIONS options{};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = FourCC("ZMBV");
    options.dwKeyFrameEvery = 4;
    options.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_VALID;
    REQUIRE(::AVIMakeCompressedStream(&video, raw, &options, nullptr) == 0);
    AVISTREAMINFOA soundInfo{};
    soundInfo.fccType = streamtypeAUDIO;
    soundInfo.dwScale = 1;
    soundInfo.dwRate = 11025;
    soundInfo.dwSampleSize = 1;
    REQUIRE(::AVIFileCreateStreamA(file, &sound, &soundInfo) == 0);
    WAVEFORMATEX wave{WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
    REQUIRE(::AVIStreamSetFormat(sound, 0, &wave, sizeof wave) == 0);

    RecordingJournal journal;
    REQUIRE(journal.Begin(folder, path, raw, sound));
    REQUIRE(::AVIStreamSetFormat(video, 0, &format, sizeof format) == 0);
    Bytes pixels(format.biSizeImage), samples(700, 0x80);
    for (int n = 0; n < 11; ++n) {
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * (n % 3 + 1) + n);
        ::AVIStreamWrite(video, n, 1, pixels.data(), static_cast<LONG>(pixels.size()), 0, nullptr, nullptr);
        if (n % 3 == 1) {
            // At the end (-1): this service counts the sound stream's length in chunks.
            CHECK(::AVIStreamWrite(sound, -1, 700, samples.data(), 700, AVIIF_KEYFRAME, nullptr, nullptr) == 0);
        }
        journal.Update(true);
    }
    // The program dies here: what is on the disk now is all there is.
    Memory killed(ReadFile(path));
    const JournalContent content = ParseJournal(ReadFile(journal.Path()));
    ::AVIStreamRelease(video);
    ::AVIStreamRelease(raw);
    ::AVIStreamRelease(sound);
    ::AVIFileRelease(file);
    ::AVIFileExit();
    journal.End();
    const Bytes closed = ReadFile(path);
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA(folder.c_str());
    ICRemove(ICTYPE_VIDEO, FourCC("ZMBV"), 0);

    REQUIRE(content.valid);
    // Had the recording ended normally, its journal would find nothing to do.
    Memory closedFile(closed);
    RebuildPlan none;
    CHECK(AssessFile(content, closedFile, none) == Verdict::Complete);
    CHECK(content.keyFrames.size() == 11);
    CHECK(content.soundSamples == 4);   // chunks, as the service counts them
    RebuildPlan plan;
    REQUIRE(AssessFile(content, killed, plan) == Verdict::Rebuild);
    Memory rebuilt;
    REQUIRE(WriteRebuilt(killed, rebuilt, plan));
    const Parsed mine = Parse(rebuilt.bytes), theirs = Parse(closed, false);
    // Each stream's entries in order (the service orders its index by time, ours is in file order).
    for (const char stream : {'0', '1'}) {
        std::vector<Entry> a, b;
        for (const Entry& e : mine.index) if (e.id[1] == stream) a.push_back(e);
        for (const Entry& e : theirs.index) if (e.id[1] == stream) b.push_back(e);
        CHECK(a.size() == (stream == '0' ? 11u : 4u));
        REQUIRE(a.size() == b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            CAPTURE(stream);
            CAPTURE(i);
            CHECK(a[i].id == b[i].id);
            CHECK(a[i].flags == b[i].flags);
            CHECK(a[i].size == b[i].size);
            CHECK(Bytes(rebuilt.bytes.begin() + mine.movi + a[i].offset,
                        rebuilt.bytes.begin() + mine.movi + a[i].offset + 8 + a[i].size) ==
                  Bytes(closed.begin() + theirs.movi + b[i].offset, closed.begin() + theirs.movi + b[i].offset + 8 + b[i].size));
            // The journal's key frames are the service's.
            if (stream == '0') CHECK(content.keyFrames.at(i) == (b[i].flags & 0x10 ? 1 : 0));
        }
    }
    CHECK(mine.strf == theirs.strf);
    for (int s = 0; s < 2; ++s) {
        CAPTURE(s);
        for (size_t at : {0, 4, 20, 24, 44}) CHECK(U32(mine.strh[s], at) == U32(theirs.strh[s], at));
    }
    CHECK(mine.name == theirs.name);
    CHECK(U32(mine.strh[0], 32) == 11);
    CHECK(U32(mine.strh[1], 32) == 2800);   // samples (the service writes its chunk count here)
}

TEST_CASE("recovery: a palette change through the file service is a chunk of the file, indexed where it lies") {
    const std::string folder = TempFolder("vmx-palette-");
    const std::string path = folder + "\\p.avi";
    ::AVIFileInit();
    PAVIFILE file = nullptr;
    REQUIRE(::AVIFileOpenA(&file, path.c_str(), OF_WRITE | OF_CREATE, nullptr) == 0);
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.fccHandler = FourCC("DIB ");
    info.dwScale = 1;
    info.dwRate = 10;
    PAVISTREAM raw = nullptr, video = nullptr;
    REQUIRE(::AVIFileCreateStreamA(file, &raw, &info) == 0);
    AVICOMPRESSOPTIONS options{};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = FourCC("DIB ");
    REQUIRE(::AVIMakeCompressedStream(&video, raw, &options, nullptr) == 0);
    Bytes format(40 + 1024, 0);
    const uint32_t head[] = {40, 8, 2, 1u | 8u << 16, 0, 16, 0, 0, 256, 0};
    std::memcpy(format.data(), head, sizeof head);
    RecordingJournal journal;
    REQUIRE(journal.Begin(folder, path, raw, nullptr));
    Bytes pixels(16, 7);
    for (int n = 0; n < 4; ++n) {
        if (n == 0 || n == 2) {
            format[40 + 4 * 5] = static_cast<uint8_t>(n + 1);   // colour 5 changes at position 2
            REQUIRE(::AVIStreamSetFormat(video, n, format.data(), static_cast<LONG>(format.size())) == 0);
        }
        ::AVIStreamWrite(video, n, 1, pixels.data(), 16, 0, nullptr, nullptr);
        journal.Update(true);
    }
    Memory killed(ReadFile(path));
    const JournalContent content = ParseJournal(ReadFile(journal.Path()));
    ::AVIStreamRelease(video);
    ::AVIStreamRelease(raw);
    ::AVIFileRelease(file);
    ::AVIFileExit();
    journal.End();
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA(folder.c_str());

    REQUIRE(content.streams[0].format.size() == format.size());
    CHECK(content.streams[0].format[40 + 4 * 5] == 1);   // the header holds the first palette
    RebuildPlan plan;
    REQUIRE(AssessFile(content, killed, plan) == Verdict::Rebuild);
    Memory rebuilt;
    REQUIRE(WriteRebuilt(killed, rebuilt, plan));
    const Parsed p = Parse(rebuilt.bytes);
    REQUIRE(p.index.size() == 5);
    CHECK(p.index[2].id == "00pc");
    CHECK(p.index[2].flags == 0x100);
    CHECK(p.strf[0][40 + 4 * 5] == 1);
    // The change chunk holds the new colour (entries red, green, blue, flags).
    const size_t at = p.movi + p.index[2].offset + 8;
    CHECK(rebuilt.bytes[at + 4 + 4 * 5 + 2] == 3);
}
