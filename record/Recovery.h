// Recordings that survive the program's death: where their journals live,
// and the rebuild of the ones left unfinished, at the start of the program.
#pragma once

#include <string>

// The user's journal folder (under the local application data), or empty
// when there is none.
std::string RecoveryFolder();

// Rebuilds the recordings that a program which died left unplayable. With
// ask set (a normal run, before the main window shows) the user decides
// about each one and is told of those that cannot be rebuilt; otherwise
// nothing is shown, and a recording that cannot be rebuilt keeps its journal
// for a start that asks.
void RecoverInterruptedRecordings(bool ask);
