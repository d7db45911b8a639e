#include "SoundStream.h"

#include "RecordingSession.h"

#include <mmreg.h>

namespace {

SoundSource* theSoundSource = nullptr;

}  // namespace

void SetSoundSource(SoundSource* source) { theSoundSource = source; }
SoundSource* CurrentSoundSource() { return theSoundSource; }

bool PrepareSoundStream(const WaveFormat& format) {
    RecordingSession* session = ActiveSession();
    if (!session || !session->file) return false;
    WAVEFORMATEX wave{};
    wave.wFormatTag = format.wFormatTag;
    wave.nChannels = format.nChannels;
    wave.nSamplesPerSec = format.nSamplesPerSec;
    wave.nAvgBytesPerSec = format.nAvgBytesPerSec;
    wave.nBlockAlign = format.nBlockAlign;
    wave.wBitsPerSample = format.wBitsPerSample;
    wave.cbSize = 0;
    session->SoundPosition = 0;

    AVISTREAMINFOA info{};
    info.fccType = streamtypeAUDIO;
    info.dwScale = 1;
    info.dwRate = format.nSamplesPerSec;
    info.dwInitialFrames = 2;
    info.dwSuggestedBufferSize = 4096;
    info.dwSampleSize = format.nBlockAlign;
    session->LastAviError = ::AVIFileCreateStreamA(session->file, &session->sound, &info);
    if (session->LastAviError != 0) return false;
    session->LastAviError = ::AVIStreamSetFormat(session->sound, 0, &wave, sizeof wave);
    return session->LastAviError == 0;
}

void OnWaveBlock(const WaveFormat& format, const void* data, int32_t sampleCount) {
    RecordingSession* session = ActiveSession();
    if (!session || !session->sound || sampleCount <= 0) return;
    const LONG bytes = sampleCount * (format.wBitsPerSample / 8);
    const HRESULT result = ::AVIStreamWrite(session->sound, session->SoundPosition, sampleCount,
                                            const_cast<void*>(data), bytes, AVIIF_KEYFRAME, nullptr, nullptr);
    session->SoundPosition += sampleCount;
    if (result != 0) {
        session->LastAviError = result;
        AbortRecording(*session, kAbortSound);
    }
}
