// Recorder: the recording as the window that runs it sees it. It holds the
// recording state and, from the start of a recording to its stop, the
// session (file, streams, frame ring). StartRecording runs the recording's
// own message loop and returns only when the recording is over.
#pragma once

#include "RecordState.h"
#include "RingLogic.h"
#include "SoundStream.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

struct AppSettings;
class RecordingHost;
struct RecordingSession;

// How a recording ended, for the window to report.
struct StopOutcome {
    Outcome kind = Outcome::None;
    int32_t frameCount = 0;    // positions written, or the abort code
    int32_t skipCount = 0;     // positions left empty
    HRESULT aviError = 0;      // the failed write's result
    bool soundMissing = false; // with sound, but wave input did not start: the sound stream is empty
    int64_t sizeLimit = 0;     // the file's size limit
    std::string outputPath;    // the file the recording wrote
};

class Recorder {
public:
    Recorder(AppSettings& settings, RecordingHost& host);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // The recording state. Only the recorder changes it; the frame grabber
    // reads it on the timer's thread.
    RecordState State() const { return static_cast<RecordState>(state_.load()); }

    // The pause command's transitions, each false (and nothing done) in
    // another state: Recording to Paused and back, with wave input stopped
    // and restarted in a recording with sound; Idle to StartingPaused, for a
    // start in Paused that follows at once.
    bool Pause();
    bool Resume();
    bool PrepareStartPaused();

    // Opens the file and streams, starts sound and the frame clock, sets the
    // state to mode and runs the recording loop until the state is Idle
    // again. False when the start failed: the step was reported, everything
    // released, and the state is Idle.
    bool StartRecording(RecordState mode);
    // Ends the running recording, releasing everything; the window reports
    // the outcome. Without a recording it only makes sure the state is Idle.
    StopOutcome StopRecording();
    // While paused: writes exactly one frame (and one frame of silence).
    void RecordSingleFrame();
    // The stream writer: writes the grabbed frames that wait in the ring.
    // The recording loop runs it for every wake-up of the frame clock; the
    // window runs it for wake-ups that another message loop dispatches.
    void WriteFrames();
    // A system palette change during the recording: new colours for the frames.
    void TakePaletteChange();
    // A filled sound block from the wave recorder.
    void OnWaveBlock(const PCMWAVEFORMAT& format, const void* data, int32_t sampleCount);
    // Numbers the output file name (the first free number) and tells the host.
    void NextFileName();
    // The engine's stop request for the recording of this serial number
    // (kStopRequest): runs the host's start/stop command when that recording
    // still runs; a request that outlived its recording does nothing.
    void TakeStopRequest(WPARAM serial);

    bool Running() const { return session_ != nullptr; }
    // The running recording has a sound stream (RecSound as it was at the start).
    bool WithSound() const;
    AppSettings& settings() const { return settings_; }
    RecordingHost& host() const { return host_; }

private:
    void WriteWaitingFrames();
    // The steps of a start; the first two give the failed step's text,
    // empty when all went well.
    std::string PrepareCapture(RecordingSession& session);   // format, checks, the frame clock (idle)
    std::string OpenOutput(RecordingSession& session);       // file name, file, streams, journal
    void BeginCapture(RecordingSession& session, RecordState mode);   // caption, sound, the clock's ticks
    bool FailStart(const char* step);

    AppSettings& settings_;
    RecordingHost& host_;
    std::atomic<int32_t> state_{Idle};
    std::unique_ptr<RecordingSession> session_;
    uint32_t serial_ = 0;    // of the last recording started
    bool writing_ = false;   // WriteFrames is running (it may show a message box)
};
