// The video codec's driver in the system's list of drivers, for other
// programs (the program itself installs it for its own run at start).
#include "FolderAccess.h"
#include "InstallNames.h"
#include "InstallPaths.h"
#include "InstallSteps.h"

#include "../codec/FourCC.h"
#include "../framework/Handles.h"

#include <mmsystem.h>
#include <vfw.h>

namespace {

constexpr char kDriversKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
constexpr char kDriverValue[] = "vidc.ZMBV";

// The driver registered for the codec's code: its library's path, or empty.
// Windows NT keeps the list in the registry, Windows 95 in system.ini.
std::string RegisteredDriver() {
    char path[MAX_PATH + 1] = "";
    if (const RegistryKey key = OpenRegistryKey(HKEY_LOCAL_MACHINE, kDriversKey, KEY_QUERY_VALUE)) {
        DWORD size = MAX_PATH, type = 0;
        if (::RegQueryValueExA(key.get(), kDriverValue, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) ==
                ERROR_SUCCESS && type == REG_SZ)
            return std::string(path, ::strnlen(path, size));
    }
    ::GetPrivateProfileStringA("drivers32", kDriverValue, "", path, sizeof path, "system.ini");
    return path;
}

// By file name: any installation of ours may take the place of another.
bool IsOurs(const std::string& driver) {
    const size_t slash = driver.find_last_of("\\/:");
    return SameFolderName(slash == std::string::npos ? driver : driver.substr(slash + 1), kCodecLibrary);
}

}  // namespace

void RegisterCodecDriver(const std::string& folder) {
    const std::string path = folder + "\\" + kCodecLibrary;
    if (path.size() > kMaxPathLength || ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    // Another program's driver for the same format stays: it plays our files as well.
    const std::string registered = RegisteredDriver();
    if (!registered.empty() && !IsOurs(registered)) return;
    ::ICInstall(ICTYPE_VIDEO, kZmbvCode, reinterpret_cast<LPARAM>(path.c_str()), nullptr, ICINSTALL_DRIVER);
}

void UnregisterCodecDriver(const std::string& programDir) {
    // Another installation's library stays registered: its files stay too.
    const std::string registered = RegisteredDriver();
    if (!registered.empty() && SameFolder(registered, programDir + "\\" + kCodecLibrary)) {
        ::ICRemove(ICTYPE_VIDEO, kZmbvCode, 0);
    }
}
