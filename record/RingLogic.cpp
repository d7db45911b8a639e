#include "RingLogic.h"

int NextGrabSlot(int grabIndex) { return grabIndex + 1 >= kSlotCount ? 0 : grabIndex + 1; }

int NextFullSlot(const int32_t (&full)[kSlotCount], const uint32_t (&sequence)[kSlotCount]) {
    int oldest = -1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!full[slot]) continue;
        if (oldest < 0 || static_cast<int32_t>(sequence[slot] - sequence[oldest]) < 0) oldest = slot;
    }
    return oldest;
}

bool OverrunAborts(int32_t skipCount, int32_t frameCount) {
    return frameCount >= kOverrunJudgedFrom && 2 * static_cast<int64_t>(skipCount) > frameCount;
}

int32_t TakeFramePosition(std::atomic<int32_t>& frameCount) {
    int32_t position = frameCount.load();
    do {
        if (position < 0) return -1;
    } while (!frameCount.compare_exchange_weak(position, position + 1));
    return position;
}

Outcome OutcomeOf(int32_t frameCount) {
    if (frameCount < -50) return Outcome::SoundFailed;
    if (frameCount == kAbortFrameBuffer) return Outcome::BufferFailed;
    if (frameCount == kAbortClock) return Outcome::ClockFailed;
    if (frameCount == kAbortFileFull) return Outcome::FileFull;
    if (frameCount == kAbortDiskFull) return Outcome::DiskFull;
    if (frameCount == kAbortVideoWrite) return Outcome::VideoFailed;
    if (frameCount < 0) return Outcome::TooSlow;
    if (frameCount == 0) return Outcome::Empty;
    return Outcome::Frames;
}
