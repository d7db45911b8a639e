// Recordings that did not end: the journals left in the journal folder, what
// became of each journal's file, and the rebuild. A rebuild writes a new file
// beside the old one and puts it in the old one's place only when it is
// complete; nothing else ever changes a recording's file (except deleting one
// that holds nothing but zeros, as a recording without a frame is deleted).
#pragma once

#include "AviRebuild.h"
#include "JournalFormat.h"

#include <cstdint>
#include <string>
#include <vector>

struct FileFacts {
    bool exists = false;
    uint64_t size = 0;
    uint64_t writeTime = 0;   // FILETIME
};

enum class Verdict {
    Unreadable,      // the journal names no file
    Gone,            // the file was removed
    Changed,         // the file was changed since (or replaced), or a newer journal names it
    InUse,           // another program (or recording) has the file open for writing
    Complete,        // the file was closed after all
    Empty,           // nothing but zeros reached the disk
    CannotRebuild,   // there is something, but not a whole chunk or not what a header needs
    Rebuild,
};

// Whether the file can still be the one the journal's recording left, by
// its size and time: it only grew after the last record, and not long after.
Verdict CheckFileFacts(const JournalContent& journal, const FileFacts& facts);
// What the file holds, and the rebuild's plan when it can be rebuilt.
Verdict AssessFile(const JournalContent& journal, ByteSource& file, RebuildPlan& plan);

// What is asked and told at a normal start.
class RecoveryPrompt {
public:
    virtual ~RecoveryPrompt() = default;
    // True: rebuild the file now; false: leave it as it is.
    virtual bool AskRebuild(const std::string& path, uint32_t frames, uint32_t seconds) = 0;
    // The file could not be rebuilt and is left as it was.
    virtual void TellNotRebuilt(const std::string& path) = 0;
};

struct RecoveryResult {
    std::string journal;
    std::string path;
    Verdict verdict = Verdict::Unreadable;
    bool rebuilt = false;
    bool journalKept = false;
};

// Handles every journal in folder that no running recording holds. With a
// prompt the user decides about each rebuild and learns of the files that
// cannot be rebuilt (their journals then go); without one, everything that
// can be rebuilt is, and the journals of the rest stay for a start that asks.
std::vector<RecoveryResult> RecoverRecordings(const std::string& folder, RecoveryPrompt* prompt);

// The name of the new file while it is being written.
std::string RebuildingName(const std::string& path);
