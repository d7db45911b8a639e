// Installing the program into a folder of the user's choice, and removing it.
#pragma once

#include <string>

enum class InstallResult {
    Installed,
    Cancelled,   // in the folder dialog: nothing was changed
    Failed,      // required files missing or no program group; the user was told
};

// Copies the program from sourceDir into a folder the user picks and
// registers it.
InstallResult InstallProgram(const std::string& sourceDir);
// Removes the shell entries, the codec's driver entry when it names the
// library in programDir, and the program's registry keys; 0 when nothing
// could be removed (the user was told).
int UninstallProgram(const std::string& programDir);
