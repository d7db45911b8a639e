#include "VideoPage.h"

#include "CompressorList.h"

#include "../framework/DataExchange.h"
#include "../framework/Strings.h"
#include "../framework/TextConversion.h"
#include "../resources/resource_ids.h"

#include <commdlg.h>
#include <vfw.h>

#include <cstdlib>
#include <vector>

const MessageEntry CMyPropertyPage3::kMessages[] = {
    OnCommand<&CMyPropertyPage3::OnFileNameDone>(IDC_VIDEO_FILE, EN_KILLFOCUS),
    OnCommand<&CMyPropertyPage3::OnCaptureRateTyped>(IDC_VIDEO_FPS, EN_CHANGE),
    OnCommand<&CMyPropertyPage3::OnCaptureRateDone>(IDC_VIDEO_FPS, EN_KILLFOCUS),
    OnCommand<&CMyPropertyPage3::OnPlaybackRateTyped>(IDC_VIDEO_FPS_PLAY, EN_CHANGE),
    OnCommand<&CMyPropertyPage3::OnPlaybackRateDone>(IDC_VIDEO_FPS_PLAY, EN_KILLFOCUS),
    OnCommand<&CMyPropertyPage3::OnKeyFramesDone>(IDC_VIDEO_KEYFRAMES, EN_KILLFOCUS),
    OnCommand<&CMyPropertyPage3::OnQualityDone>(IDC_VIDEO_QUALITY, EN_KILLFOCUS),
    OnCommand<&CMyPropertyPage3::OnNumbering>(IDC_VIDEO_NUMBERING),
    OnCommand<&CMyPropertyPage3::OnSound>(IDC_VIDEO_SOUND),
    OnCommand<&CMyPropertyPage3::OnBrowse>(IDC_VIDEO_BROWSE),
    OnCommand<&CMyPropertyPage3::OnCompressorChosen>(IDC_VIDEO_COMPRESSOR, CBN_SELCHANGE),
    {},
};
IMPLEMENT_MESSAGE_MAP(CMyPropertyPage3, SettingsPage)

CMyPropertyPage3::CMyPropertyPage3(AppSettings& settings, PageHost& host)
    : SettingsPage(IDD_PAGE_VIDEO, settings, host) {}

void CMyPropertyPage3::DoDataExchange(DataExchange& dx) {
    compressors_.Attach(dx.Control(IDC_VIDEO_COMPRESSOR));
    DDX_Text(dx, IDC_VIDEO_FILE, fileName);
    DDX_Check(dx, IDC_VIDEO_NUMBERING, numbering);
    DDX_Check(dx, IDC_VIDEO_SOUND, sound);
    DDX_Text(dx, IDC_VIDEO_KEYFRAMES, keyFrames);
    // A rate is stored in thousandths in 32 bits; a larger one is no rate.
    DDX_Text(dx, IDC_VIDEO_FPS, captureRate, RateFitsThousandths);
    DDX_Text(dx, IDC_VIDEO_FPS_PLAY, playbackRate, RateFitsThousandths);
    DDX_Text(dx, IDC_VIDEO_QUALITY, quality);
}

void CMyPropertyPage3::RefreshFromSettings() {
    if (!IsWindow()) return;
    const AppSettings& s = settings_;
    fileName = s.AVIFileName;
    captureRate = s.FPS;
    playbackRate = s.FPSPlay;
    numbering = s.IncFilename;
    const bool ratesEqual = s.FPS == s.FPSPlay;
    sound = ratesEqual ? s.RecSound : 0;
    EnableItem(IDC_VIDEO_SOUND, ratesEqual);
    keyFrames = s.KeyFrames;
    quality = s.Compress;
    FillCompressorList();
    // The entry of the compressor that a recording will use (the first
    // after restoring the defaults).
    SelectCompressor(s.CompressorCode);
    UpdateData(false);
}

void CMyPropertyPage3::ShowFileName() {
    fileName = settings_.AVIFileName;
    if (IsWindow()) SetItemText(IDC_VIDEO_FILE, fileName);
}

void CMyPropertyPage3::FillCompressorList() {
    compressors_.Attach(Item(IDC_VIDEO_COMPRESSOR));
    std::vector<uint32_t> listed;
    for (int i = 0; i < compressors_.GetCount(); ++i) listed.push_back(static_cast<uint32_t>(compressors_.GetItemData(i)));
    // The system's compressors, then the program's own ones.
    const std::vector<InstalledCompressor> own = host_.OwnCompressors();
    int systemCount = -1;
    const CompressorSource source = [&](int index, InstalledCompressor& found) {
        if (systemCount < 0) {
            const CompressorProbe probe = SystemVideoCompressor(index, found);
            if (probe != CompressorProbe::End) return probe;
            systemCount = index;
        }
        const size_t ownIndex = static_cast<size_t>(index - systemCount);
        if (ownIndex >= own.size()) return CompressorProbe::End;
        found = own[ownIndex];
        return CompressorProbe::Found;
    };
    const std::vector<CompressorEntry> added = CompressorEntriesToAdd(
        listed, LoadResString(IDS_COMPRESSOR_NONE), LoadResString(IDS_COMPRESSOR_DIB), source);
    for (const CompressorEntry& entry : added) compressors_.Add(entry.text, entry.code);
}

void CMyPropertyPage3::SelectCompressor(uint32_t code) {
    int index = 0;
    for (int i = 0; i < compressors_.GetCount(); ++i) {
        if (static_cast<uint32_t>(compressors_.GetItemData(i)) == code) {
            index = i;
            break;
        }
    }
    compressors_.SetCurSel(index);
}

void CMyPropertyPage3::OnFileNameDone() {
    if (ReadControls()) settings_.AVIFileName = fileName;
}

void CMyPropertyPage3::OnCaptureRateTyped() { SetItemText(IDC_VIDEO_FPS_PLAY, ItemText(IDC_VIDEO_FPS)); }

void CMyPropertyPage3::OnCaptureRateDone() {
    if (!ReadControls()) return;
    if (captureRate < 0) {
        captureRate = 0;
        playbackRate = 0;
        UpdateData(false);
    }
    settings_.FPS = captureRate;
    settings_.FPSPlay = playbackRate;
}

void CMyPropertyPage3::OnPlaybackRateTyped() {
    // Only the user's typing counts, not a refresh while the focus is elsewhere.
    HWND focus = ::GetFocus();
    if (focus != Item(IDC_VIDEO_FPS_PLAY) && focus != Item(IDC_VIDEO_FPS)) return;
    const double playback = std::atof(ItemText(IDC_VIDEO_FPS_PLAY).c_str());
    const double capture = std::atof(ItemText(IDC_VIDEO_FPS).c_str());
    if (playback == capture) {
        EnableItem(IDC_VIDEO_SOUND, true);
        SetChecked(IDC_VIDEO_SOUND, sound == 1 ? BST_CHECKED : BST_UNCHECKED);
    } else {
        SetChecked(IDC_VIDEO_SOUND, BST_UNCHECKED);
        EnableItem(IDC_VIDEO_SOUND, false);
    }
}

void CMyPropertyPage3::OnPlaybackRateDone() {
    if (!ReadControls()) return;
    if (playbackRate < 0) {
        playbackRate = 0;
        UpdateData(false);
    }
    settings_.FPSPlay = playbackRate;
    settings_.RecSound = sound;
}

void CMyPropertyPage3::OnKeyFramesDone() {
    if (!ReadControls()) return;
    if (keyFrames < 0) {
        keyFrames = 0;
        UpdateData(false);
    }
    settings_.KeyFrames = keyFrames;
}

void CMyPropertyPage3::OnQualityDone() {
    if (!ReadControls()) return;
    if (quality < 0) {
        quality = 0;
        UpdateData(false);
    }
    if (quality > 100) {
        quality = 100;
        UpdateData(false);
    }
    settings_.Compress = quality;
}

void CMyPropertyPage3::OnNumbering() {
    if (ReadControls()) settings_.IncFilename = numbering;
}

void CMyPropertyPage3::OnSound() {
    if (ReadControls()) settings_.RecSound = sound;
}

void CMyPropertyPage3::OnBrowse() {
    // The wide dialog, so that a name this system's 8-bit code page cannot
    // hold is seen and refused instead of being stored with substitutes. The
    // buffer takes any path the dialog can give; the program's file calls
    // take up to MAX_PATH.
    std::vector<wchar_t> path(32768, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = hwnd_;
    request.lpstrFilter = L"AVI Files (*.avi)\0*.avi\0All Files\0*.*\0";
    request.nFilterIndex = 1;
    request.lpstrFile = path.data();
    request.nMaxFile = static_cast<DWORD>(path.size());
    if (!::GetSaveFileNamePreviewW(&request)) return;   // cancelled, or the dialog failed
    std::string chosen;
    if (!AnsiPathFrom(path.data(), CP_ACP, chosen)) {
        AppMessageBox(LoadResString(IDS_FILE_NAME_UNUSABLE), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    fileName = chosen;
    UpdateData(false);
    settings_.AVIFileName = fileName;
}

void CMyPropertyPage3::OnCompressorChosen() {
    const int index = compressors_.GetCurSel();
    if (index < 0) return;   // no entry: the stored choice stays
    settings_.CompressorCode = static_cast<uint32_t>(compressors_.GetItemData(index));
}
