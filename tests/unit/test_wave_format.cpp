#include "doctest.h"

#include "audio/Wave.h"

#include <cstdlib>

TEST_CASE("wave format: the offered rates and sizes only, and a refusal changes nothing") {
    CWave wave;
    const PCMWAVEFORMAT& f = wave.Format();
    CHECK((f.wf.wFormatTag == 1 && f.wf.nChannels == 1 && f.wf.nSamplesPerSec == 11025 &&
           f.wf.nAvgBytesPerSec == 11025 && f.wf.nBlockAlign == 1 && f.wBitsPerSample == 8));

    wave.Blocks().AddTail(new CWaveBlock(std::malloc(4), 4, 4));
    REQUIRE(wave.SetFormat(22050, 16));
    CHECK(wave.Blocks().IsEmpty());
    CHECK((f.wf.wFormatTag == 1 && f.wf.nChannels == 1 && f.wf.nSamplesPerSec == 22050 &&
           f.wf.nAvgBytesPerSec == 44100 && f.wf.nBlockAlign == 2 && f.wBitsPerSample == 16));

    wave.Blocks().AddTail(new CWaveBlock(std::malloc(4), 4, 4));
    for (auto [rate, bits] : {std::pair{8000u, 16u}, {48000u, 8u}, {22050u, 12u}, {22050u, 0u}, {0u, 8u}, {11025u, 24u}})
        CHECK_FALSE(wave.SetFormat(rate, bits));
    CHECK((f.wf.nSamplesPerSec == 22050 && f.wBitsPerSample == 16 && f.wf.nBlockAlign == 2 &&
           f.wf.nAvgBytesPerSec == 44100));
    CHECK(wave.Blocks().GetCount() == 1);

    REQUIRE(wave.SetFormat(44100, 8));
    CHECK((f.wf.nAvgBytesPerSec == 44100 && f.wf.nBlockAlign == 1));
}

TEST_CASE("wave format: a trailing half sample is no sample") {
    CHECK(WaveSampleCount(8191, 16) == 4095);
    CHECK(WaveSampleCount(1, 8) == 1);
}
