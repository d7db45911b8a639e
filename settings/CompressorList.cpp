#include "CompressorList.h"

#include "AppSettings.h"

#include "../framework/TextConversion.h"

#include <windows.h>
#include <vfw.h>

#include <algorithm>
#include <cwchar>

namespace {

// More than any system has; a source that never ends stops here.
constexpr int kMostCompressors = 1024;

}  // namespace

std::vector<CompressorEntry> CompressorEntriesToAdd(const std::vector<uint32_t>& listed, const std::string& noneText,
                                                    const std::string& dibText, const CompressorSource& source) {
    std::vector<CompressorEntry> added;
    auto add = [&](const std::string& text, uint32_t code) {
        const bool known = std::find(listed.begin(), listed.end(), code) != listed.end() ||
                           std::any_of(added.begin(), added.end(), [code](const CompressorEntry& e) { return e.code == code; });
        if (!known) added.push_back({text, code});
    };
    add(noneText, 0);
    for (int index = 0; source && index < kMostCompressors; ++index) {
        InstalledCompressor found;
        const CompressorProbe probe = source(index, found);
        if (probe == CompressorProbe::End) break;
        if (probe == CompressorProbe::CannotOpen) continue;
        add(found.description.empty() ? FourCCText(found.handler) : found.description, found.handler);
    }
    add(dibText, kCodeDib);
    return added;
}

std::string FourCCText(uint32_t code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((code >> (8 * i)) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

CompressorProbe SystemVideoCompressor(int index, InstalledCompressor& found) {
    ICINFO info{};
    info.dwSize = sizeof info;
    if (index < 0 || !::ICInfo(ICTYPE_VIDEO, static_cast<DWORD>(index), &info)) return CompressorProbe::End;
    HIC compressor = ::ICOpen(info.fccType, info.fccHandler, ICMODE_QUERY);
    if (!compressor) return CompressorProbe::CannotOpen;
    // The compressor's own answer names it; without one, what the
    // enumeration gave stays.
    ::ICGetInfo(compressor, &info, sizeof info);
    ::ICClose(compressor);
    found.handler = info.fccHandler;
    const size_t length = wcsnlen(info.szDescription, sizeof info.szDescription / sizeof info.szDescription[0]);
    NarrowText(std::wstring_view(info.szDescription, length), CP_ACP, found.description);   // substitutes will do
    return CompressorProbe::Found;
}
