// What a recording asks of the window that runs it. The recording engine
// knows nothing of the window beyond this; the main window implements it.
#pragma once

#include <windows.h>

class SoundSource;

// The engine's own request to stop a recording (an abort: the ring overran,
// a write failed, the file is full), posted to the recording window with the
// recording's serial number as wParam. It stops that recording only: one
// that arrives after its recording ended, by then stopped some other way,
// is dropped.
constexpr UINT kStopRequest = WM_APP + 0x56;

class RecordingHost {
public:
    virtual ~RecordingHost() = default;

    // The window that runs the recording: it owns the recording's messages,
    // is hidden while recording and restored at the stop, and receives the
    // frame clock's wake-ups (WM_TIMER) and the engine's own stop request
    // (kStopRequest, which it hands to Recorder::TakeStopRequest).
    virtual HWND RecordingWindow() const = 0;
    // A hotkey taken by the recording loop.
    virtual void OnHotKey(WPARAM id, LPARAM lParam) = 0;
    // The start/stop command. The engine runs it to end a recording on its
    // own (a failed start, a format the compressor refuses); it stops the
    // recording and returns the window to its idle layout.
    virtual void OnStartStop() = 0;
    // The output file name was numbered before the recording.
    virtual void OnOutputNameChanged() = 0;
    // The program ends after this recording: the window stays hidden at the stop.
    virtual bool ExitAfterRecording() const = 0;
    // The wave recorder for recordings with sound.
    virtual SoundSource& Sound() = 0;
};
