// The full-screen window over the virtual screen, and the stage's place on the primary monitor in it.
#include "saver/screen_layout.h"

ScreenLayout FullScreenLayout(const ScreenMetrics& m)
{
    // Windows 95 and NT 4.0 give four zeros, which hold no primary monitor either.
    const bool holdsPrimary = m.virtualX <= 0 && m.virtualY <= 0 && m.virtualX + m.virtualWidth >= m.screenWidth &&
                              m.virtualY + m.virtualHeight >= m.screenHeight;
    if (!holdsPrimary)
        return ScreenLayout{{0, 0, m.screenWidth, m.screenHeight}, {0, 0, m.screenWidth, m.screenHeight}};
    // The window's client coordinates start at the virtual screen's corner, so the primary monitor's
    // corner, (0, 0) on the screen, lies at minus that corner in the window.
    return ScreenLayout{{m.virtualX, m.virtualY, m.virtualWidth, m.virtualHeight},
                        {-m.virtualX, -m.virtualY, m.screenWidth, m.screenHeight}};
}

TRect32 ComputeViewRect(int clientWidth, int clientHeight, unsigned fitScreen)
{
    if (fitScreen == 0 && clientWidth >= kStageWidth && clientHeight >= kStageHeight)
        return TRect32{(clientWidth - kStageWidth) / 2, (clientHeight - kStageHeight) / 2, kStageWidth, kStageHeight};
    return TRect32{0, 0, clientWidth, clientHeight};
}

TRect32 FullScreenView(const ScreenLayout& layout, unsigned fitScreen)
{
    TRect32 view = ComputeViewRect(layout.primary.width, layout.primary.height, fitScreen);
    view.x += layout.primary.x;
    view.y += layout.primary.y;
    return view;
}
