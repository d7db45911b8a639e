// AppSettings: every user setting of the program, in one record owned by the
// application object. Fields carry the names of their registry values (a
// blank in the value name is dropped: "Start Key" is StartKey).
//
// The frame grabber reads StartX, StartY, Width, Height, FlashRect,
// PanModifiers and PanLocked on the timer thread and writes StartX and StartY
// while panning. Each is a single aligned 32-bit value; the grabber accesses
// them through SharedValue (below), so both threads see whole values.
#pragma once

#include "../codec/FourCC.h"

#include <atomic>
#include <cstdint>
#include <string>

struct AppSettings {
    // "State", in save order.
    int32_t StartX = 0;
    int32_t StartY = 0;
    int32_t Width = 320;
    int32_t Height = 240;
    int32_t WinX = -1000;          // -1000: no saved position
    int32_t WinY = -1000;
    int32_t FlashRect = 1;
    int32_t WndHide = 1;           // 0 leave, 1 minimise, 2 and 3 minimise and hide
    int32_t IncFilename = 1;
    int32_t RecSound = 0;
    int32_t SoundSampRate = 11025;
    int32_t SoundSampSize = 8;
    double FPS = 10.0;             // frames taken per second of real time
    double FPSPlay = 10.0;         // frames per second when played
    int32_t Compress = 75;         // quality in percent
    int32_t KeyFrames = 20;
    std::string AVIFileName = "clip.avi";
    // Also "State", saved after the values above and after "Keys", so that
    // the options file keeps its first 31 lines as older versions wrote them.
    int32_t ShowClicks = 0;        // 1: a ring around every click in the frames
    int32_t ShowKeys = 0;          // 0 off, 1 shortcuts only, 2 every key (typed text too)

    // "Keys", in save order. Modifier sets: 1 Alt, 2 Control, 4 Shift.
    int32_t StartKey = 113;        // F2
    int32_t StartMod = 0;
    std::string StartDesc = "F2";
    int32_t PauseKey = 114;        // F3
    int32_t PauseMod = 0;
    std::string PauseDesc = "F3";
    int32_t SingleShotKey = 115;   // F4
    int32_t SingleShotMod = 0;
    std::string SingleShotDesc = "F4";
    int32_t LockPanKey = 114;      // Shift+F3
    int32_t LockPanMod = 4;
    std::string LockPanDesc;       // the Shift text followed by "F3"
    int32_t PanModifiers = 6;      // Control and Shift
    int32_t PanLocked = 0;

    // Not stored: the compressor picked on the video page; 0 = by colour depth.
    uint32_t CompressorCode = 0;
};

// Fills every field with its default. "LockPan Desc" becomes shiftText + "F3".
void ResetSettings(AppSettings& settings, const std::string& shiftText);

// The text of "LockPan Desc" by default.
std::string DefaultLockPanDesc(const std::string& shiftText);

// Frame rates are stored as counts of thousandths of a frame per second:
// rate × 1000 + 0.5, cut toward zero. Rates that do not fit the unsigned
// 32-bit count (negative, not a number, too large) are clamped to it.
uint32_t RateToThousandths(double rate);
double ThousandthsToRate(uint32_t count);
// Whether a rate typed on the video page can be stored: negative rates are
// set to 0 there, larger ones must not reach beyond the count.
bool RateFitsThousandths(double rate);

// Whole-value access to a field shared with the frame grabber's thread.
inline int32_t LoadShared(const int32_t& field) {
    return std::atomic_ref<int32_t>(const_cast<int32_t&>(field)).load(std::memory_order_relaxed);
}
inline void StoreShared(int32_t& field, int32_t value) {
    std::atomic_ref<int32_t>(field).store(value, std::memory_order_relaxed);
}

// Uncompressed frames, as the compressor list and the recording name them.
constexpr uint32_t kCodeDib = FourCC("DIB ");
