// The rules of the five-slot frame ring and of the frame counter that the
// grabber (timer thread) and the writer (user-interface thread) share.
#pragma once

#include <atomic>
#include <cstdint>

constexpr int kSlotCount = 5;

// Abort codes held in the frame counter.
constexpr int32_t kAbortTooSlow = -10;        // the ring stayed full
constexpr int32_t kAbortFrameBuffer = -20;    // a frame buffer could not be made again
constexpr int32_t kAbortClock = -25;          // the frame clock could not be started again
constexpr int32_t kAbortFileFull = -30;       // the file reached its size limit
constexpr int32_t kAbortDiskFull = -40;       // the file's disk has no room for more
constexpr int32_t kAbortVideoWrite = -45;     // a frame could not be written
constexpr int32_t kAbortSound = -100;         // a sound block could not be written

// The slot the grabber fills next, after the one it filled last (-1 at start).
int NextGrabSlot(int grabIndex);

// The slot the writer takes next: of the full slots, the one grabbed first
// (by the grab sequence numbers, which may wrap); -1 when none is full.
// The ring order alone would not do: frames dropped while paused leave the
// grabber anywhere in the ring, and a writer that fell behind may find
// several full slots at once.
int NextFullSlot(const int32_t (&full)[kSlotCount], const uint32_t (&sequence)[kSlotCount]);

// Too many empty positions: the recording is stopped as soon as more than
// half of all positions are empty, judged from kOverrunJudgedFrom
// positions on. Before that a slow first frame (the first key frame of a
// large screen is deflated without the last one to go by) would stop a
// recording that keeps up from then on: two empty positions of the first
// three did at 2560x1440 and 60 frames a second.
constexpr int32_t kOverrunJudgedFrom = 2 * kSlotCount;
bool OverrunAborts(int32_t skipCount, int32_t frameCount);

// Takes the next frame position: returns it and raises the counter by one,
// in one atomic step; -1, and nothing changed, when an abort code is in it.
int32_t TakeFramePosition(std::atomic<int32_t>& frameCount);

// How a recording ended, by its frame counter.
enum class Outcome {
    None,           // there was no recording to stop
    SoundFailed,    // below -50
    BufferFailed,   // kAbortFrameBuffer
    ClockFailed,    // kAbortClock
    FileFull,       // kAbortFileFull
    DiskFull,       // kAbortDiskFull
    VideoFailed,    // kAbortVideoWrite
    TooSlow,        // other codes from -50 to -1
    Empty,          // no frame position at all
    Frames,         // at least one position
};
Outcome OutcomeOf(int32_t frameCount);
