#include "InstallPaths.h"

#include "InstallNames.h"

#include "../framework/TextConversion.h"

#include <windows.h>

namespace {

bool NeedsQuotes(const std::string& text) { return text.find_first_of(" \t&|<>^,;=()[]") != std::string::npos; }

bool ToWide(const std::string& text, unsigned page, std::wstring& out) {
    out.clear();
    if (text.empty()) return true;
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return false;
    out.resize(static_cast<size_t>(length));
    return ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, text.data(), size, &out[0], length) == length;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    const std::string path = name.empty() ? folder : folder + "\\" + name;
    return NeedsQuotes(path) ? "\"" + path + "\"" : path;
}

std::string BatchPath(const std::string& folder, const std::string& name) {
    std::string out;
    for (char c : JoinPath(folder, name)) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

bool IsDriveRoot(const std::string& fullPath) {
    std::string path = fullPath;
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) path = "\\\\" + path.substr(8);
    else if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0) path.erase(0, 4);
    while (path.size() > 1 && path.back() == '\\') path.pop_back();
    if (path.size() == 2 && path[1] == ':') return true;
    if (path.rfind("\\\\", 0) == 0) {
        // \\server\share: one backslash after the server name, none after the share.
        const size_t afterServer = path.find('\\', 2);
        return afterServer == std::string::npos || path.find('\\', afterServer + 1) == std::string::npos;
    }
    return path.empty() || path == "\\";
}

FolderProblem CheckInstallFolder(const std::string& fullPath) {
    if (fullPath.find_first_not_of(" \t") == std::string::npos) return FolderProblem::Empty;
    for (char c : fullPath)
        if (c == '"' || (static_cast<unsigned char>(c) < 32)) return FolderProblem::UnsafeCharacter;
    if (fullPath.size() > kMaxFolderLength) return FolderProblem::TooLong;
    if (IsDriveRoot(fullPath)) return FolderProblem::DriveRoot;
    return FolderProblem::None;
}

std::string RootOf(const std::string& windowsDir) {
    const size_t slash = windowsDir.find('\\');
    return slash == std::string::npos ? windowsDir + "\\" : windowsDir.substr(0, slash + 1);
}

std::string SuggestedInstallFolder(const std::string& windowsDir) { return RootOf(windowsDir) + kProductName; }

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 1 && path.back() == '\\' && !(path.size() == 3 && path[1] == ':')) path.pop_back();
    return path;
}

bool SameFolderName(const std::string& a, const std::string& b) {
    std::wstring wideA, wideB;
    if (!ToWide(a, CP_ACP, wideA) || !ToWide(b, CP_ACP, wideB)) return false;
    return ::CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

bool ConvertCodePage(const std::string& text, unsigned fromPage, unsigned toPage, std::string& out) {
    out.clear();
    std::wstring wide;
    return ToWide(text, fromPage, wide) && NarrowText(wide, toPage, out);
}

unsigned BatchFileCodePage() {
    const UINT page = ::GetConsoleOutputCP();
    return page ? page : ::GetOEMCP();
}

bool FitsBatchFile(const std::string& path) {
    std::string converted;
    return ConvertCodePage(path, CP_ACP, BatchFileCodePage(), converted);
}
