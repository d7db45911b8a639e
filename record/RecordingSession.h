// RecordingSession: the record of the running recording (file, streams,
// capture format, contexts, counters) and its ring of five frame buffers.
// The Recorder holds it from the start of a recording to its stop; the frame
// clock's ticks reach it through the timer's user data. What it holds is
// given back by its members' owners; the stop closes the file first.
#pragma once

#include "FileSizeLimit.h"
#include "RingLogic.h"
#include "ScreenOutline.h"
#include "SoundStream.h"

#include "../framework/Handles.h"
#include "../recovery/RecordingJournal.h"

#include <windows.h>
#include <vfw.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FrameSlot {
    std::atomic<int32_t> full{0};   // 1: grabbed, not yet written
    GdiObject<HBITMAP> buffer;      // DIB section in the capture format
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
    // The frame clock stops (and a tick still running ends) before anything goes.
    ~RecordingSession();
    RecordingSession(const RecordingSession&) = delete;
    RecordingSession& operator=(const RecordingSession&) = delete;

    Recorder& recorder;            // the state, the settings and the host
    AppSettings& settings;
    HWND window = nullptr;         // the host's window: wake-ups and the stop request go there
    uint32_t serial = 0;           // tells this recording's stop request from an older one's

    // The file and its streams; ReleaseStreams closes them in this order
    // from the file's own video stream up, and the file services go last.
    AviLibrary aviLibrary;
    AviFile file;
    AviStream sound;
    AviStream video;               // compressed; frames and formats go here
    AviStream rawVideo;
    bool compressed = false;       // the frames go through a compressor (not "DIB ")
    bool withSound = false;        // RecSound when the recording started
    bool soundStarted = false;     // wave input took the start
    PCMWAVEFORMAT soundFormat{};   // of the sound stream
    HRESULT LastAviError = 0;
    std::string outputPath;        // the file this recording opened, if any
    std::string folder;            // its folder, whose disk must keep room for it
    RecordingJournal journal;      // what rebuilds the file should the program die

    // Capture format: header and colour table; palette record on screens
    // of 8 bits or fewer.
    std::vector<uint8_t> captureFormat;
    std::vector<uint8_t> palette;
    int32_t colourCount = 0;
    int32_t bitsPerPixel = 0;
    BITMAPINFO* Format() { return reinterpret_cast<BITMAPINFO*>(captureFormat.data()); }
    LOGPALETTE* Palette() { return reinterpret_cast<LOGPALETTE*>(palette.data()); }

    // Contexts: the screen; the cursor's, holding its 32 x 32 bitmap; the
    // frame's, into which a buffer of the ring is selected while a frame is
    // drawn (and which goes before the buffers do).
    WindowDc screen;
    GdiObject<HBITMAP> cursorBitmap;
    MemoryDc cursor;
    std::optional<Selection> cursorBitmapSelected;
    FrameRing ring;
    MemoryDc frame;
    HBITMAP frameInitial = nullptr;   // the frame context's own bitmap, put back after each frame
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
    std::atomic<bool> ready{false};     // the start is complete: ticks grab
    std::atomic<bool> closing{false};   // the stop has begun: ticks do nothing

    // Grabber values.
    KeyStateFunction keyState = nullptr;
    POINT previousCursor{};
    int32_t screenLeft = 0;   // the virtual screen, which panning stays on
    int32_t screenTop = 0;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    DWORD startTime = 0;
    std::string caption;
    GdiObject<HFONT> captionFont;
    ScreenOutline outline;
};

// The recording state, as the grabber reads it on the timer's thread.
int32_t StateOf(const RecordingSession& session);

// Releases the video streams, the sound stream and the file, each when it exists.
void ReleaseStreams(RecordingSession& session);

// Replaces the frame counter by an abort code: the timer is killed and the
// window is asked to stop this recording (kStopRequest). Any thread.
void AbortRecording(RecordingSession& session, int32_t code);

// Starts the frame clock (GrabFrame every FramePeriod ms), false when it
// cannot be started; kills it and waits for a tick still running.
bool StartFrameClock(RecordingSession& session);
void StopFrameClock(RecordingSession& session);
