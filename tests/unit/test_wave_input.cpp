#include "doctest.h"

#include "FakeWaveIn.h"
#include "audio/Wave.h"
#include "audio/WaveInWindow.h"
#include "record/CaptureMath.h"

#include <string>
#include <vector>

namespace {

// Takes every block as the recording does: oldest off the list, then deleted.
struct Collector : WaveSink {
    FakeWaveIn& fake;
    std::vector<int> samples;
    std::vector<uint8_t> bytes;
    bool tookTheDeliveredBlock = true;
    explicit Collector(FakeWaveIn& f) : fake(f) {}
    void OnWaveBlock(CWave& wave, CWaveBlock& block) override {
        CWaveBlock* taken = wave.Blocks().TakeOldest();
        tookTheDeliveredBlock = tookTheDeliveredBlock && taken == &block;
        samples.push_back(block.SampleCount());
        const int size = block.SampleCount() * wave.Format().wf.nBlockAlign;
        bytes.insert(bytes.end(), block.Data(), block.Data() + size);
        fake.Adopt(block.Data());
        delete taken;
    }
};

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
}

std::vector<uint8_t> Recorded(size_t count) {
    std::vector<uint8_t> expected;
    for (size_t i = 0; i < count; ++i) expected.push_back(FakeSoundByte(i));
    return expected;
}

}  // namespace

TEST_CASE("wave input: blocks arrive in order, full or cut short by a pause, with eight buffers queued") {
    FakeWaveIn fake;
    WaveInWindow window(fake);
    CWave wave;
    Collector sink(fake);
    REQUIRE(wave.SetFormat(22050, 16));
    REQUIRE(wave.Start(&window, WaveBlockBytes(22050, 16), &sink, true));

    CHECK((fake.format.nSamplesPerSec == 22050 && fake.format.wBitsPerSample == 16 && fake.format.nBlockAlign == 2 &&
           fake.format.nAvgBytesPerSec == 44100 && fake.format.nChannels == 1 && fake.format.cbSize == 0));
    CHECK(fake.window == window.hwnd());
    CHECK(WindowText(window.hwnd()) == "Wave Wnd");
    CHECK_FALSE(::IsWindowVisible(window.hwnd()));
    CHECK(fake.queue.size() == 8);
    CHECK(fake.queue.back()->dwBufferLength == 8192);

    fake.Record(2 * 8192 + 1000);
    Pump();
    CHECK(sink.samples == std::vector<int>{4096, 4096});
    CHECK(fake.queue.size() == 8);
    window.Pause();
    Pump();
    window.Resume();
    fake.Record(8192);
    Pump();
    CHECK(sink.samples == std::vector<int>{4096, 4096, 500, 4096});
    CHECK(sink.bytes == Recorded(3 * 8192 + 1000));
    CHECK(sink.tookTheDeliveredBlock);

    // The stop hands back empty buffers only: no block, nothing kept.
    wave.Stop();
    CHECK(sink.samples.size() == 4);
    CHECK(window.HeldBuffers() == 0);
    CHECK(wave.Receiver() == nullptr);
    window.Close();
    CHECK_FALSE(::IsWindow(fake.window));
    CHECK((!fake.open && fake.live.empty() && fake.prepared.empty() && !fake.misuse));
}

TEST_CASE("wave input: the stop waits for a late device, delivers the end of the sound, and takes no other message") {
    FakeWaveIn fake;
    fake.returnDelayMs = 150;
    WaveInWindow window(fake);
    CWave wave;
    Collector sink(fake);
    REQUIRE(wave.Start(&window, WaveBlockBytes(11025, 8), &sink, true));
    fake.Record(2048 + 952);
    // A stop command queued while the sound is being flushed.
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0);

    wave.Stop();
    CHECK(sink.samples == std::vector<int>{2048, 952});
    CHECK(sink.bytes == Recorded(3000));
    MSG msg;
    CHECK(::PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
    window.Close();
    CHECK((fake.live.empty() && fake.prepared.empty() && !fake.misuse));
}

TEST_CASE("wave input: a notice for a header the device still holds is ignored; the stop waits for its sound") {
    FakeWaveIn fake;
    WaveInWindow window(fake);
    CWave wave;
    Collector sink(fake);
    REQUIRE(wave.Start(&window, 2048, &sink, true));
    fake.Record(2048 + 500);
    fake.NotifyStale(fake.queue.front());   // being filled
    fake.NotifyStale(fake.queue.back());
    Pump();
    CHECK(sink.samples == std::vector<int>{2048});
    CHECK(window.HeldBuffers() == 8);
    REQUIRE((fake.queue.size() == 8 && !fake.misuse));
    fake.Record(500);
    wave.Stop();
    CHECK(sink.samples == std::vector<int>{2048, 1000});
    CHECK(sink.bytes == Recorded(3048));
    window.Close();
    CHECK((fake.live.empty() && fake.prepared.empty() && !fake.misuse));
}

TEST_CASE("wave input: the time a device starts late is silence before its first sound, after a start and a resume") {
    FakeWaveIn fake;
    WaveInWindow window(fake);
    CWave wave;
    Collector sink(fake);
    fake.clock = 5000;
    REQUIRE(wave.Start(&window, 2048, &sink, true));
    fake.clock += 785;   // 185 ms of sound (2048 samples at 11025 Hz) after 785 ms: 600 ms missed
    fake.Record(2048);
    Pump();
    fake.clock += 186;   // on time from now on
    fake.Record(2048);
    Pump();
    window.Pause();
    fake.clock += 3000;
    window.Resume();
    fake.clock += 185 + 180;   // late by less than a buffer: a device's own latency
    fake.Record(2048);
    Pump();
    wave.Stop();
    CHECK(sink.samples == std::vector<int>{6615, 2048, 2048, 2048});
    std::vector<uint8_t> expected(6615, 0x80);
    const std::vector<uint8_t> recorded = Recorded(3 * 2048);
    expected.insert(expected.end(), recorded.begin(), recorded.end());
    CHECK(sink.bytes == expected);
    window.Close();
    CHECK((fake.live.empty() && fake.prepared.empty() && !fake.misuse));
}

TEST_CASE("wave input: buffers the device returns after the stop gave up never reach the receiver") {
    FakeWaveIn fake;
    fake.returnDelayMs = 700;
    WaveInWindow window(fake, 50);
    CWave wave;
    Collector sink(fake);
    REQUIRE(wave.Start(&window, 2048, &sink, true));
    fake.Record(1000);
    wave.Stop();
    CHECK(window.HeldBuffers() == 8);

    SUBCASE("handled before the close: kept in the list") {
        ::Sleep(900);
        Pump();
        CHECK(window.HeldBuffers() == 0);
        REQUIRE(wave.Blocks().GetCount() == 1);
        fake.Adopt(static_cast<CWaveBlock*>(wave.Blocks().GetHead())->Data());
        window.Close();
    }
    SUBCASE("after the close: already freed, ignored") {
        window.Close();
        ::Sleep(900);
        Pump();
        CHECK(wave.Blocks().IsEmpty());
    }
    CHECK(sink.samples.empty());
    CHECK((fake.live.empty() && fake.prepared.empty() && !fake.misuse && !fake.open));
}

TEST_CASE("wave input: a failed start leaves nothing open or allocated and says why") {
    FakeWaveIn fake;
    WaveInWindow window(fake);
    CWave wave;
    Collector sink(fake);
    WaveInStep expected = WaveInStep::None;
    SUBCASE("no device") {
        fake.openResult = MMSYSERR_BADDEVICEID;
        expected = WaveInStep::Open;
    }
    SUBCASE("first header") {
        fake.failAllocation = 0;
        expected = WaveInStep::Memory;
    }
    SUBCASE("first sample buffer") {
        fake.failAllocation = 1;
        expected = WaveInStep::Memory;
    }
    SUBCASE("a later header") {
        fake.failAllocation = 6;
        expected = WaveInStep::Memory;
    }
    SUBCASE("an add") {
        fake.failAdd = 3;
        expected = WaveInStep::Add;
    }
    SUBCASE("the start") {
        fake.startResult = MMSYSERR_ERROR;
        expected = WaveInStep::Start;
    }
    SUBCASE("no buffer size") {
        CHECK_FALSE(wave.Start(&window, 0, &sink, true));
        CHECK(window.LastFailure().step == WaveInStep::BufferSize);
        CHECK(fake.opens == 0);
        return;
    }
    CHECK_FALSE(wave.Start(&window, 2048, &sink, true));
    CHECK(window.LastFailure().step == expected);
    CHECK(IsNoInputDevice(window.LastFailure()) == (expected == WaveInStep::Open));
    CHECK_FALSE(window.IsOpen());
    CHECK((!fake.open && fake.queue.empty() && fake.live.empty() && fake.prepared.empty() && !fake.misuse));
    // Resuming a recording whose sound did not start starts nothing.
    window.Resume();
    CHECK_FALSE(fake.running);
}

TEST_CASE("wave input: a buffer that cannot be queued again is freed and the rest go on") {
    FakeWaveIn fake;
    WaveInWindow window(fake);
    CWave wave;
    Collector sink(fake);
    REQUIRE(wave.Start(&window, 2048, &sink, true));
    fake.failAllocation = fake.allocations + 1;   // the data of the next replacement
    fake.Record(2048);
    Pump();
    fake.failAdd = fake.adds;
    fake.Record(2048);
    Pump();
    CHECK(sink.samples == std::vector<int>{2048, 2048});
    CHECK(fake.queue.size() == 6);
    CHECK(window.LastFailure().step == WaveInStep::Add);
    fake.Record(6 * 2048);
    Pump();
    CHECK(sink.bytes == Recorded(8 * 2048));
    window.Close();
    CHECK((fake.live.empty() && fake.prepared.empty() && !fake.misuse));
}

TEST_CASE("wave input: a start on an open device reopens it in the new format; the next start makes a new window") {
    FakeWaveIn fake;
    WaveInWindow window(fake);
    CWave wave;
    Collector sink(fake);
    REQUIRE(wave.Start(&window, WaveBlockBytes(11025, 8), &sink, false));
    fake.Record(100);   // not started: nothing recorded
    REQUIRE(wave.SetFormat(44100, 16));
    REQUIRE(wave.Start(&window, WaveBlockBytes(44100, 16), &sink, true));
    CHECK((fake.opens == 2 && fake.closes == 1));
    CHECK(fake.format.nSamplesPerSec == 44100);
    REQUIRE(fake.queue.size() == 8);
    for (WAVEHDR* h : fake.queue) CHECK(h->dwBufferLength == 16384);
    CHECK(fake.live.size() == 16);

    // Buffers returned but not yet handled when the window closes are freed too.
    fake.Record(16384 + 10);
    const HWND first = window.hwnd();
    window.Close();
    CHECK((fake.live.empty() && fake.prepared.empty() && !fake.misuse));
    REQUIRE(wave.Start(&window, 16384, &sink, true));
    CHECK((window.hwnd() != first && ::IsWindow(window.hwnd())));
    Pump();
    CHECK(sink.samples.empty());
    window.Close();
    CHECK((fake.live.empty() && !fake.misuse));
}

TEST_CASE("wave input: a restart drops the device's lead, and only from sound recorded after it") {
    FakeWaveIn fake;
    fake.restartLeadMs = 100;   // 1102 samples at 11025 Hz: more than one buffer of 1000
    WaveInWindow window(fake);
    CWave wave;
    Collector sink(fake);
    REQUIRE(wave.Start(&window, 1000, &sink, false));
    window.Resume();   // the first start: nothing went before it
    fake.Record(1500);
    window.Pause();    // the short block waits in the queue while the device starts again
    window.Resume();
    fake.Record(2500);
    Pump();
    wave.Stop();
    CHECK(sink.samples == std::vector<int>{1000, 500, 898, 500});
    std::vector<uint8_t> expected = Recorded(4000);
    expected.erase(expected.begin() + 1500, expected.begin() + 1500 + 1102);
    CHECK(sink.bytes == expected);
    window.Close();
    CHECK((fake.live.empty() && fake.prepared.empty() && !fake.misuse));
}
