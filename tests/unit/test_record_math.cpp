#include "doctest.h"

#include "record/CaptureMath.h"
#include "settings/AppSettings.h"

#include <limits>

TEST_CASE("frame and format sizes") {
    CHECK(FrameBytes(320, 240, 32) == 320 * 240 * 4);
    CHECK(FrameBytes(321, 2, 24) == 2 * 964);   // 963 bytes padded to 964
    CHECK(FrameBytes(3, 1, 8) == 4);
    CHECK(FrameBytes(1, 1, 1) == 4);
    CHECK(FrameBytes(33, 1, 1) == 8);
    CHECK(FrameBytes(1920, 1080, 32) == 8294400);
    // Sizes that cannot be a frame.
    CHECK(FrameBytes(0, 240, 32) == -1);
    CHECK(FrameBytes(320, 0, 32) == -1);
    CHECK(FrameBytes(-5, 240, 32) == -1);
    CHECK(FrameBytes(320, 240, 0) == -1);
    CHECK(FrameBytes(100000, 100000, 32) == -1);
    CHECK(FrameBytes(std::numeric_limits<int32_t>::max(), 1, 32) == -1);
    CHECK(FrameBytes(16384, 32767, 32) == 2147418112);
    CHECK(FrameBytes(16384, 32768, 32) == -1);   // 2^31 bytes
    CHECK(FrameBytes(33, 1, 4) == 20);   // 132 bits: five words

    CHECK(ColourCountFor(8) == 256);
    CHECK(ColourCountFor(4) == 16);
    CHECK(ColourCountFor(1) == 2);
    CHECK(ColourCountFor(16) == 0);
    CHECK(ColourCountFor(32) == 0);
    CHECK(FormatBytes(0) == 40);
    CHECK(FormatBytes(256) == 1064);
}

TEST_CASE("default compressor by colour depth") {
    CHECK(DefaultCompressorFor(32) == FourCC("MSVC"));
    CHECK(DefaultCompressorFor(16) == FourCC("MSVC"));
    CHECK(DefaultCompressorFor(8) == FourCC("MRLE"));
    CHECK(DefaultCompressorFor(4) == kCodeDib);
    CHECK(kCodeDib == 0x20424944u);
}

TEST_CASE("rate, scale and period") {
    CHECK(VideoRate(10.0) == 10000u);
    CHECK(VideoScale(10.0, 10.0) == 1000u);
    CHECK(FramePeriodFor(10.0) == 100);
    CHECK(VideoRate(5.0) == 5000u);
    CHECK(VideoScale(5.0, 15.0) == 333u);
    CHECK(FramePeriodFor(5.0) == 200);
    CHECK(FramePeriodFor(4.0) == 250);
    CHECK(FramePeriodFor(30.0) == 33);
    CHECK(VideoRate(7.5) == 7500u);
    CHECK(VideoRate(29.9999) == 29999u);   // cut toward zero
    CHECK(FramePeriodFor(0.001) == 1000000);
    CHECK(FramePeriodFor(2000.0) == 1);
    CHECK(FramePeriodFor(2001.0) == 0);   // below one millisecond
}

TEST_CASE("rates the arithmetic cannot take") {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {0.0, -1.0, nan, inf, -inf}) {
        CAPTURE(bad);
        CHECK(VideoRate(bad) == 0u);
        CHECK(VideoScale(bad, 10.0) == 0u);
        CHECK(VideoScale(10.0, bad) == 0u);
        CHECK(FramePeriodFor(bad) == 0);
    }
    CHECK(VideoRate(0.0004) == 0u);       // below one thousandth
    CHECK(VideoRate(5e6) == 0u);           // beyond a 32-bit count
    CHECK(VideoScale(1.0, 5000.0) == 0u);  // rounds to no time per frame
}

TEST_CASE("settings problems name their reason") {
    CHECK(CaptureSettingsProblem(10, 10, 320, 240, 32).empty());
    CHECK(CaptureSettingsProblem(0, 10, 320, 240, 32) == "(Frame Rate)");
    CHECK(CaptureSettingsProblem(-3, 10, 320, 240, 32) == "(Frame Rate)");
    CHECK(CaptureSettingsProblem(std::numeric_limits<double>::quiet_NaN(), 10, 320, 240, 32) == "(Frame Rate)");
    CHECK(CaptureSettingsProblem(5000, 5000, 320, 240, 32) == "(Frame Rate)");   // period below 1 ms
    CHECK(CaptureSettingsProblem(10, 0, 320, 240, 32) == "(Playback Frame Rate)");
    CHECK(CaptureSettingsProblem(10, std::numeric_limits<double>::infinity(), 320, 240, 32) ==
          "(Playback Frame Rate)");
    CHECK(CaptureSettingsProblem(10, 10, 0, 240, 32) == "(Capture Size)");
    CHECK(CaptureSettingsProblem(10, 10, 320, -1, 32) == "(Capture Size)");
    CHECK(CaptureSettingsProblem(10, 10, 60000, 60000, 32) == "(Capture Size)");
}

TEST_CASE("sound block and single-shot silence") {
    // About 186 ms at every offered rate.
    CHECK(WaveBlockBytes(11025, 8) == 2048);
    CHECK(WaveBlockBytes(11025, 16) == 4096);
    CHECK(WaveBlockBytes(22050, 8) == 4096);
    CHECK(WaveBlockBytes(22050, 16) == 8192);
    CHECK(WaveBlockBytes(44100, 8) == 8192);
    CHECK(WaveBlockBytes(44100, 16) == 16384);
    CHECK(WaveBlockBytes(8000, 8) == 0);

    Silence s = SingleShotSilence(22050, 8, 15.0);
    CHECK(s.samples == 1470);
    CHECK(s.bytes == 1470);
    CHECK(s.fill == 0x80);
    s = SingleShotSilence(22050, 16, 15.0);
    CHECK(s.samples == 1470);
    CHECK(s.bytes == 2940);
    CHECK(s.fill == 0);
    s = SingleShotSilence(11025, 8, 10.0);
    CHECK(s.samples == 1102);
    s = SingleShotSilence(11025, 8, 0.0);
    CHECK(s.samples == 0);
    CHECK(s.bytes == 0);
}

TEST_CASE("caption time and cursor inside the rectangle") {
    CHECK(CaptionVisible(1000, 1000));
    CHECK(CaptionVisible(1000, 5999));
    CHECK_FALSE(CaptionVisible(1000, 6000));
    CHECK(CaptionVisible(0xFFFFF000u, 0x00000100u));   // the millisecond counter wrapped
    CHECK_FALSE(CaptionVisible(0xFFFFF000u, 0x00001000u));

    CHECK(CursorInCapture(100, 50, 100, 50, 320, 240));
    CHECK(CursorInCapture(420, 290, 100, 50, 320, 240));   // right and bottom edges count
    CHECK_FALSE(CursorInCapture(421, 100, 100, 50, 320, 240));
    CHECK_FALSE(CursorInCapture(200, 291, 100, 50, 320, 240));
    CHECK_FALSE(CursorInCapture(99, 100, 100, 50, 320, 240));
    CHECK_FALSE(CursorInCapture(200, 49, 100, 50, 320, 240));
    CHECK(CursorInCapture(std::numeric_limits<int32_t>::max(), 0, std::numeric_limits<int32_t>::max() - 1, 0, 10, 10));
}

TEST_CASE("the screen is copied in strips of at most 512 KB, at least a row each") {
    CHECK(StripRows(1920, 32) == 68);
    CHECK(StripRows(3840, 32) == 34);
    CHECK(StripRows(640, 8) == 819);
    CHECK(StripRows(200000, 32) == 1);
    CHECK(StripRows(0, 0) == 524288);
}

TEST_CASE("the outline's bands invert the frame of a 3-pixel pen once each, also around tiny rectangles") {
    for (const int size : {0, 1, 2, 5, 40}) {
        const int left = 10, top = 20, right = left + size, bottom = top + size + 1;
        Band bands[4];
        const int count = OutlineBands(left, top, right, bottom, bands);
        int inverted[64][64] = {};
        for (int i = 0; i < count; ++i)
            for (int y = bands[i].top; y < bands[i].top + bands[i].height; ++y)
                for (int x = bands[i].left; x < bands[i].left + bands[i].width; ++x) ++inverted[y][x];
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const bool outer = x >= left - 1 && x <= right && y >= top - 1 && y <= bottom;
                const bool inner = x >= left + 2 && x < right - 2 && y >= top + 2 && y < bottom - 2;
                CHECK(inverted[y][x] == (outer && !inner ? 1 : 0));
            }
    }
}
