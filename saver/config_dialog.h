// The settings dialog (template 104): one checkbox for "Fit Screen".
#pragma once

#include <windows.h>

// The dialog's creation parameter is the settings record, which "OK" writes back.
INT_PTR CALLBACK ConfigDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
