// The uninstall batch file written into the Windows directory. It runs the
// program with "-uninstall", which ends with 1 when the user declines, and
// only then deletes the files, the folder and itself.
#pragma once

#include <string>

// The whole file, "\r\n" line ends, in the code page of folder and batchPath
// (the caller converts it to the console's page before writing it). Windows
// 95 needs "start /wait" to wait for a Windows program.
std::string UninstallBatchText(const std::string& folder, const std::string& batchPath, bool windowsNT);
