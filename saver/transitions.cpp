// Transition effects. Each call draws one step on the stage and presents what it changed.
#include "saver/transitions.h"

#include "render/display_context.h"
#include "saver/saver_entry.h"
#include "saver/saver_window.h"
#include "saver/settings.h"

namespace {

const int kStrips = 32;
const int kStripWidth = 20;
const int kWipeSteps = 60;
const int kBlock = 16;
const int kDissolveFrames = 16;

// Shows a changed stage rectangle on the window: the whole stage in a view narrower than the stage
// (the preview), at its scaled place in any other view that is not the stage's own size ("Fit
// Screen", or a screen too low for the stage), one to one inside a centred view.
void PresentChanged(int x, int y, int width, int height)
{
    const TRect32& view = saverSettings->viewRect;
    TRect32 changed = {x, y, width, height};
    if (view.width < kStageWidth) {
        displayContext->Present(&view, nullptr);
    } else if (view.width != kStageWidth || view.height != kStageHeight) {
        displayContext->PresentScaled(&view, &changed);
    } else {
        TRect32 at = {view.x + x, view.y + y, width, height};
        displayContext->Present(&at, &changed);
    }
}

}  // namespace

int StripWipe(TransitionState* state)
{
    if (state->phase == 0) {
        state->wipe.stagger = -kStrips;
        state->wipe.step = 0;
        state->phase = 1;
    }
    if (state->wipe.step >= kWipeSteps) return -1;
    CDIBSurface* stage = displayContext->GetSurface(CDIB::kStageIndex);
    CDIBSurface* source = displayContext->GetSurface(state->wipe.sourceSlot);
    for (int i = 0; i < kStrips; ++i) {
        int width = i + state->wipe.stagger;
        if (width < 0 || width > kStripWidth) continue;
        if (stage != nullptr && source != nullptr)
            stage->CopyFrom(kStripWidth * i, 0, source, kStripWidth * i, 0, width, kStageHeight);
        PresentChanged(kStripWidth * i, 0, width, kStageHeight);
    }
    state->wipe.stagger += 1;
    state->wipe.step += 1;
    return 0;
}

int SmearDown(TransitionState* state)
{
    if (state->phase == 0) {
        state->smear.row = 2;
        state->phase = 1;
    }
    int row = state->smear.row;
    if (row >= kStageHeight) return -1;
    CDIBSurface* stage = displayContext->GetSurface(CDIB::kStageIndex);
    if (stage != nullptr) {
        for (int y = row; y >= 0; --y) stage->CopyFrom(0, y, stage, 0, row, kStageWidth, 1);
    }
    PresentChanged(0, 0, kStageWidth, row);
    state->smear.row = row + 2;
    return 0;
}

void MaskedBlockCopy(int destination, int dx, int dy, int mask, int mx, int my, int source)
{
    CDIBSurface* to = displayContext->GetSurface(destination);
    CDIBSurface* maskSurface = displayContext->GetSurface(mask);
    CDIBSurface* from = displayContext->GetSurface(source);
    if (to == nullptr || maskSurface == nullptr || from == nullptr) return;
    for (int i = 0; i < kBlock; ++i) {
        // A row is used only when its first and last pixel exist in every surface.
        DWORD* out = to->PixelPtr(dx, dy + i);
        const DWORD* bits = maskSurface->PixelPtr(mx, my + i);
        const DWORD* in = from->PixelPtr(dx, dy + i);
        if (out == nullptr || bits == nullptr || in == nullptr) continue;
        if (to->PixelPtr(dx + kBlock - 1, dy + i) == nullptr || maskSurface->PixelPtr(mx + kBlock - 1, my + i) == nullptr ||
            from->PixelPtr(dx + kBlock - 1, dy + i) == nullptr)
            continue;
        for (int j = 0; j < kBlock; ++j) {
            if ((bits[j] & 0xFF) == 0) out[j] = in[j];
        }
    }
}

int MaskDissolve(TransitionState* state)
{
    if (state->phase == 0) {
        state->dissolve.frame = 0;
        state->phase = 1;
    }
    int frame = state->dissolve.frame;
    if (frame >= kDissolveFrames) return -1;
    int mx = kBlock * frame + state->dissolve.maskX;
    for (int by = 0; by < kStageHeight; by += kBlock) {
        for (int bx = 0; bx < kStageWidth; bx += kBlock)
            MaskedBlockCopy(CDIB::kStageIndex, bx, by, state->dissolve.maskSlot, mx, state->dissolve.maskY,
                            state->dissolve.sourceSlot);
    }
    displayContext->Present(&saverSettings->viewRect, nullptr);
    state->dissolve.frame = frame + 1;
    return 0;
}
