#include "CaptureFormat.h"

#include "CaptureMath.h"
#include "RecordingSession.h"

namespace {

RGBQUAD* ColourTable(RecordingSession& session) { return session.Format()->bmiColors; }

// Palette flags as the frames' colour table carries them: the static
// colours at both ends keep 0; a free entry equal to one of the top static
// colours is PC_RESERVED, any other PC_NOCOLLAPSE.
void MarkPaletteEntries(RecordingSession& session) {
    const int count = session.colourCount;
    PALETTEENTRY* entries = session.Palette()->palPalEntry;
    int reserved = ::GetDeviceCaps(session.screen, NUMCOLORS) / 2;
    if (::GetSystemPaletteUse(session.screen) == SYSPAL_NOSTATIC) reserved = 1;
    for (int i = 0; i < count; ++i) {
        BYTE flag = 0;
        if (i >= reserved && i < count - reserved) {
            flag = PC_NOCOLLAPSE;
            for (int top = count - reserved; top < count; ++top) {
                if (top < 0) continue;
                if (entries[i].peRed == entries[top].peRed && entries[i].peGreen == entries[top].peGreen &&
                    entries[i].peBlue == entries[top].peBlue) {
                    flag = PC_RESERVED;
                    break;
                }
            }
        }
        entries[i].peFlags = flag;
        ColourTable(session)[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, flag};
    }
}

}  // namespace

void BuildCaptureFormat(RecordingSession& session, int width, int height) {
    session.bitsPerPixel = ::GetDeviceCaps(session.screen, BITSPIXEL);
    session.colourCount = ColourCountFor(session.bitsPerPixel);
    session.captureFormat.assign(static_cast<size_t>(FormatBytes(session.colourCount)), 0);

    if (session.colourCount > 0) {
        const int count = session.colourCount;
        session.palette.assign(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(count), 0);
        LOGPALETTE* palette = session.Palette();
        palette->palVersion = 0x300;
        palette->palNumEntries = static_cast<WORD>(count);
        ::GetSystemPaletteEntries(session.screen, 0, static_cast<UINT>(count), palette->palPalEntry);
        palette->palPalEntry[0] = {0, 0, 0, 0};
        palette->palPalEntry[count - 1] = {255, 255, 255, 0};
        MarkPaletteEntries(session);
    }

    BITMAPINFOHEADER& header = session.Format()->bmiHeader;
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;   // bottom-up rows
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(session.bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biClrUsed = static_cast<DWORD>(session.colourCount);
}

void RefreshCapturePalette(RecordingSession& session) {
    if (session.colourCount <= 0) return;
    PALETTEENTRY* entries = session.Palette()->palPalEntry;
    ::GetSystemPaletteEntries(session.screen, 0, static_cast<UINT>(session.colourCount), entries);
    for (int i = 0; i < session.colourCount; ++i)
        ColourTable(session)[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    ++session.PaletteVersion;
}
