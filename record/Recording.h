// The recording session as the main window sees it. A recording runs inside
// StartRecording, in its own message loop, until StopRecording sets the
// state back to Idle.
#pragma once

#include "RecordState.h"

// Opens the file and streams, starts sound and the frame clock, sets the
// state to mode and runs the recording loop until the state is Idle again.
// False when the start failed (reported, and everything released).
bool StartRecording(RecordState mode);

// Ends the running recording and reports its outcome. Called while Idle
// (after a failed start) it runs the main window's start/stop command,
// which comes back here and then restores the idle layout.
void StopRecording();

// While paused: writes exactly one frame (and one frame of silence).
void RecordSingleFrame();

// Numbers the output file name (the first free number) and shows it on
// the video page.
void NextFileName();
