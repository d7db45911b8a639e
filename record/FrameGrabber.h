// GrabFrame: one tick of the frame clock. Pans the rectangle, flashes its
// outline, copies the screen into the next free ring slot, draws the cursor
// and the start caption, and tells the writer. The user data is the
// RecordingSession.
#pragma once

#include <windows.h>

void CALLBACK GrabFrame(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR reserved1, DWORD_PTR reserved2);

// Makes the slot's buffer in the current capture format; false when the
// DIB section cannot be created.
struct RecordingSession;
struct FrameSlot;
bool CreateSlotBuffer(RecordingSession& session, FrameSlot& slot);
