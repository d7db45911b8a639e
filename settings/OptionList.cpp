#include "OptionList.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The text of a quoted value: the characters between the first and the
// last; a lone quote is the empty text. A value whose closing quote is
// missing thus loses its last character.
std::string_view TextOfValue(std::string_view value) {
    return value.size() >= 2 ? value.substr(1, value.size() - 2) : std::string_view();
}

}  // namespace

bool SameOptionName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

const OptionEntry* OptionList::Find(std::string_view name) const {
    for (const OptionEntry& entry : entries_) {
        if (SameOptionName(entry.name, name)) return &entry;
    }
    return nullptr;
}

OptionEntry* OptionList::Find(std::string_view name) {
    return const_cast<OptionEntry*>(static_cast<const OptionList*>(this)->Find(name));
}

void OptionList::Append(std::string name, std::string value) {
    entries_.push_back(OptionEntry{std::move(name), std::move(value)});
}

OptionList& ProcessOptionList() {
    static OptionList list;
    return list;
}

bool ParseOptionLine(std::string_view line, std::string& name, std::string& value) {
    if (line.empty() || line[0] != '"') return false;
    const size_t close = line.find('"', 1);
    if (close == std::string_view::npos || close == 1) return false;   // no closing quote, or no name
    size_t start = close + 1;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
    size_t end = line.size();
    while (end > start && (line[end - 1] == '\r' || line[end - 1] == '\n')) --end;
    name.assign(line.substr(1, close - 1));
    value.assign(line.substr(start, end - start));
    return true;
}

void ReadOptionsText(std::string_view text, OptionList& list) {
    std::string name, value;
    size_t pos = 0;
    while (pos < text.size()) {
        // One piece: up to and including the line feed, at most kOptionLinePiece bytes.
        const size_t limit = std::min(text.size() - pos, kOptionLinePiece);
        const size_t feed = text.substr(pos, limit).find('\n');
        const size_t length = feed == std::string_view::npos ? limit : feed + 1;
        std::string_view piece = text.substr(pos, length);
        pos += length;
        const size_t zero = piece.find('\0');
        if (zero != std::string_view::npos) piece = piece.substr(0, zero);
        if (ParseOptionLine(piece, name, value)) list.Append(name, value);
    }
}

std::string FormatOptionsText(const OptionList& list) {
    std::string text;
    for (const OptionEntry& entry : list.Entries()) {
        text += '"';
        text += entry.name;
        text += "\"  ";
        text += entry.value;
        text += "\r\n";
    }
    return text;
}

int ReadOptionsFile(const std::string& path, OptionList& list) {
    list.Clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    ReadOptionsText(text, list);
    return 1;
}

std::string OptionsFilePath(const std::string& programDir) { return programDir + "\\Velmorax.ini"; }

int32_t ParseOptionNumber(const std::string& value) {
    // strtoll saturates beyond its range; the rest is clamped here.
    const long long number = std::strtoll(value.c_str(), nullptr, 10);
    if (number > INT32_MAX) return INT32_MAX;
    if (number < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(number);
}

long QueryOptionValue(const OptionList& list, const char* name, uint32_t* type, void* data, uint32_t* size) {
    if (!name || !size) return kResultInvalidParameter;
    const OptionEntry* entry = list.Find(name);
    if (!entry) return kResultNoSuchOption;
    const std::string& value = entry->value;
    if (!value.empty() && value[0] == '"') {
        const std::string_view text = TextOfValue(value);
        const size_t needed = text.size() + 1;
        if (type) *type = kTypeText;
        if (*size < needed) {
            *size = static_cast<uint32_t>(needed);
            return data ? kResultMoreData : kResultOk;
        }
        if (data) {
            if (!text.empty()) std::memcpy(data, text.data(), text.size());   // an empty view may have no data
            static_cast<char*>(data)[text.size()] = '\0';
        }
        *size = static_cast<uint32_t>(needed);
        return kResultOk;
    }
    if (type) *type = kTypeNumber;
    if (*size < 4) {
        *size = 4;
        return data ? kResultMoreData : kResultOk;
    }
    if (data) WriteNumber32(static_cast<uint32_t>(ParseOptionNumber(value)), data);
    *size = 4;
    return kResultOk;
}

long StoreOptionValue(OptionList& list, const char* name, uint32_t type, const void* data, uint32_t size) {
    if (!name) return kResultInvalidParameter;
    std::string value;
    if (type == kTypeText) {
        if (!data) return kResultInvalidParameter;
        const auto* chars = static_cast<const char*>(data);
        const std::string_view text(chars, std::find(chars, chars + size, '\0') - chars);
        if (text.size() > kOptionTextMax || text.find('\n') != std::string_view::npos) {
            return kResultMoreData;
        }
        value.reserve(text.size() + 2);
        value += '"';
        value += text;
        value += '"';
    } else if (type == kTypeNumber) {
        if (!data || size < 4) return kResultInvalidParameter;
        value = std::to_string(static_cast<int32_t>(ReadNumber32(data)));
    } else {
        return kResultNoSuchOption;
    }
    if (OptionEntry* entry = list.Find(name)) {
        entry->value = std::move(value);
    } else {
        list.Append(name, std::move(value));
    }
    return kResultOk;
}
