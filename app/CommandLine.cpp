#include "CommandLine.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

}  // namespace

StartMode ModeOf(const std::vector<std::string>& args) {
    if (args.empty()) return StartMode::Normal;
    const std::string& word = args[0];
    if (word == "-install") return StartMode::Install;
    if (word == "-uninstall") return StartMode::Uninstall;
    if (word == "-dumpopts") return StartMode::DumpOptions;
    if (word == "-readopts") return StartMode::ReadOptions;
    return StartMode::Normal;
}

int32_t ReadOptionNumber(const char* text) {
    const char* p = SkipBlanks(text);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;   // saturates at just beyond the 32-bit range
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (value <= 0x100000000LL) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

double ReadOptionFraction(const char* text) {
    // Only decimal digits with one optional point, so that words such as
    // "inf" or "nan" and hexadecimal forms read as 0 like any other text.
    const char* p = SkipBlanks(text);
    std::string number;
    if (*p == '+' || *p == '-') number += *p++;
    bool digits = false, point = false;
    for (; (*p >= '0' && *p <= '9') || (*p == '.' && !point); ++p) {
        if (*p == '.') point = true; else digits = true;
        number += *p;
        if (number.size() > 400) break;   // long enough for any double
    }
    if (!digits) return 0.0;
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

void ApplyCommandLine(const std::vector<std::string>& args, AppSettings& settings, LaunchFlags& flags,
                      const WindowRectLookup& windowRect) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const char* rest = nullptr;   // the text after a matched option
        auto match = [&](const char* option) {
            if (!StartsWith(arg, option)) return false;
            rest = arg.c_str() + std::strlen(option);
            return true;
        };
        // Table order matters: "-recx" before "-rec", "-hw" before "-h".
        if (match("-recx")) {
            flags.StartAfterLaunch = 1;
            flags.ExitAfterRecording = 1;
        } else if (match("-rec")) {
            flags.StartAfterLaunch = 1;
        } else if (match("-hw")) {
            ScreenRect rect{};
            const int32_t handle = ReadOptionNumber(rest);
            if (handle != 0 && windowRect && windowRect(handle, rect)) {
                settings.StartX = rect.left;
                settings.StartY = rect.top;
                settings.Width = static_cast<int32_t>(static_cast<int64_t>(rect.right) - rect.left);
                settings.Height = static_cast<int32_t>(static_cast<int64_t>(rect.bottom) - rect.top);
            }
        } else if (match("-x")) {
            settings.StartX = ReadOptionNumber(rest);
        } else if (match("-y")) {
            settings.StartY = ReadOptionNumber(rest);
        } else if (match("-w")) {
            settings.Width = ReadOptionNumber(rest);
        } else if (match("-h")) {
            settings.Height = ReadOptionNumber(rest);
        } else if (match("-f")) {
            settings.FPS = settings.FPSPlay = ReadOptionFraction(rest);
        } else if (match("-a")) {
            // The next argument names the file and is looked at again next turn.
            if (i + 1 < args.size()) settings.AVIFileName = args[i + 1];
        } else if (match("-i+")) {
            settings.IncFilename = 1;
        } else if (match("-i-")) {
            settings.IncFilename = 0;
        } else if (match("-s+")) {
            settings.RecSound = 1;
        } else if (match("-s-")) {
            settings.RecSound = 0;
        } else if (match("-k")) {
            settings.KeyFrames = ReadOptionNumber(rest);
        }
    }
}
