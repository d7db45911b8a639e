// VelZmbv.dll: the codec's driver for the Video Compression Manager, for
// other programs (registered by the installer) and for ours (ICInstall).
#include "ZmbvDriver.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM p1,
                                                             LPARAM p2) {
    return ZmbvDriverProc(id, driver, message, p1, p2);
}
