// Paths as the program takes them apart.
#pragma once

#include <string>

// The folder of a path, without its last backslash (or slash); empty for a bare name.
inline std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
