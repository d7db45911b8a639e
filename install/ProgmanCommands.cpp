#include "ProgmanCommands.h"

#include "InstallNames.h"
#include "InstallPaths.h"

std::vector<std::string> InstallProgmanCommands(const std::string& folder, const std::string& batchPath,
                                                bool readmeCopied, bool windowsNT) {
    std::vector<std::string> commands = {
        "[CreateGroup(Velmorax)]",
        "[ShowGroup(Velmorax,1)]",
        "[ReplaceItem(Velmorax)]",
        "[AddItem(" + JoinPath(folder, "Velmorax.exe") + ",Velmorax)]",
        "[ReplaceItem(Velmorax Help)]",
        "[AddItem(" + JoinPath(folder, "Velmorax.hlp") + ",Velmorax Help)]",
    };
    if (readmeCopied) {
        // The shell reads an argument that does not begin with a quote up to
        // the first , ( ) [ or ], even inside the quoted path behind
        // "notepad". In such a folder the file itself becomes the item, which
        // the shell opens in its text viewer.
        const std::string readme = JoinPath(folder, kReadmeName);
        const bool fitsBehindNotepad = folder.find_first_of(",()[]") == std::string::npos;
        commands.push_back("[ReplaceItem(Velmorax README)]");
        commands.push_back("[AddItem(" + (fitsBehindNotepad ? "notepad " + readme : readme) + ",Velmorax README)]");
    }
    commands.push_back("[ReplaceItem(Uninstall Velmorax)]");
    commands.push_back("[AddItem(" + JoinPath(batchPath, "") + ",Uninstall Velmorax,,,,,,," + (windowsNT ? "1" : "0") +
                       ")]");
    commands.push_back("[Reload(Velmorax)]");
    return commands;
}

std::vector<std::string> UninstallProgmanCommands() {
    return {
        "[ShowGroup(Velmorax,1)]",        "[DeleteItem(Velmorax)]",
        "[DeleteItem(Velmorax Help)]",    "[DeleteItem(Velmorax README)]",
        "[DeleteItem(Uninstall Velmorax)]", "[DeleteGroup(Velmorax)]",
    };
}
