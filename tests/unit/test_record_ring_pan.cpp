#include "doctest.h"

#include "record/PanStep.h"
#include "record/RingLogic.h"

#include <atomic>
#include <initializer_list>
#include <limits>

TEST_CASE("ring: the grabber's next slot") {
    CHECK(NextGrabSlot(-1) == 0);
    CHECK(NextGrabSlot(0) == 1);
    CHECK(NextGrabSlot(3) == 4);
    CHECK(NextGrabSlot(4) == 0);
}

TEST_CASE("ring: the writer takes the frame grabbed first") {
    const int32_t none[kSlotCount] = {0, 0, 0, 0, 0};
    const uint32_t noSequence[kSlotCount] = {};
    CHECK(NextFullSlot(none, noSequence) == -1);

    // Frames dropped while paused left the grabber at slot 3: the first
    // recorded frame is there, not in slot 0.
    const int32_t afterPause[kSlotCount] = {0, 0, 0, 1, 0};
    const uint32_t afterPauseSequence[kSlotCount] = {0, 0, 0, 17, 0};
    CHECK(NextFullSlot(afterPause, afterPauseSequence) == 3);

    // A writer that fell behind finds several: oldest first, across the wrap
    // of the ring.
    const int32_t behind[kSlotCount] = {1, 1, 0, 1, 1};
    const uint32_t behindSequence[kSlotCount] = {23, 24, 0, 21, 22};
    CHECK(NextFullSlot(behind, behindSequence) == 3);

    // Full slots from before and after a pause: slot 4 was grabbed before
    // the pause, slots 2 and 3 after it.
    const int32_t aroundPause[kSlotCount] = {0, 0, 1, 1, 1};
    const uint32_t aroundPauseSequence[kSlotCount] = {0, 0, 40, 41, 30};
    CHECK(NextFullSlot(aroundPause, aroundPauseSequence) == 4);

    // The grab sequence wraps after 2^32 frames.
    const int32_t all[kSlotCount] = {1, 1, 1, 1, 1};
    const uint32_t wrapped[kSlotCount] = {0xFFFFFFFEu, 0xFFFFFFFFu, 0, 1, 2};
    CHECK(NextFullSlot(all, wrapped) == 0);
    const uint32_t wrappedLater[kSlotCount] = {1, 2, 0xFFFFFFFDu, 0xFFFFFFFFu, 0};
    CHECK(NextFullSlot(all, wrappedLater) == 2);
}

TEST_CASE("ring: overrun rule") {
    CHECK_FALSE(OverrunAborts(0, 0));
    CHECK_FALSE(OverrunAborts(5, 10));   // exactly half empty
    CHECK(OverrunAborts(6, 11));
    CHECK(OverrunAborts(6, 10));   // from ten positions on
    CHECK_FALSE(OverrunAborts(1, 1));
    CHECK_FALSE(OverrunAborts(8, 9));
    CHECK(OverrunAborts(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()));
}

TEST_CASE("frame positions are taken atomically and never past an abort") {
    std::atomic<int32_t> count{0};
    CHECK(TakeFramePosition(count) == 0);
    CHECK(TakeFramePosition(count) == 1);
    CHECK(count.load() == 2);
    count = kAbortTooSlow;
    CHECK(TakeFramePosition(count) == -1);
    CHECK(count.load() == kAbortTooSlow);
}

TEST_CASE("outcome by frame counter") {
    CHECK(OutcomeOf(kAbortSound) == Outcome::SoundFailed);
    CHECK(OutcomeOf(-51) == Outcome::SoundFailed);
    CHECK(OutcomeOf(-50) == Outcome::TooSlow);
    CHECK(OutcomeOf(kAbortTooSlow) == Outcome::TooSlow);
    CHECK(OutcomeOf(-1) == Outcome::TooSlow);
    CHECK(OutcomeOf(kAbortFrameBuffer) == Outcome::BufferFailed);
    CHECK(OutcomeOf(kAbortClock) == Outcome::ClockFailed);
    CHECK(OutcomeOf(kAbortDiskFull) == Outcome::DiskFull);
    CHECK(OutcomeOf(kAbortVideoWrite) == Outcome::VideoFailed);
    CHECK(OutcomeOf(0) == Outcome::Empty);
    CHECK(OutcomeOf(1) == Outcome::Frames);
}

namespace {

PanInput Base() {
    PanInput in{};
    in.startX = 100;
    in.startY = 100;
    in.width = 320;
    in.height = 240;
    in.screenWidth = 640;
    in.screenHeight = 480;
    in.panLocked = 1;
    in.panModifiers = 6;
    in.heldModifiers = 0;
    in.x = in.previousX = 200;
    in.y = in.previousY = 200;
    return in;
}

}  // namespace

TEST_CASE("pan: the rectangle follows the pointer's movement") {
    PanInput in = Base();
    in.x = 210;
    PanResult r = PanStep(in);
    CHECK(r.startX == 110);
    CHECK(r.startY == 100);
    in = Base();
    in.y = 150;
    in.x = 190;
    r = PanStep(in);
    CHECK(r.startX == 90);
    CHECK(r.startY == 50);
}

TEST_CASE("pan: clamping at the screen edges") {
    PanInput in = Base();
    in.x = 600;   // +400: far beyond the right edge
    CHECK(PanStep(in).startX == 319);   // one pixel short: 640 - 320 - 1
    in = Base();
    in.startX = 319;
    CHECK(PanStep(in).startX == 319);
    in.startX = 320;   // touches the edge: pulled in without a move
    CHECK(PanStep(in).startX == 319);
    in = Base();
    in.x = 0;   // -200
    CHECK(PanStep(in).startX == 0);
    in = Base();
    in.startX = -50;
    in.startY = 400;
    PanResult r = PanStep(in);
    CHECK(r.startX == 0);
    CHECK(r.startY == 239);   // 480 - 240 - 1
    // As wide as the screen or wider: one stable place, tick after tick
    // (the edge rules alone alternate between 0 and below 0); the other
    // axis pans as before.
    for (const int32_t wide : {640, 800}) {
        in = Base();
        in.width = wide;
        for (int tick = 0; tick < 3; ++tick) {
            r = PanStep(in);
            CHECK(r.startX == 0);
            in.startX = r.startX;
        }
    }
    in = Base();
    in.height = 480;
    in.y = 100;
    in.x = 201;
    r = PanStep(in);
    CHECK(r.startY == 0);
    CHECK(r.startX == 101);
    in.startY = r.startY;
    CHECK(PanStep(in).startY == 0);
    // No overflow at the extremes.
    in = Base();
    in.startX = std::numeric_limits<int32_t>::max();
    in.x = std::numeric_limits<int32_t>::max();
    in.previousX = std::numeric_limits<int32_t>::min();
    CHECK(PanStep(in).startX == 319);
}

TEST_CASE("pan: the virtual screen's edges, left of and above the primary monitor") {
    // Monitors at (-1024, -200) to (1280, 768): 2304 x 968.
    PanInput in = Base();
    in.screenLeft = -1024;
    in.screenTop = -200;
    in.screenWidth = 2304;
    in.screenHeight = 968;
    in.x = -1000;   // -1200: across onto the left monitor, then its edge
    in.y = 150;
    PanResult r = PanStep(in);
    CHECK(r.startX == -1024);
    CHECK(r.startY == 50);
    in.startX = -1000;   // on the left monitor, crossing back onto the primary
    in.x = 1300;         // +1100
    CHECK(PanStep(in).startX == 100);
    in.x = 3000;   // far right: one pixel short of the right edge, 1280 - 320 - 1
    in.y = -400;   // far up: the top of the upper monitor
    r = PanStep(in);
    CHECK(r.startX == 959);
    CHECK(r.startY == -200);
    in = Base();   // a corner on no monitor at all is pulled in without a move
    in.screenLeft = -1024;
    in.screenWidth = 2048;
    in.startX = -2000;
    CHECK(PanStep(in).startX == -1024);
    in.width = 4000;   // wider than every monitor together: the virtual left
    CHECK(PanStep(in).startX == -1024);
}

TEST_CASE("pan: off, and inverted by exactly the pan modifiers") {
    PanInput in = Base();
    in.panLocked = 0;
    in.x = 250;
    CHECK(PanStep(in).startX == 100);
    in.heldModifiers = kModShift | kModControl;
    CHECK(PanStep(in).startX == 150);
    in.heldModifiers = kModShift | kModControl | kModAlt;   // Alt too: no panning
    CHECK(PanStep(in).startX == 100);
    in.heldModifiers = kModShift;
    CHECK(PanStep(in).startX == 100);

    in = Base();   // locked: the modifiers freeze the rectangle
    in.x = 250;
    in.heldModifiers = kModShift | kModControl;
    CHECK(PanStep(in).startX == 100);

    in = Base();   // no pan keys at all
    in.panLocked = 0;
    in.panModifiers = 0;
    in.heldModifiers = 0;
    in.x = 250;
    CHECK(PanStep(in).startX == 100);
    CHECK_FALSE(PanningNow(0, 0, 0));
    CHECK(PanningNow(1, 0, 0));
    CHECK(HeldModifierSet(true, true, false) == 6);
    CHECK(HeldModifierSet(false, false, true) == 1);
}
