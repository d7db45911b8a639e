// The option list: the setting lines of the options file "Velmorax.ini" in
// memory, the file's text format, and the list side of the value access that
// the settings store uses while it works on the list instead of the registry.
//
// Plain C++ without the Windows headers, so that it also builds natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The registry's value types and result codes that the list side answers with.
constexpr uint32_t kTypeText = 1;             // REG_SZ
constexpr uint32_t kTypeNumber = 4;           // REG_DWORD
constexpr long kResultOk = 0;                 // ERROR_SUCCESS
constexpr long kResultMoreData = 234;         // ERROR_MORE_DATA: the value does not fit
constexpr long kResultInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
constexpr long kResultNoSuchOption = -1;

// A line is read in pieces of at most this many bytes; the rest of a longer
// line is read as a line of its own.
constexpr size_t kOptionLinePiece = 1023;
// The longest text the list stores, so that its line reads back whole.
constexpr size_t kOptionTextMax = 1021;

// A 32-bit number value as its 4 little-endian bytes, as the registry keeps it.
inline uint32_t ReadNumber32(const void* data) {
    const auto* b = static_cast<const unsigned char*>(data);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}
inline void WriteNumber32(uint32_t number, void* data) {
    auto* b = static_cast<unsigned char*>(data);
    for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(number >> (8 * i));
}

struct OptionEntry {
    std::string name;   // without quotes
    std::string value;  // as in the file: a number, or a text in its quotes
};

class OptionList {
public:
    // The first entry whose name matches, ASCII letters in any case.
    const OptionEntry* Find(std::string_view name) const;
    OptionEntry* Find(std::string_view name);
    void Append(std::string name, std::string value);
    void Clear() { entries_.clear(); }
    const std::vector<OptionEntry>& Entries() const { return entries_; }

private:
    std::vector<OptionEntry> entries_;
};

// The one list of the process, filled by the options-file modes.
OptionList& ProcessOptionList();

bool SameOptionName(std::string_view a, std::string_view b);

// One line (or piece of a line) of the file: true and its name and value when
// it is a setting line. A setting line begins with a double quote; its name
// runs to the next double quote and must not be empty; its value follows past
// blanks and tabs, less the carriage returns and line feeds at its end.
bool ParseOptionLine(std::string_view line, std::string& name, std::string& value);

// Appends every setting line of a file's bytes to the list. A line is cut at
// its first zero byte.
void ReadOptionsText(std::string_view text, OptionList& list);

// The file's bytes for a list: "\"name\"  value\r\n" per entry, in order.
std::string FormatOptionsText(const OptionList& list);

// Empties the list and reads the file into it: 1 when the file was read, 0
// when it could not be opened (the list stays empty).
int ReadOptionsFile(const std::string& path, OptionList& list);

// "Velmorax.ini" in the program's folder (given without a trailing backslash).
std::string OptionsFilePath(const std::string& programDir);

// A number value: leading white space, an optional sign, decimal digits up to
// the first other character; no digits read as 0; clamped to 32 bits.
int32_t ParseOptionNumber(const std::string& value);

// The list side of the value access, with the registry's conventions: *size
// is the capacity in and the stored size out; data may be null to ask for
// the size alone. Returns kResultOk, kResultMoreData or kResultNoSuchOption.
long QueryOptionValue(const OptionList& list, const char* name, uint32_t* type, void* data, uint32_t* size);

// Replaces the first entry of that name or appends one. Texts (kTypeText,
// size counting the terminating zero) are stored in quotes, numbers
// (kTypeNumber, 4 bytes) in decimal. Another type returns kResultNoSuchOption;
// a text longer than kOptionTextMax or holding a line feed returns
// kResultMoreData; missing or short data kResultInvalidParameter. Nothing is
// stored then.
long StoreOptionValue(OptionList& list, const char* name, uint32_t type, const void* data, uint32_t size);
