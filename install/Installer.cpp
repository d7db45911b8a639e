#include "Installer.h"

#include "FolderAccess.h"
#include "InstallNames.h"
#include "InstallPaths.h"
#include "InstallSteps.h"
#include "ProgmanCommands.h"

#include "../framework/Handles.h"
#include "UninstallScript.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

void ShowError(const std::string& text) { ::MessageBoxA(nullptr, text.c_str(), kInstallTitle, MB_ICONERROR); }

bool IsWindowsNT() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return ::GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Copies the distribution's files in their order; false when a required one
// is missing. copied gets the names that are now ours.
bool CopyDistribution(const std::string& sourceDir, const std::string& targetDir, std::vector<std::string>& copied) {
    bool allRequired = true;
    for (const DistributionFile& file : kDistributionFiles) {
        const bool done = CopyProgramFile(file.name, sourceDir, targetDir) != 0;
        if (done) copied.push_back(file.name);
        if (file.required && !done) allRequired = false;
    }
    return allRequired;
}

// The removable names found in folder before anything is copied.
std::vector<std::string> PresentFiles(const std::string& folder) {
    std::vector<std::string> present;
    for (const char* name : kRemovedFiles)
        if (FileExists(folder + "\\" + name)) present.push_back(name);
    return present;
}

// The batch file in the console's code page, written whole or not at all;
// not at all when the folder or the batch file's own path (the text names
// both) has a letter that page lacks.
bool WriteUninstallBatch(const std::string& batchPath, const std::string& folder, bool windowsNT,
                         const std::vector<std::string>& ownFiles) {
    if (batchPath.size() > kMaxPathLength) return false;
    std::string text;
    const std::string batch = UninstallBatchText(folder, batchPath, windowsNT, ownFiles);
    if (!ConvertCodePage(batch, CP_ACP, BatchFileCodePage(), text)) return false;
    FILE* file = std::fopen(batchPath.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fclose(file) == 0 && written;
    if (!written) ::DeleteFileA(batchPath.c_str());
    return written;
}

bool SetText(HKEY key, const char* name, const std::string& value) {
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool WriteUninstallEntry(const std::string& batchPath) {
    char keyClass[] = "REG_SZ";
    RegistryKey key;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, key.Out(), &disposition) != ERROR_SUCCESS) {
        return false;
    }
    return SetText(key.get(), "DisplayName", kProductName) && SetText(key.get(), "UninstallString", JoinPath(batchPath, ""));
}

}  // namespace

std::string WindowsDirectory() {
    char path[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryA(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

BOOL CopyProgramFile(const char* name, const std::string& sourceDir, const std::string& targetDir) {
    const std::string source = sourceDir + "\\" + name;
    const std::string target = targetDir + "\\" + name;
    if (source.size() > kMaxPathLength || target.size() > kMaxPathLength) return FALSE;
    return ::CopyFileA(source.c_str(), target.c_str(), FALSE);
}

InstallResult InstallProgram(const std::string& sourceDir) {
    const std::string windowsDir = WindowsDirectory();
    ::SetCurrentDirectoryA(RootOf(windowsDir).c_str());   // a relative folder is taken from there
    char chosen[MAX_PATH];
    ::lstrcpynA(chosen, SuggestedInstallFolder(windowsDir).c_str(), MAX_PATH);
    if (!ChooseInstallDir(nullptr, chosen, sourceDir)) return InstallResult::Cancelled;
    const std::string folder = chosen;
    // Read before the new batch file replaces the record of them.
    const std::vector<std::string> earlier = EarlierInstalledFiles(folder);
    const std::vector<std::string> presentBefore = PresentFiles(folder);

    // Into the folder it runs from (by whatever spelling), nothing is copied:
    // a file copied onto itself can be lost.
    bool complete = true;
    std::vector<std::string> copied;
    if (!SameFolder(folder, sourceDir) && !CopyDistribution(sourceDir, folder, copied)) {
        ShowError("Could not copy all Velmorax files to the destination path, installation failed.");
        complete = false;
    }
    const bool readmeCopied = std::find(copied.begin(), copied.end(), kReadmeName) != copied.end();

    RegisterCodecDriver(folder);

    const bool windowsNT = IsWindowsNT();
    const std::string batchPath = windowsDir + kUninstallBatchName;
    const std::vector<std::string> ownFiles = OwnFiles(copied, earlier, presentBefore);
    if (windowsDir.empty() || !WriteUninstallBatch(batchPath, folder, windowsNT, ownFiles)) {
        ShowError("The uninstall batch file \"" + batchPath +
                  "\" could not be written, so Velmorax cannot be uninstalled automatically. The installation "
                  "goes on.");
    }
    if (!WriteUninstallEntry(batchPath)) {
        ShowError("The uninstall entry could not be written to the registry (no rights?), so Velmorax will not "
                  "be listed among the installed programs. The installation goes on.");
    }
    if (!SendProgmanCommands(InstallProgmanCommands(folder, batchPath, readmeCopied, windowsNT))) {
        ShowError("The Velmorax program group could not be created (the shell's DDE service is not available), so "
                  "Velmorax has no entries in the Start menu. The files are in place.");
        complete = false;
    }
    return complete ? InstallResult::Installed : InstallResult::Failed;
}
