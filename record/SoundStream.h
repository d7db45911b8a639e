// The sound side of a recording: the sound stream made from the wave
// recorder's format, and the blocks the recorder hands over.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

// What a recording needs of the wave recorder (RecordingHost::Sound).
class SoundSource {
public:
    virtual ~SoundSource() = default;
    // The recorder's current format record.
    virtual PCMWAVEFORMAT Format() const = 0;
    // Starts wave input with buffers of blockBytes; every filled block then
    // reaches OnWaveBlock. startNow false: queued but not yet recording.
    virtual bool Start(int32_t blockBytes, bool startNow) = 0;
    // Delivers every pending block to OnWaveBlock, then closes the device.
    virtual void Stop() = 0;
    // The pause command: wave input stopped and restarted, the queue kept.
    virtual void Pause() = 0;
    virtual void Resume() = 0;
};

struct RecordingSession;

// Creates the sound stream of the recording in the given format; false
// when a step failed (its result is in LastAviError).
bool PrepareSoundStream(RecordingSession& session, const PCMWAVEFORMAT& format);

// Appends sampleCount samples (bytes bytes) to the end of the sound stream
// and, when that succeeded, counts them in SoundPosition; returns the result.
HRESULT AppendSound(RecordingSession& session, int32_t sampleCount, const void* data, int32_t bytes);

// Appends one filled block of sampleCount samples to the sound stream. A
// failed write stops the recording (the AVI error is reported).
void WriteSoundBlock(RecordingSession& session, const PCMWAVEFORMAT& format, const void* data, int32_t sampleCount);
