// The Video Compression Manager driver of the ZMBV codec. VelZmbv.dll
// exports it as DriverProc; a program can also hand it to ICInstall with
// ICINSTALL_FUNCTION to use the codec without installing anything.
#pragma once

#include <windows.h>
#include <mmsystem.h>

extern "C" LRESULT CALLBACK ZmbvDriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM param1, LPARAM param2);
