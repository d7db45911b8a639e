// The capture format: the screen's depth and, on palette screens, the
// system palette as the frames' colour table.
#pragma once

struct RecordingSession;

// Fills the screen context, capture format, palette record and colour
// count from the screen; width and height are the capture rectangle's.
void BuildCaptureFormat(RecordingSession& session, int width, int height);

// After a system palette change: the new colours go into the colour table,
// then PaletteVersion is raised so that the grabber makes new buffers.
// Nothing happens on screens without a palette.
void RefreshCapturePalette(RecordingSession& session);
