// The recording journal: what a running recording keeps beside its AVI file
// so that the file can be rebuilt when the program dies before it closes the
// file (the AVI writer writes the headers and the index only at the close).
//
// A journal is a file of records, appended as the recording goes on:
//   "VMXJRNL1", then records of  u32 type, u32 length, payload, u32 CRC-32
//   (of type, length and payload). Little-endian throughout.
//   Recording  u64 start time (FILETIME), the AVI file's full path
//   Stream     u32 stream number, the 56-byte 'strh' header, the stream name
//   Format     u32 stream number, u32 position (0), the format ('strf') bytes;
//              one per stream: a later palette change is a chunk of the file
//   Progress   u32 first position, u32 count, one key-frame bit per position
//              (bit 0 of the first byte first), u64 sound samples, u64 file
//              size, u64 file write time, u64 time of the record (FILETIME)
// A record that is torn or does not fit the ones before ends the journal:
// everything before it stands.
#pragma once

#include "../codec/FourCC.h"

#include <cstdint>
#include <string>
#include <vector>

// An AVI stream header as the 'strh' chunk holds it.
struct StreamHeader {
    uint32_t fccType = 0;
    uint32_t fccHandler = 0;
    uint32_t dwFlags = 0;
    uint16_t wPriority = 0;
    uint16_t wLanguage = 0;
    uint32_t dwInitialFrames = 0;
    uint32_t dwScale = 0;
    uint32_t dwRate = 0;
    uint32_t dwStart = 0;
    uint32_t dwLength = 0;
    uint32_t dwSuggestedBufferSize = 0;
    uint32_t dwQuality = 0;
    uint32_t dwSampleSize = 0;
    int16_t left = 0, top = 0, right = 0, bottom = 0;
};
static_assert(sizeof(StreamHeader) == 56, "the strh chunk's layout");

constexpr int kJournalStreams = 2;   // the video stream (0) and the sound stream (1)

struct JournalStream {
    bool present = false;
    StreamHeader header;
    std::string name;
    std::vector<uint8_t> format;   // the 'strf' bytes
};

struct JournalContent {
    bool valid = false;        // the Recording record was read
    uint64_t startTime = 0;
    std::string path;
    JournalStream streams[kJournalStreams];
    std::vector<uint8_t> keyFrames;   // per journaled video position: 1 key frame, 0 not
    uint64_t soundSamples = 0;
    uint64_t fileSize = 0;     // the AVI file as the last record saw it
    uint64_t fileTime = 0;
    uint64_t recordTime = 0;   // when the last record was written
};

// The journal's first bytes.
std::vector<uint8_t> JournalMagic();

std::vector<uint8_t> RecordingRecord(uint64_t startTime, const std::string& path);
std::vector<uint8_t> StreamRecord(uint32_t stream, const StreamHeader& header, const std::string& name);
// The stream's one format, at position 0.
std::vector<uint8_t> FormatRecord(uint32_t stream, const void* format, size_t bytes);

struct JournalProgress {
    uint32_t firstPosition = 0;
    std::vector<uint8_t> keyFrames;   // 1 or 0 per position from firstPosition
    uint64_t soundSamples = 0;
    uint64_t fileSize = 0;
    uint64_t fileTime = 0;
    uint64_t recordTime = 0;
};
std::vector<uint8_t> ProgressRecord(const JournalProgress& progress);

// Reads a journal's bytes; content.valid is false unless it starts with the
// magic and a Recording record.
JournalContent ParseJournal(const std::vector<uint8_t>& bytes);

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
