// Start-up and dispatch: one run mode, one activity, then the settings record is released.
#include "saver/saver_entry.h"

#include <new>

#include "saver/command_line.h"
#include "saver/config_dialog.h"
#include "saver/password.h"
#include "saver/resource.h"
#include "saver/saver_window.h"
#include "saver/settings.h"

HINSTANCE saverInstance;
RunMode runMode = RunMode::None;
TSaverSettings* saverSettings;

namespace {

HWND ToHandle(int32_t number)
{
    return reinterpret_cast<HWND>(static_cast<intptr_t>(number));
}

}  // namespace

int SaverMain(HINSTANCE instance, const char* commandLine)
{
    saverInstance = instance;
    DecodedCommandLine decoded = DecodeCommandLine(commandLine);
    runMode = decoded.mode;
    HWND handle = decoded.ownerFromForeground ? GetForegroundWindow() : ToHandle(decoded.handle);

    saverSettings = new (std::nothrow) TSaverSettings;
    if (saverSettings == nullptr) return 0;  // nothing can run without the record
    saverSettings->ReadSystemSettings();
    saverSettings->ReadSettings();

    switch (runMode) {
    case RunMode::ChangePassword:
        ChangeSaverPassword(handle);
        break;
    case RunMode::Configure:
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONFIG), handle, ConfigDlgProc, 0);
        break;
    case RunMode::Preview:
        RunSaver(handle);
        break;
    case RunMode::Saver:
        RunSaver(nullptr);
        break;
    case RunMode::None:
        break;
    }

    delete saverSettings;
    saverSettings = nullptr;
    return 0;
}
