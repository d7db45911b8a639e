// Paths of an installation as the command interpreter, the shell's program
// groups and the registry get them, and the checks a target folder must pass.
#pragma once

#include <string>

// folder\name, or the folder itself when name is empty; in double quotes when
// it holds a blank, a tab or a character that the command interpreter or the
// program-group commands would take as syntax (& | < > ^ , ; = ( ) [ ]).
// The result must not hold a double quote: CheckInstallFolder refuses such
// folders first.
std::string JoinPath(const std::string& folder, const std::string& name);

// JoinPath for a line of a batch file: a % is doubled as well, since the
// interpreter expands it even inside quotes.
std::string BatchPath(const std::string& folder, const std::string& name);

enum class FolderProblem {
    None,
    Empty,
    TooLong,          // longer than kMaxFolderLength
    DriveRoot,        // a drive or a network share itself
    UnsafeCharacter,  // a double quote or a control character: no quoting makes it safe
};

// Checks a full path (no trailing backslash except at a root) as the target
// of an installation.
FolderProblem CheckInstallFolder(const std::string& fullPath);

// True for "C:\", "C:", "\\server\share" and the same behind "\\?\".
bool IsDriveRoot(const std::string& fullPath);

// The Windows directory's drive root ("C:\WINDOWS" gives "C:\") and the
// folder suggested there ("C:\Velmorax").
std::string RootOf(const std::string& windowsDir);
std::string SuggestedInstallFolder(const std::string& windowsDir);

// Removes trailing backslashes, except the one of a drive root ("C:\").
std::string WithoutTrailingBackslash(std::string path);

// Whether two full paths name the same folder as the file system compares
// names: ignoring letter case, character by character (no language rules).
bool SameFolderName(const std::string& a, const std::string& b);

// Converts text between two code pages; false when a character has no exact
// equivalent in the target page (no look-alike is put in its place).
bool ConvertCodePage(const std::string& text, unsigned fromPage, unsigned toPage, std::string& out);

// The code page the command interpreter reads batch files in: the console's,
// or the OEM page when the program has no console.
unsigned BatchFileCodePage();

// Whether an ANSI path can be written into the batch file unchanged.
bool FitsBatchFile(const std::string& path);
