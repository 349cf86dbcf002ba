// Which family of Windows setup runs on (see windows_family.h).
#include "setup/windows_family.h"

#include <windows.h>

bool OnWindows95Family()
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
