#include "Recovery.h"

#include "RecordingJournal.h"
#include "RecoveryRun.h"

#include "../framework/Strings.h"
#include "../resources/resource_ids.h"

#include <shlobj.h>

namespace {

class AskingPrompt : public RecoveryPrompt {
public:
    bool AskRebuild(const std::string& path, uint32_t frames, uint32_t seconds) override {
        const std::string text =
            InsertArgument(FormatIntegers(LoadResString(IDS_RECOVER_ASK), {frames, seconds}), path);
        const bool yes = AppMessageBox(nullptr, text, MB_YESNO) == IDYES;
        if (yes) ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));   // copying a long recording takes a while
        return yes;
    }
    void TellNotRebuilt(const std::string& path) override {
        AppMessageBox(nullptr, InsertArgument(LoadResString(IDS_RECOVER_FAILED), path));
    }
};

}  // namespace

std::string RecoveryFolder() {
    char folder[MAX_PATH];
    if (::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return {};
    return std::string(folder) + "\\Velmorax\\Recovery";
}

void RecoverInterruptedRecordings(bool ask) {
    const std::string folder = RecoveryFolder();
    if (folder.empty()) return;
    AskingPrompt prompt;
    RecoverRecordings(folder, ask ? &prompt : nullptr);
}
