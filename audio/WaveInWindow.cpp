#include "WaveInWindow.h"

#include "Wave.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

const char kClassName[] = "VelmoraxWaveIn";

}  // namespace

bool IsNoInputDevice(const WaveInFailure& failure) {
    return failure.step == WaveInStep::Open &&
           (failure.code == MMSYSERR_BADDEVICEID || failure.code == MMSYSERR_NODRIVER);
}

const MessageEntry WaveInWindow::kMessages[] = {
    OnMessage<&WaveInWindow::OnData>(MM_WIM_DATA),
    {},
};
IMPLEMENT_MESSAGE_MAP(WaveInWindow, CWnd)

WaveInWindow::WaveInWindow(WaveInDevice& device, DWORD flushLimitMs) : wave_(device), flushLimitMs_(flushLimitMs) {}

WaveInWindow::~WaveInWindow() { Close(); }

bool WaveInWindow::Fail(WaveInStep step, MMRESULT code) {
    failure_ = {step, code};
    return false;
}

bool WaveInWindow::Start(CWave& recorder, int32_t bufferBytes, bool startNow) {
    failure_ = {};
    // A device still open was left by an earlier start: its queue holds
    // buffers of that start's size, perhaps in another format.
    if (device_) Close();
    if (bufferBytes <= 0) return Fail(WaveInStep::BufferSize, MMSYSERR_INVALPARAM);
    if (!hwnd_ && !CreateEx(0, kClassName, 0, "Wave Wnd", WS_POPUP, 0, 0, 0, 0, nullptr))
        return Fail(WaveInStep::Window, MMSYSERR_ERROR);

    const PCMWAVEFORMAT& pcm = recorder.Format();
    const WAVEFORMATEX format{pcm.wf.wFormatTag, pcm.wf.nChannels, pcm.wf.nSamplesPerSec, pcm.wf.nAvgBytesPerSec,
                              pcm.wf.nBlockAlign, pcm.wBitsPerSample, 0};
    HWAVEIN opened = nullptr;
    const MMRESULT openResult = wave_.Open(&opened, format, hwnd_);
    if (openResult != MMSYSERR_NOERROR) return Fail(WaveInStep::Open, openResult);
    device_ = opened;
    bufferBytes_ = bufferBytes;
    running_ = recorded_ = false;
    leadBytes_ =
        static_cast<DWORD>(uint64_t{wave_.RestartLeadMs()} * pcm.wf.nSamplesPerSec / 1000 * pcm.wf.nBlockAlign);
    returnedBeforeResume_ = 0;
    dropBytes_ = 0;
    held_.reserve(kQueuedBuffers + 1);

    // A device that cannot keep the full queue, or cannot start, records
    // nothing now; left open, a later resume would start it in mid-recording.
    for (int i = 0; i < kQueuedBuffers; ++i) {
        if (!QueueBuffer(recorder)) {
            CloseDevice();
            return false;
        }
    }
    if (startNow) {
        const MMRESULT startResult = wave_.Start(device_);
        if (startResult != MMSYSERR_NOERROR) {
            CloseDevice();
            return Fail(WaveInStep::Start, startResult);
        }
        Started();
    }
    return true;
}

bool WaveInWindow::QueueBuffer(CWave& recorder) {
    auto* header = static_cast<WAVEHDR*>(wave_.Allocate(sizeof(WAVEHDR)));
    void* data = header ? wave_.Allocate(static_cast<size_t>(bufferBytes_)) : nullptr;
    if (!data) {
        wave_.Free(header);
        return Fail(WaveInStep::Memory, MMSYSERR_NOMEM);
    }
    header->lpData = static_cast<LPSTR>(data);
    header->dwBufferLength = static_cast<DWORD>(bufferBytes_);
    header->dwUser = reinterpret_cast<DWORD_PTR>(&recorder);
    const MMRESULT prepared = wave_.Prepare(device_, header, sizeof(WAVEHDR));
    if (prepared != MMSYSERR_NOERROR) {
        Release(header);
        return Fail(WaveInStep::Prepare, prepared);
    }
    const MMRESULT added = wave_.Add(device_, header, sizeof(WAVEHDR));
    if (added != MMSYSERR_NOERROR) {
        Release(header);
        return Fail(WaveInStep::Add, added);
    }
    held_.push_back(header);
    return true;
}

void WaveInWindow::Release(WAVEHDR* header) {
    if (header->dwFlags & WHDR_PREPARED) wave_.Unprepare(device_, header, sizeof(WAVEHDR));
    wave_.Free(header->lpData);
    wave_.Free(header);
}

LRESULT WaveInWindow::OnData(WPARAM, LPARAM lParam) {
    auto* header = reinterpret_cast<WAVEHDR*>(lParam);
    // A header no longer held was freed when the device closed. One still
    // in the device's queue has not come back, whatever the message says: a
    // notice can come late, for a header already handled and freed whose
    // address a new, queued header now has. Taken, it would be freed under
    // the device, and the stop would no longer wait for its sound.
    const auto found = std::find(held_.begin(), held_.end(), header);
    if (found == held_.end() || (header->dwFlags & WHDR_INQUEUE)) return 0;
    held_.erase(found);

    CWave& recorder = *reinterpret_cast<CWave*>(header->dwUser);
    if (bufferBytes_ != 0) QueueBuffer(recorder);   // a failure leaves one buffer fewer queued
    wave_.Unprepare(device_, header, sizeof(WAVEHDR));

    const bool fromBeforeRestart = returnedBeforeResume_ > 0;
    const DWORD recorded = DropRestartLead(*header, std::min(header->dwBytesRecorded, header->dwBufferLength));
    if (awaitingFirst_ && !fromBeforeRestart && bufferBytes_ != 0) {
        awaitingFirst_ = false;
        FillLateStart(recorder, recorded);
    }
    const int32_t bufferSize = static_cast<int32_t>(header->dwBufferLength);
    void* data = header->lpData;
    wave_.Free(header);
    CWaveBlock* block = nullptr;
    if (recorded > 0)
        block = new (std::nothrow)
            CWaveBlock(data, bufferSize, WaveSampleCount(recorded, recorder.Format().wBitsPerSample));
    if (!block) {
        wave_.Free(data);
        return 0;
    }
    recorder.Deliver(block);
    return 0;
}

DWORD WaveInWindow::DropRestartLead(WAVEHDR& header, DWORD recorded) {
    if (returnedBeforeResume_ > 0) {   // recorded before the restart: all of it is wanted
        --returnedBeforeResume_;
        return recorded;
    }
    const DWORD drop = std::min<DWORD>(dropBytes_, recorded);
    if (drop == 0) return recorded;
    dropBytes_ -= drop;
    std::memmove(header.lpData, header.lpData + drop, recorded - drop);
    return recorded - drop;
}

void WaveInWindow::Started() {
    running_ = recorded_ = true;
    startedAt_ = wave_.Now();
    awaitingFirst_ = true;
}

// A device that starts late hands over its first sound when it would have
// been recording for longer: the time it missed since the start becomes
// silence before that sound, so the sound keeps its length and its step
// with the picture. Under Wine with PulseAudio the first samples can come
// most of a second late. The device's own latency counts as missed too: a
// device that lags by more than a buffer is then heard that much late.
void WaveInWindow::FillLateStart(CWave& recorder, DWORD recorded) {
    const PCMWAVEFORMAT& pcm = recorder.Format();
    const DWORD elapsed = wave_.ReturnTime() - startedAt_;
    const DWORD heldMs = static_cast<DWORD>(uint64_t{recorded} * 1000 / pcm.wf.nAvgBytesPerSec);
    // Up to a buffer's worth late is what a device's latency and its
    // hand-over may cost; filling that would set the sound behind the picture.
    const DWORD bufferMs = static_cast<DWORD>(uint64_t(bufferBytes_) * 1000 / pcm.wf.nAvgBytesPerSec);
    if (static_cast<int32_t>(elapsed) <= 0 || elapsed <= heldMs + bufferMs) return;
    const uint64_t samples = uint64_t{elapsed - heldMs} * pcm.wf.nSamplesPerSec / 1000;
    const size_t bytes = static_cast<size_t>(samples) * pcm.wf.nBlockAlign;
    void* data = wave_.Allocate(bytes);
    if (!data) return;
    std::memset(data, pcm.wBitsPerSample == 8 ? 0x80 : 0, bytes);
    auto* block = new (std::nothrow) CWaveBlock(data, static_cast<int32_t>(bytes), static_cast<int32_t>(samples));
    if (!block) {
        wave_.Free(data);
        return;
    }
    recorder.Deliver(block);
}

void WaveInWindow::Pause() {
    if (!device_) return;
    wave_.Stop(device_);
    running_ = false;
}

void WaveInWindow::Resume() {
    if (!device_) return;
    if (recorded_ && !running_) {
        // The buffers the stop handed back may still wait in the queue: they
        // hold sound from before the stop and are kept whole.
        returnedBeforeResume_ = 0;
        for (const WAVEHDR* header : held_)
            if (header->dwFlags & WHDR_DONE) ++returnedBeforeResume_;
        dropBytes_ = leadBytes_;
    }
    if (wave_.Start(device_) == MMSYSERR_NOERROR) Started();
}

void WaveInWindow::Flush() {
    if (!device_) return;
    bufferBytes_ = 0;
    running_ = false;
    wave_.Reset(device_);
    // Only this window's data messages are taken here: a stop, a hotkey or a
    // timer tick queued meanwhile stays for the loop that is meant to see it.
    const DWORD started = ::GetTickCount();
    while (!held_.empty()) {
        MSG msg;
        if (::PeekMessageA(&msg, hwnd_, MM_WIM_DATA, MM_WIM_DATA, PM_REMOVE)) {
            ::DispatchMessageA(&msg);
            continue;
        }
        if (::GetTickCount() - started >= flushLimitMs_) break;
        ::Sleep(2);
    }
}

void WaveInWindow::CloseDevice() {
    if (!device_) return;
    bufferBytes_ = 0;
    running_ = false;
    // After a reset the device holds no buffer, returned or not; should the
    // reset fail, the buffers are left to it rather than freed under it.
    if (wave_.Reset(device_) == MMSYSERR_NOERROR)
        for (WAVEHDR* header : held_) Release(header);
    held_.clear();
    wave_.Close(device_);
    device_ = nullptr;
}

bool WaveInWindow::Close() {
    CloseDevice();
    if (hwnd_) DestroyWindow();
    return true;
}
