// Password hooks.
#include "saver/password.h"

void ChangeSaverPassword(HWND)
{
    // The password provider is not consulted yet.
}
