#include "doctest.h"

#include "record/InputMarks.h"

#include <string>

namespace {

// A US layout for the keys the cases use, with one AltGr character.
char UsTyped(uint32_t key, bool shift, bool altGr) {
    if (altGr) return key == 'Q' ? '@' : 0;
    if (key >= 'A' && key <= 'Z') return static_cast<char>(shift ? key : key - 'A' + 'a');
    if (key == '1') return shift ? '!' : '1';
    if (key == 0x20) return ' ';
    if (key == 0xBD) return shift ? '_' : '-';   // VK_OEM_MINUS
    return 0;
}

constexpr uint32_t kCtrl = 0xA2, kShift = 0xA0, kRightShift = 0xA1, kAlt = 0xA4, kRightAlt = 0xA5, kWin = 0x5B;
constexpr uint32_t kTab = 0x09, kEnter = 0x0D, kF3 = 0x72, kF4 = 0x73;

InputEvent Key(uint32_t key, bool down = true, bool paused = false) {
    InputEvent e;
    e.kind = down ? InputKind::KeyDown : InputKind::KeyUp;
    e.key = key;
    e.paused = paused;
    return e;
}

InputEvent Click(int32_t x, int32_t y, bool right = false, bool paused = false) {
    InputEvent e;
    e.kind = right ? InputKind::RightClick : InputKind::LeftClick;
    e.x = x;
    e.y = y;
    e.paused = paused;
    return e;
}

// The default hotkeys: F2, F3, F4 and Shift+F3.
const OwnHotkey kHotkeys[] = {{0x71, 0}, {kF3, 0}, {kF4, 0}, {kF3, 4}};

InputMarks Marks(int32_t keys, bool clicks = true) {
    InputMarks marks;
    marks.Reset(clicks, keys, kHotkeys, 4, UsTyped);
    return marks;
}

// Presses the keys in order and lets them go in reverse.
void Chord(InputMarks& marks, std::initializer_list<uint32_t> keys, uint32_t now) {
    for (uint32_t k : keys) marks.Take(Key(k), now);
    for (auto k = keys.end(); k != keys.begin();) marks.Take(Key(*--k, false), now);
}

}  // namespace

TEST_CASE("input queue: one side writes, the other reads, none waits") {
    InputEventQueue queue;
    InputEvent e;
    CHECK_FALSE(queue.Pop(e));
    for (uint32_t i = 0; i < InputEventQueue::kCapacity; ++i) CHECK(queue.Push(Key(i)));
    CHECK_FALSE(queue.Push(Key(999)));   // full: the newest is lost, the others stay
    for (uint32_t i = 0; i < InputEventQueue::kCapacity; ++i) {
        REQUIRE(queue.Pop(e));
        CHECK(e.key == i);
    }
    CHECK_FALSE(queue.Pop(e));
    // Across the wrap of the counters' slots.
    for (uint32_t i = 0; i < 100; ++i) {
        CHECK(queue.Push(Key(i)));
        REQUIRE(queue.Pop(e));
        CHECK(e.key == i);
    }
}

TEST_CASE("key captions: shortcuts only") {
    InputMarks marks = Marks(kShowKeysShortcuts);
    // Letters, digits and punctuation, with or without Shift: never.
    Chord(marks, {'Q'}, 0);
    Chord(marks, {kShift, 'Q'}, 0);
    Chord(marks, {kRightShift, '1'}, 0);
    Chord(marks, {0xBD}, 0);
    Chord(marks, {0x20}, 0);
    Chord(marks, {kCtrl}, 0);   // a modifier alone
    Chord(marks, {kCtrl, kRightAlt, 'Q'}, 0);   // AltGr types "@": text too
    CHECK_FALSE(marks.HasCaption());
    Chord(marks, {kCtrl, kAlt, 'Q'}, 5);
    CHECK(marks.Caption() == "Ctrl+Alt+Q");
    Chord(marks, {kCtrl, kRightAlt, 'W'}, 5);   // nothing for AltGr there: a shortcut
    CHECK(marks.Caption() == "Ctrl+Alt+W");

    Chord(marks, {kCtrl, kShift, 'S'}, 10);
    CHECK(marks.Caption() == "Ctrl+Shift+S");
    Chord(marks, {kAlt, kTab}, 20);
    CHECK(marks.Caption() == "Alt+Tab");
    Chord(marks, {kEnter}, 30);
    CHECK(marks.Caption() == "Enter");
    Chord(marks, {kShift, kTab}, 40);
    CHECK(marks.Caption() == "Shift+Tab");
    Chord(marks, {kWin, 'E'}, 50);
    CHECK(marks.Caption() == "Win+E");
    Chord(marks, {kCtrl, 0xBD}, 60);
    CHECK(marks.Caption() == "Ctrl+-");
    Chord(marks, {0x87}, 70);
    CHECK(marks.Caption() == "F24");
    CHECK(NamedKeyText(0x22) == "Page Down");
    CHECK(NamedKeyText('A').empty());

    // The program's own hotkeys are not shown; the same key with other modifiers is.
    Chord(marks, {kF4}, 80);
    Chord(marks, {kShift, kF3}, 80);
    CHECK(marks.Caption() == "F24");
    Chord(marks, {kCtrl, kF3}, 90);
    CHECK(marks.Caption() == "Ctrl+F3");

    // Letting go of one Shift of two keeps Shift held.
    marks.Take(Key(kShift), 100);
    marks.Take(Key(kRightShift), 100);
    marks.Take(Key(kShift, false), 100);
    CHECK(marks.HeldModifiers() == 4);
    marks.Take(Key(kRightShift, false), 100);
    CHECK(marks.HeldModifiers() == 0);

    // A caption stays 1.5 s.
    marks.Expire(90 + kCaptionMs - 1);
    CHECK(marks.HasCaption());
    marks.Expire(90 + kCaptionMs);
    CHECK_FALSE(marks.HasCaption());
}

TEST_CASE("key captions: every key shows a run of typed text as one caption") {
    InputMarks marks = Marks(kShowKeysAll);
    uint32_t now = 0;
    for (uint32_t k : {'H', 'E', 'L', 'L', 'O'}) Chord(marks, {k}, now += 200);
    CHECK(marks.Caption() == "hello");
    Chord(marks, {kShift, '1'}, now += 200);
    Chord(marks, {kCtrl, kRightAlt, 'Q'}, now += 200);
    CHECK(marks.Caption() == "hello!@");
    Chord(marks, {kCtrl, 'S'}, now += 200);   // a shortcut ends the run
    CHECK(marks.Caption() == "Ctrl+S");
    Chord(marks, {'A'}, now += 200);
    CHECK(marks.Caption() == "a");
    Chord(marks, {'B'}, now += kCaptionMs);   // the old run had gone: a new one
    CHECK(marks.Caption() == "b");
    for (uint32_t i = 0; i < 30; ++i) Chord(marks, {i % 2 ? uint32_t{'Y'} : uint32_t{'X'}}, now += 10);
    CHECK(marks.Caption().size() == kMaxRunChars);
    CHECK(marks.Caption().back() == 'y');

    InputMarks off = Marks(kShowKeysOff);
    Chord(off, {kCtrl, kShift, 'S'}, 0);
    CHECK_FALSE(off.HasCaption());
}

TEST_CASE("click rings: kept half a second, none from a pause, the oldest gives way") {
    InputMarks marks = Marks(kShowKeysOff);
    marks.Take(Click(10, 20), 1000);
    marks.Take(Click(30, 40, true), 1100);
    marks.Take(Click(50, 60, false, true), 1100);   // while paused
    REQUIRE(marks.RingCount() == 2);
    CHECK((marks.Ring(0).x == 10 && marks.Ring(0).y == 20 && !marks.Ring(0).right));
    CHECK(marks.Ring(1).right);
    marks.Expire(1000 + kRingMs);
    REQUIRE(marks.RingCount() == 1);
    CHECK(marks.Ring(0).x == 30);
    for (int i = 0; i < InputMarks::kMaxRings + 2; ++i) marks.Take(Click(i, 0), 1200);
    CHECK(marks.RingCount() == InputMarks::kMaxRings);
    CHECK(marks.Ring(0).x == 2);

    // A pause still tracks the modifiers, so that a shortcut after it reads right.
    InputMarks keys = Marks(kShowKeysShortcuts, false);
    keys.Take(Key(kCtrl, true, true), 0);
    keys.Take(Key('S', true, true), 0);
    CHECK_FALSE(keys.HasCaption());
    keys.Take(Key('S'), 10);
    CHECK(keys.Caption() == "Ctrl+S");
    keys.Take(Click(1, 1), 10);   // clicks not asked for
    CHECK(keys.RingCount() == 0);
}

TEST_CASE("mark geometry scales with the region") {
    CHECK(RingRadius(0, 240) == 16);
    CHECK(RingRadius(kRingMs, 240) < RingRadius(kRingMs / 2, 240));
    CHECK(RingRadius(kRingMs / 2, 240) < RingRadius(0, 240));
    CHECK(RingRadius(0, 1080) == 54);
    CHECK(RingPenWidth(240) == 3);
    CHECK(RingPenWidth(1080) == 9);
    CHECK(CaptionTextHeight(240) == 18);
    CHECK(CaptionTextHeight(1080) == 72);

    // Bottom centre, inside the region's lowest quarter.
    const MarkBox small = CaptionBox(320, 240, 100, 18);
    CHECK(small.left == 320 - small.right);
    CHECK(small.top >= 180);
    CHECK(small.bottom < 240);
    CHECK(small.bottom - small.top > 18);
    // Wider than the region: it is cut to the region's width.
    const MarkBox wide = CaptionBox(320, 240, 400, 18);
    CHECK((wide.left == 0 && wide.right == 320));
}
