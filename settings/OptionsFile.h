// The options file "Velmorax.ini" beside the program, and the command-line
// modes that exchange the settings with it.
#pragma once

#include "AppSettings.h"

#include <string>

// "-dumpopts": writes the stored settings into the file; the exit code.
int DumpOptions(AppSettings& settings, const std::string& programDir);
// "-readopts": copies the file's settings into the registry; the exit code.
int ReadOptions(AppSettings& settings, const std::string& programDir);
// After "-install": the same import, skipped when there is no file.
void ImportOptionsAfterInstall(AppSettings& settings, const std::string& programDir);
