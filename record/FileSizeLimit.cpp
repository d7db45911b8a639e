#include "FileSizeLimit.h"

#include <cstdio>

int64_t ChunkBytes(int64_t dataBytes) { return 8 + dataBytes + (dataBytes & 1) + 16; }

int64_t FrameBound(int32_t frameSize, bool compressed) {
    const int64_t size = frameSize > 0 ? frameSize : 0;
    return compressed ? size + size / 8 + 64 * 1024 : size;
}

int64_t PaletteChangeBytes(int32_t colourCount) { return 4 + 4 * static_cast<int64_t>(colourCount); }

int64_t FileSizeLimitFrom(const char* text) {
    if (!text || !*text) return kFileSizeLimit;
    int64_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return kFileSizeLimit;
        value = value * 10 + (*c - '0');
        if (value >= kFileSizeLimit) return kFileSizeLimit;
    }
    return value > 0 ? value : kFileSizeLimit;
}

uint32_t CompressorFrom(const char* text) {
    if (!text) return 0;
    uint32_t code = 0;
    int length = 0;
    for (; text[length]; ++length) {
        if (length == 4) return 0;
        code |= static_cast<uint32_t>(static_cast<unsigned char>(text[length])) << (8 * length);
    }
    return length == 4 ? code : 0;
}

int64_t DiskRoomNeeded(const FileSizeBudget& budget, int64_t nextBytes, int64_t reserve) {
    return nextBytes + reserve + budget.IndexBytes() + kCloseMarginBytes;
}

std::string LimitText(int64_t limit) {
    char size[64];
    std::snprintf(size, sizeof size, "%lld bytes (%.1f MB)", static_cast<long long>(limit),
                  static_cast<double>(limit) / (1024 * 1024));
    return size;
}
