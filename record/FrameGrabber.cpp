#include "FrameGrabber.h"

#include "CaptureMath.h"
#include "CursorScheme.h"
#include "InputMarkDrawing.h"
#include "PanStep.h"
#include "RecordState.h"
#include "RecordingSession.h"

#include "../settings/AppSettings.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

bool KeyDown(KeyStateFunction keyState, int key) { return (keyState(key) & 0x8000) != 0; }

void PanCaptureRect(RecordingSession& session, AppSettings& settings, POINT cursor) {
    const int32_t panModifiers = LoadShared(settings.PanModifiers);
    int32_t held = 0;
    if (panModifiers != 0 && session.keyState) {
        held = HeldModifierSet(KeyDown(session.keyState, VK_SHIFT), KeyDown(session.keyState, VK_CONTROL),
                               KeyDown(session.keyState, VK_MENU));
    }
    const PanInput in{LoadShared(settings.StartX), LoadShared(settings.StartY), LoadShared(settings.Width),
                      LoadShared(settings.Height), session.screenLeft, session.screenTop, session.screenWidth,
                      session.screenHeight, LoadShared(settings.PanLocked), panModifiers, held, cursor.x, cursor.y,
                      session.previousCursor.x, session.previousCursor.y};
    if (PanningNow(in.panLocked, in.panModifiers, in.heldModifiers)) {
        const PanResult moved = PanStep(in);
        StoreShared(settings.StartX, moved.startX);
        StoreShared(settings.StartY, moved.startY);
    }
    session.previousCursor = cursor;
}

// The outline for the time of one frame's grab.
class OutlineShown {
public:
    OutlineShown(ScreenOutline& outline, const RECT& rect, bool paused) : outline_(outline), rect_(rect), paused_(paused) {
        outline_.Draw(rect_, paused_);
    }
    ~OutlineShown() { outline_.Draw(rect_, paused_); }
    OutlineShown(const OutlineShown&) = delete;
    OutlineShown& operator=(const OutlineShown&) = delete;

private:
    ScreenOutline& outline_;
    RECT rect_;
    bool paused_;
};

// The cursor that the window under the pointer shows: its thread's input
// state holds it, so this thread joins that state just long enough to read
// it. Left joined, every program the pointer passed over would share its
// input state with ours (and theirs with each other's) until the end.
HCURSOR CursorUnderPointer(POINT at) {
    const HWND under = ::WindowFromPoint(at);
    const DWORD thread = under ? ::GetWindowThreadProcessId(under, nullptr) : 0;
    const DWORD self = ::GetCurrentThreadId();
    const bool attached = thread != 0 && thread != self && ::AttachThreadInput(self, thread, TRUE);
    const HCURSOR shown = ::GetCursor();
    if (attached) ::AttachThreadInput(self, thread, FALSE);
    // Over the bare desktop the system shows the arrow, also where the
    // desktop's own thread has never set a cursor.
    if (!shown && (!under || under == ::GetDesktopWindow()))
        return ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    return shown;
}

// The cursor to draw in this tick, in the user's scheme; none when the
// pointer is outside the rectangle.
HCURSOR TickCursor(POINT cursor, const RECT& capture) {
    if (!CursorInCapture(cursor.x, cursor.y, capture.left, capture.top, capture.right - capture.left,
                         capture.bottom - capture.top))
        return nullptr;
    const HCURSOR shown = CursorUnderPointer(cursor);
    return shown ? SchemeCursorFor(shown) : nullptr;
}

// Copies the rectangle in strips: one large copy from the screen is far
// slower than several smaller ones.
void CopyScreen(RecordingSession& session, const RECT& capture) {
    const int width = capture.right - capture.left;
    const int height = capture.bottom - capture.top;
    const int strip = StripRows(width, session.bitsPerPixel);
    for (int row = 0; row < height; row += strip) {
        const int rows = std::min(strip, height - row);
        ::BitBlt(session.frame, 0, row, width, rows, session.screen, capture.left, capture.top + row, SRCCOPY);
    }
}

// The cursor over what the screen shows beneath it, clipped by the frame.
void DrawCursor(RecordingSession& session, HCURSOR cursor, POINT at, const RECT& capture) {
    ICONINFO info{};
    if (!::GetIconInfo(cursor, &info)) return;
    // Only the hot spot is wanted: the copies of the cursor's bitmaps go.
    const GdiObject<HBITMAP> mask(info.hbmMask), colour(info.hbmColor);
    const int left = at.x - static_cast<int>(info.xHotspot);
    const int top = at.y - static_cast<int>(info.yHotspot);
    ::BitBlt(session.cursor, 0, 0, 32, 32, session.screen, left, top, SRCCOPY);
    ::DrawIcon(session.cursor, 0, 0, cursor);
    ::BitBlt(session.frame, left - capture.left, top - capture.top, 32, 32, session.cursor, 0, 0, SRCCOPY);
}

void DrawCaption(RecordingSession& session) {
    const Selection font(session.frame, session.captionFont.get());
    ::TextOutA(session.frame, 0, 0, session.caption.c_str(), static_cast<int>(session.caption.size()));
}

// Tells the writer on the user-interface thread that full slots wait.
void WakeWriter(const RecordingSession& session) { ::PostMessageA(session.window, WM_TIMER, 0, 0); }

void GrabInto(RecordingSession& session, FrameSlot& slot, HCURSOR cursor, POINT at, const RECT& capture,
              bool paused) {
    ::SelectObject(session.frame, slot.buffer.get());
    CopyScreen(session, capture);
    if (cursor) DrawCursor(session, cursor, at, capture);
    DrawInputMarks(session.frame, capture);
    if (CaptionVisible(session.startTime, ::timeGetTime())) DrawCaption(session);
    ::SelectObject(session.frame, session.frameInitial);
    ::GdiFlush();
    slot.sequence = ++session.grabSequence;
    slot.full = paused ? 0 : 1;
    WakeWriter(session);
}

void Tick(RecordingSession& session) {
    AppSettings& settings = session.settings;

    if (session.FrameCount.load() == 0) ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    POINT cursor{};
    // Without the pointer's position there is nothing to pan by this tick.
    if (::GetCursorPos(&cursor))
        PanCaptureRect(session, settings, cursor);
    else
        cursor = session.previousCursor;

    const int32_t x = LoadShared(settings.StartX);
    const int32_t y = LoadShared(settings.StartY);
    const RECT capture{x, y, x + LoadShared(settings.Width), y + LoadShared(settings.Height)};
    const bool paused = StateOf(session) == Paused;
    std::optional<OutlineShown> outline;
    if (LoadShared(settings.FlashRect) != 0)
        outline.emplace(session.outline, RECT{capture.left - 2, capture.top - 2, capture.right + 2, capture.bottom + 2},
                        paused);

    const HCURSOR tickCursor = TickCursor(cursor, capture);

    const int slotIndex = NextGrabSlot(session.grabIndex);
    FrameSlot& slot = session.ring[slotIndex];
    if (slot.full.load()) {
        // The writer has not taken this slot yet: the position stays empty
        // and the same slot is tried at the next tick.
        if (TakeFramePosition(session.FrameCount) < 0) return;
        const int32_t skipped = ++session.SkipCount;
        if (OverrunAborts(skipped, session.FrameCount.load())) {
            AbortRecording(session, kAbortTooSlow);
            return;
        }
        // The wake-ups for the full slots may have gone to a modal loop
        // (a menu, a message box) that dropped them: without a new one the
        // writer would never empty the ring again.
        WakeWriter(session);
        return;
    }
    session.grabIndex = slotIndex;
    if (slot.paletteVersion < session.PaletteVersion.load() && !CreateSlotBuffer(session, slot)) {
        AbortRecording(session, kAbortFrameBuffer);
        return;
    }
    GrabInto(session, slot, tickCursor, cursor, capture, paused);
}

}  // namespace

bool CreateSlotBuffer(RecordingSession& session, FrameSlot& slot) {
    slot.buffer.Reset(::CreateDIBSection(session.screen, session.Format(), DIB_RGB_COLORS, &slot.pixels, nullptr, 0));
    if (!slot.buffer) slot.pixels = nullptr;
    slot.paletteVersion = session.PaletteVersion.load();
    if (!slot.buffer) return false;
    // The system gives a buffer's memory at the first write to each page:
    // done here, before the clock runs, and not in the first grabs, which
    // took up to five times as long and put the clock a tenth of a second
    // behind at 2560x1440.
    DIBSECTION section{};
    if (::GetObjectA(slot.buffer.get(), sizeof section, &section) == sizeof section)
        std::memset(slot.pixels, 0, static_cast<size_t>(section.dsBm.bmWidthBytes) * static_cast<size_t>(section.dsBm.bmHeight));
    return true;
}

void CALLBACK GrabFrame(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* session = reinterpret_cast<RecordingSession*>(user);
    if (!session) return;
    ++session->grabbing;
    try {
        if (session->ready.load() && !session->closing.load()) Tick(*session);
    } catch (...) {
        // Nothing may leave the timer's thread; this tick is lost.
    }
    --session->grabbing;
}
