// Having a file deleted at the next start of Windows: through the file system where it takes such
// requests (NT family), otherwise through the "[Rename]" section of "WININIT.INI" (Windows 95 family).
#pragma once

void ScheduleDeleteOnRestart(const char* path);

// Adds "NUL=" and the short form of path to the "[Rename]" section of the file iniPath (created when
// missing). 0 when written; -1 when the file cannot be read or rewritten or the section is full,
// in which case the file is left exactly as it was.
int AddToWininit(const char* iniPath, const char* path);
