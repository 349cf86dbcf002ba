// TSaverSettings: the saver's settings from the registry, the saver window's input state and the
// slideshow's state, in one record that lives for the whole run.
#pragma once

#include <windows.h>

#include "imagefile/show_shape.h"
#include "saver/transition_state.h"

// Every field is 32 bits wide, in the record's long-standing order. Two are kept though nothing acts on
// them: muteSound is read from the system's key (the show has no sound), reserved is only cleared.
struct TSaverSettings {
    TSaverSettings();

    void ReadSystemSettings();  // "Password Delay", "Mouse Threshold", "Mute Sound"
    void ReadSettings();        // the saver's own "Fit Screen" and "Path"
    void WriteSettings();

    // Used by the saver window.
    void RequestClose();
    void BeginPasswordCheck();
    void EndPasswordCheck();
    void SetViewRect(int x, int y, int width, int height);

    HWND window;
    UINT passwordDelay;     // seconds after creation during which a close needs no password
    int mouseThreshold;     // pixels of travel, in x or in y, that end the show
    UINT muteSound;
    POINT cursorOrigin;
    DWORD startTick;
    int reserved;
    int passwordActive;
    int closeRequested;
    UINT fitScreen;         // non-zero: stretch the stage over the whole window
    TRect32 viewRect;       // where the stage goes on the window
    int showPhase;
    int holdTicks;
    TransitionStepProc transitionStep;
};

// Folder of the picture files; empty until the settings are read.
extern char slideFolder[MAX_PATH];

extern const char kSystemSaverKey[];  // Software\Microsoft\Windows\CurrentVersion\Screen Savers
extern const char kSaverKey[];        // Software\Varnel\Ithra Saver
