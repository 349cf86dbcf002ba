// Hooks to the system's screen-saver password libraries.
#pragma once

#include <windows.h>

// Asks the system's password-change dialog for the screen-saver password.
void ChangeSaverPassword(HWND parent);
