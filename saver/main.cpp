// nimbra.scr: the Win32 entry. Only the instance handle is used; the command line comes from GetCommandLineA.
#include <windows.h>

#include "saver/saver_entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return SaverMain(instance, GetCommandLineA());
}
