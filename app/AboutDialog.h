// AboutDialog: the About box (template 100), opened from the main window's
// system menu. It shows the program's version in the text of its label.
#pragma once

#include "../framework/Dialog.h"

#include <cstdint>
#include <string>

// The label's template text used as a format for three integers (major,
// minor, release); at most 127 characters are kept.
std::string VersionLabelText(const std::string& templateText, int32_t major, int32_t minor, int32_t release);

class AboutDialog : public CDialog {
public:
    explicit AboutDialog(CWnd* parent);

    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()

private:
    void OnHelp();
};
