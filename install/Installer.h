// Installing the program into a folder of the user's choice, and removing it.
#pragma once

#include <string>

// Copies the program from sourceDir into a folder the user picks and
// registers it; 0 when the user cancelled or the shell could not be reached.
int InstallProgram(const std::string& sourceDir);
// Removes the shell entries and the program's registry keys; 0 on failure.
int UninstallProgram();
