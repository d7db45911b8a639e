#include "OptionsFile.h"

// The options file comes with its own change.
int DumpOptions(AppSettings&, const std::string&) { return 0; }
int ReadOptions(AppSettings&, const std::string&) { return 1; }
void ImportOptionsAfterInstall(AppSettings&, const std::string&) {}
