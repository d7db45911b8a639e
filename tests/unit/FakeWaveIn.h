// A wave input device for the unit tests. It fills the queued buffers when a
// test says so and hands them back the way the system does, by posting
// MM_WIM_DATA with the header to the window; it can fail allocations, adds,
// the open and the start, and can hand buffers back late from another
// thread. Every call the system would refuse or that would corrupt memory
// sets misuse.
#pragma once

#include "audio/WaveInDevice.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <map>
#include <set>
#include <vector>

// The byte recorded at stream position i: no two buffers look alike.
inline uint8_t FakeSoundByte(size_t i) { return static_cast<uint8_t>(i ^ (i >> 8) ^ (i >> 16)); }

class FakeWaveIn : public WaveInDevice {
public:
    // What to fail.
    MMRESULT openResult = MMSYSERR_NOERROR;
    MMRESULT startResult = MMSYSERR_NOERROR;
    int failAllocation = -1;   // the allocation with this number (from 0) returns none
    int failAdd = -1;          // the add with this number (from 0) is refused
    DWORD returnDelayMs = 0;   // a reset hands the buffers back this much later
    DWORD restartLeadMs = 0;   // what RestartLeadMs reports
    DWORD clock = 0;           // Now(), and the return time of the buffer being handled

    // What happened.
    bool open = false, running = false, misuse = false;
    int opens = 0, closes = 0, allocations = 0, adds = 0;
    WAVEFORMATEX format{};
    HWND window = nullptr;
    std::deque<WAVEHDR*> queue;        // added and not handed back, in order
    std::map<void*, size_t> live;      // allocated and not freed (nor taken over by a block)
    std::set<WAVEHDR*> prepared;
    size_t recorded = 0;               // bytes recorded so far

    // Records bytes into the queued buffers; each full one is handed back.
    void Record(size_t bytes) {
        while (bytes > 0 && running && !queue.empty()) {
            WAVEHDR* h = queue.front();
            const size_t n = std::min<size_t>(bytes, h->dwBufferLength - h->dwBytesRecorded);
            for (size_t i = 0; i < n; ++i) h->lpData[h->dwBytesRecorded + i] = static_cast<char>(FakeSoundByte(recorded + i));
            h->dwBytesRecorded += static_cast<DWORD>(n);
            recorded += n;
            bytes -= n;
            if (h->dwBytesRecorded == h->dwBufferLength) HandBack({h}, 0);
        }
    }
    // Posts MM_WIM_DATA for a header the device still holds, as a late
    // notice for an address that a new header has taken over.
    void NotifyStale(WAVEHDR* h) {
        ::PostMessageA(window, MM_WIM_DATA, reinterpret_cast<WPARAM>(Handle()), reinterpret_cast<LPARAM>(h));
    }
    // A block's data now belongs to the block, which frees it itself.
    void Adopt(const void* data) { live.erase(const_cast<void*>(data)); }

    MMRESULT Open(HWAVEIN* device, const WAVEFORMATEX& f, HWND notify) override {
        if (open) misuse = true;
        ++opens;
        if (openResult != MMSYSERR_NOERROR) return openResult;
        open = true;
        format = f;
        window = notify;
        *device = Handle();
        return MMSYSERR_NOERROR;
    }
    MMRESULT Prepare(HWAVEIN device, WAVEHDR* h, UINT bytes) override {
        if (!Valid(device, h, bytes) || !h->lpData || !live.count(h->lpData) || live[h->lpData] < h->dwBufferLength) {
            misuse = true;
            return MMSYSERR_INVALPARAM;
        }
        h->dwFlags |= WHDR_PREPARED;
        prepared.insert(h);
        return MMSYSERR_NOERROR;
    }
    MMRESULT Add(HWAVEIN device, WAVEHDR* h, UINT bytes) override {
        if (!Valid(device, h, bytes) || !(h->dwFlags & WHDR_PREPARED)) {
            misuse = true;
            return WAVERR_UNPREPARED;
        }
        if (adds++ == failAdd) return MMSYSERR_NOMEM;
        h->dwFlags = (h->dwFlags & ~static_cast<DWORD>(WHDR_DONE)) | WHDR_INQUEUE;
        h->dwBytesRecorded = 0;
        queue.push_back(h);
        return MMSYSERR_NOERROR;
    }
    MMRESULT Unprepare(HWAVEIN device, WAVEHDR* h, UINT bytes) override {
        if (!Valid(device, h, bytes) || (h->dwFlags & WHDR_INQUEUE)) misuse = true;
        h->dwFlags &= ~static_cast<DWORD>(WHDR_PREPARED);
        prepared.erase(h);
        return MMSYSERR_NOERROR;
    }
    MMRESULT Start(HWAVEIN device) override {
        if (device != Handle() || !open) misuse = true;
        if (startResult != MMSYSERR_NOERROR) return startResult;
        running = true;
        return MMSYSERR_NOERROR;
    }
    // The buffer being filled comes back with what it holds; the rest wait.
    MMRESULT Stop(HWAVEIN device) override {
        if (device != Handle() || !open) misuse = true;
        if (running && !queue.empty() && queue.front()->dwBytesRecorded > 0) HandBack({queue.front()}, 0);
        running = false;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Reset(HWAVEIN device) override {
        if (device != Handle() || !open) misuse = true;
        running = false;
        HandBack(std::vector<WAVEHDR*>(queue.begin(), queue.end()), returnDelayMs);
        return MMSYSERR_NOERROR;
    }
    MMRESULT Close(HWAVEIN device) override {
        if (device != Handle() || !open) misuse = true;
        if (!queue.empty()) {
            misuse = true;
            return WAVERR_STILLPLAYING;
        }
        ++closes;
        open = false;
        return MMSYSERR_NOERROR;
    }
    DWORD RestartLeadMs() const override { return restartLeadMs; }
    DWORD Now() const override { return clock; }
    DWORD ReturnTime() const override { return clock; }
    void* Allocate(size_t bytes) override {
        if (allocations++ == failAllocation) return nullptr;
        void* memory = std::calloc(1, bytes);
        live[memory] = bytes;
        return memory;
    }
    void Free(void* memory) override {
        if (!memory) return;
        if (!live.erase(memory)) misuse = true;   // freed twice, or not ours
        const auto queued = std::find(queue.begin(), queue.end(), memory);
        if (queued != queue.end()) {   // freed under the device: it is never filled again
            misuse = true;
            queue.erase(queued);
        }
        std::free(memory);
    }

private:
    static HWAVEIN Handle() { return reinterpret_cast<HWAVEIN>(static_cast<uintptr_t>(0x5A7E)); }

    bool Valid(HWAVEIN device, WAVEHDR* h, UINT bytes) {
        return device == Handle() && open && bytes == sizeof(WAVEHDR) && live.count(h) && live[h] >= sizeof(WAVEHDR);
    }

    struct Later {
        HWND window;
        std::vector<WAVEHDR*> headers;
        DWORD delayMs;
    };
    static DWORD WINAPI PostLater(void* param) {
        auto* later = static_cast<Later*>(param);
        ::Sleep(later->delayMs);
        for (WAVEHDR* h : later->headers)
            ::PostMessageA(later->window, MM_WIM_DATA, reinterpret_cast<WPARAM>(Handle()), reinterpret_cast<LPARAM>(h));
        delete later;
        return 0;
    }

    void HandBack(const std::vector<WAVEHDR*>& headers, DWORD delayMs) {
        for (WAVEHDR* h : headers) {
            queue.erase(std::find(queue.begin(), queue.end(), h));
            h->dwFlags = (h->dwFlags & ~static_cast<DWORD>(WHDR_INQUEUE)) | WHDR_DONE;
        }
        auto* later = new Later{window, headers, delayMs};
        if (delayMs == 0) {
            later->delayMs = 0;
            PostLater(later);
        } else if (HANDLE thread = ::CreateThread(nullptr, 0, PostLater, later, 0, nullptr)) {
            ::CloseHandle(thread);
        }
    }
};
