#include "FileNaming.h"

#include <cctype>
#include <cstdio>
#include <limits>

std::string CompleteAviName(const std::string& name) {
    if (name.empty()) return "capture.avi";
    std::string tail = name.size() > 5 ? name.substr(name.size() - 5) : name;
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (tail.find(".avi") != std::string::npos) return name;
    return name + ".avi";
}

namespace {

constexpr size_t kMaxPath = 259;
// More digits than this are not read as a number but kept in the stem.
constexpr size_t kMaxNumberDigits = 9;

}  // namespace

std::string NumberedFileName(const std::string& name, const std::function<bool(const std::string&)>& exists) {
    std::string stem = name.substr(0, kMaxPath);
    std::string extension;
    const size_t mark = stem.find_last_of(".\\/:");
    if (mark != std::string::npos && stem[mark] == '.') {
        extension = stem.substr(mark);
        stem.erase(mark);
    }

    size_t digitsAt = stem.size();
    while (digitsAt > 0 && std::isdigit(static_cast<unsigned char>(stem[digitsAt - 1]))) --digitsAt;
    long long number = 0;
    if (stem.size() - digitsAt <= kMaxNumberDigits) {
        for (size_t i = digitsAt; i < stem.size(); ++i) number = number * 10 + (stem[i] - '0');
        stem.erase(digitsAt);
    }
    if (number == 0) number = 1;

    std::string candidate;
    for (; number <= std::numeric_limits<int>::max(); ++number) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%04lld", number);
        candidate = stem + digits + extension;
        if (!exists(candidate)) break;
    }
    return candidate;
}
