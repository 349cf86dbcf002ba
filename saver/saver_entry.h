// The saver's entry: decodes the command line, loads the settings, runs one activity.
#pragma once

#include <windows.h>

// Runs the activity the command line asks for; returns the exit code (always 0).
int SaverMain(HINSTANCE instance, const char* commandLine);
