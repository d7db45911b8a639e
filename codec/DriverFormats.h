// Which bitmap formats the driver takes and writes, read from the headers
// the Video Compression Manager passes.
#pragma once

#include "ZmbvDecoder.h"
#include "FourCC.h"
#include "ZmbvFormat.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>


// An uncompressed picture as a DIB: its size, row order and pixel layout.
struct DibLayout {
    int width = 0;
    int height = 0;   // always positive; topDown tells the row order
    bool topDown = false;
    int bits = 0;
    ZmbvFormat format = ZmbvFormat::None;   // as the compressor takes it
    ZmbvOutput output = ZmbvOutput::Bgr0;   // as the decompressor writes it
};

// The capture formats the compressor takes: 8 bits with a colour table,
// 16 bits (BI_RGB is 555; BI_BITFIELDS 555 or 565), 32 bits. Not 24 bits
// and not below 8 bits: players commonly do not decode those.
bool ReadCompressInput(const BITMAPINFOHEADER* header, DibLayout& layout);

// The pictures the decompressor writes: the stream's own depth, or 24 or
// 32 bits from any stream (true colours, after palette changes too).
bool ReadDecompressOutput(const BITMAPINFOHEADER* header, DibLayout& layout);

// A ZMBV stream format: its size and depth.
bool ReadCompressed(const BITMAPINFOHEADER* header, int& width, int& height, int& bits);

// The colour table of an 8-bit DIB as 256 R, G, B triples; entries the
// table does not have are black.
void ReadPalette(const BITMAPINFOHEADER* header, uint8_t (&palette)[kZmbvPaletteBytes]);

// Colour-table entries that follow the header of an 8-bit DIB (0 otherwise).
DWORD ColourCount(const BITMAPINFOHEADER* header);

// Where row 0 (the top) starts and how far the next row is.
PictureView InputRows(const void* bits, const DibLayout& layout);
MutablePictureView OutputRows(void* bits, const DibLayout& layout);
