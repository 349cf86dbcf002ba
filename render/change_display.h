// CChangeDisplay: switches the display to another resolution at the current depth and refresh rate,
// and back again.
#pragma once

#include <windows.h>

class CChangeDisplay {
public:
    CChangeDisplay();
    ~CChangeDisplay();  // restores a change still in force

    // 1 when the driver lists a mode with exactly these values (mode then holds it), else 0.
    int FindMode(DWORD width, DWORD height, DWORD bits, DWORD refresh, DEVMODEA* mode);
    int Change(int width, int height);  // 1 after switching, 0 when no suitable mode exists
    int Restore();                      // always 1

    DEVMODEA savedMode;   // the desktop's mode before the first change in force
    DEVMODEA targetMode;  // the mode switched to
    int changed;          // 1 while a change made here is in force

private:
    CChangeDisplay(const CChangeDisplay&) = delete;
    CChangeDisplay& operator=(const CChangeDisplay&) = delete;
};
