// Recordings that survive the program's death: the rebuild of the ones
// left unfinished, at the start of the program.
#pragma once

// Rebuilds the recordings that a program which died left unplayable. With
// ask set (a normal run, before the main window shows) the user decides
// about each one and is told of those that cannot be rebuilt; otherwise
// nothing is shown, and a recording that cannot be rebuilt keeps its journal
// for a start that asks.
void RecoverInterruptedRecordings(bool ask);
