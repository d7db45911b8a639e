#include "UninstallScript.h"

#include "InstallNames.h"
#include "InstallPaths.h"

#include <algorithm>
#include <cstring>

namespace {

bool Holds(const std::vector<std::string>& names, const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool MadeLater(const char* name) {
    return std::strcmp(name, kOptionsFileName) == 0 || std::strcmp(name, kHelpIndexName) == 0;
}

}  // namespace

std::string UninstallBatchText(const std::string& folder, const std::string& batchPath, bool windowsNT,
                               const std::vector<std::string>& names) {
    std::string text = "@echo off\r\n";
    // With delayed expansion on (a registry setting), the NT command processor
    // takes ! as syntax even inside quotes; the Windows 95 one knows neither.
    if (windowsNT && (folder + batchPath).find('!') != std::string::npos) {
        text += "setlocal DisableDelayedExpansion\r\n";
    }
    text += (windowsNT ? "" : "start /wait ") + BatchPath(folder, kProductName) + " -uninstall\r\n";
    text += "if errorlevel 1 goto finish\r\n";
    for (const std::string& name : names) {
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

std::vector<std::string> NamesDeletedBy(const std::string& batchText, const std::string& folder) {
    std::vector<std::string> deleted;
    size_t start = 0;
    while (start < batchText.size()) {
        size_t end = batchText.find("\r\n", start);
        if (end == std::string::npos) end = batchText.size();
        const std::string line = batchText.substr(start, end - start);
        start = end + 2;
        if (line.rfind("del ", 0) != 0) continue;
        // Letter case may differ between two spellings of the same folder.
        for (const char* name : kRemovedFiles) {
            if (!Holds(deleted, name) && SameFolderName(line.substr(4), BatchPath(folder, name))) {
                deleted.push_back(name);
            }
        }
    }
    return deleted;
}

std::vector<std::string> OwnFiles(const std::vector<std::string>& copied, const std::vector<std::string>& earlier,
                                  const std::vector<std::string>& presentBefore) {
    std::vector<std::string> own;
    for (const char* name : kRemovedFiles) {
        if (Holds(copied, name) || Holds(earlier, name) || (MadeLater(name) && !Holds(presentBefore, name))) {
            own.push_back(name);
        }
    }
    return own;
}
