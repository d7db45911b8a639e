// CWave: the wave recorder. It keeps the capture format and the blocks the
// device has filled, and hands each block at once to a receiver. The device
// itself is driven by a WaveInWindow (WaveInWindow.h).
#pragma once

#include "WaveBlock.h"
#include "WaveMath.h"

#include <cstdint>

class CWave;
class WaveInWindow;

// What receives the recorder's blocks. OnWaveBlock is called for every filled
// block right after it was appended to wave.Blocks(); the receiver takes it
// over: it removes the oldest block of the list (this one) and deletes it.
class WaveSink {
public:
    virtual ~WaveSink() = default;
    virtual void OnWaveBlock(CWave& wave, CWaveBlock& block) = 0;
    // Playback finished. The program only records, so nothing sends it.
    virtual void OnPlaybackDone(CWave& wave) { (void)wave; }
};

class CWave : public CObject {
public:
    CWave() = default;
    ~CWave() override;
    CWave(const CWave&) = delete;
    CWave& operator=(const CWave&) = delete;
    const char* ClassName() const override { return "CWave"; }

    // Mono PCM at 11025, 22050 or 44100 Hz and 8 or 16 bits; any other value
    // is refused with false and changes nothing. Drops the pending blocks.
    bool SetFormat(uint32_t samplesPerSec, uint32_t bitsPerSample);
    // Deletes every pending block, oldest first.
    void ResetBlocks();

    // Keeps the receiver and the input window and starts the window's device
    // with buffers of bufferBytes; startNow false queues without recording.
    bool Start(WaveInWindow* inputWindow, int32_t bufferBytes, WaveSink* receiver, bool startNow);
    // Hands every block the device still holds to the receiver, then lets the
    // receiver go: nothing reaches it afterwards.
    void Stop();

    const PCMWAVEFORMAT& Format() const { return format_; }
    CWaveBlockList& Blocks() { return blocks_; }
    WaveInWindow* InputWindow() const { return inputWindow_; }
    WaveSink* Receiver() const { return receiver_; }

    // A filled block from the device: appended, then given to the receiver.
    void Deliver(CWaveBlock* block);

private:
    PCMWAVEFORMAT format_ = MakePcmFormat(11025, 8);
    CWaveBlockList blocks_;
    WaveInWindow* inputWindow_ = nullptr;
    WaveSink* receiver_ = nullptr;
};
