#include "WaveInDevice.h"

#include <cstdlib>

void* WaveInDevice::Allocate(size_t bytes) { return std::calloc(1, bytes); }

void WaveInDevice::Free(void* memory) { std::free(memory); }

namespace {

class WinmmWaveIn final : public WaveInDevice {
public:
    MMRESULT Open(HWAVEIN* device, const WAVEFORMATEX& format, HWND notify) override {
        return ::waveInOpen(device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(notify), 0,
                            CALLBACK_WINDOW);
    }
    MMRESULT Prepare(HWAVEIN device, WAVEHDR* header, UINT headerBytes) override {
        return ::waveInPrepareHeader(device, header, headerBytes);
    }
    MMRESULT Add(HWAVEIN device, WAVEHDR* header, UINT headerBytes) override {
        return ::waveInAddBuffer(device, header, headerBytes);
    }
    MMRESULT Unprepare(HWAVEIN device, WAVEHDR* header, UINT headerBytes) override {
        return ::waveInUnprepareHeader(device, header, headerBytes);
    }
    MMRESULT Start(HWAVEIN device) override { return ::waveInStart(device); }
    MMRESULT Stop(HWAVEIN device) override { return ::waveInStop(device); }
    MMRESULT Reset(HWAVEIN device) override { return ::waveInReset(device); }
    MMRESULT Close(HWAVEIN device) override { return ::waveInClose(device); }
    DWORD RestartLeadMs() const override { return RunsOnWine() ? 100 : 0; }

private:
    static bool RunsOnWine() {
        const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
        return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
    }
};

}  // namespace

WaveInDevice& SystemWaveIn() {
    static WinmmWaveIn device;
    return device;
}
