// RecordingSession: the record of the running recording (file, streams,
// capture format, contexts, counters) and its ring of five frame buffers.
// The Recorder holds it from the start of a recording to its stop; the frame
// clock's ticks reach it through the timer's user data.
#pragma once

#include "FileSizeLimit.h"
#include "RecordingJournal.h"
#include "RingLogic.h"
#include "SoundStream.h"

#include <windows.h>
#include <vfw.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct FrameSlot {
    std::atomic<int32_t> full{0};   // 1: grabbed, not yet written
    HBITMAP buffer = nullptr;       // DIB section in the capture format
    void* pixels = nullptr;
    int32_t paletteVersion = 0;     // PaletteVersion when the buffer was made
    uint32_t sequence = 0;          // grab order, set before full; read only while full
};

using FrameRing = FrameSlot[kSlotCount];
using KeyStateFunction = SHORT(WINAPI*)(int);

class Recorder;
struct AppSettings;

struct RecordingSession {
    explicit RecordingSession(Recorder& owner);

    Recorder& recorder;            // the state, the settings and the host
    AppSettings& settings;
    HWND window = nullptr;         // the host's window: wake-ups and the stop request go there

    // The file and its streams.
    PAVIFILE file = nullptr;
    PAVISTREAM rawVideo = nullptr;
    PAVISTREAM video = nullptr;    // compressed; frames and formats go here
    PAVISTREAM sound = nullptr;
    bool compressed = false;       // the frames go through a compressor (not "DIB ")
    bool withSound = false;        // RecSound when the recording started
    bool soundStarted = false;     // wave input took the start
    PCMWAVEFORMAT soundFormat{};   // of the sound stream
    HRESULT LastAviError = 0;
    std::string outputPath;        // the file this recording opened, if any
    RecordingJournal journal;      // what rebuilds the file should the program die
    bool aviInitialised = false;

    // Capture format: header and colour table; palette record on screens
    // of 8 bits or fewer.
    std::vector<uint8_t> captureFormat;
    std::vector<uint8_t> palette;
    int32_t colourCount = 0;
    int32_t bitsPerPixel = 0;
    BITMAPINFO* Format() { return reinterpret_cast<BITMAPINFO*>(captureFormat.data()); }
    LOGPALETTE* Palette() { return reinterpret_cast<LOGPALETTE*>(palette.data()); }

    // Contexts.
    HDC screen = nullptr;
    HDC frame = nullptr;
    HBITMAP frameInitial = nullptr;
    HDC cursor = nullptr;
    HBITMAP cursorBitmap = nullptr;
    HBITMAP cursorInitial = nullptr;

    FrameRing ring;
    int32_t frameSize = 0;

    // Counters shared with the grabber.
    std::atomic<int32_t> FrameCount{0};
    std::atomic<int32_t> SkipCount{0};
    std::atomic<int32_t> PaletteVersion{0};
    std::atomic<int32_t> positionsBeforeAbort{0};   // FrameCount when an abort code replaced it

    // Frame positions taken so far, also after an abort.
    int32_t PositionCount() const {
        const int32_t count = FrameCount.load();
        return count >= 0 ? count : positionsBeforeAbort.load();
    }
    int32_t SoundPosition = 0;
    int grabIndex = -1;
    uint32_t grabSequence = 0;          // frames grabbed so far (grabber only)
    int32_t lastWrittenPaletteVersion = -1;
    int32_t streamLength = 0;           // positions the video stream holds (written or empty)

    // What the file will hold, against its size limit; and the room kept
    // for the sound that still reaches the file when the recording stops.
    FileSizeBudget budget;
    int64_t soundReserve = 0;

    // The test aid that reports the writer's longest frame (empty: none).
    std::string writeTimesPath;
    double longestWriteMs = 0;

    // Frame clock.
    int32_t FramePeriod = 0;
    std::atomic<UINT> timer{0};
    std::atomic<int32_t> grabbing{0};   // a tick is running
    std::atomic<bool> closing{false};   // the stop has begun: ticks do nothing

    // Grabber values.
    KeyStateFunction keyState = nullptr;
    POINT previousCursor{};
    DWORD attachedThread = 0;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    DWORD startTime = 0;
    std::string caption;
    HFONT captionFont = nullptr;
};

// The recording state, as the grabber reads it on the timer's thread.
int32_t StateOf(const RecordingSession& session);

// Releases the video streams, the sound stream and the file, each when it exists.
void ReleaseStreams(RecordingSession& session);

// Replaces the frame counter by an abort code: the timer is killed and the
// window is told to stop (start hotkey message). Any thread.
void AbortRecording(RecordingSession& session, int32_t code);

// Starts the frame clock (GrabFrame every FramePeriod ms); kills it and waits
// for a tick still running.
void StartFrameClock(RecordingSession& session);
void StopFrameClock(RecordingSession& session);
