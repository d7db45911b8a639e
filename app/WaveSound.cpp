#include "WaveSound.h"

#include <new>

void AudioSink::OnWaveBlock(CWave& wave, CWaveBlock&) {
    CWaveBlock* block = wave.Blocks().TakeOldest();
    if (!block) return;
    recorder_.OnWaveBlock(wave.Format(), block->Data(), block->SampleCount());
    delete block;
}

bool WaveSoundSource::Start(int32_t blockBytes, bool startNow) {
    if (!window_) window_.reset(new (std::nothrow) WaveInWindow());
    if (!window_) return false;
    return wave_.Start(window_.get(), blockBytes, &sink_, startNow);
}

void WaveSoundSource::Stop() {
    if (!window_) return;   // never started, or gone with the main window: nothing to hand over
    wave_.Stop();
    window_->Close();
}

void WaveSoundSource::Pause() {
    if (window_) window_->Pause();
}

void WaveSoundSource::Resume() {
    if (window_) window_->Resume();
}

bool WaveSoundSource::NoInputDevice() const { return window_ && IsNoInputDevice(window_->LastFailure()); }
