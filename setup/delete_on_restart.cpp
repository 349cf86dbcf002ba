// Deletion at the next restart. The "WININIT.INI" edit reads the section's lines itself, since the
// profile functions give every "NUL=" key the first one's value, and rewrites the file only through a
// handle it already holds, so that a file it cannot write keeps every earlier entry.
#include "setup/delete_on_restart.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "setup/cp932_path.h"
#include "setup/wininit_text.h"

namespace {

// Windows 95 reads no more than this of the file; anything larger is not one it wrote.
const DWORD kWininitLimit = 1 << 20;

// Makes the profile functions forget what they cached of the file, before and after the edit.
void FlushProfileCache(const char* iniPath) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniPath); }

// The file's short (8.3) path, which is what Windows 95 reads at its start; the path as it is on a
// file system without short names. False when it does not fit.
bool ShortPathOf(const char* path, char* shortPath)
{
    DWORD length = GetShortPathNameA(path, shortPath, kPathBytes);
    if (length != 0 && length < kPathBytes) return true;
    if (strlen(path) >= kPathBytes) return false;
    strcpy(shortPath, path);
    return true;
}

// The whole file through its handle, or null (also for a file larger than Windows 95 would write).
char* ReadWhole(HANDLE file, DWORD* size)
{
    *size = GetFileSize(file, nullptr);
    if (*size == INVALID_FILE_SIZE || *size > kWininitLimit) return nullptr;
    char* text = static_cast<char*>(malloc(*size + 1));
    DWORD got = 0;
    if (text != nullptr && ReadFile(file, text, *size, &got, nullptr) && got == *size) return text;
    free(text);
    return nullptr;
}

// Replaces the file's content with the rebuilt text. Room for the whole new text is taken first, so a
// full disk refuses it before a byte changes; if the write still fails, the old text goes back.
bool WriteRebuilt(HANDLE file, const GrowBuffer& rebuilt, const char* old, DWORD oldSize)
{
    DWORD written = 0;
    if (SetFilePointer(file, static_cast<LONG>(rebuilt.size), nullptr, FILE_BEGIN) == rebuilt.size &&
        SetEndOfFile(file) && SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
        WriteFile(file, rebuilt.data, static_cast<DWORD>(rebuilt.size), &written, nullptr) && written == rebuilt.size)
        return true;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    WriteFile(file, old, oldSize, &written, nullptr);
    SetEndOfFile(file);
    return false;
}

}  // namespace

int AddToWininit(const char* iniPath, const char* path)
{
    char shortPath[kPathBytes];
    if (!ShortPathOf(path, shortPath)) return -1;
    FlushProfileCache(iniPath);
    HANDLE file = CreateFileA(iniPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    DWORD size = 0;
    char* text = ReadWhole(file, &size);
    GrowBuffer rebuilt;
    bool done = text != nullptr && AddDeleteEntry(text, size, shortPath, rebuilt) == WininitEdit::Done &&
                WriteRebuilt(file, rebuilt, text, size);
    free(text);
    GrowFree(rebuilt);
    CloseHandle(file);
    FlushProfileCache(iniPath);
    return done ? 0 : -1;
}

void ScheduleDeleteOnRestart(const char* path)
{
    if (MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return;
    char windows[kPathBytes];
    char iniPath[kPathBytes];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows || JoinPath(iniPath, sizeof iniPath, windows, "WININIT.INI") != 0) return;
    AddToWininit(iniPath, path);
}
