#include "CaptureMath.h"

#include "../settings/AppSettings.h"

#include <algorithm>
#include <cmath>
#include <limits>

int64_t FrameBytes(int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (width < 1 || height < 1 || bitsPerPixel < 1) return -1;
    // Rows as the DIB section holds them: whole 32-bit words.
    const int64_t rowBytes = (static_cast<int64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    const int64_t bytes = static_cast<int64_t>(height) * rowBytes;
    return bytes > std::numeric_limits<int32_t>::max() ? -1 : bytes;
}

int32_t ColourCountFor(int32_t bitsPerPixel) {
    return bitsPerPixel >= 1 && bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
}

int32_t FormatBytes(int32_t colourCount) { return 40 + 4 * colourCount; }

uint32_t DefaultCompressorFor(int32_t bitsPerPixel) {
    if (bitsPerPixel > 8) return FourCC("MSVC");
    if (bitsPerPixel == 8) return FourCC("MRLE");
    return kCodeDib;
}


std::vector<CompressorTry> CompressorOrder(uint32_t chosen, int32_t bitsPerPixel) {
    if (chosen != 0) return {{chosen, false}};
    const uint32_t preferred = DefaultCompressorFor(bitsPerPixel);
    // Our codec takes 8 bits and more; below that only full frames remain.
    if (preferred == kCodeDib) return {{kCodeDib, false}};
    return {{preferred, true}, {kZmbvCode, true}, {kCodeDib, false}};
}

namespace {

constexpr double kMaxCount = 4294967295.0;

// ⌊value⌋ when it is a count from 1 to the largest 32-bit unsigned value, else 0.
uint32_t WholeCount(double value) {
    if (!(value >= 1.0) || value > kMaxCount) return 0;   // also refuses NaN
    return static_cast<uint32_t>(value);
}

bool UsableRate(double rate) { return std::isfinite(rate) && rate > 0.0; }

}  // namespace

uint32_t VideoRate(double fps) { return UsableRate(fps) ? WholeCount(fps * 1000.0) : 0; }

uint32_t VideoScale(double fps, double fpsPlay) {
    if (!UsableRate(fps) || !UsableRate(fpsPlay)) return 0;
    return WholeCount(0.5 + 1000.0 * fps / fpsPlay);
}

int32_t FramePeriodFor(double fps) {
    if (!UsableRate(fps)) return 0;
    const double period = std::floor(0.5 + 1000.0 / fps);
    if (!(period >= 1.0) || period > std::numeric_limits<int32_t>::max()) return 0;
    return static_cast<int32_t>(period);
}

std::string CaptureSettingsProblem(double fps, double fpsPlay, int32_t width, int32_t height,
                                   int32_t bitsPerPixel) {
    if (VideoRate(fps) == 0 || FramePeriodFor(fps) == 0) return "(Frame Rate)";
    if (VideoScale(fps, fpsPlay) == 0) return "(Playback Frame Rate)";
    if (FrameBytes(width, height, bitsPerPixel) < 0) return "(Capture Size)";
    return {};
}

int32_t WaveBlockBytes(uint32_t samplesPerSec, uint16_t bitsPerSample) {
    return static_cast<int32_t>(samplesPerSec / 11025) * (bitsPerSample / 8) * 2048;
}

Silence SingleShotSilence(int32_t sampleRate, int32_t bitsPerSample, double fpsPlay) {
    Silence silence;
    if (!UsableRate(fpsPlay) || sampleRate <= 0 || bitsPerSample <= 0) return silence;
    const double samples = std::floor(sampleRate / fpsPlay);
    silence.samples = samples > 1e9 ? 0 : static_cast<int32_t>(samples);
    silence.bytes = static_cast<int32_t>(static_cast<int64_t>(silence.samples) * bitsPerSample / 8);
    silence.fill = bitsPerSample == 8 ? 0x80 : 0;
    return silence;
}

bool CaptionVisible(uint32_t startMs, uint32_t nowMs) { return nowMs - startMs < 5000u; }

int32_t StripRows(int32_t width, int32_t bitsPerPixel) {
    const int64_t rowBytes = (static_cast<int64_t>(width > 0 ? width : 1) * (bitsPerPixel > 0 ? bitsPerPixel : 1) + 7) / 8;
    return static_cast<int32_t>(std::max<int64_t>(1, std::min<int64_t>(kStripBytes / rowBytes, std::numeric_limits<int32_t>::max())));
}

int OutlineBands(int32_t left, int32_t top, int32_t right, int32_t bottom, Band bands[4]) {
    // The frame's outer and inner edges; a frame too small for a hole is
    // one band.
    const int64_t outerLeft = int64_t(left) - 1, outerTop = int64_t(top) - 1;
    const int64_t outerRight = int64_t(right) + 1, outerBottom = int64_t(bottom) + 1;
    if (outerRight <= outerLeft || outerBottom <= outerTop) return 0;
    const int64_t innerTop = std::min(outerTop + 3, outerBottom), innerBottom = std::max(outerBottom - 3, innerTop);
    const int64_t innerLeft = std::min(outerLeft + 3, outerRight), innerRight = std::max(outerRight - 3, innerLeft);
    int count = 0;
    auto add = [&](int64_t l, int64_t t, int64_t r, int64_t b) {
        if (r > l && b > t) bands[count++] = {int32_t(l), int32_t(t), int32_t(r - l), int32_t(b - t)};
    };
    add(outerLeft, outerTop, outerRight, innerTop);
    add(outerLeft, innerBottom, outerRight, outerBottom);
    add(outerLeft, innerTop, innerLeft, innerBottom);
    add(innerRight, innerTop, outerRight, innerBottom);
    return count;
}

bool CursorInCapture(int32_t x, int32_t y, int32_t startX, int32_t startY, int32_t width, int32_t height) {
    const int64_t right = static_cast<int64_t>(startX) + width;
    const int64_t bottom = static_cast<int64_t>(startY) + height;
    return startX <= x && x <= right && startY <= y && y <= bottom;
}
