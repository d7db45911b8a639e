// The uninstall batch file written into the Windows directory. It runs the
// program with "-uninstall", which ends with 1 when the user declines, and
// only then deletes the files, the folder and itself.
#pragma once

#include <string>
#include <vector>

// The whole file, "\r\n" line ends, in the code page of folder and batchPath
// (the caller converts it to the console's page before writing it). It
// deletes the given names in folder (the installation's own files, see
// OwnFiles) and nothing else. Windows 95 needs "start /wait" to wait for a
// Windows program.
std::string UninstallBatchText(const std::string& folder, const std::string& batchPath, bool windowsNT,
                               const std::vector<std::string>& names);

// The names of kRemovedFiles that a batch file's text (in the code page of
// folder) deletes in folder: what an earlier installation into the same
// folder put there.
std::vector<std::string> NamesDeletedBy(const std::string& batchText, const std::string& folder);

// What the uninstaller may delete, in the order of kRemovedFiles: the names
// this installation copied, those an earlier installation into the folder
// put there, and the options file and help index, which the program and its
// help viewer make later, unless a file of that name was there before and is
// not ours.
std::vector<std::string> OwnFiles(const std::vector<std::string>& copied, const std::vector<std::string>& earlier,
                                  const std::vector<std::string>& presentBefore);
