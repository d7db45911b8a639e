#include "WaveMath.h"

bool IsOfferedWaveFormat(uint32_t samplesPerSec, uint32_t bitsPerSample) {
    const bool rateOffered = samplesPerSec == 11025 || samplesPerSec == 22050 || samplesPerSec == 44100;
    return rateOffered && (bitsPerSample == 8 || bitsPerSample == 16);
}

PCMWAVEFORMAT MakePcmFormat(uint32_t samplesPerSec, uint16_t bitsPerSample) {
    const uint16_t bytesPerSample = static_cast<uint16_t>(bitsPerSample / 8);
    return {{WAVE_FORMAT_PCM, 1, samplesPerSec, samplesPerSec * bytesPerSample, bytesPerSample}, bitsPerSample};
}

int32_t WaveSampleCount(uint32_t bytesRecorded, uint16_t bitsPerSample) {
    const uint32_t bytesPerSample = bitsPerSample / 8u;
    return bytesPerSample ? static_cast<int32_t>(bytesRecorded / bytesPerSample) : 0;
}
