// CDIB: owns the stage and the slot surfaces; loads pictures into slots; presents with StretchBlt.
#include "render/display_context.h"

#include <new>

#include "imagefile/mem_alloc.h"

CDIB::CDIB(HWND window_)
    : stage(nullptr), spareSurface(nullptr), slots(nullptr), slotCount(0), window(window_), fullScreen(0),
      stageWidth(0), stageHeight(0), stageBits(0), viewWidth(0), viewHeight(0)
{
}

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
    CDIBSurface** table =
        static_cast<CDIBSurface**>(MemAlloc(static_cast<DWORD>((count > 0 ? count : 1) * sizeof(CDIBSurface*))));
    if (table == nullptr) return -1;
    slots = table;
    slotCount = count;
    return 0;
}

void CDIB::SetStageFormat(int width, int height, int bits)
{
    stageWidth = width;
    stageHeight = height;
    stageBits = bits;
}

void CDIB::SetViewSize(int width, int height)
{
    viewWidth = width;
    viewHeight = height;
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
    if (stage == nullptr) return -1;
    if (stage->Create(width, height) != 0) {
        delete stage;
        stage = nullptr;
        return -1;
    }
    return 0;
}

int CDIB::CreateSlot(int index)
{
    if (slots == nullptr || index < 0 || index >= slotCount) return -1;
    delete slots[index];
    slots[index] = new (std::nothrow) CDIBSurface(window);
    return slots[index] != nullptr ? 0 : -1;
}

int CDIB::LoadFile(int index, const char* path, const RGBQUAD* palette)
{
    if (slots == nullptr || index < 0 || index >= slotCount) return -1;
    if (slots[index] == nullptr && CreateSlot(index) != 0) return -1;
    return slots[index]->LoadImageFile(path, palette);
}

CDIBSurface* CDIB::GetSurface(int index)
{
    if (index == kSpareIndex) return spareSurface;
    if (index == kStageIndex) return stage;
    if (index < kSpareIndex || index >= slotCount || slots == nullptr) return nullptr;
    return slots[index];
}

void CDIB::StretchToWindow(const TRect32& target, const TRect32& source)
{
    HDC dc = GetDC(window);
    SetStretchBltMode(dc, COLORONCOLOR);
    // A stretched rectangle (a strip or the whole stage with "Fit Screen") is drawn by row copies, which
    // show the same pixels in a fraction of StretchBlt's time; one-to-one copies and the small preview
    // are cheap enough through GDI.
    const bool stretched = target.width != source.width || target.height != source.height;
    const bool large = static_cast<long long>(target.width) * target.height >= 0x2000;
    if (!stretched || !large ||
        !scaledCopy.Draw(dc, target.x, target.y, target.width, target.height, stage, source.x, source.y,
                         source.width, source.height))
        StretchBlt(dc, target.x, target.y, target.width, target.height, stage->GetMemDC(), source.x, source.y,
                   source.width, source.height, SRCCOPY);
    ReleaseDC(window, dc);
}

void CDIB::Present(const TRect32* destination, const TRect32* source)
{
    if (destination == nullptr || stage == nullptr) return;
    TRect32 whole = {0, 0, stageWidth, stageHeight};
    StretchToWindow(*destination, source != nullptr ? *source : whole);
}

void CDIB::PresentScaled(const TRect32* destination, const TRect32* source)
{
    if (destination == nullptr || stage == nullptr) return;
    if (source == nullptr) {
        Present(destination, nullptr);
        return;
    }
    StretchToWindow(ScaledTarget(*destination, *source, stageWidth, stageHeight), *source);
}

TRect32 ScaledTarget(const TRect32& destination, const TRect32& source, int stageWidth, int stageHeight)
{
    // A stage of no width or height has nothing to scale: nothing lands anywhere.
    if (stageWidth <= 0 || stageHeight <= 0) return TRect32{destination.x, destination.y, 0, 0};
    const double sx = static_cast<double>(destination.width) / stageWidth;
    const double sy = static_cast<double>(destination.height) / stageHeight;
    // Both edges come from scaled stage positions, each truncated toward zero: rectangles that meet on
    // the stage meet on the window too, so strips drawn side by side leave no column between them.
    const int left = static_cast<int>(source.x * sx);
    const int top = static_cast<int>(source.y * sy);
    const int right = static_cast<int>((static_cast<double>(source.x) + source.width) * sx);
    const int bottom = static_cast<int>((static_cast<double>(source.y) + source.height) * sy);
    return TRect32{destination.x + left, destination.y + top, right - left, bottom - top};
}

void CDIB::CloseAll()
{
    fullScreen = 0;
    FreeSlots();
    delete spareSurface;
    spareSurface = nullptr;
    delete stage;
    stage = nullptr;
    scaledCopy.Release();
}

void CDIB::FreeSlots()
{
    if (slotCount == 0 && slots == nullptr) return;
    for (int i = 0; i < slotCount; ++i) {
        delete slots[i];
        slots[i] = nullptr;
    }
    MemFree(slots);
    slots = nullptr;
    slotCount = 0;
}
