// Password hooks.
#include "saver/password.h"

BOOL VerifyPassword(HWND)
{
    return TRUE;
}

void ChangeSaverPassword(HWND)
{
}
