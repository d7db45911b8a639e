// The entries of the video page's compressor list: the automatic choice
// (code 0), every installed video compressor that can be opened, and
// uncompressed frames ("DIB ") last. The enumeration is passed in, so that
// the rules can be followed without the system's compressors.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct CompressorEntry {
    std::string text;
    uint32_t code;
};

struct InstalledCompressor {
    uint32_t handler = 0;      // four-character code
    std::string description;
};

enum class CompressorProbe {
    Found,        // found holds the compressor
    CannotOpen,   // there is one at this index, but it cannot be opened
    End,          // no compressor at this index or beyond
};

// Looks at the index-th installed video compressor.
using CompressorSource = std::function<CompressorProbe(int index, InstalledCompressor& found)>;

// The entries to append to a list that already holds the codes in listed,
// in this order: noneText (code 0), the compressors of source, dibText
// ("DIB "). A code already listed, or added before, is not added again; a
// compressor that cannot be opened is left out and the ones after it are
// still looked at. A compressor without a description is named by its code.
std::vector<CompressorEntry> CompressorEntriesToAdd(const std::vector<uint32_t>& listed, const std::string& noneText,
                                                    const std::string& dibText, const CompressorSource& source);

// The four characters of a code, with a character that cannot be shown as "?".
std::string FourCCText(uint32_t code);

// The system's video compressors, through the video compression manager.
CompressorProbe SystemVideoCompressor(int index, InstalledCompressor& found);
