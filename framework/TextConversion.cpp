#include "TextConversion.h"

#include <climits>

bool NarrowText(std::wstring_view text, UINT codePage, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    if (text.size() > static_cast<size_t>(INT_MAX / 4)) return false;
    const int length = static_cast<int>(text.size());
    // The code pages without a default character refuse the flag and the
    // question of whether it was used.
    const bool checked = codePage != CP_UTF8 && codePage != CP_UTF7;
    const DWORD flags = checked ? WC_NO_BEST_FIT_CHARS : 0;
    const int size = ::WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    out.resize(static_cast<size_t>(size));
    BOOL substituted = FALSE;
    const int written = ::WideCharToMultiByte(codePage, flags, text.data(), length, &out[0], size, nullptr,
                                              checked ? &substituted : nullptr);
    if (written <= 0) {
        out.clear();
        return false;
    }
    out.resize(static_cast<size_t>(written));
    return !substituted;
}

bool AnsiPathFrom(std::wstring_view path, UINT codePage, std::string& out) {
    std::string narrow;
    if (path.empty() || !NarrowText(path, codePage, narrow) || narrow.size() >= MAX_PATH) return false;
    out = narrow;
    return true;
}
