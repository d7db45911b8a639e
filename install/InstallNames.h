// The fixed names of an installation and the distribution's files.
#pragma once

#include "../codec/FourCC.h"

#include <cstddef>

inline constexpr char kProductName[] = "Velmorax";
inline constexpr char kCompanyName[] = "Orvantis";
inline constexpr char kInstallTitle[] = "Install Velmorax";
// Appended to the Windows directory.
inline constexpr char kUninstallBatchName[] = "\\UnZelko.bat";
inline constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmorax";
inline constexpr char kWriteTestPrefix[] = "ZLK";
inline constexpr char kReadmeName[] = "readme.txt";
inline constexpr const char* kCodecLibrary = kCodecLibraryName;
// Made beside the installed files after the installation: the program's
// options file (by -dumpopts) and the help viewer's index.
inline constexpr char kOptionsFileName[] = "Velmorax.ini";
inline constexpr char kHelpIndexName[] = "Velmorax.GID";

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
    {kOptionsFileName, false},
};

// The names the uninstall batch file may delete, in this order: the
// distribution's files and the index the help viewer builds beside the help
// file. It deletes only those of them that the installation put there.
inline constexpr const char* kRemovedFiles[] = {
    "file_id.diz", "Velmorax.exe", "VelRes.dll", kCodecLibrary, "Velmorax.hlp", "Velmorax.cnt", kHelpIndexName,
    kOptionsFileName, kReadmeName,
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
