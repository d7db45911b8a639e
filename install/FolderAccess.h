// The file system's view of a target folder: its full name, whether it is
// there, whether files can be written into it.
#pragma once

#include <string>

// The absolute, long form of a typed folder (relative to the current
// directory), without a trailing backslash except at a drive root; false
// when the text is longer than a path may be or the full form would be.
bool FullFolderPath(const std::string& typed, std::string& full);

bool FolderExists(const std::string& folder);
// A file, not a folder, of that path.
bool FileExists(const std::string& path);

// Creates a uniquely named temporary file in the folder, opens it for
// writing and deletes it again: whatever fails, no file is left behind.
bool FolderIsWritable(const std::string& folder);

// Whether two spellings reach the same folder (relative, ".", "..", forward
// slashes, short names and letter case resolved).
bool SameFolder(const std::string& a, const std::string& b);
