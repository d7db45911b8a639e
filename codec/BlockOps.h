// The encoder's hot loops: row compares, row hashes and XOR, eight bytes at
// a time and without per-pixel branches. Inline: they run per block row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

inline uint64_t Load64(const uint8_t* p) {
    uint64_t value;
    std::memcpy(&value, p, 8);
    return value;
}

// The last n % 8 bytes of a row, zero-extended.
inline uint64_t LoadTail(const uint8_t* p, size_t n) {
    uint64_t value = 0;
    std::memcpy(&value, p, n);
    return value;
}

inline bool RowsEqual(const uint8_t* a, const uint8_t* b, size_t n) {
    uint64_t diff = 0;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) diff |= Load64(a + i) ^ Load64(b + i);
    if (i < n) diff |= LoadTail(a + i, n - i) ^ LoadTail(b + i, n - i);
    return diff == 0;
}

// How many rows of a block are equal, counting until the first row where it
// can no longer reach `enough` (the best count so far plus one).
inline int EqualRows(const uint8_t* a, ptrdiff_t strideA, const uint8_t* b, ptrdiff_t strideB, size_t rowBytes,
                     int rows, int enough) {
    int equal = 0;
    for (int r = 0; r < rows; ++r) {
        if (RowsEqual(a + strideA * r, b + strideB * r, rowBytes)) ++equal;
        else if (rows - 1 - r + equal < enough) return equal;
    }
    return equal;
}

inline bool BlockEqual(const uint8_t* a, ptrdiff_t strideA, const uint8_t* b, ptrdiff_t strideB, size_t rowBytes,
                       int rows) {
    for (int r = 0; r < rows; ++r)
        if (!RowsEqual(a + strideA * r, b + strideB * r, rowBytes)) return false;
    return true;
}

// A cheap hash of one block row, only used to propose vertical vectors that
// are then checked pixel by pixel.
inline uint64_t HashRow(const uint8_t* p, size_t n) {
    constexpr uint64_t k = 0x9E3779B97F4A7C15ull;
    uint64_t h = n;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        h = (h ^ Load64(p + i)) * k;
        h ^= h >> 31;
    }
    if (i < n) {
        h = (h ^ LoadTail(p + i, n - i)) * k;
        h ^= h >> 31;
    }
    return h;
}

// out = a XOR b for n bytes.
inline void XorRow(uint8_t* out, const uint8_t* a, const uint8_t* b, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const uint64_t value = Load64(a + i) ^ Load64(b + i);
        std::memcpy(out + i, &value, 8);
    }
    for (; i < n; ++i) out[i] = uint8_t(a[i] ^ b[i]);
}
