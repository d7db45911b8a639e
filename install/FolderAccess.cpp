#include "FolderAccess.h"

#include "InstallNames.h"
#include "InstallPaths.h"

#include <windows.h>

#include <cstdio>

bool FullFolderPath(const std::string& typed, std::string& full) {
    full.clear();
    if (typed.empty() || typed.size() > kMaxPathLength) return false;
    char path[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(typed.c_str(), MAX_PATH, path, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    char longPath[MAX_PATH];
    const DWORD longLength = ::GetLongPathNameA(path, longPath, MAX_PATH);   // fails for a folder not yet there
    full = WithoutTrailingBackslash(longLength > 0 && longLength < MAX_PATH ? longPath : path);
    return true;
}

bool FolderExists(const std::string& folder) {
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderIsWritable(const std::string& folder) {
    if (folder.size() > kMaxFolderLength) return false;
    char temporary[MAX_PATH];
    if (::GetTempFileNameA(folder.c_str(), kWriteTestPrefix, 0, temporary) == 0) return false;
    FILE* file = std::fopen(temporary, "wb");
    bool writable = file != nullptr;
    if (file) writable = std::fclose(file) == 0 && writable;
    ::DeleteFileA(temporary);
    return writable;
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::string fullA, fullB;
    return FullFolderPath(a, fullA) && FullFolderPath(b, fullB) && SameFolderName(fullA, fullB);
}
