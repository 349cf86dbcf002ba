// Transition effects. Each call draws one step on the stage and presents what it changed.
#include "saver/transitions.h"

#include "render/display_context.h"

namespace {

const int kStrips = 32;
const int kStripWidth = 20;
const int kWipeSteps = 60;

// Shows a changed stage rectangle on the window: the whole stage in a view narrower than the stage
// (the preview), at its scaled place in any other view that is not the stage's own size ("Fit
// Screen", or a screen too low for the stage), one to one inside a centred view.
void PresentChanged(CDIB& display, const TRect32& view, int x, int y, int width, int height)
{
    TRect32 changed = {x, y, width, height};
    if (view.width < kStageWidth) {
        display.Present(&view, nullptr);
    } else if (view.width != kStageWidth || view.height != kStageHeight) {
        display.PresentScaled(&view, &changed);
    } else {
        TRect32 at = {view.x + x, view.y + y, width, height};
        display.Present(&at, &changed);
    }
}

}  // namespace

int StripWipe(TransitionState* state, CDIB& display, const TRect32& view)
{
    if (state->phase == 0) {
        state->wipe.stagger = -kStrips;
        state->wipe.step = 0;
        state->phase = 1;
    }
    if (state->wipe.step >= kWipeSteps) return -1;
    CDIBSurface* stage = display.GetSurface(CDIB::kStageIndex);
    CDIBSurface* source = display.GetSurface(state->wipe.sourceSlot);
    for (int i = 0; i < kStrips; ++i) {
        int width = i + state->wipe.stagger;
        if (width < 0 || width > kStripWidth) continue;
        if (stage != nullptr && source != nullptr)
            stage->CopyFrom(kStripWidth * i, 0, source, kStripWidth * i, 0, width, kStageHeight);
        PresentChanged(display, view, kStripWidth * i, 0, width, kStageHeight);
    }
    state->wipe.stagger += 1;
    state->wipe.step += 1;
    return 0;
}

int SmearDown(TransitionState* state, CDIB& display, const TRect32& view)
{
    if (state->phase == 0) {
        state->smear.row = 2;
        state->phase = 1;
    }
    int row = state->smear.row;
    if (row >= kStageHeight) return -1;
    CDIBSurface* stage = display.GetSurface(CDIB::kStageIndex);
    if (stage != nullptr) {
        for (int y = row; y >= 0; --y) stage->CopyFrom(0, y, stage, 0, row, kStageWidth, 1);
    }
    PresentChanged(display, view, 0, 0, kStageWidth, row);
    state->smear.row = row + 2;
    return 0;
}

void MaskedBlockCopy(CDIB& display, int destination, int dx, int dy, int mask, int mx, int my, int source)
{
    CDIBSurface* to = display.GetSurface(destination);
    CDIBSurface* maskSurface = display.GetSurface(mask);
    CDIBSurface* from = display.GetSurface(source);
    if (to == nullptr || maskSurface == nullptr || from == nullptr) return;
    for (int i = 0; i < kMaskBlock; ++i) {
        // A row is used only when its first and last pixel exist in every surface.
        DWORD* out = to->PixelPtr(dx, dy + i);
        const DWORD* bits = maskSurface->PixelPtr(mx, my + i);
        const DWORD* in = from->PixelPtr(dx, dy + i);
        if (out == nullptr || bits == nullptr || in == nullptr) continue;
        const int last = kMaskBlock - 1;
        if (to->PixelPtr(dx + last, dy + i) == nullptr || maskSurface->PixelPtr(mx + last, my + i) == nullptr ||
            from->PixelPtr(dx + last, dy + i) == nullptr)
            continue;
        for (int j = 0; j < kMaskBlock; ++j) {
            if ((bits[j] & 0xFF) == 0) out[j] = in[j];
        }
    }
}

int MaskDissolve(TransitionState* state, CDIB& display, const TRect32& view)
{
    if (state->phase == 0) {
        state->dissolve.frame = 0;
        state->phase = 1;
    }
    int frame = state->dissolve.frame;
    if (frame >= kMaskFrames) return -1;
    int mx = kMaskBlock * frame + state->dissolve.maskX;
    for (int by = 0; by < kStageHeight; by += kMaskBlock) {
        for (int bx = 0; bx < kStageWidth; bx += kMaskBlock)
            MaskedBlockCopy(display, CDIB::kStageIndex, bx, by, state->dissolve.maskSlot, mx, state->dissolve.maskY,
                            state->dissolve.sourceSlot);
    }
    display.Present(&view, nullptr);
    state->dissolve.frame = frame + 1;
    return 0;
}
