// The saver window, its input rules and close sequence, and the message loop that runs the show.
#include "saver/saver_window.h"

#include <cstdlib>
#include <new>

#include "render/display_context.h"
#include "saver/frame_thread.h"
#include "saver/password.h"
#include "saver/screen_layout.h"
#include "saver/settings.h"

namespace {

const char kClassName[] = "ScrClass";

SaverWindowContext* Self(HWND window)
{
    return reinterpret_cast<SaverWindowContext*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool InSaverMode(const SaverWindowContext& self) { return self.mode == RunMode::Saver; }

// The input rules hold in Saver mode while no password dialog is up.
bool RulesApply(const SaverWindowContext& self) { return InSaverMode(self) && self.settings->passwordActive == 0; }

ScreenMetrics ReadScreenMetrics()
{
    return ScreenMetrics{GetSystemMetrics(SM_CXSCREEN),        GetSystemMetrics(SM_CYSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN),  GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

HWND CreateSaverWindow(HINSTANCE instance, SaverWindowContext& self, HWND parent)
{
    if (InSaverMode(self)) {
        self.fullScreen = FullScreenLayout(ReadScreenMetrics());
        const TRect32& at = self.fullScreen.window;
        return CreateWindowExA(WS_EX_TOPMOST, kClassName, "SaverWindow", WS_POPUP | WS_VISIBLE, at.x, at.y,
                               at.width, at.height, nullptr, nullptr, instance, &self);
    }
    RECT area = {0, 0, 0, 0};
    GetWindowRect(parent, &area);
    return CreateWindowExA(0, kClassName, "SaverPreview", WS_CHILD | WS_VISIBLE, 0, 0, area.right - area.left,
                           area.bottom - area.top, parent, nullptr, instance, &self);
}

void ClearAndPlaceView(const SaverWindowContext& self, HWND window)
{
    HDC dc = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // Full screen, the stage stays on the primary monitor; the other monitors show the black around it.
    const unsigned fit = self.settings->fitScreen;
    TRect32 view = InSaverMode(self) ? FullScreenView(self.fullScreen, fit)
                                     : ComputeViewRect(client.right, client.bottom, fit);
    self.settings->SetViewRect(view.x, view.y, view.width, view.height);
    ReleaseDC(window, dc);
}

void OnMouseMove(TSaverSettings& s)
{
    POINT now;
    GetCursorPos(&now);
    if (abs(now.x - s.cursorOrigin.x) > s.mouseThreshold || abs(now.y - s.cursorOrigin.y) > s.mouseThreshold)
        s.RequestClose();
}

void OnCreate(TSaverSettings& s, HWND window)
{
    s.window = window;
    GetCursorPos(&s.cursorOrigin);
    s.startTick = GetTickCount();
}

void OnClose(TSaverSettings& s, HWND window)
{
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

void SetupStage(CDIB& display)
{
    display.SetSlotCount(4);
    display.SetStageFormat(kStageWidth, kStageHeight, 32);
    display.SetViewSize(kStageWidth, kStageHeight);
    display.OpenStage(0);
}

void RunSaver(HINSTANCE instance, TSaverSettings& settings, RunMode mode, HWND parent)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverWndProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    SaverWindowContext self = {&settings, mode, {}};
    HWND window = CreateSaverWindow(instance, self, parent);
    if (window == nullptr) return;

    // Without memory for the display context there is nothing to show on: the window goes at once.
    FrameThreadShow show = {&settings, new (std::nothrow) CDIB(window), {}};
    // Only the Windows 95 family knows the flag that a saver runs (it then refuses Ctrl+Alt+Del and task
    // switching); where the system refuses it, it is not cleared at the end either.
    bool announced = false;
    UINT previous = 0;
    if (show.display == nullptr) {
        DestroyWindow(window);
    } else {
        SetupStage(*show.display);
        if (InSaverMode(self)) announced = SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, &previous, 0) != 0;
        ClearAndPlaceView(self, window);
        if (!StartFrameThread(&show)) DestroyWindow(window);
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    delete show.display;
    if (announced) SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &previous, 0);
}

LRESULT CALLBACK SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    SaverWindowContext* self = Self(window);
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    TSaverSettings& settings = *self->settings;
    switch (message) {
    case WM_CREATE:
        OnCreate(settings, window);
        break;
    case WM_DESTROY:
        StopFrameThread();
        PostQuitMessage(0);
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (RulesApply(*self) && LOWORD(wParam) == 0) settings.RequestClose();
        break;
    case WM_SETCURSOR:
        SetCursor(RulesApply(*self) ? nullptr : LoadCursorA(nullptr, IDC_ARROW));
        break;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (RulesApply(*self)) settings.RequestClose();
        break;
    case WM_MOUSEMOVE:
        if (RulesApply(*self)) OnMouseMove(settings);
        break;
    case WM_SYSCOMMAND:
        if (InSaverMode(*self) && (wParam == SC_SCREENSAVE || wParam == SC_CLOSE)) return 0;
        break;
    case WM_CLOSE:
        if (InSaverMode(*self)) {
            OnClose(settings, window);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
