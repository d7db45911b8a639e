#include "RegistryStore.h"

#include "../framework/Handles.h"

#include "OptionList.h"

static_assert(REG_SZ == kTypeText && REG_DWORD == kTypeNumber && ERROR_MORE_DATA == kResultMoreData &&
              ERROR_INVALID_PARAMETER == kResultInvalidParameter);

bool UseOptionList = false;

namespace {

// A key handle (or none) as the value access of the generic loops.
class KeyAccess : public ValueAccess {
public:
    explicit KeyAccess(HKEY key) : key_(key) {}
    long Query(const char* name, uint32_t* type, void* data, uint32_t* size) override {
        DWORD valueType = 0;
        DWORD valueSize = *size;
        const LONG result = QuerySettingValue(key_, name, &valueType, data, &valueSize);
        *type = valueType;
        *size = valueSize;
        return result;
    }
    long Store(const char* name, uint32_t type, const void* data, uint32_t size) override {
        return StoreSettingValue(key_, name, type, data, size);
    }

private:
    HKEY key_;
};

}  // namespace

LONG QuerySettingValue(HKEY key, const char* name, DWORD* type, void* data, DWORD* size) {
    if (key) return ::RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE*>(data), size);
    uint32_t listType = 0;
    uint32_t listSize = *size;
    const long result = QueryOptionValue(ProcessOptionList(), name, &listType, data, &listSize);
    if (result == kResultNoSuchOption) return result;
    if (type) *type = listType;
    *size = listSize;
    return result;
}

LONG StoreSettingValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
    if (key) return ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    return StoreOptionValue(ProcessOptionList(), name, type, data, size);
}

void LoadSettingsKey(const SettingsKey& key, AppSettings& settings) {
    RegistryKey handle;
    if (!UseOptionList) {
        handle = OpenRegistryKey(HKEY_CURRENT_USER, key.path, KEY_READ);
        if (!handle) return;   // not there yet: the record stays as it is
    }
    KeyAccess access(handle.get());
    LoadSettingValues(key, settings, access);
}

void SaveSettingsKey(const SettingsKey& key, const AppSettings& settings) {
    RegistryKey handle;
    if (!UseOptionList) {
        char keyClass[] = "REG_SZ";
        DWORD disposition = 0;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, key.path, 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, handle.Out(), &disposition) != ERROR_SUCCESS) {
            return;
        }
    }
    KeyAccess access(handle.get());
    SaveSettingValues(key, settings, access);
}

void LoadStateValues(AppSettings& settings) { LoadSettingsKey(kStateKey, settings); }
void SaveStateValues(const AppSettings& settings) { SaveSettingsKey(kStateKey, settings); }
void LoadKeyValues(AppSettings& settings) { LoadSettingsKey(kKeysKey, settings); }
void SaveKeyValues(const AppSettings& settings) { SaveSettingsKey(kKeysKey, settings); }

void LoadStoredSettings(AppSettings& settings) {
    for (const SettingsKey* key : kAllKeys) LoadSettingsKey(*key, settings);
}

void SaveStoredSettings(const AppSettings& settings) {
    for (const SettingsKey* key : kAllKeys) SaveSettingsKey(*key, settings);
}
