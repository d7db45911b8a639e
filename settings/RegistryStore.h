// The settings' home between runs: "SOFTWARE\Orvantis\Velmorax\State" and
// "...\Keys" under HKEY_CURRENT_USER. While UseOptionList is set, the four
// operations open no key and work on the process's option list instead.
#pragma once

#include "AppSettings.h"
#include "SettingsTable.h"

#include <windows.h>

// Set only by the options-file modes, and cleared before they save to the registry.
extern bool UseOptionList;

void LoadStateValues(AppSettings& settings);
void SaveStateValues(const AppSettings& settings);
void LoadKeyValues(AppSettings& settings);
void SaveKeyValues(const AppSettings& settings);
// Every stored value: "State", "Keys", then the "State" values added later
// (ShowClicks, ShowKeys). The program's loads and saves all go through these.
void LoadStoredSettings(AppSettings& settings);
void SaveStoredSettings(const AppSettings& settings);

// One key's values, loaded from or saved to the key given by its table (the
// tests use a scratch key), or the option list when UseOptionList is set.
void LoadSettingsKey(const SettingsKey& key, AppSettings& settings);
void SaveSettingsKey(const SettingsKey& key, const AppSettings& settings);

// Every read and write of a value: with a key handle the registry's own query
// and set; without one (null) the process's option list. The codes are the
// registry's: 0, ERROR_MORE_DATA (234), or -1 for a name the list lacks.
LONG QuerySettingValue(HKEY key, const char* name, DWORD* type, void* data, DWORD* size);
LONG StoreSettingValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size);
