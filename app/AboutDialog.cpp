#include "AboutDialog.h"

#include "HelpViewer.h"
#include "RecorderApp.h"
#include "../resources/resource_ids.h"

const MessageEntry AboutDialog::kMessages[] = {
    OnCommand<&AboutDialog::OnHelp>(ID_HELP_CMD),
    {},
};
IMPLEMENT_MESSAGE_MAP(AboutDialog, CDialog)

AboutDialog::AboutDialog(CWnd* parent) : CDialog(IDD_ABOUT, parent) {}

BOOL AboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    // The template's own text is the format, read afresh for every opening.
    const RecorderApp& app = App();
    SetItemText(IDC_VERSION_TEXT,
                VersionLabelText(ItemText(IDC_VERSION_TEXT), app.versionMajor, app.versionMinor, app.versionRelease));
    return TRUE;
}

void AboutDialog::OnHelp() { ShowHelp(hwnd_, HELP_CONTEXT, 9); }
