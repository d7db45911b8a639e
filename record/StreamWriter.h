// The stream writer: full ring slots go to the compressed video stream at
// their frame positions, with a new format after a palette change.
#pragma once

#include <cstdint>

// Writes every full slot in ring order; returns early when a message is
// waiting, so that the recording loop handles it first.
void WriteFrames();

// Positions skipped by the grabber get empty entries of their own, up to
// (not including) upTo, so that the stream keeps real time even where the
// file service would close the gap.
struct RecordingSession;
void WriteEmptyPositions(RecordingSession& session, int32_t upTo);
