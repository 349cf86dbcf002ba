// Hooks to the system's screen-saver password libraries.
#pragma once

#include <windows.h>

// Non-zero when the show may end: the password was right, or no check applies.
BOOL VerifyPassword(HWND window);
// Asks the system's password-change dialog for the screen-saver password.
void ChangeSaverPassword(HWND parent);
