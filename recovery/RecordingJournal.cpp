#include "RecordingJournal.h"

#include "JournalFormat.h"

#include <algorithm>
#include <cstdio>

namespace {

uint64_t Value(const FILETIME& time) {
    return static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// Creates the folder and the folders above it that are missing.
void MakeFolders(const std::string& folder) {
    for (size_t at = folder.find_first_of("\\/", 3); at != std::string::npos; at = folder.find_first_of("\\/", at + 1))
        ::CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    ::CreateDirectoryA(folder.c_str(), nullptr);
}

StreamHeader HeaderOf(const AVISTREAMINFOA& info) {
    StreamHeader h;
    h.fccType = info.fccType;
    h.fccHandler = info.fccHandler;
    h.dwFlags = info.dwFlags;
    h.wPriority = info.wPriority;
    h.wLanguage = info.wLanguage;
    h.dwInitialFrames = info.dwInitialFrames;
    h.dwScale = info.dwScale;
    h.dwRate = info.dwRate;
    h.dwStart = info.dwStart;
    h.dwLength = info.dwLength;
    h.dwSuggestedBufferSize = info.dwSuggestedBufferSize;
    h.dwQuality = info.dwQuality;
    h.dwSampleSize = info.dwSampleSize;
    h.left = static_cast<int16_t>(info.rcFrame.left);
    h.top = static_cast<int16_t>(info.rcFrame.top);
    h.right = static_cast<int16_t>(info.rcFrame.right);
    h.bottom = static_cast<int16_t>(info.rcFrame.bottom);
    return h;
}

bool ReadFormat(PAVISTREAM stream, std::vector<uint8_t>& format) {
    LONG size = 0;
    if (::AVIStreamReadFormat(stream, 0, nullptr, &size) != 0 || size <= 0) return false;
    format.resize(static_cast<size_t>(size));
    return ::AVIStreamReadFormat(stream, 0, format.data(), &size) == 0;
}

}  // namespace

bool ReadFileFacts(const std::string& path, uint64_t& size, uint64_t& writeTime) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    writeTime = Value(data.ftLastWriteTime);
    return true;
}

uint64_t NowFileTime() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return Value(now);
}

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 2];
    const DWORD n = ::GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
}

RecordingJournal::~RecordingJournal() { Close(); }

bool RecordingJournal::Begin(const std::string& folder, const std::string& aviPath, PAVISTREAM video,
                             PAVISTREAM sound) {
    if (Active() || folder.empty() || !video) return false;
    MakeFolders(folder);
    for (unsigned attempt = 0; attempt < 100 && !Active(); ++attempt) {
        char name[80];
        std::snprintf(name, sizeof name, "\\Recording-%08lX-%08lX-%u.journal", ::GetCurrentProcessId(),
                      ::GetTickCount(), attempt);
        journalPath_ = folder + name;
        file_.Reset(::CreateFileA(journalPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!Active() && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!Active()) return false;

    aviPath_ = FullPath(aviPath);
    video_ = video;
    sound_ = sound;
    std::vector<uint8_t> start = JournalMagic();
    const std::vector<uint8_t> recording = RecordingRecord(NowFileTime(), aviPath_);
    start.insert(start.end(), recording.begin(), recording.end());
    if (!Append(start)) {
        End();
        return false;
    }
    AppendStream(0, video_);
    if (sound_) {
        AppendStream(1, sound_);
        std::vector<uint8_t> format;
        if (ReadFormat(sound_, format)) Append(FormatRecord(1, format.data(), format.size()));
    }
    Update(true);
    // The beginning is what everything else needs: on the disk before the first frame.
    if (Active()) ::FlushFileBuffers(file_.get());
    return Active();
}

void RecordingJournal::AppendStream(uint32_t number, PAVISTREAM stream) {
    AVISTREAMINFOA info{};
    if (::AVIStreamInfoA(stream, &info, sizeof info) != 0) return;
    info.szName[sizeof info.szName - 1] = 0;
    Append(StreamRecord(number, HeaderOf(info), info.szName));
}

void RecordingJournal::Update(bool now) {
    if (!Active()) return;
    bool formatWritten = false;
    std::vector<uint8_t> format;
    if (!videoFormatKnown_ && ReadFormat(video_, format)) {
        // The first frame brought the format: the stream's header may have
        // changed with it (the compressor's code and sizes). A later palette
        // change needs nothing here: the file service writes its chunk at once.
        videoFormatKnown_ = true;
        AppendStream(0, video_);
        Append(FormatRecord(0, format.data(), format.size()));
        formatWritten = now = true;
    }
    const DWORD tick = ::GetTickCount();
    if (!now && tick - lastRecord_ < kInterval) return;
    lastRecord_ = tick;

    const LONG length = ::AVIStreamLength(video_);

    JournalProgress progress;
    progress.firstPosition = static_cast<uint32_t>(positions_);
    if (length > positions_) {
        // The key frames as the file's index holds them, found forwards so
        // that each position is looked at once.
        progress.keyFrames.assign(static_cast<size_t>(length - positions_), 0);
        LONG key = ::AVIStreamFindSample(video_, positions_, FIND_KEY | FIND_NEXT);
        while (key >= positions_ && key < length) {
            progress.keyFrames[static_cast<size_t>(key - positions_)] = 1;
            const LONG next = ::AVIStreamFindSample(video_, key + 1, FIND_KEY | FIND_NEXT);
            if (next <= key) break;
            key = next;
        }
    }
    progress.soundSamples = sound_ ? static_cast<uint64_t>(std::max<LONG>(0, ::AVIStreamLength(sound_))) : 0;
    uint64_t size = 0, writeTime = 0;
    ReadFileFacts(aviPath_, size, writeTime);
    if (!now && progress.keyFrames.empty() && progress.soundSamples == soundSamples_ && size == fileSize_ && !formatWritten)
        return;   // nothing new since the last record
    progress.fileSize = size;
    progress.fileTime = writeTime;
    progress.recordTime = NowFileTime();
    if (!Append(ProgressRecord(progress))) return;
    positions_ = std::max(positions_, length);
    soundSamples_ = progress.soundSamples;
    fileSize_ = size;
}

void RecordingJournal::End() {
    if (journalPath_.empty()) return;
    Close();
    ::DeleteFileA(journalPath_.c_str());
    journalPath_.clear();
}

bool RecordingJournal::Append(const std::vector<uint8_t>& record) {
    DWORD written = 0;
    if (::WriteFile(file_.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr) &&
        written == record.size())
        return true;
    // A journal that cannot be written any more keeps what it has.
    Close();
    return false;
}

void RecordingJournal::Close() {
    file_.Reset();
}
