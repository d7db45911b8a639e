#include "RecoveryRun.h"

#include "RecordingJournal.h"

#include "../framework/Handles.h"

#include <windows.h>

#include <algorithm>
#include <set>

namespace {

constexpr uint64_t kSecond = 10000000;   // FILETIME units
// The file's time may lag its last record by a timer's granularity, and run
// ahead of it by the writes that came after the record (under a second).
constexpr uint64_t kEarlier = 2 * kSecond;
constexpr uint64_t kLater = 10 * kSecond;

class FileSource : public ByteSource {
public:
    explicit FileSource(HANDLE file) : file_(file) {
        LARGE_INTEGER size{};
        if (::GetFileSizeEx(file, &size)) size_ = static_cast<uint64_t>(size.QuadPart);
    }
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t n) override {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!::SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) return 0;
        size_t done = 0;
        while (done < n) {
            DWORD got = 0;
            const auto want = static_cast<DWORD>(std::min<size_t>(n - done, 1u << 30));
            if (!::ReadFile(file_, static_cast<uint8_t*>(buffer) + done, want, &got, nullptr) || got == 0) break;
            done += got;
        }
        return done;
    }

private:
    HANDLE file_;
    uint64_t size_ = 0;
};

class FileSink : public ByteSink {
public:
    explicit FileSink(HANDLE file) : file_(file) {}
    bool Write(const void* data, size_t n) override {
        size_t done = 0;
        while (done < n) {
            DWORD put = 0;
            const auto want = static_cast<DWORD>(std::min<size_t>(n - done, 1u << 30));
            if (!::WriteFile(file_, static_cast<const uint8_t*>(data) + done, want, &put, nullptr) || put == 0)
                return false;
            done += put;
        }
        return true;
    }

private:
    HANDLE file_;
};

struct Journal {
    std::string path;
    FileHandle file;
    JournalContent content;
};

// Opens a journal that no recording holds (the writer shares it for reading
// only, so an open that shares nothing fails while it lives) and keeps it
// open, so that a second program starting at the same time leaves it alone.
bool OpenJournal(const std::string& path, Journal& journal) {
    journal.path = path;
    journal.file = FileHandle(::CreateFileA(path.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!journal.file) return false;
    FileSource source(journal.file.get());
    if (source.Size() > (256u << 20)) return true;   // not ours: unreadable, and it goes
    std::vector<uint8_t> bytes(static_cast<size_t>(source.Size()));
    bytes.resize(source.ReadAt(0, bytes.data(), bytes.size()));
    journal.content = ParseJournal(bytes);
    return true;
}

void RemoveJournal(Journal& journal) {
    FILE_DISPOSITION_INFO remove{TRUE};
    if (!::SetFileInformationByHandle(journal.file.get(), FileDispositionInfo, &remove, sizeof remove)) {
        journal.file.Reset();
        ::DeleteFileA(journal.path.c_str());
    }
    journal.file.Reset();
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

FileFacts FactsOf(const std::string& path) {
    FileFacts facts;
    facts.exists = ReadFileFacts(path, facts.size, facts.writeTime);
    return facts;
}

// Writes the rebuilt file beside the old one and puts it in its place.
bool Rebuild(ByteSource& source, FileHandle& old, const std::string& path, const RebuildPlan& plan) {
    const std::string part = RebuildingName(path);
    FileHandle out(::CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    FileSink sink(out.get());
    bool done = WriteRebuilt(source, sink, plan) && ::FlushFileBuffers(out.get());
    out.Reset();
    old.Reset();
    done = done && ::MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!done) ::DeleteFileA(part.c_str());
    return done;
}

uint32_t Seconds(const RebuildPlan& plan) {
    if (plan.rate == 0) return 0;
    return static_cast<uint32_t>((static_cast<uint64_t>(plan.positions) * plan.scale + plan.rate / 2) / plan.rate);
}

RecoveryResult RecoverOne(Journal& journal, RecoveryPrompt* prompt) {
    RecoveryResult result{journal.path, journal.content.path};
    const std::string& path = journal.content.path;
    if (!path.empty()) ::DeleteFileA(RebuildingName(path).c_str());   // what a rebuild that died left

    result.verdict = CheckFileFacts(journal.content, FactsOf(path));
    if (result.verdict != Verdict::Rebuild) {
        RemoveJournal(journal);
        return result;
    }
    // Shared with readers only: nobody writes to it while it is looked at and copied.
    FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    RebuildPlan plan;
    if (!file) {
        result.verdict = ::GetLastError() == ERROR_SHARING_VIOLATION ? Verdict::InUse : Verdict::CannotRebuild;
    } else {
        FileSource source(file.get());
        result.verdict = AssessFile(journal.content, source, plan);
        if (result.verdict == Verdict::Rebuild) {
            if (prompt && !prompt->AskRebuild(path, plan.frames, Seconds(plan))) {
                RemoveJournal(journal);   // left as it is, as the user wished
                return result;
            }
            result.rebuilt = Rebuild(source, file, path, plan);
            if (!result.rebuilt) result.verdict = Verdict::CannotRebuild;
        }
    }
    file.Reset();
    switch (result.verdict) {
    case Verdict::InUse:
        result.journalKept = true;
        return result;
    case Verdict::CannotRebuild:
        if (!prompt) {
            result.journalKept = true;   // a start that asks will tell
            return result;
        }
        prompt->TellNotRebuilt(path);
        break;
    case Verdict::Empty:
        ::DeleteFileA(path.c_str());
        break;
    default:
        break;
    }
    RemoveJournal(journal);
    return result;
}

}  // namespace

std::string RebuildingName(const std::string& path) { return path + ".rebuilding"; }

Verdict CheckFileFacts(const JournalContent& journal, const FileFacts& facts) {
    if (!journal.valid || journal.path.empty()) return Verdict::Unreadable;
    if (!facts.exists) return Verdict::Gone;
    if (facts.size < journal.fileSize) return Verdict::Changed;
    if (journal.fileTime != 0 && facts.writeTime + kEarlier < journal.fileTime) return Verdict::Changed;
    const uint64_t lastRecord = journal.recordTime != 0 ? journal.recordTime : journal.startTime;
    if (lastRecord != 0 && facts.writeTime > lastRecord + kLater) return Verdict::Changed;
    return Verdict::Rebuild;
}

Verdict AssessFile(const JournalContent& journal, ByteSource& file, RebuildPlan& plan) {
    StreamKind kinds[2];
    JournalStreamKinds(journal, kinds);
    const AviLayout layout = FindAviLayout(file, kinds);
    switch (layout.shape) {
    case AviShape::Complete: return Verdict::Complete;
    case AviShape::Zeros: return Verdict::Empty;
    case AviShape::Unknown: return Verdict::CannotRebuild;
    case AviShape::Interrupted: break;
    }
    const ChunkScan scan = ScanChunks(file, layout.dataStart, kinds);
    // Not one whole chunk (a part of the first frame at most): nothing to
    // rebuild, but not nothing either, so the file stays.
    return PlanRebuild(journal, scan, plan) ? Verdict::Rebuild : Verdict::CannotRebuild;
}

std::vector<RecoveryResult> RecoverRecordings(const std::string& folder, RecoveryPrompt* prompt) {
    std::vector<Journal> journals;
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA((folder + "\\*.journal").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            Journal journal;
            if (OpenJournal(folder + "\\" + found.cFileName, journal)) journals.push_back(std::move(journal));
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    // Of several journals naming one file, the newest recording made it.
    std::sort(journals.begin(), journals.end(),
              [](const Journal& a, const Journal& b) { return a.content.startTime > b.content.startTime; });
    std::vector<RecoveryResult> results;
    std::set<std::string> seen;
    for (Journal& journal : journals) {
        const std::string name = Lowered(journal.content.path);
        if (journal.content.valid && !seen.insert(name).second) {
            results.push_back({journal.path, journal.content.path, Verdict::Changed});
            RemoveJournal(journal);
            continue;
        }
        results.push_back(RecoverOne(journal, prompt));
    }
    return results;
}
