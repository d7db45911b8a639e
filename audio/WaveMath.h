// Window-free rules of wave input: the offered formats, the format record
// they give, and sample counts. The buffer size is the recording's choice.
#pragma once

#include <cstdint>

// The PCM format record the recorder keeps (16 bytes, in this order).
struct PcmFormat {
    uint16_t wFormatTag = 1;
    uint16_t nChannels = 1;
    uint32_t nSamplesPerSec = 11025;
    uint32_t nAvgBytesPerSec = 11025;
    uint16_t nBlockAlign = 1;
    uint16_t wBitsPerSample = 8;
};
static_assert(sizeof(PcmFormat) == 16, "the format record is 16 bytes");

// Only 11025, 22050 and 44100 Hz and 8 or 16 bits are offered.
bool IsOfferedWaveFormat(uint32_t samplesPerSec, uint32_t bitsPerSample);

// Mono PCM at the given rate and size (not checked here).
PcmFormat MakePcmFormat(uint32_t samplesPerSec, uint16_t bitsPerSample);

// Whole samples in a number of recorded bytes.
int32_t WaveSampleCount(uint32_t bytesRecorded, uint16_t bitsPerSample);
