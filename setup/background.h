// The main dialog's picture "BACKCG": a 240 by 100, 24-bit bitmap resource painted as it lies.
#pragma once

#include <windows.h>

constexpr int kBackgroundWidth = 240;
constexpr int kBackgroundHeight = 100;

// Finds, loads and locks the resource; false when it is missing or not the picture painted here.
bool LoadBackground(HINSTANCE instance);
// At the client area's top-left corner, through the painting's own context (it clips the buttons).
void PaintBackground(HDC dc);
void ReleaseBackground();
