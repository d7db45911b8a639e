// Output file names: the ".avi" completion and the numbering of a name.
#pragma once

#include <functional>
#include <string>

// An empty name becomes "capture.avi"; a name whose last five characters
// (lowered) do not contain ".avi" gets ".avi" appended.
std::string CompleteAviName(const std::string& name);

// The first numbered form of name for which exists() is false:
// "clip.avi" gives clip0001.avi, then clip0002.avi once that exists, and
// on past 9999 (clip10000.avi) so that no existing file is ever taken.
// Digits ending the stem give the number to start from. A name longer than
// 259 characters is cut there first.
std::string NumberedFileName(const std::string& name, const std::function<bool(const std::string&)>& exists);
