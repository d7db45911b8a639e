// The stream writer (Recorder::WriteFrames): full ring slots go to the
// compressed video stream at their frame positions, with a new format after
// a palette change. Empty positions keep the stream in real time.
#pragma once

#include <windows.h>

#include <cstdint>

// Positions skipped by the grabber get empty entries of their own, up to
// (not including) upTo, so that the stream keeps real time even where the
// file service would close the gap. The result of the first write that
// failed (the rest are not tried), else 0.
struct RecordingSession;
HRESULT WriteEmptyPositions(RecordingSession& session, int32_t upTo);
