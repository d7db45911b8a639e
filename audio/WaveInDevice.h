// The wave input calls the recorder makes, behind an interface so that a
// device that fails or answers late can stand in for the system's.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>

class WaveInDevice {
public:
    virtual ~WaveInDevice() = default;

    // Opens the system's default input (the wave mapper) in the given format;
    // every returned buffer is posted to notify as MM_WIM_DATA.
    virtual MMRESULT Open(HWAVEIN* device, const WAVEFORMATEX& format, HWND notify) = 0;
    virtual MMRESULT Prepare(HWAVEIN device, WAVEHDR* header, UINT headerBytes) = 0;
    virtual MMRESULT Add(HWAVEIN device, WAVEHDR* header, UINT headerBytes) = 0;
    virtual MMRESULT Unprepare(HWAVEIN device, WAVEHDR* header, UINT headerBytes) = 0;
    virtual MMRESULT Start(HWAVEIN device) = 0;
    virtual MMRESULT Stop(HWAVEIN device) = 0;
    virtual MMRESULT Reset(HWAVEIN device) = 0;
    virtual MMRESULT Close(HWAVEIN device) = 0;

    // Milliseconds of sound that the device, stopped and started again,
    // delivers before the new sound although it was recorded at the stop:
    // dropped, so that the sound after a resume stays in step with the picture.
    virtual DWORD RestartLeadMs() const { return 0; }

    // Milliseconds on the clock of the buffer notices: now, and when the
    // device handed back the buffer whose notice is being handled.
    virtual DWORD Now() const { return ::GetTickCount(); }
    virtual DWORD ReturnTime() const { return static_cast<DWORD>(::GetMessageTime()); }

    // Zeroed memory for headers and sample buffers, or none; blocks free
    // what they take over with std::free, so both must stay malloc's.
    virtual void* Allocate(size_t bytes);
    virtual void Free(void* memory);
};

// The system's wave input (winmm). Under Wine a device stopped and started
// again first hands over about 100 ms recorded just after the stop, however
// long it was stopped; Windows does not.
WaveInDevice& SystemWaveIn();
