// Start-up and dispatch: one run mode, one activity, then the settings record is released.
#include "saver/saver_entry.h"

#include <new>

#include "saver/command_line.h"
#include "saver/config_dialog.h"
#include "saver/password.h"
#include "saver/resource.h"
#include "saver/saver_window.h"
#include "saver/settings.h"

namespace {

HWND ToHandle(int32_t number)
{
    return reinterpret_cast<HWND>(static_cast<intptr_t>(number));
}

}  // namespace

int SaverMain(HINSTANCE instance, const char* commandLine)
{
    DecodedCommandLine decoded = DecodeCommandLine(commandLine);
    HWND handle = decoded.ownerFromForeground ? GetForegroundWindow() : ToHandle(decoded.handle);

    TSaverSettings* settings = new (std::nothrow) TSaverSettings;
    if (settings == nullptr) return 0;  // nothing can run without the record
    settings->ReadSystemSettings();
    settings->ReadSettings();

    switch (decoded.mode) {
    case RunMode::ChangePassword:
        ChangeSaverPassword(handle);
        break;
    case RunMode::Configure:
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONFIG), handle, ConfigDlgProc,
                        reinterpret_cast<LPARAM>(settings));
        break;
    case RunMode::Preview:
        RunSaver(instance, *settings, decoded.mode, handle);
        break;
    case RunMode::Saver:
        RunSaver(instance, *settings, decoded.mode, nullptr);
        break;
    case RunMode::None:
        break;
    }

    delete settings;
    return 0;
}
