// The saver window, its input rules and close sequence, and the message loop that runs the show.
#include "saver/saver_window.h"

#include <cstdlib>
#include <new>

#include "render/display_context.h"
#include "saver/frame_thread.h"
#include "saver/password.h"
#include "saver/saver_entry.h"
#include "saver/screen_layout.h"
#include "saver/settings.h"

HWND saverWindow;
CDIB* displayContext;

namespace {

bool InSaverMode() { return runMode == RunMode::Saver; }

// The input rules hold in Saver mode while no password dialog is up.
bool RulesApply() { return InSaverMode() && saverSettings->passwordActive == 0; }

// Saver mode: the full-screen window over every monitor, with the primary monitor's place in it.
ScreenLayout fullScreen;

ScreenMetrics ReadScreenMetrics()
{
    return ScreenMetrics{GetSystemMetrics(SM_CXSCREEN),        GetSystemMetrics(SM_CYSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN),  GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

HWND CreateSaverWindow(HWND parent)
{
    if (InSaverMode()) {
        fullScreen = FullScreenLayout(ReadScreenMetrics());
        const TRect32& at = fullScreen.window;
        return CreateWindowExA(WS_EX_TOPMOST, "ScrClass", "SaverWindow", WS_POPUP | WS_VISIBLE, at.x, at.y, at.width,
                               at.height, nullptr, nullptr, saverInstance, nullptr);
    }
    RECT area = {0, 0, 0, 0};
    GetWindowRect(parent, &area);
    return CreateWindowExA(0, "ScrClass", "SaverPreview", WS_CHILD | WS_VISIBLE, 0, 0, area.right - area.left,
                           area.bottom - area.top, parent, nullptr, saverInstance, nullptr);
}

void ClearAndPlaceView(HWND window)
{
    HDC dc = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // Full screen, the stage stays on the primary monitor; the other monitors show the black around it.
    const unsigned fit = saverSettings->fitScreen;
    TRect32 view = InSaverMode() ? FullScreenView(fullScreen, fit) : ComputeViewRect(client.right, client.bottom, fit);
    saverSettings->SetViewRect(view.x, view.y, view.width, view.height);
    ReleaseDC(window, dc);
}

void OnMouseMove()
{
    POINT now;
    GetCursorPos(&now);
    const TSaverSettings& s = *saverSettings;
    if (abs(now.x - s.cursorOrigin.x) > s.mouseThreshold || abs(now.y - s.cursorOrigin.y) > s.mouseThreshold)
        saverSettings->RequestClose();
}

void OnClose(HWND window)
{
    TSaverSettings& s = *saverSettings;
    if (s.closeRequested == 0 || s.passwordActive == 1) return;
    BOOL allowed = TRUE;
    DWORD elapsed = GetTickCount() - s.startTick;
    if (elapsed > s.passwordDelay * 1000u) {
        s.BeginPasswordCheck();
        allowed = VerifyPassword(window);
        s.EndPasswordCheck();
    }
    if (allowed) DestroyWindow(window);
}

}  // namespace

int SetupStage()
{
    displayContext->SetSlotCount(4);
    displayContext->SetStageFormat(kStageWidth, kStageHeight, 32);
    displayContext->SetViewSize(kStageWidth, kStageHeight);
    displayContext->OpenStage(0);
    return 0;
}

void RunSaver(HWND parent)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverWndProc;
    windowClass.hInstance = saverInstance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "ScrClass";
    RegisterClassA(&windowClass);

    saverWindow = CreateSaverWindow(parent);
    if (saverWindow == nullptr) return;

    // Without memory for the display context there is nothing to show on: the window goes at once.
    displayContext = new (std::nothrow) CDIB(saverWindow);
    bool announced = displayContext != nullptr && InSaverMode();
    UINT previous = 0;
    if (displayContext == nullptr) {
        DestroyWindow(saverWindow);
    } else {
        SetupStage();
        if (announced) SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, &previous, 0);
        ClearAndPlaceView(saverWindow);
        if (!StartFrameThread()) DestroyWindow(saverWindow);
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    delete displayContext;
    displayContext = nullptr;
    if (announced) SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &previous, 0);
}

LRESULT CALLBACK SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        saverSettings->window = window;
        GetCursorPos(&saverSettings->cursorOrigin);
        saverSettings->startTick = GetTickCount();
        break;
    case WM_DESTROY:
        StopFrameThread();
        PostQuitMessage(0);
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (RulesApply() && LOWORD(wParam) == 0) saverSettings->RequestClose();
        break;
    case WM_SETCURSOR:
        SetCursor(RulesApply() ? nullptr : LoadCursorA(nullptr, IDC_ARROW));
        break;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (RulesApply()) saverSettings->RequestClose();
        break;
    case WM_MOUSEMOVE:
        if (RulesApply()) OnMouseMove();
        break;
    case WM_SYSCOMMAND:
        if (InSaverMode() && (wParam == SC_SCREENSAVE || wParam == SC_CLOSE)) return 0;
        break;
    case WM_CLOSE:
        if (InSaverMode()) {
            OnClose(window);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
