// The recording's own message loop: it runs while the state is not Idle,
// writes frames on the grabber's wake-ups and takes palette changes and
// hotkeys itself.
#pragma once

class Recorder;

void RunRecordingLoop(Recorder& recorder);
