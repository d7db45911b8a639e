// The program-group commands sent to the shell's "PROGMAN" service.
#pragma once

#include <string>
#include <vector>

// Creates the group "Velmorax" with the program, its help, the README (only
// when it was copied; opened with Notepad) and the uninstaller; on Windows NT
// the uninstaller's console window starts minimised.
std::vector<std::string> InstallProgmanCommands(const std::string& folder, const std::string& batchPath,
                                                bool readmeCopied, bool windowsNT);

// Removes the items and the group.
std::vector<std::string> UninstallProgmanCommands();
