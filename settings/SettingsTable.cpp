#include "SettingsTable.h"

#include "OptionList.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kNumberCapacity = 4;
constexpr uint32_t kFileNameCapacity = 260;
constexpr uint32_t kDescCapacity = 60;

constexpr SettingField Integer(const char* name, int32_t AppSettings::*field) {
    return {name, FieldKind::Integer, kNumberCapacity, field, nullptr, nullptr};
}
constexpr SettingField Rate(const char* name, double AppSettings::*field) {
    return {name, FieldKind::Rate, kNumberCapacity, nullptr, field, nullptr};
}
constexpr SettingField Text(const char* name, std::string AppSettings::*field, uint32_t capacity) {
    return {name, FieldKind::Text, capacity, nullptr, nullptr, field};
}

using S = AppSettings;

const SettingField kStateFields[] = {
    Integer("StartX", &S::StartX),
    Integer("StartY", &S::StartY),
    Integer("Width", &S::Width),
    Integer("Height", &S::Height),
    Integer("WinX", &S::WinX),
    Integer("WinY", &S::WinY),
    Integer("FlashRect", &S::FlashRect),
    Integer("WndHide", &S::WndHide),
    Integer("IncFilename", &S::IncFilename),
    Integer("RecSound", &S::RecSound),
    Integer("SoundSampRate", &S::SoundSampRate),
    Integer("SoundSampSize", &S::SoundSampSize),
    Rate("FPS", &S::FPS),
    Rate("FPSPlay", &S::FPSPlay),
    Integer("Compress", &S::Compress),
    Integer("KeyFrames", &S::KeyFrames),
    Text("AVIFileName", &S::AVIFileName, kFileNameCapacity),
};
// Loading reads the sample size before the rate.
const uint8_t kStateLoadOrder[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 10, 12, 13, 14, 15, 16};
static_assert(sizeof kStateLoadOrder == sizeof kStateFields / sizeof kStateFields[0]);

const SettingField kKeysFields[] = {
    Integer("Start Key", &S::StartKey),
    Integer("Start Mod", &S::StartMod),
    Text("Start Desc", &S::StartDesc, kDescCapacity),
    Integer("Pause Key", &S::PauseKey),
    Integer("Pause Mod", &S::PauseMod),
    Text("Pause Desc", &S::PauseDesc, kDescCapacity),
    Integer("SingleShot Key", &S::SingleShotKey),
    Integer("SingleShot Mod", &S::SingleShotMod),
    Text("SingleShot Desc", &S::SingleShotDesc, kDescCapacity),
    Integer("LockPan Key", &S::LockPanKey),
    Integer("LockPan Mod", &S::LockPanMod),
    Text("LockPan Desc", &S::LockPanDesc, kDescCapacity),
    Integer("Pan Modifiers", &S::PanModifiers),
    Integer("Pan Locked", &S::PanLocked),
};

// "State" values added later: saved after "Keys", so that they follow the
// 31 lines of older options files instead of splitting them.
const SettingField kInputMarkFields[] = {
    Integer("ShowClicks", &S::ShowClicks),
    Integer("ShowKeys", &S::ShowKeys),
};

void LoadNumberField(const SettingField& field, AppSettings& settings, ValueAccess& access) {
    unsigned char bytes[kNumberCapacity] = {};
    uint32_t type = 0;
    uint32_t size = kNumberCapacity;
    if (access.Query(field.name, &type, bytes, &size) != kResultOk) return;
    if (type != kTypeNumber || size != kNumberCapacity) return;   // not a value this store wrote
    const uint32_t number = ReadNumber32(bytes);
    if (field.kind == FieldKind::Rate) {
        settings.*field.rate = ThousandthsToRate(number);
    } else {
        settings.*field.integer = static_cast<int32_t>(number);
    }
}

void LoadTextField(const SettingField& field, AppSettings& settings, ValueAccess& access) {
    std::vector<char> buffer(field.capacity);
    uint32_t type = 0;
    uint32_t size = field.capacity;
    if (access.Query(field.name, &type, buffer.data(), &size) != kResultOk) return;
    if (type != kTypeText || size > field.capacity) return;
    // The text ends at its zero byte; one written by another program may
    // lack it, and then must leave room for it to fit.
    const void* zero = std::memchr(buffer.data(), '\0', size);
    size_t length = size;
    if (zero) {
        length = static_cast<size_t>(static_cast<const char*>(zero) - buffer.data());
    } else if (size == field.capacity) {
        return;
    }
    (settings.*field.text).assign(buffer.data(), length);
}

void SaveField(const SettingField& field, const AppSettings& settings, ValueAccess& access) {
    if (field.kind == FieldKind::Text) {
        const char* text = (settings.*field.text).c_str();
        access.Store(field.name, kTypeText, text, static_cast<uint32_t>(std::strlen(text) + 1));
        return;
    }
    const uint32_t number = field.kind == FieldKind::Rate ? RateToThousandths(settings.*field.rate)
                                                          : static_cast<uint32_t>(settings.*field.integer);
    unsigned char bytes[kNumberCapacity];
    WriteNumber32(number, bytes);
    access.Store(field.name, kTypeNumber, bytes, kNumberCapacity);
}

}  // namespace

const SettingsKey kStateKey = {"SOFTWARE\\Orvantis\\Velmorax\\State", kStateFields,
                               sizeof kStateFields / sizeof kStateFields[0], kStateLoadOrder};
const SettingsKey kKeysKey = {"SOFTWARE\\Orvantis\\Velmorax\\Keys", kKeysFields,
                              sizeof kKeysFields / sizeof kKeysFields[0], nullptr};
const SettingsKey kInputMarksKey = {"SOFTWARE\\Orvantis\\Velmorax\\State", kInputMarkFields,
                                    sizeof kInputMarkFields / sizeof kInputMarkFields[0], nullptr};
const SettingsKey* const kAllKeys[kAllKeyCount] = {&kStateKey, &kKeysKey, &kInputMarksKey};

long OptionListAccess::Query(const char* name, uint32_t* type, void* data, uint32_t* size) {
    return QueryOptionValue(list_, name, type, data, size);
}

long OptionListAccess::Store(const char* name, uint32_t type, const void* data, uint32_t size) {
    return StoreOptionValue(list_, name, type, data, size);
}

void LoadSettingValues(const SettingsKey& key, AppSettings& settings, ValueAccess& access) {
    for (size_t i = 0; i < key.count; ++i) {
        const SettingField& field = key.fields[key.loadOrder ? key.loadOrder[i] : i];
        if (field.kind == FieldKind::Text) {
            LoadTextField(field, settings, access);
        } else {
            LoadNumberField(field, settings, access);
        }
    }
}

void SaveSettingValues(const SettingsKey& key, const AppSettings& settings, ValueAccess& access) {
    for (size_t i = 0; i < key.count; ++i) SaveField(key.fields[i], settings, access);
}

void CopySettingValues(AppSettings& settings, const AppSettings& from) {
    for (const SettingsKey* key : kAllKeys) {
        for (size_t i = 0; i < key->count; ++i) {
            const SettingField& field = key->fields[i];
            switch (field.kind) {
            case FieldKind::Integer: StoreShared(settings.*field.integer, from.*field.integer); break;
            case FieldKind::Rate: settings.*field.rate = from.*field.rate; break;
            case FieldKind::Text: settings.*field.text = from.*field.text; break;
            }
        }
    }
}
