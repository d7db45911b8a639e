// testcodec.dll: a video compressor for the tests, installed into a test's
// Wine prefix through the registry (Drivers32, "vidc.VMXT"). It "compresses"
// by copying: its output is the uncompressed frame, so a player still reads
// the file, while the stream names this compressor as its handler. With
// VELMORAX_TESTCODEC_FRAMES=N in the environment it refuses every frame after
// the first N (a compressor, or the disk behind it, that fails mid-way).
#include <windows.h>
#include <vfw.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD kHandler = mmioFOURCC('V', 'M', 'X', 'T');

DWORD ImageBytes(const BITMAPINFOHEADER& h) {
    const DWORD stride = ((static_cast<DWORD>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    return stride * static_cast<DWORD>(h.biHeight < 0 ? -h.biHeight : h.biHeight);
}

bool Takes(const BITMAPINFO* in) {
    return in && in->bmiHeader.biCompression == BI_RGB &&
           (in->bmiHeader.biBitCount == 24 || in->bmiHeader.biBitCount == 32);
}

LRESULT GetInfo(ICINFO* info, DWORD size) {
    if (!info || size < sizeof(ICINFO)) return 0;
    std::memset(info, 0, sizeof(ICINFO));
    info->dwSize = sizeof(ICINFO);
    info->fccType = ICTYPE_VIDEO;
    info->fccHandler = kHandler;
    info->dwVersion = 1;
    info->dwVersionICM = ICVERSION;
    lstrcpyW(info->szName, L"VMXT");
    lstrcpyW(info->szDescription, L"Velmorax test copy codec");
    return sizeof(ICINFO);
}

// Frames compressed so far, and how many may be (-1: any number).
LONG compressed = 0;

LONG FrameAllowance() {
    char text[16];
    const DWORD length = GetEnvironmentVariableA("VELMORAX_TESTCODEC_FRAMES", text, sizeof text);
    return length > 0 && length < sizeof text ? std::atol(text) : -1;
}

LRESULT Compress(ICCOMPRESS* c) {
    static const LONG allowance = FrameAllowance();
    if (allowance >= 0 && InterlockedIncrement(&compressed) > allowance) return ICERR_ERROR;
    const DWORD bytes = ImageBytes(*c->lpbiInput);
    std::memcpy(c->lpOutput, c->lpInput, bytes);
    *c->lpbiOutput = *c->lpbiInput;
    c->lpbiOutput->biSizeImage = bytes;
    if (c->lpdwFlags) *c->lpdwFlags = AVIIF_KEYFRAME;
    return ICERR_OK;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT WINAPI DriverProc(DWORD_PTR, HDRVR, UINT message, LPARAM p1, LPARAM p2) {
    switch (message) {
    case DRV_LOAD: case DRV_FREE: case DRV_ENABLE: case DRV_DISABLE: case DRV_CLOSE:
        return 1;
    case DRV_OPEN: {
        const auto* open = reinterpret_cast<const ICOPEN*>(p2);
        return (!open || open->fccType == ICTYPE_VIDEO) ? 1 : 0;
    }
    case ICM_GETINFO:
        return GetInfo(reinterpret_cast<ICINFO*>(p1), static_cast<DWORD>(p2));
    case ICM_COMPRESS_QUERY:
        return Takes(reinterpret_cast<const BITMAPINFO*>(p1)) ? ICERR_OK : ICERR_BADFORMAT;
    case ICM_COMPRESS_GET_FORMAT: {
        const auto* in = reinterpret_cast<const BITMAPINFO*>(p1);
        auto* out = reinterpret_cast<BITMAPINFO*>(p2);
        if (!Takes(in)) return ICERR_BADFORMAT;
        if (!out) return sizeof(BITMAPINFOHEADER);
        out->bmiHeader = in->bmiHeader;
        out->bmiHeader.biSizeImage = ImageBytes(in->bmiHeader);
        return ICERR_OK;
    }
    case ICM_COMPRESS_GET_SIZE:
        return ImageBytes(reinterpret_cast<const BITMAPINFO*>(p1)->bmiHeader);
    case ICM_COMPRESS_BEGIN:
        return Takes(reinterpret_cast<const BITMAPINFO*>(p1)) ? ICERR_OK : ICERR_BADFORMAT;
    case ICM_COMPRESS_END:
        return ICERR_OK;
    case ICM_COMPRESS:
        return Compress(reinterpret_cast<ICCOMPRESS*>(p1));
    case ICM_GETDEFAULTQUALITY:
    case ICM_GETQUALITY:
        if (p1) *reinterpret_cast<DWORD*>(p1) = 7500;
        return ICERR_OK;
    case ICM_GETDEFAULTKEYFRAMERATE:
        if (p1) *reinterpret_cast<DWORD*>(p1) = 1;
        return ICERR_OK;
    default:
        return message < DRV_USER ? DefDriverProc(0, nullptr, message, p1, p2) : ICERR_UNSUPPORTED;
    }
}
