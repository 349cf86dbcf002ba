// CDIB: owns the stage and the slot surfaces; loads pictures into slots; presents with StretchBlt.
#include "render/display_context.h"

#include <new>

#include "imagefile/mem_alloc.h"

CDIB::CDIB(HWND window_)
    : stage(nullptr), spareSurface(nullptr), slots(nullptr), slotCount(0), window(window_), fullScreen(0),
      stageWidth(0), stageHeight(0), stageBits(0), viewWidth(0), viewHeight(0) {}

CDIB::~CDIB()
{
    CloseAll();
    window = nullptr;
    changeDisplay.Restore();
}

int CDIB::SetSlotCount(int count)
{
    if (count < 0 || count > kMaxSlots) return -1;
    FreeSlots();
    // At least one entry, so that a table of no slots is still a valid block.
    slots = static_cast<CDIBSurface**>(MemAlloc(static_cast<DWORD>(count > 0 ? count : 1) * sizeof(CDIBSurface*)));
    if (slots == nullptr) return -1;
    slotCount = count;
    return 0;
}

int CDIB::OpenStage(int takeOver)
{
    if (takeOver != 0 && changeDisplay.Change(stageWidth, stageHeight) == 0) return -1;
    if (CreateStage(stageWidth, stageHeight) != 0) return -1;
    fullScreen = takeOver != 0 ? 1 : 0;
    return 0;
}

int CDIB::CreateStage(int width, int height)
{
    delete stage;
    stage = new (std::nothrow) CDIBSurface(window);
    if (stage != nullptr && stage->Create(width, height) == 0) return 0;
    delete stage;
    stage = nullptr;
    return -1;
}

int CDIB::CreateSlot(int index)
{
    if (index < 0 || index >= slotCount) return -1;  // no slots while there is no table
    delete slots[index];
    slots[index] = new (std::nothrow) CDIBSurface(window);
    return slots[index] != nullptr ? 0 : -1;
}

int CDIB::LoadFile(int index, const char* path, const RGBQUAD* palette)
{
    if (index < 0 || index >= slotCount) return -1;
    if (slots[index] == nullptr && CreateSlot(index) != 0) return -1;  // a loaded slot keeps its surface
    return slots[index]->LoadImageFile(path, palette);
}

CDIBSurface* CDIB::GetSurface(int index)
{
    if (index == kSpareIndex) return spareSurface;
    if (index == kStageIndex) return stage;
    return index < 0 || index >= slotCount ? nullptr : slots[index];
}

// GDI's COLORONCOLOR stretch drops or repeats whole rows and columns, never averages them.
void CDIB::StretchToWindow(const TRect32& target, const TRect32& source)
{
    HDC dc = GetDC(window);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, target.x, target.y, target.width, target.height, stage->GetMemDC(), source.x, source.y,
               source.width, source.height, SRCCOPY);
    ReleaseDC(window, dc);
}

void CDIB::Present(const TRect32* destination, const TRect32* source)
{
    if (destination == nullptr || stage == nullptr) return;
    const TRect32 whole = {0, 0, stageWidth, stageHeight};
    StretchToWindow(*destination, source != nullptr ? *source : whole);
}

void CDIB::PresentScaled(const TRect32* destination, const TRect32* source)
{
    if (source == nullptr) return Present(destination, nullptr);
    if (destination == nullptr || stage == nullptr) return;
    StretchToWindow(ScaledTarget(*destination, *source, stageWidth, stageHeight), *source);
}

TRect32 ScaledTarget(const TRect32& destination, const TRect32& source, int stageWidth, int stageHeight)
{
    // A stage of no width or height has nothing to scale: nothing lands anywhere.
    if (stageWidth <= 0 || stageHeight <= 0) return TRect32{destination.x, destination.y, 0, 0};
    const double sx = static_cast<double>(destination.width) / stageWidth;
    const double sy = static_cast<double>(destination.height) / stageHeight;
    // Both edges come from scaled stage positions, each truncated toward zero: rectangles that meet on
    // the stage meet on the window too, so strips drawn side by side leave no stale column between them.
    const int left = static_cast<int>(source.x * sx), top = static_cast<int>(source.y * sy);
    const int right = static_cast<int>((static_cast<double>(source.x) + source.width) * sx);
    const int bottom = static_cast<int>((static_cast<double>(source.y) + source.height) * sy);
    return TRect32{destination.x + left, destination.y + top, right - left, bottom - top};
}

void CDIB::CloseAll()
{
    fullScreen = 0;
    FreeSlots();
    delete spareSurface;
    delete stage;
    spareSurface = stage = nullptr;
}

void CDIB::FreeSlots()
{
    for (int i = 0; i < slotCount; ++i) delete slots[i];
    MemFree(slots);
    slots = nullptr;
    slotCount = 0;
}
