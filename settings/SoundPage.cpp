#include "SoundPage.h"

#include "../framework/DataExchange.h"
#include "../resources/resource_ids.h"

const MessageEntry CMyPropertyPage4::kMessages[] = {
    OnCommand<&CMyPropertyPage4::OnSampleSize>(IDC_SOUND_8BIT),
    OnCommand<&CMyPropertyPage4::OnSampleSize>(IDC_SOUND_16BIT),
    OnCommand<&CMyPropertyPage4::OnSampleRate>(IDC_SOUND_11K),
    OnCommand<&CMyPropertyPage4::OnSampleRate>(IDC_SOUND_22K),
    OnCommand<&CMyPropertyPage4::OnSampleRate>(IDC_SOUND_44K),
    OnCommand<&CMyPropertyPage4::OnShowClicks>(IDC_SHOW_CLICKS),
    OnCommand<&CMyPropertyPage4::OnShowKeys>(IDC_KEYS_OFF),
    OnCommand<&CMyPropertyPage4::OnShowKeys>(IDC_KEYS_SHORTCUTS),
    OnCommand<&CMyPropertyPage4::OnShowKeys>(IDC_KEYS_ALL),
    {},
};
IMPLEMENT_MESSAGE_MAP(CMyPropertyPage4, SettingsPage)

CMyPropertyPage4::CMyPropertyPage4(AppSettings& settings, PageHost& host)
    : SettingsPage(IDD_PAGE_SOUND, settings, host) {}

void CMyPropertyPage4::DoDataExchange(DataExchange& dx) {
    DDX_Radio(dx, IDC_SOUND_8BIT, sampleSizeChoice);
    DDX_Radio(dx, IDC_SOUND_11K, sampleRateChoice);
}

void CMyPropertyPage4::RefreshFromSettings() {
    if (!IsWindow()) return;
    for (int id : {IDC_SOUND_8BIT, IDC_SOUND_16BIT, IDC_SOUND_11K, IDC_SOUND_22K, IDC_SOUND_44K})
        SetChecked(id, BST_UNCHECKED);
    SetChecked(settings_.SoundSampSize == 8 ? IDC_SOUND_8BIT : IDC_SOUND_16BIT, BST_CHECKED);
    const int32_t rate = settings_.SoundSampRate;
    SetChecked(rate == 11025 ? IDC_SOUND_11K : rate == 22050 ? IDC_SOUND_22K : IDC_SOUND_44K, BST_CHECKED);
    // No exchange here: the page's two values would uncheck the buttons again.
    SetChecked(IDC_SHOW_CLICKS, settings_.ShowClicks != 0 ? BST_CHECKED : BST_UNCHECKED);
    const int32_t keys = settings_.ShowKeys;
    SetChecked(IDC_KEYS_OFF, keys != 1 && keys != 2 ? BST_CHECKED : BST_UNCHECKED);
    SetChecked(IDC_KEYS_SHORTCUTS, keys == 1 ? BST_CHECKED : BST_UNCHECKED);
    SetChecked(IDC_KEYS_ALL, keys == 2 ? BST_CHECKED : BST_UNCHECKED);
}

void CMyPropertyPage4::OnSampleSize(UINT buttonId) { settings_.SoundSampSize = buttonId == IDC_SOUND_8BIT ? 8 : 16; }

void CMyPropertyPage4::OnSampleRate(UINT buttonId) {
    settings_.SoundSampRate = buttonId == IDC_SOUND_11K ? 11025 : buttonId == IDC_SOUND_22K ? 22050 : 44100;
}

void CMyPropertyPage4::OnShowClicks() { settings_.ShowClicks = Checked(IDC_SHOW_CLICKS) == BST_CHECKED ? 1 : 0; }

void CMyPropertyPage4::OnShowKeys(UINT buttonId) {
    settings_.ShowKeys = buttonId == IDC_KEYS_ALL ? 2 : buttonId == IDC_KEYS_SHORTCUTS ? 1 : 0;
}
