#include "UninstallScript.h"

#include "InstallNames.h"
#include "InstallPaths.h"

std::string UninstallBatchText(const std::string& folder, const std::string& batchPath, bool windowsNT) {
    std::string text = "@echo off\r\n";
    text += (windowsNT ? "" : "start /wait ") + BatchPath(folder, kProductName) + " -uninstall\r\n";
    text += "if errorlevel 1 goto finish\r\n";
    for (const char* name : kRemovedFiles) {
        text += "attrib -r -s -h " + BatchPath(folder, name) + "\r\n";
        text += "del " + BatchPath(folder, name) + "\r\n";
    }
    text += "rmdir " + BatchPath(folder, "") + "\r\n";
    text += "cls\r\n";
    text += "echo Please ignore any \"File not found\" or \"Batch file missing\" error messages.\r\n";
    text += "echo They mean that Velmorax was completely uninstalled.\r\n";
    text += "echo You may close this window now.\r\necho.\r\n";
    text += "del " + BatchPath(batchPath, "") + "\r\n";
    text += ":finish\r\n";
    return text;
}
