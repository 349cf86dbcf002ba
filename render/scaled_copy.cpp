// CScaledCopy: GDI's nearest-neighbour sampling, learnt for the sizes at hand, applied to the stage by
// copying pixels and whole rows.
#include "render/scaled_copy.h"

#include <new>

#include "render/stretch_sampling.h"

CScaledCopy::CScaledCopy()
    : canvas(nullptr), columnOf(nullptr), rowOf(nullptr), columnsRoom(0), rowsRoom(0), mapWidth(0),
      mapTargetWidth(0), mapHeight(0), mapTargetHeight(0)
{
}

CScaledCopy::~CScaledCopy() { Release(); }

void CScaledCopy::Release()
{
    delete canvas;
    delete[] columnOf;
    delete[] rowOf;
    canvas = nullptr;
    columnOf = rowOf = nullptr;
    columnsRoom = rowsRoom = 0;
    mapWidth = mapHeight = 0;
}

namespace {

// A map of at least count entries. One made anew is learnt before use: it is made only for more entries
// than any map learnt so far.
bool EnsureMap(int** map, int* room, int count)
{
    if (*room >= count)
        return true;
    delete[] *map;
    *map = new (std::nothrow) int[static_cast<size_t>(count)];
    *room = *map ? count : 0;
    return *map != nullptr;
}

// The map for from source columns (rows) on to window columns (rows), learnt unless it was learnt for
// these sizes last (*learntFrom and *learntTo, 0 when none).
bool Learnt(int from, int to, bool vertical, int* map, int* learntFrom, int* learntTo)
{
    if (from == *learntFrom && to == *learntTo)
        return true;
    DWORD fourth = 0;
    *learntFrom = 0;
    if (!LearnStretchSampling(from, to, vertical, map, &fourth))
        return false;
    *learntFrom = from;
    *learntTo = to;
    return true;
}

}  // namespace

// The canvas and both maps for these sizes. StretchBlt's choice of rows and columns depends only on the
// sizes, one direction at a time, so a map is learnt again only when its sizes change: a wipe presents
// many strips of the same size.
bool CScaledCopy::Prepare(CDIBSurface* stage, int w, int h, int dw, int dh)
{
    if (!canvas || canvas->GetWidth() < dw || canvas->GetHeight() < dh) {
        delete canvas;
        canvas = new (std::nothrow) CDIBSurface(stage->GetWnd());
        if (!canvas || canvas->Create(dw, -dh) != 0) {
            delete canvas;
            canvas = nullptr;
            return false;
        }
    }
    if (!EnsureMap(&columnOf, &columnsRoom, dw) || !EnsureMap(&rowOf, &rowsRoom, dh))
        return false;
    return Learnt(w, dw, false, columnOf, &mapWidth, &mapTargetWidth) &&
           Learnt(h, dh, true, rowOf, &mapHeight, &mapTargetHeight);
}

bool CScaledCopy::Draw(HDC dc, int dx, int dy, int dw, int dh, CDIBSurface* stage, int sx, int sy, int w, int h)
{
    if (w <= 0 || h <= 0 || dw <= 0 || dh <= 0 || sx < 0 || sy < 0 || sx > stage->GetWidth() - w ||
        sy > stage->GetHeight() - h || !Prepare(stage, w, h, dw, dh))
        return false;
    CopySampled(canvas, 0, 0, stage, sx, sy, columnOf, dw, rowOf, dh, 0xFFFFFFFF);
    BitBlt(dc, dx, dy, dw, dh, canvas->GetMemDC(), 0, 0, SRCCOPY);
    return true;
}
