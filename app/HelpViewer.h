// The program's help: a window of its own that shows the topics of the help
// file (the program's path with the extension ".HLP"; see HelpFile.h).
// Every caller uses one call shaped like the system's help call:
//   HELP_CONTENTS (data 0)       the contents, the file's first topic
//   HELP_CONTEXT  (data = topic) that topic; the contents when it does not exist
//   HELP_QUIT     (data 0)       closes the help window
#pragma once

#include <windows.h>

bool ShowHelp(HWND owner, UINT command, DWORD_PTR data);
