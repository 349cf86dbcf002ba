// The installer's run mode from its command line. Plain code without <windows.h>: the command line
// comes from whoever started the program.
#pragma once

enum class SetupMode { Interactive, Relocate, Uninstall };

// The argument text is what follows the program name and the blanks behind it, compared whole and
// ignoring letter case: "/r" relocates, "/x" uninstalls, anything else is the interactive installer.
// An unquoted program name ends at its first blank, so an unquoted command of a program in a folder
// with blanks ("C:\Program Files\...\setup.exe /r", as the uninstall entry stores it) has more
// argument text; such a command still selects the switch when its text before the final blank and
// switch ends in programName (the running program's file name, without folder).
SetupMode ParseSetupCommandLine(const char* commandLine, const char* programName);
