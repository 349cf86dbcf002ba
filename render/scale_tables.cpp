// The shared scale tables: built with the first surface, released with the last.
#include "render/scale_tables.h"

#include "imagefile/mem_alloc.h"

namespace {

BYTE* scaleTable = nullptr;
BYTE* signedScaleTable = nullptr;

}  // namespace

bool BuildScaleTables()
{
    if (scaleTable && signedScaleTable)
        return true;
    BYTE* scale = static_cast<BYTE*>(MemAlloc(0x10000));
    BYTE* signedScale = static_cast<BYTE*>(MemAlloc(0x20000));
    // Half a set of tables would leave some routines reading a missing one; keep neither.
    if (!scale || !signedScale) {
        MemFree(scale);
        MemFree(signedScale);
        return false;
    }
    for (int level = 0; level < 256; ++level) {
        BYTE* row = scale + level * 256;
        BYTE* signedRow = signedScale + level * 512 + 256;
        for (int v = 0; v < 256; ++v) {
            const BYTE value = static_cast<BYTE>(level * v / 255);
            row[v] = value;
            signedRow[v] = value;
            if (v > 0)
                signedRow[-v] = static_cast<BYTE>(-value);
        }
    }
    scaleTable = scale;
    signedScaleTable = signedScale;
    return true;
}

void ReleaseScaleTables()
{
    MemFree(scaleTable);
    MemFree(signedScaleTable);
    scaleTable = nullptr;
    signedScaleTable = nullptr;
}

const BYTE* ScaleTable()
{
    return scaleTable;
}

const BYTE* SignedScaleTable()
{
    return signedScaleTable;
}
