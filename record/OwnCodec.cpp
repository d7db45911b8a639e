#include "OwnCodec.h"

#include "CaptureMath.h"

#include <mmsystem.h>
#include <vfw.h>

namespace {

constexpr char kLibraryName[] = "VelZmbv.dll";

}  // namespace

OwnCodec::~OwnCodec() {
    // The driver goes before its code does.
    if (installed_) ::ICRemove(ICTYPE_VIDEO, kCodeOwnCodec, 0);
    if (module_) ::FreeLibrary(module_);
}

bool OwnCodec::Install(const std::string& programDir) {
    if (installed_ || module_) return installed_;
    const std::string path = programDir.empty() ? std::string(kLibraryName) : programDir + "\\" + kLibraryName;
    // A full path: a library of that name elsewhere on the search path is not ours.
    module_ = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module_) return false;
    const auto proc = reinterpret_cast<DRIVERPROC>(reinterpret_cast<void*>(::GetProcAddress(module_, "DriverProc")));
    if (proc && ::ICInstall(ICTYPE_VIDEO, kCodeOwnCodec, reinterpret_cast<LPARAM>(proc), nullptr, ICINSTALL_FUNCTION))
        installed_ = true;
    if (!installed_) {
        ::FreeLibrary(module_);
        module_ = nullptr;
    }
    return installed_;
}

bool OwnCodecEntry(uint32_t& code, std::string& description) {
    HIC codec = ::ICOpen(ICTYPE_VIDEO, kCodeOwnCodec, ICMODE_QUERY);
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
