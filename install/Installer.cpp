#include "Installer.h"

// The installer comes with its own change; until then both modes do nothing.
int InstallProgram(const std::string&) { return 0; }
int UninstallProgram() { return 0; }
