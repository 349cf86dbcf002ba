// The saver window and its message loop.
#include "saver/saver_window.h"

void RunSaver(HWND)
{
    // The full-screen and preview windows come with the display stage.
}
