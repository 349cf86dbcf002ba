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
    bool Prepare(CDIBSurface* stage, int w, int h, int dw, int dh);

    CDIBSurface* canvas;  // the stretched rectangle, at least dw x dh, top-down
    int* columnOf;        // for each window column the stage column it shows, less sx
    int* rowOf;           // for each window row the stage row it shows, less sy
    int columnsRoom, rowsRoom;       // entries the two maps hold
    int mapWidth, mapTargetWidth;    // the sizes columnOf was learnt for (0: none)
    int mapHeight, mapTargetHeight;  // the sizes rowOf was learnt for
};
