// The main window's sound: the receiver that writes the wave recorder's
// blocks to the recording's sound stream, and the wave recorder as the
// recording sees it (its format, its start on the input window, its stop).
#pragma once

#include "../audio/Wave.h"
#include "../audio/WaveInWindow.h"
#include "../record/Recorder.h"
#include "../record/SoundStream.h"

#include <memory>

// The receiver: takes each delivered block off the recorder's list, hands
// its samples to the recording and deletes it.
class AudioSink : public WaveSink {
public:
    explicit AudioSink(Recorder& recorder) : recorder_(recorder) {}
    void OnWaveBlock(CWave& wave, CWaveBlock& block) override;

private:
    Recorder& recorder_;
};

// The recording's view of the wave recorder.
class WaveSoundSource : public SoundSource {
public:
    WaveSoundSource(CWave& wave, WaveSink& sink) : wave_(wave), sink_(sink) {}

    PCMWAVEFORMAT Format() const override { return wave_.Format(); }
    // Creates the input window on the first recording with sound; it stays
    // for later recordings.
    bool Start(int32_t blockBytes, bool startNow) override;
    void Stop() override;
    // The pause command: wave input stopped and restarted; nothing before
    // the first start.
    void Pause() override;
    void Resume() override;

    // Why the last start recorded nothing: no device at all, or a device
    // that would not start.
    bool NoInputDevice() const;
    // Closes the device and deletes the input window (the main window's
    // end, before the wave recorder goes).
    void DeleteInputWindow() { window_.reset(); }

private:
    CWave& wave_;
    WaveSink& sink_;
    std::unique_ptr<WaveInWindow> window_;
};
