// The settings' home between runs: "SOFTWARE\Orvantis\Velmorax\State" and
// "...\Keys" under HKEY_CURRENT_USER.
#pragma once

#include "AppSettings.h"

void LoadStateValues(AppSettings& settings);
void SaveStateValues(const AppSettings& settings);
void LoadKeyValues(AppSettings& settings);
void SaveKeyValues(const AppSettings& settings);
