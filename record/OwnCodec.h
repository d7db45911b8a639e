// The program's own video codec, VelZmbv.dll beside the program: made
// available to this process only (installed as a driver function), so that
// recordings can use it without any installation. A missing or broken
// library is no error: recordings then do without it.
#pragma once

#include "../framework/Handles.h"

#include <windows.h>

#include <cstdint>
#include <string>

class OwnCodec {
public:
    OwnCodec() = default;
    ~OwnCodec();
    OwnCodec(const OwnCodec&) = delete;
    OwnCodec& operator=(const OwnCodec&) = delete;

    // Loads the library from programDir (not from the search path) and
    // installs its driver; false when that is not possible.
    bool Install(const std::string& programDir);
    bool Installed() const { return installed_; }

private:
    Module module_;
    bool installed_ = false;
};

// The entry of our codec for a list of compressors: its four-character
// code and its description, when this process can open it. The system's
// enumeration of compressors does not list a driver installed for one
// process, so a list asks for it by its code.
bool OwnCodecEntry(uint32_t& code, std::string& description);
