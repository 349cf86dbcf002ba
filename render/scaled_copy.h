// CScaledCopy: a stretched present of a large stage rectangle made by copying rows instead of by GDI's
// StretchBlt, which under Wine costs several milliseconds for a whole screen; same pixels as StretchBlt.
#pragma once

#include <windows.h>

#include "render/w_dib32.h"

class CScaledCopy {
public:
    CScaledCopy();
    ~CScaledCopy();

    // Draws the w x h rectangle of stage at (sx, sy) into dc at (dx, dy), stretched to dw x dh, exactly
    // as StretchBlt in COLORONCOLOR mode would. False when it did not draw (a rectangle outside the
    // stage, or memory it could not get); the caller then uses StretchBlt.
    bool Draw(HDC dc, int dx, int dy, int dw, int dh, CDIBSurface* stage, int sx, int sy, int w, int h);
    void Release();

private:
    CScaledCopy(const CScaledCopy&) = delete;
    CScaledCopy& operator=(const CScaledCopy&) = delete;
    bool Prepare(CDIBSurface* stage, int dw, int dh);
    static bool Ensure(CDIBSurface** surface, HWND window, int width, int height);

    CDIBSurface* canvas;      // the stretched rectangle, at least dw x dh, top-down
    CDIBSurface* columns;     // stage width x 1: pixel x holds x
    CDIBSurface* rows;        // 1 x stage height: pixel y holds y
    CDIBSurface* columnMap;   // dw x 1: the stage column each window column shows, less sx
    CDIBSurface* rowMap;      // 1 x dh: the stage row each window row shows, less sy
    int mapWidth, mapTargetWidth;    // the sizes columnMap was learnt for (0: none)
    int mapHeight, mapTargetHeight;  // the sizes rowMap was learnt for
};
