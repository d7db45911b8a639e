// Four-character codes, as AVI files and compressors name things: the four
// characters read as a little-endian 32-bit number ("DIB " ends in a blank).
#pragma once

#include <cstdint>

constexpr uint32_t FourCC(const char (&code)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24;
}

// The program's own codec: its code, and the library beside the program
// that holds its driver.
constexpr uint32_t kZmbvCode = FourCC("ZMBV");
inline constexpr char kCodecLibraryName[] = "VelZmbv.dll";
