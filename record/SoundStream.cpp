#include "SoundStream.h"

#include "Recorder.h"
#include "RecordingSession.h"

#include <mmreg.h>

bool PrepareSoundStream(RecordingSession& session, const PCMWAVEFORMAT& format) {
    if (!session.file) return false;
    WAVEFORMATEX wave{format.wf.wFormatTag, format.wf.nChannels, format.wf.nSamplesPerSec,
                      format.wf.nAvgBytesPerSec, format.wf.nBlockAlign, format.wBitsPerSample, 0};
    session.SoundPosition = 0;
    session.soundFormat = format;

    AVISTREAMINFOA info{};
    info.fccType = streamtypeAUDIO;
    info.dwScale = 1;
    info.dwRate = format.wf.nSamplesPerSec;
    info.dwInitialFrames = 2;
    info.dwSuggestedBufferSize = 4096;
    info.dwSampleSize = format.wf.nBlockAlign;
    session.LastAviError = ::AVIFileCreateStreamA(session.file.get(), session.sound.Out(), &info);
    if (session.LastAviError != 0) return false;
    session.LastAviError = ::AVIStreamSetFormat(session.sound.get(), 0, &wave, sizeof wave);
    return session.LastAviError == 0;
}

HRESULT AppendSound(RecordingSession& session, int32_t sampleCount, const void* data, int32_t bytes) {
    // The end as the stream counts it: SoundPosition where a PCM stream's
    // length is kept in samples. Wine's writer keeps it in chunks, and
    // refuses to write anywhere else.
    const LONG end = ::AVIStreamStart(session.sound.get()) + ::AVIStreamLength(session.sound.get());
    const HRESULT result = ::AVIStreamWrite(session.sound.get(), end, sampleCount, const_cast<void*>(data), bytes,
                                            AVIIF_KEYFRAME, nullptr, nullptr);
    if (result == 0) session.SoundPosition += sampleCount;
    return result;
}

void WriteSoundBlock(RecordingSession& session, const PCMWAVEFORMAT& format, const void* data, int32_t sampleCount) {
    if (!session.sound || sampleCount <= 0) return;
    const int32_t bytes = sampleCount * (format.wBitsPerSample / 8);
    // While recording, the room kept for the stop's sound stays free; the
    // stop's sound itself may use it.
    const bool recording = session.FrameCount.load() >= 0 && !session.closing.load();
    if (!session.budget.Fits(ChunkBytes(bytes), recording ? session.soundReserve : 0)) {
        if (recording) AbortRecording(session, kAbortFileFull);
        return;   // the block is lost; the file stays whole
    }
    const HRESULT result = AppendSound(session, sampleCount, data, bytes);
    if (result != 0) {
        session.LastAviError = result;
        AbortRecording(session, kAbortSound);
        return;
    }
    session.budget.AddChunk(bytes);
}

bool Recorder::WithSound() const { return session_ && session_->withSound; }

void Recorder::OnWaveBlock(const PCMWAVEFORMAT& format, const void* data, int32_t sampleCount) {
    if (session_) WriteSoundBlock(*session_, format, data, sampleCount);
}
