// The stream writer: full ring slots go to the compressed video stream at
// their frame positions, with a new format after a palette change.
#pragma once

// Writes every full slot in ring order; returns early when a message is
// waiting, so that the recording loop handles it first.
void WriteFrames();
