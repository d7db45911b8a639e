// The installer's window-free rules: paths as the batch file and the program
// group get them, the batch file's text, the folder checks.
#include "doctest.h"

#include "install/FolderAccess.h"
#include "install/InstallNames.h"
#include "install/InstallPaths.h"
#include "install/ProgmanCommands.h"
#include "install/UninstallScript.h"

#include <windows.h>

#include <string>
#include <vector>

TEST_CASE("JoinPath quotes what the interpreter or the shell would take as syntax") {
    CHECK(JoinPath("C:\\Velmorax", "readme.txt") == "C:\\Velmorax\\readme.txt");
    CHECK(JoinPath("C:\\Velmorax", "") == "C:\\Velmorax");   // the folder itself, no trailing backslash
    CHECK(JoinPath("C:\\Program Files\\Velmorax", "") == "\"C:\\Program Files\\Velmorax\"");
    CHECK(JoinPath("C:\\Velmorax", "a\tb") == "\"C:\\Velmorax\\a\tb\"");
    for (const char* special : {"&", "|", "<", ">", "^", ",", ";", "=", "(", ")", "[", "]"}) {
        CAPTURE(special);
        CHECK(JoinPath(std::string("C:\\a") + special + "b", "x") == std::string("\"C:\\a") + special + "b\\x\"");
    }
    CHECK(JoinPath("C:\\100%", "x") == "C:\\100%\\x");   // the shell and the registry take % as it is
    CHECK(BatchPath("C:\\100%", "x") == "C:\\100%%\\x");
    CHECK(BatchPath("C:\\Tom & Jerry %PATH%", "") == "\"C:\\Tom & Jerry %%PATH%%\"");
}

TEST_CASE("the uninstall batch file, byte for byte") {
    const std::string folder = "C:\\Program Files\\Velmorax";
    const std::vector<std::string> own = {"Velmorax.exe", "VelRes.dll", "Velmorax.GID"};
    std::string removals;
    for (const std::string& name : own) {
        removals += "attrib -r -s -h \"C:\\Program Files\\Velmorax\\" + name + "\"\r\n";
        removals += "del \"C:\\Program Files\\Velmorax\\" + name + "\"\r\n";
    }
    const std::string tail = removals +
                             "rmdir \"C:\\Program Files\\Velmorax\"\r\n"
                             "cls\r\n"
                             "echo Please ignore any \"File not found\" or \"Batch file missing\" error messages.\r\n"
                             "echo They mean that Velmorax was completely uninstalled.\r\n"
                             "echo You may close this window now.\r\n"
                             "echo.\r\n"
                             "del C:\\WINDOWS\\UnZelko.bat\r\n"
                             ":finish\r\n";
    CHECK(UninstallBatchText(folder, "C:\\WINDOWS\\UnZelko.bat", false, own) ==
          "@echo off\r\nstart /wait \"C:\\Program Files\\Velmorax\\Velmorax\" -uninstall\r\n"
          "if errorlevel 1 goto finish\r\n" + tail);
    CHECK(UninstallBatchText(folder, "C:\\WINDOWS\\UnZelko.bat", true, own) ==
          "@echo off\r\n\"C:\\Program Files\\Velmorax\\Velmorax\" -uninstall\r\n"
          "if errorlevel 1 goto finish\r\n" + tail);
    // A batch file path with a blank is quoted on the line that deletes it.
    const std::string text = UninstallBatchText("C:\\V", "C:\\My Windows\\UnZelko.bat", true, own);
    CHECK(text.find("\r\ndel \"C:\\My Windows\\UnZelko.bat\"\r\n:finish\r\n") != std::string::npos);
    CHECK(text.find("\r\nC:\\V\\Velmorax -uninstall\r\n") != std::string::npos);
    // With delayed expansion on, NT's command processor would drop the ! (Windows 95's has none).
    CHECK(UninstallBatchText("C:\\Fun!", "C:\\W\\UnZelko.bat", true, own).rfind(
              "@echo off\r\nsetlocal DisableDelayedExpansion\r\nC:\\Fun!\\Velmorax -uninstall\r\n", 0) == 0);
    CHECK(UninstallBatchText("C:\\Fun!", "C:\\W\\UnZelko.bat", false, own).rfind(
              "@echo off\r\nstart /wait C:\\Fun!\\Velmorax -uninstall\r\n", 0) == 0);
}

TEST_CASE("the uninstaller's own files: copied, an earlier installation's, made later") {
    using Names = std::vector<std::string>;
    // A user's readme.txt, options file and setup.exe were there and were not replaced.
    const Names own = OwnFiles({"file_id.diz", "Velmorax.exe", "VelRes.dll", "Velmorax.hlp"}, {},
                               {"readme.txt", "Velmorax.ini", "setup.exe"});
    CHECK(own == Names{"file_id.diz", "Velmorax.exe", "VelRes.dll", "Velmorax.hlp", "Velmorax.GID"});
    // The earlier batch file tells the next installation into that folder (by any letter case) what is its own.
    const std::string earlier = UninstallBatchText("C:\\Tools (1) 100%", "C:\\W\\UnZelko.bat", true, own);
    CHECK(NamesDeletedBy(earlier, "c:\\TOOLS (1) 100%") == own);
    CHECK(NamesDeletedBy(earlier, "C:\\Tools").empty());
    CHECK(NamesDeletedBy("del C:\\Tools\\readme.txt\r\n", "C:\\Tools") == Names{"readme.txt"});
    // Installing into the folder it runs from copies nothing: only what was ours stays ours.
    CHECK(OwnFiles({}, NamesDeletedBy(earlier, "C:\\Tools (1) 100%"), {"readme.txt", "Velmorax.ini", "Velmorax.GID"}) ==
          own);
    CHECK(OwnFiles({}, {}, {"readme.txt", "Velmorax.exe", "Velmorax.GID"}) == Names{"Velmorax.ini"});
}

TEST_CASE("program group commands") {
    const std::vector<std::string> full = {
        "[CreateGroup(Velmorax)]",
        "[ShowGroup(Velmorax,1)]",
        "[ReplaceItem(Velmorax)]",
        "[AddItem(\"C:\\Program Files\\Velmorax\\Velmorax.exe\",Velmorax)]",
        "[ReplaceItem(Velmorax Help)]",
        "[AddItem(\"C:\\Program Files\\Velmorax\\Velmorax.hlp\",Velmorax Help)]",
        "[ReplaceItem(Velmorax README)]",
        "[AddItem(notepad \"C:\\Program Files\\Velmorax\\readme.txt\",Velmorax README)]",
        "[ReplaceItem(Uninstall Velmorax)]",
        "[AddItem(C:\\WINDOWS\\UnZelko.bat,Uninstall Velmorax,,,,,,,1)]",
        "[Reload(Velmorax)]",
    };
    CHECK(InstallProgmanCommands("C:\\Program Files\\Velmorax", "C:\\WINDOWS\\UnZelko.bat", true, true) == full);

    // Without the README its two commands are left out; Windows 95 does not start the uninstaller minimised.
    const std::vector<std::string> plain = InstallProgmanCommands("C:\\V", "C:\\WINDOWS\\UnZelko.bat", false, false);
    REQUIRE(plain.size() == 9);
    CHECK(plain[3] == "[AddItem(C:\\V\\Velmorax.exe,Velmorax)]");
    CHECK(plain[6] == "[ReplaceItem(Uninstall Velmorax)]");
    CHECK(plain[7] == "[AddItem(C:\\WINDOWS\\UnZelko.bat,Uninstall Velmorax,,,,,,,0)]");

    // The shell ends an unquoted argument at a parenthesis: the README item is then the file itself.
    const auto x86 = InstallProgmanCommands("C:\\Program Files (x86)\\Velmorax", "C:\\W\\UnZelko.bat", true, true);
    CHECK(x86[7] == "[AddItem(\"C:\\Program Files (x86)\\Velmorax\\readme.txt\",Velmorax README)]");
    CHECK(x86[3] == "[AddItem(\"C:\\Program Files (x86)\\Velmorax\\Velmorax.exe\",Velmorax)]");

    CHECK(UninstallProgmanCommands() ==
          std::vector<std::string>{"[ShowGroup(Velmorax,1)]", "[DeleteItem(Velmorax)]", "[DeleteItem(Velmorax Help)]",
                                   "[DeleteItem(Velmorax README)]", "[DeleteItem(Uninstall Velmorax)]",
                                   "[DeleteGroup(Velmorax)]"});
}

TEST_CASE("target folder checks") {
    CHECK(CheckInstallFolder("C:\\Velmorax") == FolderProblem::None);
    CHECK(CheckInstallFolder(" ") == FolderProblem::Empty);
    CHECK(CheckInstallFolder("") == FolderProblem::Empty);
    for (const char* root : {"C:\\", "C:", "c:\\\\", "\\\\server\\share", "\\\\server\\share\\", "\\\\?\\C:\\",
                             "\\\\?\\UNC\\server\\share"}) {
        CAPTURE(root);
        CHECK(CheckInstallFolder(root) == FolderProblem::DriveRoot);
    }
    CHECK(CheckInstallFolder("\\\\server\\share\\Velmorax") == FolderProblem::None);
    CHECK(CheckInstallFolder("C:\\a\"b") == FolderProblem::UnsafeCharacter);
    CHECK(CheckInstallFolder("C:\\a\nb") == FolderProblem::UnsafeCharacter);
    // The longest folder behind which every file name still fits in 259 characters.
    const std::string longest = "C:\\" + std::string(kMaxFolderLength - 3, 'v');
    CHECK(CheckInstallFolder(longest) == FolderProblem::None);
    CHECK(CheckInstallFolder(longest + "v") == FolderProblem::TooLong);
    CHECK((longest + "\\Velmorax.exe").size() == 259);

    CHECK(SuggestedInstallFolder("C:\\WINDOWS") == "C:\\Velmorax");
    CHECK(SuggestedInstallFolder("D:\\WINNT\\") == "D:\\Velmorax");
    CHECK(WithoutTrailingBackslash("C:\\a\\\\") == "C:\\a");
    CHECK(WithoutTrailingBackslash("C:\\") == "C:\\");
}

TEST_CASE("folder names compare as the file system compares them") {
    CHECK(SameFolderName("C:\\Program Files\\Velmorax", "c:\\PROGRAM FILES\\velmorax"));
    CHECK(SameFolderName("C:\\Caf\xe9", "C:\\CAF\xc9"));   // é and É in the ANSI page
    CHECK_FALSE(SameFolderName("C:\\co-op", "C:\\coop"));    // no language rules
    CHECK_FALSE(SameFolderName("C:\\a", "C:\\a\\b"));
}

TEST_CASE("code pages: the batch file gets the folder's letters or nothing") {
    std::string out;
    CHECK(ConvertCodePage("C:\\Caf\xe9", 1252, 437, out));
    CHECK(out == "C:\\Caf\x82");
    CHECK_FALSE(ConvertCodePage("C:\\5 \x80", 1252, 437, out));    // the euro sign has no place in 437
    CHECK_FALSE(ConvertCodePage("C:\\\xbe", 1252, 437, out));       // nor ¾, not even as a look-alike
    CHECK(ConvertCodePage("C:\\plain", 1252, 850, out));
    CHECK(out == "C:\\plain");
}

namespace {

std::string ScratchFolder() {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "vmx-install-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

bool IsEmptyFolder(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") empty = false;
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return empty;
}

}  // namespace

TEST_CASE("folders on disk: full names, the write test, same folder by another spelling") {
    const std::string scratch = ScratchFolder();
    REQUIRE(FolderExists(scratch));

    char previous[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    REQUIRE(::SetCurrentDirectoryA(scratch.c_str()));
    std::string full;
    CHECK(FullFolderPath("sub\\..\\new\\", full));   // relative: taken from the current directory
    CHECK(SameFolderName(full, scratch + "\\new"));
    CHECK(SameFolder(scratch, "."));
    ::SetCurrentDirectoryA(previous);

    CHECK(SameFolder(scratch + "\\x\\..\\", scratch));
    std::string forward = scratch;
    for (char& c : forward)
        if (c == '\\') c = '/';
    CHECK(SameFolder(forward, scratch));
    CHECK_FALSE(SameFolder(scratch + "\\x", scratch));

    CHECK_FALSE(FullFolderPath("C:\\" + std::string(257, 'x'), full));   // 260 typed characters are refused, not cut
    CHECK(FullFolderPath("C:\\" + std::string(256, 'x'), full));

    CHECK(FolderIsWritable(scratch));
    CHECK(IsEmptyFolder(scratch));   // the test file is gone again
    CHECK_FALSE(FolderIsWritable(scratch + "\\missing"));
    CHECK_FALSE(FolderExists(scratch + "\\missing"));
    CHECK(IsEmptyFolder(scratch));
    ::RemoveDirectoryA(scratch.c_str());
}
