#include "WaveMath.h"

bool IsOfferedWaveFormat(uint32_t samplesPerSec, uint32_t bitsPerSample) {
    const bool rateOffered = samplesPerSec == 11025 || samplesPerSec == 22050 || samplesPerSec == 44100;
    return rateOffered && (bitsPerSample == 8 || bitsPerSample == 16);
}

PcmFormat MakePcmFormat(uint32_t samplesPerSec, uint16_t bitsPerSample) {
    PcmFormat format;
    const uint16_t bytesPerSample = static_cast<uint16_t>(bitsPerSample / 8);
    format.wFormatTag = 1;
    format.nChannels = 1;
    format.nSamplesPerSec = samplesPerSec;
    format.nAvgBytesPerSec = samplesPerSec * bytesPerSample;
    format.nBlockAlign = bytesPerSample;
    format.wBitsPerSample = bitsPerSample;
    return format;
}

int32_t WaveSampleCount(uint32_t bytesRecorded, uint16_t bitsPerSample) {
    const uint32_t bytesPerSample = bitsPerSample / 8u;
    return bytesPerSample ? static_cast<int32_t>(bytesRecorded / bytesPerSample) : 0;
}
