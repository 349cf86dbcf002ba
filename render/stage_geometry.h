// The stage's size and the rectangle (x, y, width, height) the display context and the saver window
// pass around; plain code, so that the arithmetic on them builds without Win32.
#pragma once

// The stage the saver composes its show on: one 640 by 480 picture.
const int kStageWidth = 640;
const int kStageHeight = 480;

// A rectangle as x, y, width, height.
struct TRect32 {
    int x;
    int y;
    int width;
    int height;
};
