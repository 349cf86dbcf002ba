// preview_host: a small window that plays the part of the display settings' monitor picture, so the
// saver's preview can be watched by hand. Usage: preview_host [path of nimbra.scr]
#include <windows.h>

#include <cstdio>

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const char* saver = commandLine[0] != '\0' ? commandLine : "nimbra.scr";
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = HostProc;
    hostClass.hInstance = instance;
    hostClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    hostClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    hostClass.lpszClassName = "PreviewHost";
    RegisterClassA(&hostClass);
    HWND host = CreateWindowExA(0, "PreviewHost", "preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 340, 280,
                                nullptr, nullptr, instance, nullptr);
    RECT client;
    GetClientRect(host, &client);
    HWND monitor = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, client.right - 20,
                                   client.bottom - 20, host, nullptr, instance, nullptr);

    char line[MAX_PATH + 32];
    snprintf(line, sizeof line, "\"%s\" /p %lu", saver, static_cast<unsigned long>(reinterpret_cast<uintptr_t>(monitor)));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        MessageBoxA(host, line, "cannot start", MB_OK);
        return 1;
    }
    CloseHandle(process.hThread);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // The preview ends when its parent is gone.
    WaitForSingleObject(process.hProcess, 3000);
    CloseHandle(process.hProcess);
    return 0;
}
