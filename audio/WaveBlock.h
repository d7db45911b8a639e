// CWaveBlock: one filled buffer handed over by the device, owning its
// samples. CWaveBlockList: a recorder's blocks not yet taken, oldest first.
#pragma once

#include "../framework/Object.h"

#include <cstdint>

class CWaveBlock : public CObject {
public:
    // Takes over data (from malloc); it is freed with the block.
    CWaveBlock(void* data, int32_t bufferSize, int32_t sampleCount)
        : data_(static_cast<uint8_t*>(data)), bufferSize_(bufferSize), sampleCount_(sampleCount) {}
    ~CWaveBlock() override;
    CWaveBlock(const CWaveBlock&) = delete;
    CWaveBlock& operator=(const CWaveBlock&) = delete;
    const char* ClassName() const override { return "CWaveBlock"; }

    const uint8_t* Data() const { return data_; }
    int32_t BufferSize() const { return bufferSize_; }
    int32_t SampleCount() const { return sampleCount_; }

private:
    uint8_t* data_;
    int32_t bufferSize_;
    int32_t sampleCount_;
};

class CWaveBlockList : public CObList {
public:
    CWaveBlockList() : CObList(10) {}
    const char* ClassName() const override { return "CWaveBlockList"; }

    // Removes the oldest block and hands it over; none when empty.
    CWaveBlock* TakeOldest() { return static_cast<CWaveBlock*>(RemoveHead()); }
};
