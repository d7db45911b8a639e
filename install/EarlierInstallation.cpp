// Which files of a target folder are an earlier installation's own: the
// batch file that installation wrote is the record of them.
#include "FolderAccess.h"
#include "InstallNames.h"
#include "InstallPaths.h"
#include "InstallSteps.h"
#include "UninstallScript.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

// Ours has a few kilobytes; anything much larger is not ours.
constexpr size_t kMaxBatchSize = 64 * 1024;

std::string ReadSmallFile(const std::string& path) {
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char buffer[4096];
    size_t n = 0;
    while (bytes.size() <= kMaxBatchSize && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, n);
    }
    std::fclose(file);
    return bytes.size() <= kMaxBatchSize ? bytes : std::string();
}

}  // namespace

std::vector<std::string> EarlierInstalledFiles(const std::string& folder) {
    const std::string windowsDir = WindowsDirectory();
    std::string text;
    if (windowsDir.empty() ||
        !ConvertCodePage(ReadSmallFile(windowsDir + kUninstallBatchName), BatchFileCodePage(), CP_ACP, text)) {
        return {};
    }
    return NamesDeletedBy(text, folder);
}

std::vector<std::string> FilesInTheWay(const std::string& sourceDir, const std::string& folder) {
    std::vector<std::string> inTheWay;
    if (SameFolder(folder, sourceDir)) return inTheWay;
    const std::vector<std::string> earlier = EarlierInstalledFiles(folder);
    for (const DistributionFile& file : kDistributionFiles) {
        if (FileExists(sourceDir + "\\" + file.name) && FileExists(folder + "\\" + file.name) &&
            std::find(earlier.begin(), earlier.end(), file.name) == earlier.end()) {
            inTheWay.push_back(file.name);
        }
    }
    return inTheWay;
}
