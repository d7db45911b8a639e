// The install-folder dialog: the old-style save-file dialog built entirely
// from template 136 of the resource library, with a hook that reads, checks
// and if need be creates the folder typed into IDC_INSTALL_FOLDER.
#include "InstallSteps.h"

#include "FolderAccess.h"
#include "InstallNames.h"
#include "InstallPaths.h"

#include "../framework/App.h"
#include "../framework/Wnd.h"
#include "../resources/resource_ids.h"

#include <commdlg.h>

#include <cstring>

namespace {

// The caller's path buffer and the folder installed from, from the dialog's
// start to its end.
char* outputBuffer = nullptr;
const std::string* installedFrom = nullptr;

int Message(HWND owner, const std::string& text, UINT flags) {
    return ::MessageBoxA(owner, text.c_str(), kInstallTitle, flags);
}

std::string Directory(const std::string& folder) { return "Directory \"" + folder + "\""; }

void CentreOnDesktop(HWND dialog) {
    RECT desktop{}, own{};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    ::GetWindowRect(dialog, &own);
    const int x = desktop.right / 2 - (own.right - own.left) / 2;
    const int y = desktop.bottom / 2 - (own.bottom - own.top) / 2;
    ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The typed folder made full and checked, or empty after telling the user why
// it cannot be used.
std::string UsableFolder(HWND dialog) {
    const std::string typed = WindowText(::GetDlgItem(dialog, IDC_INSTALL_FOLDER));
    std::string folder;
    FolderProblem problem = CheckInstallFolder(typed);
    // A relative or roundabout name is judged by the full path it reaches.
    if (problem != FolderProblem::Empty && problem != FolderProblem::UnsafeCharacter) {
        problem = FullFolderPath(typed, folder) ? CheckInstallFolder(folder) : FolderProblem::TooLong;
    }
    if (problem == FolderProblem::None && !FitsBatchFile(folder)) problem = FolderProblem::UnsafeCharacter;
    const std::string shown = folder.empty() ? typed : folder;
    switch (problem) {
    case FolderProblem::None:
        return folder;
    case FolderProblem::Empty:
        Message(dialog, "Please specify the directory to install Velmorax into.", MB_ICONERROR);
        break;
    case FolderProblem::TooLong:
        Message(dialog, "The directory name is too long: its full path may have at most " +
                        std::to_string(kMaxFolderLength) + " characters. Please specify a shorter name.",
            MB_ICONERROR);
        break;
    case FolderProblem::DriveRoot:
        Message(dialog, Directory(shown) + " is the root directory of a drive. Please specify a directory below it.",
            MB_ICONERROR);
        break;
    case FolderProblem::UnsafeCharacter:
        Message(dialog, Directory(shown) + " contains a character that the uninstaller cannot handle (a double quote, "
                                    "or a letter missing from the command prompt's character set). Please "
                                    "specify a different name.",
            MB_ICONERROR);
        break;
    }
    return std::string();
}

// A user's files of the same names are replaced only when the user says so;
// No keeps the dialog open for another folder.
bool AgreesToReplace(HWND dialog, const std::string& folder) {
    const std::vector<std::string> names = FilesInTheWay(*installedFrom, folder);
    if (names.empty()) return true;
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    return Message(dialog, Directory(folder) + " already holds files that Velmorax did not install there: " + list +
                               ". Do you want to replace them? Choose No to specify a different directory.",
               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// OK: the dialog ends only with a folder that exists and takes files.
void OnOk(HWND dialog) {
    const std::string folder = UsableFolder(dialog);
    if (folder.empty()) return;
    if (!FolderExists(folder)) {
        if (Message(dialog, Directory(folder) + " does not exist. Do you want to create it?", MB_YESNO | MB_ICONQUESTION) !=
            IDYES) {
            return;
        }
        if (!::CreateDirectoryA(folder.c_str(), nullptr)) {
            Message(dialog, Directory(folder) + " could not be created. Please specify a different name.", MB_ICONERROR);
            return;
        }
    }
    if (!FolderIsWritable(folder)) {
        Message(dialog, Directory(folder) + " is read-only. Please specify a different name.", MB_ICONERROR);
        return;
    }
    if (!AgreesToReplace(dialog, folder)) return;
    // The checks keep the folder within the buffer.
    std::memcpy(outputBuffer, folder.c_str(), folder.size() + 1);
    ::EndDialog(dialog, 1);
}

}  // namespace

UINT_PTR CALLBACK InstallDirHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            const auto* parameters = reinterpret_cast<const OPENFILENAMEA*>(lParam);
            outputBuffer = parameters->lpstrFile;
            ::SetDlgItemTextA(dialog, IDC_INSTALL_FOLDER, parameters->lpstrInitialDir);
            CentreOnDesktop(dialog);
            ::SetFocus(::GetDlgItem(dialog, IDC_INSTALL_FOLDER));
            return 0;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            OnOk(dialog);
            return 1;
        }
    } catch (...) {
        // Nothing may unwind into the common dialog; the dialog stays open.
        if (message == WM_COMMAND) return 1;
    }
    return 0;
}

int ChooseInstallDir(HWND owner, char* path, const std::string& sourceDir) {
    installedFrom = &sourceDir;
    char initialDir[MAX_PATH];
    ::lstrcpynA(initialDir, path, MAX_PATH);
    path[0] = '\0';
    OPENFILENAMEA parameters{};
    parameters.lStructSize = sizeof parameters;
    parameters.hwndOwner = owner;
    parameters.hInstance = AfxGetResourceHandle();
    parameters.lpstrFile = path;
    parameters.nMaxFile = MAX_PATH;
    parameters.lpstrInitialDir = initialDir;
    parameters.lpstrTitle = kInstallTitle;
    parameters.Flags = OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_LONGNAMES;
    parameters.lpfnHook = InstallDirHook;
    parameters.lpTemplateName = MAKEINTRESOURCEA(IDD_INSTALL_DIR);
    const int chosen = ::GetSaveFileNameA(&parameters) ? 1 : 0;
    outputBuffer = nullptr;
    installedFrom = nullptr;
    return chosen;
}
