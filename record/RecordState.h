// The recording state, a member of the main window; read by the frame
// grabber on the timer thread, so it is held atomically.
#pragma once

#include <cstdint>

enum RecordState : int32_t {
    Idle = 0,            // no recording
    Recording = 1,       // every grabbed frame is written
    Paused = 2,          // frames are grabbed but dropped
    StartingPaused = 3,  // the pause command arrived while idle; the start follows at once
};
