// Wide text to the 8-bit texts that the program's ANSI calls take.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The text in the given code page. False when a character has no exact
// counterpart there: out then holds the system's substitutes.
bool NarrowText(std::wstring_view text, UINT codePage, std::string& out);

// A path for the ANSI file calls: every character exactly representable in
// the code page and the whole shorter than MAX_PATH. False otherwise, and
// out is left alone.
bool AnsiPathFrom(std::wstring_view path, UINT codePage, std::string& out);
