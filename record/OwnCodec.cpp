#include "OwnCodec.h"

#include "../codec/FourCC.h"

#include <mmsystem.h>
#include <vfw.h>

OwnCodec::~OwnCodec() {
    // The driver goes before its code does.
    if (installed_) ::ICRemove(ICTYPE_VIDEO, kZmbvCode, 0);
}

bool OwnCodec::Install(const std::string& programDir) {
    if (installed_ || module_) return installed_;
    const std::string path = programDir.empty() ? std::string(kCodecLibraryName) : programDir + "\\" + kCodecLibraryName;
    // A full path: a library of that name elsewhere on the search path is not ours.
    module_.Reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module_) return false;
    const auto proc = reinterpret_cast<DRIVERPROC>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), "DriverProc")));
    if (proc && ::ICInstall(ICTYPE_VIDEO, kZmbvCode, reinterpret_cast<LPARAM>(proc), nullptr, ICINSTALL_FUNCTION))
        installed_ = true;
    if (!installed_) module_.Reset();
    return installed_;
}

bool OwnCodecEntry(uint32_t& code, std::string& description) {
    HIC codec = ::ICOpen(ICTYPE_VIDEO, kZmbvCode, ICMODE_QUERY);
    if (!codec) return false;
    ICINFO info{};
    info.dwSize = sizeof info;
    const bool known = ::ICGetInfo(codec, &info, sizeof info) != 0;
    ::ICClose(codec);
    if (!known) return false;
    code = info.fccHandler;
    description.clear();
    // As the compressor list shows descriptions: the low byte of each character.
    for (const WCHAR* c = info.szDescription; *c && c < info.szDescription + 128; ++c)
        description += static_cast<char>(*c & 0xFF);
    return true;
}
