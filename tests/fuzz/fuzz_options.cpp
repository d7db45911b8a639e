// Fuzz test of the options-file reader and the list side of the settings
// store: any bytes as an options file must read without a crash or a read
// past a line, every value must answer its queries within the buffer, and
// what the store writes from the settings loaded must read back unchanged.
#include "settings/OptionList.h"
#include "settings/SettingsTable.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// Every entry asked with capacities around its size, each into a heap
// buffer of exactly that capacity so that a write past it is caught.
void QueryEveryEntry(const OptionList& list) {
    for (const OptionEntry& entry : list.Entries()) {
        for (uint32_t capacity : {0u, 1u, 3u, 4u, 5u, 60u, 260u, 1024u}) {
            std::unique_ptr<char[]> buffer(new char[capacity ? capacity : 1]);
            uint32_t type = 0, size = capacity;
            const long code = QueryOptionValue(list, entry.name.c_str(), &type, buffer.get(), &size);
            Check(code == kResultOk || code == kResultMoreData);
            Check(type == kTypeText || type == kTypeNumber);
            if (code == kResultOk) Check(size <= capacity);
            if (code == kResultMoreData) Check(size > capacity);
        }
    }
}

AppSettings Load(const OptionList& list) {
    AppSettings settings;
    ResetSettings(settings, "Shift+");
    OptionList copy = list;
    OptionListAccess access(copy);
    for (const SettingsKey* key : kAllKeys) LoadSettingValues(*key, settings, access);
    return settings;
}

std::string Dump(const AppSettings& settings, OptionList list) {
    OptionListAccess access(list);
    for (const SettingsKey* key : kAllKeys) SaveSettingValues(*key, settings, access);
    return FormatOptionsText(list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    OptionList list;
    ReadOptionsText(text, list);
    for (const OptionEntry& entry : list.Entries()) {
        Check(!entry.name.empty() && entry.name.size() < kOptionLinePiece);
        Check(entry.value.size() < kOptionLinePiece);
    }
    QueryEveryEntry(list);

    // "-readopts" then "-dumpopts": the settings read from the file, written
    // into a new file, read back the same.
    const AppSettings loaded = Load(list);
    const std::string dumped = Dump(loaded, OptionList());
    OptionList reread;
    ReadOptionsText(dumped, reread);
    Check(reread.Entries().size() == 33);   // the 31 lines, then ShowClicks and ShowKeys
    Check(Dump(Load(reread), OptionList()) == dumped);

    // "-dumpopts" over this file: its own lines stay in their order, and the
    // result reads back as the same settings.
    const std::string merged = Dump(loaded, list);
    OptionList mergedList;
    ReadOptionsText(merged, mergedList);
    Check(Dump(Load(mergedList), OptionList()) == dumped);
    return 0;
}
