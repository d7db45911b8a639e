#include "Strings.h"

#include "App.h"

#include <cstdio>
#include <vector>

std::string LoadResString(UINT id) {
    HINSTANCE library = AfxGetResourceHandle();
    if (!library) return {};
    // A string table entry holds at most 65535 characters; grow until it fits.
    for (int size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(static_cast<size_t>(size));
        const int length = ::LoadStringA(library, id, buffer.data(), size);
        if (length <= 0) return {};
        if (length < size - 1) return std::string(buffer.data(), static_cast<size_t>(length));
    }
    return {};
}

std::string InsertArgument(const std::string& format, const std::string& arg) { return InsertArguments(format, {arg}); }

std::string InsertArguments(const std::string& format, std::initializer_list<std::string> args) {
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        const size_t n = i + 1 < format.size() && format[i] == '%' ? static_cast<size_t>(format[i + 1] - '1') : args.size();
        if (n < args.size()) {
            out += args.begin()[n];
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

std::string FormatIntegers(const std::string& format, std::initializer_list<long long> values) {
    std::string out;
    auto next = values.begin();
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            out += format[i++];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        // %[flags][width][.precision][h|l|ll]conversion
        size_t j = i + 1;
        while (j < format.size() && std::string("-+ #0").find(format[j]) != std::string::npos) ++j;
        size_t widthDigits = 0;
        while (j < format.size() && isdigit(static_cast<unsigned char>(format[j])) && widthDigits < 3) ++j, ++widthDigits;
        if (j < format.size() && format[j] == '.') {
            ++j;
            size_t precisionDigits = 0;
            while (j < format.size() && isdigit(static_cast<unsigned char>(format[j])) && precisionDigits < 3)
                ++j, ++precisionDigits;
        }
        const size_t directiveEnd = j;
        while (j < format.size() && (format[j] == 'l' || format[j] == 'h')) ++j;
        const char conversion = j < format.size() ? format[j] : '\0';
        if (std::string("diuxX").find(conversion) == std::string::npos || conversion == '\0' ||
            next == values.end()) {
            out += format[i++];   // not ours: copy the percent sign and go on
            continue;
        }
        std::string directive = format.substr(i, directiveEnd - i) + "ll" + conversion;
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, directive.c_str(), *next++);
        out += buffer;
        i = j + 1;
    }
    return out;
}

std::string LiteralCaption(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += '&';
        out += c;
    }
    return out;
}

int AppMessageBox(HWND owner, const std::string& text, UINT flags) {
    CWinApp* app = AfxGetApp();
    const char* caption = app ? app->appName.c_str() : "";
    return ::MessageBoxA(owner, text.c_str(), caption, flags);
}

int AppMessageBox(const std::string& text, UINT flags) {
    CWinApp* app = AfxGetApp();
    HWND owner = (app && app->mainWnd) ? app->mainWnd->hwnd() : nullptr;
    return AppMessageBox(owner, text, flags);
}
