// WaveInWindow: the hidden window "Wave Wnd" that owns the wave input device.
// It keeps eight buffers queued at the device, turns every buffer the device
// returns (MM_WIM_DATA) into a CWaveBlock for its recorder, and on the way
// out waits for what the device still holds, so the end of the sound is kept.
#pragma once

#include "WaveInDevice.h"

#include "../framework/Wnd.h"

#include <cstdint>
#include <vector>

class CWave;

// The step at which wave input last failed, with the device's result.
enum class WaveInStep { None, BufferSize, Window, Open, Memory, Prepare, Add, Start };
struct WaveInFailure {
    WaveInStep step = WaveInStep::None;
    MMRESULT code = MMSYSERR_NOERROR;
};
// True when the failure means there is no wave input device at all.
bool IsNoInputDevice(const WaveInFailure& failure);

class WaveInWindow : public CWnd {
public:
    static constexpr int kQueuedBuffers = 8;

    // flushLimitMs bounds the wait for the device's last buffers at a stop.
    explicit WaveInWindow(WaveInDevice& device = SystemWaveIn(), DWORD flushLimitMs = 2000);
    ~WaveInWindow() override;

    // Opens the device in the recorder's format (creating the window first)
    // and queues eight buffers of bufferBytes; startNow also starts recording.
    // A device left open is closed and opened again. On false nothing stays
    // open or allocated and LastFailure() says why.
    bool Start(CWave& recorder, int32_t bufferBytes, bool startNow);
    // Stops or restarts recording; the queue stays. Nothing on a closed device.
    // After a restart the first RestartLeadMs of sound is dropped. When the
    // first sound after a start or restart comes late, the time missed comes
    // before it as silence.
    void Pause();
    void Resume();
    // Returns every buffer from the device and delivers the filled ones
    // before it returns (at most flushLimitMs); no buffer is queued again.
    void Flush();
    // Closes the device, frees every buffer, destroys the window.
    bool Close();

    bool IsOpen() const { return device_ != nullptr; }
    int32_t BufferBytes() const { return bufferBytes_; }
    // Buffers the device holds or has returned without them being handled yet.
    int HeldBuffers() const { return static_cast<int>(held_.size()); }
    const WaveInFailure& LastFailure() const { return failure_; }

    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnData(WPARAM wParam, LPARAM lParam);
    bool QueueBuffer(CWave& recorder);
    DWORD DropRestartLead(WAVEHDR& header, DWORD recorded);
    void FillLateStart(CWave& recorder, DWORD recorded);
    void Started();
    void Release(WAVEHDR* header);
    void CloseDevice();
    bool Fail(WaveInStep step, MMRESULT code);

    WaveInDevice& wave_;
    DWORD flushLimitMs_;
    HWAVEIN device_ = nullptr;
    int32_t bufferBytes_ = 4096;   // 0: returned buffers are not replaced
    bool running_ = false;         // started and not stopped since
    bool recorded_ = false;        // started at least once since the device was opened
    DWORD leadBytes_ = 0;          // the device's restart lead in this format
    int returnedBeforeResume_ = 0; // buffers the device had returned before the restart, not yet handled
    DWORD dropBytes_ = 0;          // of the sound after the restart, still to drop
    DWORD startedAt_ = 0;          // when recording last started or restarted
    bool awaitingFirst_ = false;   // no sound recorded since then has come back yet
    std::vector<WAVEHDR*> held_;   // every header given to the device and not yet handled
    WaveInFailure failure_;
};
