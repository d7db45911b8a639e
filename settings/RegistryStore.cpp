#include "RegistryStore.h"

// The registry store comes with its own change.
void LoadStateValues(AppSettings&) {}
void SaveStateValues(const AppSettings&) {}
void LoadKeyValues(AppSettings&) {}
void SaveKeyValues(const AppSettings&) {}
