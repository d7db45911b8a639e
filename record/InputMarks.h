// InputMarks: what a recording shows of the user's clicks and keys, without
// any window. The low-level hooks only put events into InputEventQueue (they
// hold up the whole system's input while they run, so they never draw,
// allocate or wait); the frame grabber takes them out on its own thread, turns
// them into rings and a caption here, and draws what is still visible.
//
// Plain C++ without the Windows headers; virtual-key codes are the system's.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

enum class InputKind : uint8_t { LeftClick, RightClick, KeyDown, KeyUp };

struct InputEvent {
    InputKind kind = InputKind::KeyDown;
    int32_t x = 0;      // clicks: screen pixels
    int32_t y = 0;
    uint32_t key = 0;   // keys: virtual-key code
    bool paused = false;   // it happened while the recording was paused
};

// A fixed ring of events for one producer (the hooks, on the user-interface
// thread) and one consumer (the grabber). Neither side locks or allocates;
// when the grabber falls behind, new events are dropped, not old ones.
class InputEventQueue {
public:
    static constexpr uint32_t kCapacity = 64;
    bool Push(const InputEvent& event);   // false when full: the event is lost
    bool Pop(InputEvent& event);          // false when empty
    // Only while neither side runs (before the hooks and the clock start).
    void Clear();

private:
    InputEvent slots_[kCapacity];
    std::atomic<uint32_t> written_{0};   // events pushed so far (producer)
    std::atomic<uint32_t> read_{0};      // events popped so far (consumer)
};
static_assert(std::atomic<uint32_t>::is_always_lock_free);

// ShowKeys values.
constexpr int32_t kShowKeysOff = 0;
constexpr int32_t kShowKeysShortcuts = 1;
constexpr int32_t kShowKeysAll = 2;

// How long a mark stays, in milliseconds.
constexpr uint32_t kRingMs = 500;
constexpr uint32_t kCaptionMs = 1500;
// A run of typed text keeps only its last characters.
constexpr size_t kMaxRunChars = 24;

// One of the program's own hotkeys, which captions never show. Modifier
// set as stored: 1 Alt, 2 Control, 4 Shift.
struct OwnHotkey {
    int32_t key = 0;
    int32_t modifiers = 0;
};

// The character a key types with or without Shift, and with AltGr (the
// right Alt key with Ctrl, which types the third character of a key on many
// layouts); 0 when it types none.
using TypedCharFunction = char (*)(uint32_t key, bool shift, bool altGr);

// The caption of a key pressed while the modifiers in held are down (1 Alt,
// 2 Control, 4 Shift, 8 Windows key): "Ctrl+Shift+S", "Alt+Tab", "Enter".
// Empty when the key is not shown this way: a modifier alone, a key without
// a name, or, without Ctrl, Alt or the Windows key, anything but a key of
// NamedKeyText.
std::string ShortcutCaption(uint32_t key, uint32_t held, TypedCharFunction typed);
// Enter, Esc, Tab, Backspace, Delete, Insert, the arrows, Home, End, Page
// Up and Down, F1 to F24: the keys that type no text, by name; else empty.
std::string NamedKeyText(uint32_t key);

struct ClickRing {
    int32_t x = 0;       // screen pixels: the ring stays where the click was
    int32_t y = 0;
    bool right = false;
    uint32_t start = 0;  // milliseconds
};

// The marks of one recording: the rings of recent clicks and the caption.
class InputMarks {
public:
    static constexpr int kMaxRings = 8;

    // A new recording: what to show, the program's own hotkeys, no marks.
    void Reset(bool clicks, int32_t keys, const OwnHotkey* hotkeys, size_t hotkeyCount, TypedCharFunction typed);
    // One event taken from the queue at time now. Events of a pause only
    // keep track of the held modifiers: nothing new is shown.
    void Take(const InputEvent& event, uint32_t now);
    // Forgets the marks whose time is over.
    void Expire(uint32_t now);

    int RingCount() const { return ringCount_; }
    const ClickRing& Ring(int i) const { return rings_[i]; }
    bool HasCaption() const { return !caption_.empty(); }
    const std::string& Caption() const { return caption_; }
    uint32_t HeldModifiers() const;   // 1 Alt, 2 Control, 4 Shift, 8 Windows key

private:
    void TakeKeyDown(uint32_t key, uint32_t now);
    char TypedText(uint32_t key, uint32_t held) const;
    bool IsOwnHotkey(uint32_t key, uint32_t held) const;
    void ShowCaption(const std::string& text, bool typedText, uint32_t now);

    bool clicks_ = false;
    int32_t keys_ = kShowKeysOff;
    OwnHotkey hotkeys_[4];
    size_t hotkeyCount_ = 0;
    TypedCharFunction typed_ = nullptr;

    ClickRing rings_[kMaxRings];
    int ringCount_ = 0;
    std::string caption_;
    bool captionTyped_ = false;   // a run of typed text, which the next character extends
    uint32_t captionStart_ = 0;
    uint32_t heldKeys_ = 0;       // bits of the modifier keys down, left and right apart
};

// Geometry, in pixels of the frame, scaled with the region's height so that
// marks read at 320x240 and at 1920x1080.
struct MarkBox {
    int32_t left, top, right, bottom;
};
// A ring's radius and pen width at an age below kRingMs: it shrinks as it ages.
int32_t RingRadius(uint32_t ageMs, int32_t regionHeight);
int32_t RingPenWidth(int32_t regionHeight);
// The caption's text height (the font's em height), never below 18 pixels,
// so that even capitals of small regions stand over 12 pixels high.
int32_t CaptionTextHeight(int32_t regionHeight);
// The caption's box around text of the given size, at the bottom centre.
MarkBox CaptionBox(int32_t regionWidth, int32_t regionHeight, int32_t textWidth, int32_t textHeight);
