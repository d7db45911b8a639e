// The options file "Velmorax.ini" beside the program, and the command-line
// modes that exchange the settings with it.
#pragma once

#include "AppSettings.h"
#include "OptionList.h"

#include <string>

// With write set: writes the list into the file at path and returns 1, or 0
// when it cannot be written; the old file stays as it was until the new one
// is complete. Without: writes nothing and returns 1. The list is emptied.
int WriteOptionsFile(const std::string& path, OptionList& list, bool write);

// "-dumpopts": writes the stored settings into the file; the exit code.
int DumpOptions(AppSettings& settings, const std::string& programDir);
// "-readopts": copies the file's settings into the registry; the exit code.
int ReadOptions(AppSettings& settings, const std::string& programDir);
// After "-install": the same import, skipped when there is no file.
void ImportOptionsAfterInstall(AppSettings& settings, const std::string& programDir);
