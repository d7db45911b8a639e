// Strings of the resource library, %1 insertion, integer formats and the
// application's message boxes.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// The framework's own prompts, looked up in the resource library like all strings.
constexpr UINT kInvalidIntegerMessage = 61712;
constexpr UINT kInvalidNumberMessage = 61713;

// String id of the resource library; empty when it is missing.
std::string LoadResString(UINT id);

// Replaces every %1 of format with arg.
std::string InsertArgument(const std::string& format, const std::string& arg);
// Replaces every %1, %2 ... of format with the first, second ... argument, in
// one pass: an argument that holds "%2" stays as it is. A mark without an
// argument is copied as it stands.
std::string InsertArguments(const std::string& format, std::initializer_list<std::string> args);

// A printf-style integer format filled with values, safely: %d, %i, %u, %x,
// %X (with flags, width and precision, an optional l or h) take the next
// value, %% gives %; any other conversion, and a conversion without a value
// left, is copied as it stands. So a resource text can never read an
// argument that is not there.
std::string FormatIntegers(const std::string& format, std::initializer_list<long long> values);

// A text shown as a button's or label's caption as it is: every "&" doubled,
// so that none turns into a mnemonic underline.
std::string LiteralCaption(const std::string& text);

// Message box owned by the main window (when there is one) with the
// application's name as caption.
int AppMessageBox(const std::string& text, UINT flags = MB_OK);
// The same, owned by the given window.
int AppMessageBox(HWND owner, const std::string& text, UINT flags = MB_OK);
