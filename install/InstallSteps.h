// The steps of installing and uninstalling, between the two entry points of
// Installer.h and the system.
#pragma once

#include <windows.h>
#include <ddeml.h>

#include <string>
#include <vector>

// The folder dialog. On entry path (260 characters) holds the suggested
// folder; on a non-zero return the chosen folder, full and checked, where
// the user agreed to replace files of the same names as the distribution's
// from sourceDir that are not an earlier installation's.
int ChooseInstallDir(HWND owner, char* path, const std::string& sourceDir);
UINT_PTR CALLBACK InstallDirHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The Windows directory, where the uninstall batch file lies; empty when it
// cannot be read.
std::string WindowsDirectory();
// The files an earlier installation put into folder, as its batch file names
// them; none when that file is missing, unreadable or for another folder.
std::vector<std::string> EarlierInstalledFiles(const std::string& folder);
// The distribution's files that installing from sourceDir would put in place
// of files in folder that are not an earlier installation's; none when the
// two folders are the same (nothing is copied then).
std::vector<std::string> FilesInTheWay(const std::string& sourceDir, const std::string& folder);

// Copies name from sourceDir to targetDir, replacing an existing file; the
// system's result (non-zero on success).
BOOL CopyProgramFile(const char* name, const std::string& sourceDir, const std::string& targetDir);

// One execute transaction with the shell's "PROGMAN" service in a
// conversation of its own; non-zero when it was carried out.
int ProgmanCommand(DWORD ddeInstance, const std::string& command);
// All of them, in order, whatever each one's result; false when the DDE
// library could not be initialised.
bool SendProgmanCommands(const std::vector<std::string>& commands);

// Registers the video codec's library in folder as the system's driver for
// its format, unless another program's driver has that place; the removal
// takes it out only while it names the library in programDir, the folder
// of the running program.
void RegisterCodecDriver(const std::string& folder);
void UnregisterCodecDriver(const std::string& programDir);

// Deletes the program's registry keys, leaf first, and the company's key
// where no other product of the company is left in it.
void RemoveRegistryKeys(const char* company, const char* product);
