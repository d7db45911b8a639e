// Window-free rules of wave input: the offered formats, the format record
// they give, and sample counts. The buffer size is the recording's choice.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

// Only 11025, 22050 and 44100 Hz and 8 or 16 bits are offered.
bool IsOfferedWaveFormat(uint32_t samplesPerSec, uint32_t bitsPerSample);

// The 16-byte PCM format record of mono sound at the given rate and size
// (not checked here).
PCMWAVEFORMAT MakePcmFormat(uint32_t samplesPerSec, uint16_t bitsPerSample);

// Whole samples in a number of recorded bytes.
int32_t WaveSampleCount(uint32_t bytesRecorded, uint16_t bitsPerSample);
