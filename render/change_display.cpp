// Display-mode switch: find the desktop's own mode (to go back to) and the wanted one, then switch.
#include "render/change_display.h"

#include <cstring>

CChangeDisplay::CChangeDisplay() : savedMode(), targetMode(), changed(0) {}

CChangeDisplay::~CChangeDisplay() { Restore(); }

int CChangeDisplay::FindMode(DWORD width, DWORD height, DWORD bits, DWORD refresh, DEVMODEA* mode)
{
    for (DWORD number = 0;; ++number) {
        memset(mode, 0, sizeof *mode);
        mode->dmSize = sizeof *mode;
        if (!EnumDisplaySettingsA(nullptr, number, mode)) return 0;
        if (mode->dmPelsWidth == width && mode->dmPelsHeight == height && mode->dmBitsPerPel == bits &&
            mode->dmDisplayFrequency == refresh)
            return 1;
    }
}

// The new mode keeps the desktop's depth and refresh rate.
int CChangeDisplay::Change(int width, int height)
{
    HDC screen = GetDC(nullptr);
    const DWORD bits = static_cast<DWORD>(GetDeviceCaps(screen, BITSPIXEL));
    ReleaseDC(nullptr, screen);
    HWND desktop = GetDesktopWindow();
    HDC desktopDc = GetDC(desktop);
    const DWORD refresh = static_cast<DWORD>(GetDeviceCaps(desktopDc, VREFRESH));
    ReleaseDC(desktop, desktopDc);
    RECT area;
    GetWindowRect(desktop, &area);

    DEVMODEA found;
    const DWORD desktopWidth = area.right - area.left, desktopHeight = area.bottom - area.top;
    if (!FindMode(desktopWidth, desktopHeight, bits, refresh, &found)) return 0;
    // A second change keeps the mode from before the first, so that Restore really goes back.
    if (changed == 0) savedMode = found;
    if (!FindMode(static_cast<DWORD>(width), static_cast<DWORD>(height), bits, refresh, &found)) return 0;
    targetMode = found;
    ChangeDisplaySettingsA(&targetMode, CDS_FULLSCREEN);
    changed = 1;
    return 1;
}

int CChangeDisplay::Restore()
{
    if (changed == 1) ChangeDisplaySettingsA(&savedMode, 0);
    changed = 0;
    return 1;
}
