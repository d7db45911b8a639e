// The journal of a running recording (the records are described in
// JournalFormat.h). It is kept beside nothing: in a folder of the user's own,
// where the next start of the program looks for journals of recordings that
// did not end. Everything it writes down it reads from the AVI file's own
// streams (the file stream, not the compressed one), so it holds what the
// file service would have written into the headers and the index.
//
// The file stays open, shared for reading only, while the recording runs:
// a second instance of the program can tell a live journal from a left one.
#pragma once

#include "../framework/Handles.h"

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <string>
#include <vector>

class RecordingJournal {
public:
    RecordingJournal() = default;
    ~RecordingJournal();   // a journal not ended stays on disk
    RecordingJournal(const RecordingJournal&) = delete;
    RecordingJournal& operator=(const RecordingJournal&) = delete;

    // After the file and its streams exist: creates the journal in folder
    // with the file's full path, the stream headers and the formats known so
    // far. False (and no journal) when it cannot be written; the recording
    // goes on without one.
    bool Begin(const std::string& folder, const std::string& aviPath, PAVISTREAM video, PAVISTREAM sound);
    // Writes down what the streams hold now: at once when the video stream
    // has just got its first format, else at most every kInterval ms
    // (always with now set). Cheap when there is nothing to do.
    void Update(bool now = false);
    // The recording ended normally: its file is closed (or deleted), the journal goes.
    void End();

    bool Active() const { return static_cast<bool>(file_); }
    const std::string& Path() const { return journalPath_; }

    static constexpr DWORD kInterval = 500;

private:
    bool Append(const std::vector<uint8_t>& record);
    void AppendStream(uint32_t number, PAVISTREAM stream);
    void Close();

    FileHandle file_;
    std::string journalPath_;
    std::string aviPath_;
    PAVISTREAM video_ = nullptr;
    PAVISTREAM sound_ = nullptr;
    bool videoFormatKnown_ = false;
    LONG positions_ = 0;                 // video positions written down
    uint64_t soundSamples_ = 0;
    uint64_t fileSize_ = 0;
    DWORD lastRecord_ = 0;
};

// The user's journal folder (under the local application data), or empty
// when there is none.
std::string RecoveryFolder();

// A file's size and last write time (FILETIME); false when it does not exist.
bool ReadFileFacts(const std::string& path, uint64_t& size, uint64_t& writeTime);
// The time now as a FILETIME value.
uint64_t NowFileTime();
// The file as the user finds it: a relative name is taken from the current
// folder; the name as it is when it cannot be completed.
std::string FullPath(const std::string& path);
