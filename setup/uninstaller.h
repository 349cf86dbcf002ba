// The two run modes behind Windows' list of installed programs: the relocation step ("/r"), which
// starts a copy of the program from the system folder, and that copy's uninstaller run ("/x").
#pragma once

#include "setup/setup_state.h"

// Copies program to the system folder as "unithra.exe" and starts it with "/x". Always 0.
int Relocate(SetupState& state, const char* program);
// -1 when the product is not installed, 1 when the user declines, 0 otherwise (also after a failed
// replay). program is the running program file, deleted at the next restart when it is the copy.
int RunUninstaller(SetupState& state, const char* program);
