// The command line: the mode word in the first argument, and the options of a
// normal run. Pure functions; the window lookup of "-hw" is passed in.
#pragma once

#include "../settings/AppSettings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class StartMode { Normal, Install, Uninstall, DumpOptions, ReadOptions };

// The mode named by the first argument, compared exactly (case matters).
StartMode ModeOf(const std::vector<std::string>& args);

struct LaunchFlags {
    int32_t StartAfterLaunch = 0;    // "-rec", "-recx": record at once
    int32_t ExitAfterRecording = 0;  // "-recx": end after the recording
};

struct ScreenRect {
    int32_t left, top, right, bottom;
};

// For "-hw": the rectangle of the window with this handle, or false when the
// handle names no window.
using WindowRectLookup = std::function<bool(int32_t handle, ScreenRect& rect)>;

// Applies every argument, first to last: each is matched by prefix against
// the options in table order, and the first match applies. "-a" takes the
// next argument as the output file, and that argument is then looked at as
// an option in its own turn.
void ApplyCommandLine(const std::vector<std::string>& args, AppSettings& settings, LaunchFlags& flags,
                      const WindowRectLookup& windowRect);

// Numbers of the options: optional leading blanks and sign, then decimal
// digits; anything after the digits is ignored and no digits read as 0.
// A value beyond 32 bits is clamped to the nearest 32-bit value.
int32_t ReadOptionNumber(const char* text);
// The same for a decimal fraction ("7.5"); the result is always finite.
double ReadOptionFraction(const char* text);
