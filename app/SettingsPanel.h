// SettingsPanel: the tab container below the main window's button row
// (template 156), with the four settings pages as child dialogs of which one
// is shown at a time. It owns the pages and does for them what lies above
// the settings layer (PageHost).
#pragma once

#include "PanelTabs.h"

#include "../framework/Dialog.h"
#include "../framework/TabCtrl.h"
#include "../settings/PageHost.h"
#include "../settings/SettingsPages.h"

#include <array>

class MainDialog;

class SettingsPanel : public CDialog, public PageHost {
public:
    SettingsPanel();

    MainDialog* owner = nullptr;
    CMyPropertyPage1 hotkeyPage;   // tab 1
    CMyPropertyPage2 regionPage;   // tab 0
    CMyPropertyPage3 videoPage;    // tab 2
    CMyPropertyPage4 soundPage;    // tab 3
    CTabCtrl tabs;

    // Hides every page, then shows the page of tab (none for a bad index).
    void ShowPageOfTab(int tab);

    // PageHost
    bool EditHotkey(int hotkeyId) override;
    bool ChooseRegion(bool pickWindow) override;
    std::vector<InstalledCompressor> OwnCompressors() override;

    // After the hotkeys were released for a while: all of them again, and
    // the single-shot one too while a recording is paused.
    void RegisterHotkeysAgain();

    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    void OnOK() override;       // the Close button: hide the panel
    void OnCancel() override {}

    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnTabChanged(NMHDR*);
    void RestoreDefaults();
    void OnPanelHelp();
    SettingsPage* PageOfTab(int tab);
    // The pages by their class numbers (CMyPropertyPage1 to 4), as PageMemberForTab counts them.
    std::array<SettingsPage*, 4> Pages();
};
