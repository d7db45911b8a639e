// Which settings are stored under which names, and the generic loops that
// load and save them through a value access: the registry, or the option
// list of the options file.
//
// Plain C++ without the Windows headers, so that it also builds natively.
#pragma once

#include "AppSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>

class OptionList;

enum class FieldKind {
    Integer,  // a 32-bit number value
    Rate,     // a frame rate, stored as a number of thousandths
    Text,     // a text value
};

struct SettingField {
    const char* name;       // the stored value's name
    FieldKind kind;
    uint32_t capacity;      // load capacity in bytes, a text's zero included
    int32_t AppSettings::*integer;
    double AppSettings::*rate;
    std::string AppSettings::*text;
};

// The values of one key, in save order; loadOrder (when not null) gives the
// indexes of the fields in the order they are loaded.
struct SettingsKey {
    const char* path;       // below HKEY_CURRENT_USER
    const SettingField* fields;
    size_t count;
    const uint8_t* loadOrder;
};

extern const SettingsKey kStateKey;  // "SOFTWARE\Orvantis\Velmorax\State", 17 values
extern const SettingsKey kKeysKey;   // "SOFTWARE\Orvantis\Velmorax\Keys", 14 values
// "ShowClicks" and "ShowKeys", in the "State" key after its 17 values; loaded
// and saved after "Keys", so an options file lists them after its 31 lines.
extern const SettingsKey kInputMarksKey;
// The three in the order every load and save walks them.
constexpr size_t kAllKeyCount = 3;
extern const SettingsKey* const kAllKeys[kAllKeyCount];

// The two operations every load and save goes through, with the registry's
// conventions (see QueryOptionValue and StoreOptionValue).
class ValueAccess {
public:
    virtual ~ValueAccess() = default;
    virtual long Query(const char* name, uint32_t* type, void* data, uint32_t* size) = 0;
    virtual long Store(const char* name, uint32_t type, const void* data, uint32_t size) = 0;
};

// The option list as a value access.
class OptionListAccess : public ValueAccess {
public:
    explicit OptionListAccess(OptionList& list) : list_(list) {}
    long Query(const char* name, uint32_t* type, void* data, uint32_t* size) override;
    long Store(const char* name, uint32_t type, const void* data, uint32_t size) override;

private:
    OptionList& list_;
};

// Loads every value of the key in load order. A field changes only when its
// value is there, of the type this store writes, and fits its capacity;
// anything else leaves the field as it was.
void LoadSettingValues(const SettingsKey& key, AppSettings& settings, ValueAccess& access);

// Saves every value of the key in save order: numbers as 4 bytes, rates as
// thousandths, texts with their terminating zero. A value that fails does
// not stop the others.
void SaveSettingValues(const SettingsKey& key, const AppSettings& settings, ValueAccess& access);

// Copies every stored value of from into settings, key by key: the numbers
// each as one whole value, since the frame grabber reads some of them on
// its own thread while a recording runs.
void CopySettingValues(AppSettings& settings, const AppSettings& from);
