#include "Recording.h"

// The recording engine comes with its own change.
bool StartRecording(RecordState) { return false; }
void StopRecording() {}
void RecordSingleFrame() {}
