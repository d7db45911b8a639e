// Rebuilding an AVI file whose writer died: a fresh header from the journal
// (main header, the video stream's strh/strf/strn, the sound stream's
// strh/strf), the chunks that reached the disk copied as they are, and an
// index of them at their positions.
#pragma once

#include "AviScan.h"
#include "JournalFormat.h"

#include <cstdint>
#include <vector>

// The stream kinds the journal names, by stream number.
void JournalStreamKinds(const JournalContent& journal, StreamKind (&kinds)[2]);

struct RebuildPlan {
    std::vector<uint8_t> header;   // RIFF header up to and including the movi list's header
    uint64_t copyFrom = 0;         // the chunks, as they lie in the old file
    uint64_t copyBytes = 0;
    bool padByte = false;          // a zero byte after them: the last chunk's pad
    std::vector<uint8_t> index;    // the idx1 chunk
    uint32_t positions = 0;        // video positions, empty ones included
    uint32_t frames = 0;           // video positions with a frame
    uint64_t soundSamples = 0;
    uint32_t rate = 0, scale = 0;  // of the video stream
};

// False when the journal lacks what a header needs (a stream's format).
bool PlanRebuild(const JournalContent& journal, const ChunkScan& scan, RebuildPlan& plan);

// Whether the video frame at position (with its chunk) is a key frame.
bool IsKeyFrame(const JournalContent& journal, uint32_t position, const ChunkEntry& chunk);

// Writes the rebuilt file: header, chunks, index.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(const void* data, size_t n) = 0;
};
bool WriteRebuilt(ByteSource& source, ByteSink& sink, const RebuildPlan& plan);
