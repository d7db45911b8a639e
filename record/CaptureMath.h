// Arithmetic of a recording: frame and format sizes, the video stream's
// rate and scale, the frame clock's period, and the checks that refuse
// settings the arithmetic cannot take.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Bytes of one frame: rows padded to four bytes (as the DIB section's rows). -1 when it does not fit
// an int32 or a dimension or depth is below 1.
int64_t FrameBytes(int32_t width, int32_t height, int32_t bitsPerPixel);

// Colours in the capture format's table: 2^bits up to 8 bits, else 0.
int32_t ColourCountFor(int32_t bitsPerPixel);
// Bytes of the capture format: the 40-byte header and the colour table.
int32_t FormatBytes(int32_t colourCount);

// The compressor chosen by colour depth: "MSVC" above 8 bits, "MRLE" at
// 8, "DIB " below.
uint32_t DefaultCompressorFor(int32_t bitsPerPixel);


// The compressors a recording tries, in order. A compressor the user
// picked is the only one: its failure is reported. Without a choice, the
// one chosen by colour depth, then our codec, then uncompressed frames;
// the first two are tried (probe) with the capture format before the
// first frame, so that a refusal falls through to the next.
struct CompressorTry {
    uint32_t code;
    bool probe;
};
std::vector<CompressorTry> CompressorOrder(uint32_t chosen, int32_t bitsPerPixel);

// Video stream rate and scale: the stream plays at about fpsPlay frames
// per second, each frame standing for 1/fps seconds of real time.
uint32_t VideoRate(double fps);                // ⌊fps × 1000⌋
uint32_t VideoScale(double fps, double fpsPlay);   // ⌊0.5 + 1000 × fps / fpsPlay⌋
// Milliseconds between frame clock ticks: ⌊0.5 + 1000 / fps⌋.
int32_t FramePeriodFor(double fps);

// Why a recording with these settings cannot start: the step text for
// the "could not record" message, or empty when all is well.
std::string CaptureSettingsProblem(double fps, double fpsPlay, int32_t width, int32_t height,
                                   int32_t bitsPerPixel);

// Wave input buffer of one block: ⌊rate / 11025⌋ × ⌊bits / 8⌋ × 2048 bytes.
int32_t WaveBlockBytes(uint32_t samplesPerSec, uint16_t bitsPerSample);

// The silence written with a single frame while paused.
struct Silence {
    int32_t samples = 0;
    int32_t bytes = 0;
    uint8_t fill = 0;   // 0x80 for 8-bit samples, 0 for 16-bit
};
Silence SingleShotSilence(int32_t sampleRate, int32_t bitsPerSample, double fpsPlay);

// The start caption is drawn while less than 5000 ms have passed.
bool CaptionVisible(uint32_t startMs, uint32_t nowMs);

// The cursor is drawn when it lies inside the rectangle, edges included.
bool CursorInCapture(int32_t x, int32_t y, int32_t startX, int32_t startY, int32_t width, int32_t height);

// The screen is copied in horizontal strips of at most kStripBytes: a copy
// from the screen of more than about 600 KB takes the platform's slow path
// (here, at 1920x1080, strips of 360 rows cost 4.5 times the CPU of strips
// of 64 and 5 times the wall time). The rows of one strip, at least one.
constexpr int64_t kStripBytes = 512 * 1024;
int32_t StripRows(int32_t width, int32_t bitsPerPixel);

// The outline around the capture rectangle is the frame a pen 3 pixels wide
// draws along the rectangle's edges (from left - 1 to right + 1, top - 1 to
// bottom + 1, 3 pixels deep), inverted as four bands that do not overlap:
// the platform inverts a drawn rectangle by reading and writing back all
// the screen it encloses, a band only itself. The bands, at most four;
// returns how many.
struct Band {
    int32_t left, top, width, height;
};
int OutlineBands(int32_t left, int32_t top, int32_t right, int32_t bottom, Band bands[4]);
