// The recording's own message loop: it runs while the state is not Idle,
// writes frames on the grabber's timer messages and takes palette changes
// and hotkeys itself.
#pragma once

void RunRecordingLoop();
