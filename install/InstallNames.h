// The fixed names of an installation and the distribution's files.
#pragma once

#include <cstddef>

inline constexpr char kProductName[] = "Velmorax";
inline constexpr char kCompanyName[] = "Orvantis";
inline constexpr char kInstallTitle[] = "Install Velmorax";
// Appended to the Windows directory.
inline constexpr char kUninstallBatchName[] = "\\UnZelko.bat";
inline constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmorax";
inline constexpr char kWriteTestPrefix[] = "ZLK";
inline constexpr char kReadmeName[] = "readme.txt";
inline constexpr char kCodecLibrary[] = "VelZmbv.dll";

struct DistributionFile {
    const char* name;
    bool required;   // installing without it is reported as a failure
};

// Copied in this order. A new file of the distribution is one row here and
// one in kRemovedFiles.
inline constexpr DistributionFile kDistributionFiles[] = {
    {"file_id.diz", false},
    {kReadmeName, false},
    {"Velmorax.exe", true},
    {"Velmorax.hlp", true},
    {"VelRes.dll", true},
    {kCodecLibrary, false},   // the video codec library
    {"Velmorax.cnt", false},
    {"Velmorax.ini", false},
};

// What the uninstall batch file deletes, in this order: the distribution's
// files plus what earlier versions and the help viewer left beside them.
inline constexpr const char* kRemovedFiles[] = {
    "Zelko*.exe", "setup.bat", "setup.exe", "file_id.diz", "Velmorax.exe", "VelRes.dll", kCodecLibrary,
    "Velmorax.hlp", "Velmorax.cnt", "Velmorax.GID", "Velmorax.ini", kReadmeName,
};

// Paths are built in buffers of 260 characters (259 and the end). A folder may
// take what the write test's temporary file name leaves (GetTempFileNameA
// wants at most 260 - 14), and every name below fits behind it.
inline constexpr size_t kMaxPathLength = 259;
inline constexpr size_t kMaxFolderLength = 260 - 14;
inline constexpr size_t kMaxFileNameLength = kMaxPathLength - kMaxFolderLength - 1;

constexpr size_t TextLength(const char* text) {
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

constexpr bool NamesFitBehindFolder() {
    for (const DistributionFile& file : kDistributionFiles)
        if (TextLength(file.name) > kMaxFileNameLength) return false;
    for (const char* name : kRemovedFiles)
        if (TextLength(name) > kMaxFileNameLength) return false;
    return true;
}
static_assert(NamesFitBehindFolder(), "a file name would not fit behind the longest folder");
