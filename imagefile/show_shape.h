// The show's shape, in one place: its fifteen slide files and their names, the dissolve's mask file and
// block geometry, and the 640 by 480 stage they are composed on; plain code, built without Win32.
// The file names here match NIMBRA_SHOW_FILES in the top-level CMakeLists.txt.
#pragma once

// The slides: "slide_01.qjx" to "slide_15.qjx" in the show folder.
const int kSlideCount = 15;
#define NIMBRA_SLIDE_NAME_FORMAT "slide_%02d.qjx"  // printf format for slide number 1 to kSlideCount
const int kSlideNameLength = 12;                  // strlen("slide_01.qjx")

// The dissolve's mask: a strip of kMaskFrames blocks of kMaskBlock by kMaskBlock pixels, black where the
// new slide shows in that frame.
#define NIMBRA_MASK_NAME "tile.bmp"
const int kMaskBlock = 16;
const int kMaskFrames = 16;

// The stage the saver composes its show on: one 640 by 480 picture, the size of every slide.
const int kStageWidth = 640;
const int kStageHeight = 480;

// A rectangle as x, y, width, height.
struct TRect32 {
    int x;
    int y;
    int width;
    int height;
};
