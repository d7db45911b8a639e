// The low-level mouse and keyboard hooks of a recording that shows clicks or
// keys (ShowClicks, ShowKeys). They are installed on the user-interface
// thread, whose recording loop dispatches the messages they need, and only
// record each event into the queue that the frame grabber reads.
#pragma once

#include "InputMarks.h"

#include "../framework/Handles.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

struct AppSettings;

// The marks of the running recording, shared by the hooks (which push into
// the queue) and the grabber (which alone touches the rest).
struct InputMarkRun {
    InputEventQueue queue;
    InputMarks marks;
    std::atomic<bool> on{false};           // some mark is shown in this recording
    const std::atomic<int32_t>* state = nullptr;   // the recording state, to tell paused events
    GdiObject<HFONT> font;                 // the caption's, for the region's height
    int32_t textHeight = 0;
};
InputMarkRun& CurrentInputMarks();

// A recording starts (before its frame clock): new marks, and the hooks the
// settings ask for. Without them (none asked for, or refused) nothing is shown.
void StartInputMarks(const AppSettings& settings, const std::atomic<int32_t>& state);
// Every stop, abort and failed start: the hooks go. Any number of times.
void StopInputMarks();
