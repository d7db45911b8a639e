#include "OptionsFile.h"

#include "RegistryStore.h"

#include "../framework/Paths.h"

#include <cstdio>

namespace {

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The new file is written beside the old one and replaces it only when it is
// complete, so a failure never leaves half a file. A read-only file is not
// replaced (Windows refuses that too; Wine would not).
bool ReplaceFileWith(const std::string& path, const std::string& bytes) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    char temporary[MAX_PATH];
    // Beside the file: its folder with the backslash (a folder in a drive's root stays that root).
    const std::string folder = (path.find_first_of("\\/") == std::string::npos ? "." : FolderOf(path)) + "\\";
    if (::GetTempFileNameA(folder.c_str(), "vmx", 0, temporary) == 0) return false;
    if (WriteWholeFile(temporary, bytes) &&
        ::MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    ::DeleteFileA(temporary);
    return false;
}

// Loads every stored value from the list into the record, then empties the list.
void LoadFromOptionList(AppSettings& settings, OptionList& list) {
    UseOptionList = true;
    LoadStoredSettings(settings);
    list.Clear();
    UseOptionList = false;
}

}  // namespace

int WriteOptionsFile(const std::string& path, OptionList& list, bool write) {
    const bool written = !write || ReplaceFileWith(path, FormatOptionsText(list));
    list.Clear();
    return written ? 1 : 0;
}

int DumpOptions(AppSettings& settings, const std::string& programDir) {
    LoadStoredSettings(settings);
    const std::string path = OptionsFilePath(programDir);
    OptionList& list = ProcessOptionList();
    ReadOptionsFile(path, list);   // an existing file's lines keep their order; no file is no error
    UseOptionList = true;
    SaveStoredSettings(settings);
    const int written = WriteOptionsFile(path, list, true);
    UseOptionList = false;
    return written ? 0 : 1;
}

int ReadOptions(AppSettings& settings, const std::string& programDir) {
    const std::string path = OptionsFilePath(programDir);
    OptionList& list = ProcessOptionList();
    if (!ReadOptionsFile(path, list)) return 1;
    LoadFromOptionList(settings, list);
    SaveStoredSettings(settings);
    return 0;
}

void ImportOptionsAfterInstall(AppSettings& settings, const std::string& programDir) {
    ReadOptions(settings, programDir);
}
