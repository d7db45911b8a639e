#include "Wave.h"

#include "WaveInWindow.h"

#include <cstdlib>

CWaveBlock::~CWaveBlock() { std::free(data_); }

CWave::~CWave() { ResetBlocks(); }

bool CWave::SetFormat(uint32_t samplesPerSec, uint32_t bitsPerSample) {
    if (!IsOfferedWaveFormat(samplesPerSec, bitsPerSample)) return false;
    ResetBlocks();
    format_ = MakePcmFormat(samplesPerSec, static_cast<uint16_t>(bitsPerSample));
    return true;
}

void CWave::ResetBlocks() {
    while (CWaveBlock* block = blocks_.TakeOldest()) delete block;
}

bool CWave::Start(WaveInWindow* inputWindow, int32_t bufferBytes, WaveSink* receiver, bool startNow) {
    receiver_ = receiver;
    inputWindow_ = inputWindow;
    return inputWindow && inputWindow->Start(*this, bufferBytes, startNow);
}

void CWave::Stop() {
    if (inputWindow_) inputWindow_->Flush();
    receiver_ = nullptr;
}

void CWave::Deliver(CWaveBlock* block) {
    blocks_.AddTail(block);
    if (receiver_) receiver_->OnWaveBlock(*this, *block);
}
