#include "InputMarks.h"

#include <algorithm>

namespace {

// Virtual-key codes (the system's values).
enum : uint32_t {
    kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kShift = 0x10, kControl = 0x11, kMenu = 0x12, kPause = 0x13,
    kCapital = 0x14, kEscape = 0x1B, kSpace = 0x20, kPrior = 0x21, kNext = 0x22, kEnd = 0x23, kHome = 0x24,
    kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28, kSnapshot = 0x2C, kInsert = 0x2D, kDelete = 0x2E,
    kLeftWin = 0x5B, kRightWin = 0x5C, kApps = 0x5D, kNumpad0 = 0x60, kNumpad9 = 0x69, kF1 = 0x70, kF24 = 0x87,
    kLeftShift = 0xA0, kRightShift = 0xA1, kLeftControl = 0xA2, kRightControl = 0xA3, kLeftMenu = 0xA4,
    kRightMenu = 0xA5,
};

constexpr uint32_t kHeldAlt = 1, kHeldControl = 2, kHeldShift = 4, kHeldWin = 8;
constexpr uint32_t kRightAltBit = 1u << 5;   // of the held keys (ModifierBit)

// The bit of a modifier key in the held-keys set (left and right apart, so
// that letting go of one of two held keys keeps the other); 0 for others.
uint32_t ModifierBit(uint32_t key) {
    switch (key) {
    case kShift: case kLeftShift: return 1u << 0;
    case kRightShift: return 1u << 1;
    case kControl: case kLeftControl: return 1u << 2;
    case kRightControl: return 1u << 3;
    case kMenu: case kLeftMenu: return 1u << 4;
    case kRightMenu: return 1u << 5;
    case kLeftWin: return 1u << 6;
    case kRightWin: return 1u << 7;
    default: return 0;
    }
}

std::string KeyName(uint32_t key, TypedCharFunction typed) {
    const std::string named = NamedKeyText(key);
    if (!named.empty()) return named;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= kNumpad0 && key <= kNumpad9) {
        std::string name = "Num ";
        name += static_cast<char>('0' + key - kNumpad0);
        return name;
    }
    switch (key) {
    case kSpace: return "Space";
    case kPause: return "Pause";
    case kCapital: return "Caps Lock";
    case kSnapshot: return "Print Screen";
    case kApps: return "Menu";
    default: break;
    }
    const char c = typed ? typed(key, false, false) : 0;
    if (static_cast<unsigned char>(c) > ' ') return std::string(1, c);
    return {};
}

}  // namespace

bool InputEventQueue::Push(const InputEvent& event) {
    const uint32_t written = written_.load(std::memory_order_relaxed);
    if (written - read_.load(std::memory_order_acquire) >= kCapacity) return false;
    slots_[written % kCapacity] = event;
    written_.store(written + 1, std::memory_order_release);
    return true;
}

bool InputEventQueue::Pop(InputEvent& event) {
    const uint32_t read = read_.load(std::memory_order_relaxed);
    if (read == written_.load(std::memory_order_acquire)) return false;
    event = slots_[read % kCapacity];
    read_.store(read + 1, std::memory_order_release);
    return true;
}

void InputEventQueue::Clear() {
    written_.store(0);
    read_.store(0);
}

std::string NamedKeyText(uint32_t key) {
    if (key >= kF1 && key <= kF24) {
        std::string name(1, 'F');
        name += std::to_string(key - kF1 + 1);
        return name;
    }
    switch (key) {
    case kReturn: return "Enter";
    case kEscape: return "Esc";
    case kTab: return "Tab";
    case kBack: return "Backspace";
    case kDelete: return "Delete";
    case kInsert: return "Insert";
    case kLeft: return "Left";
    case kRight: return "Right";
    case kUp: return "Up";
    case kDown: return "Down";
    case kHome: return "Home";
    case kEnd: return "End";
    case kPrior: return "Page Up";
    case kNext: return "Page Down";
    default: return {};
    }
}

std::string ShortcutCaption(uint32_t key, uint32_t held, TypedCharFunction typed) {
    if (ModifierBit(key) != 0) return {};
    const bool command = (held & (kHeldControl | kHeldAlt | kHeldWin)) != 0;
    if (!command && NamedKeyText(key).empty()) return {};   // text, which this mode never shows
    const std::string name = KeyName(key, typed);
    if (name.empty()) return {};
    std::string text;
    if (held & kHeldControl) text += "Ctrl+";
    if (held & kHeldAlt) text += "Alt+";
    if (held & kHeldShift) text += "Shift+";
    if (held & kHeldWin) text += "Win+";
    return text + name;
}

void InputMarks::Reset(bool clicks, int32_t keys, const OwnHotkey* hotkeys, size_t hotkeyCount,
                       TypedCharFunction typed) {
    clicks_ = clicks;
    keys_ = keys == kShowKeysShortcuts || keys == kShowKeysAll ? keys : kShowKeysOff;
    hotkeyCount_ = std::min(hotkeyCount, sizeof hotkeys_ / sizeof hotkeys_[0]);
    std::copy(hotkeys, hotkeys + hotkeyCount_, hotkeys_);
    typed_ = typed;
    ringCount_ = 0;
    caption_.clear();
    captionTyped_ = false;
    heldKeys_ = 0;
}

uint32_t InputMarks::HeldModifiers() const {
    uint32_t held = 0;
    if (heldKeys_ & 0x03) held |= kHeldShift;
    if (heldKeys_ & 0x0C) held |= kHeldControl;
    if (heldKeys_ & 0x30) held |= kHeldAlt;
    if (heldKeys_ & 0xC0) held |= kHeldWin;
    return held;
}

void InputMarks::Take(const InputEvent& event, uint32_t now) {
    const bool paused = event.paused;
    switch (event.kind) {
    case InputKind::KeyUp:
        heldKeys_ &= ~ModifierBit(event.key);
        return;
    case InputKind::KeyDown:
        if (const uint32_t bit = ModifierBit(event.key)) {
            heldKeys_ |= bit;
        } else if (!paused) {
            TakeKeyDown(event.key, now);
        }
        return;
    case InputKind::LeftClick:
    case InputKind::RightClick:
        if (!clicks_ || paused) return;
        if (ringCount_ == kMaxRings) {   // the oldest gives way
            std::copy(rings_ + 1, rings_ + kMaxRings, rings_);
            --ringCount_;
        }
        rings_[ringCount_++] = {event.x, event.y, event.kind == InputKind::RightClick, now};
        return;
    }
}

bool InputMarks::IsOwnHotkey(uint32_t key, uint32_t held) const {
    if (held & kHeldWin) return false;
    for (size_t i = 0; i < hotkeyCount_; ++i) {
        if (static_cast<uint32_t>(hotkeys_[i].key) == key && static_cast<uint32_t>(hotkeys_[i].modifiers) == held)
            return true;
    }
    return false;
}

// The printable character the key types with the modifiers held, or 0. With
// Ctrl or Alt only AltGr types: a key it gives a character is text, not a
// shortcut, even though Ctrl and Alt are down.
char InputMarks::TypedText(uint32_t key, uint32_t held) const {
    if (!typed_ || (held & kHeldWin)) return 0;
    const bool shift = (held & kHeldShift) != 0;
    char c = 0;
    if ((held & (kHeldControl | kHeldAlt)) == 0) {
        c = typed_(key, shift, false);
    } else if ((held & kHeldControl) && (heldKeys_ & kRightAltBit)) {
        c = typed_(key, shift, true);
    }
    return static_cast<unsigned char>(c) < ' ' ? 0 : c;
}

void InputMarks::TakeKeyDown(uint32_t key, uint32_t now) {
    const uint32_t held = HeldModifiers();
    if (keys_ == kShowKeysOff || IsOwnHotkey(key, held)) return;
    const char c = TypedText(key, held);
    if (c == 0) {
        const std::string shortcut = ShortcutCaption(key, held, typed_);
        if (!shortcut.empty()) ShowCaption(shortcut, false, now);
        return;
    }
    if (keys_ != kShowKeysAll) return;   // typed text stays private
    if (captionTyped_ && !caption_.empty() && now - captionStart_ < kCaptionMs) {
        caption_ += c;
        if (caption_.size() > kMaxRunChars) caption_.erase(0, caption_.size() - kMaxRunChars);
        captionStart_ = now;
        return;
    }
    ShowCaption(std::string(1, c), true, now);
}

void InputMarks::ShowCaption(const std::string& text, bool typedText, uint32_t now) {
    caption_ = text;
    captionTyped_ = typedText;
    captionStart_ = now;
}

void InputMarks::Expire(uint32_t now) {
    int kept = 0;
    for (int i = 0; i < ringCount_; ++i) {
        if (now - rings_[i].start < kRingMs) rings_[kept++] = rings_[i];
    }
    ringCount_ = kept;
    if (!caption_.empty() && now - captionStart_ >= kCaptionMs) {
        caption_.clear();
        captionTyped_ = false;
    }
}

int32_t RingRadius(uint32_t ageMs, int32_t regionHeight) {
    const int32_t start = std::max<int32_t>(16, regionHeight / 20);
    const int32_t age = static_cast<int32_t>(std::min(ageMs, kRingMs));
    return start - start * 3 * age / (5 * static_cast<int32_t>(kRingMs));
}

int32_t RingPenWidth(int32_t regionHeight) { return std::max<int32_t>(3, regionHeight / 120); }

int32_t CaptionTextHeight(int32_t regionHeight) { return std::max<int32_t>(18, regionHeight / 15); }

MarkBox CaptionBox(int32_t regionWidth, int32_t regionHeight, int32_t textWidth, int32_t textHeight) {
    const int32_t pad = std::max<int32_t>(4, textHeight / 3);
    const int32_t margin = std::max<int32_t>(4, textHeight / 2);
    const int32_t width = std::min(textWidth + 2 * pad, regionWidth);
    const int32_t left = (regionWidth - width) / 2;
    const int32_t bottom = regionHeight - margin;
    return {left, bottom - textHeight - 2 * pad, left + width, bottom};
}
