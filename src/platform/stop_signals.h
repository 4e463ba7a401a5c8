// SIGINT and SIGTERM in the window program. The frame loop looks for a stop
// once a frame and ends as on Escape, which gives back the window and a
// switched display mode; where the program is busy longer than a moment
// (loading, a long seek) it ends anyway after a short grace. Either way the
// process then dies by the signal, so the shell sees status 130 or 143.
#pragma once

#include <sys/types.h>

// Installs the handlers; SDL is told to leave the two signals to us.
void catchStopSignals();
// The stop signal taken, or 0.
int stopSignalTaken();
// Dies by the signal taken (or SIGTERM), after flushing standard output.
[[noreturn]] void endByStopSignal();
// While a child process group shows something for us, a stop signal kills
// the group too (0: none).
void setStopSignalChildGroup(pid_t group);
