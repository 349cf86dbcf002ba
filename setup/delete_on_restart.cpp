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

}  // namespace

int AddToWininit(const char* iniPath, const char* path)
{
    char shortPath[kPathBytes];
    DWORD length = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (length == 0 || length >= sizeof shortPath) {
        // No short form (a file system without one): the path as it is.
        if (strlen(path) >= sizeof shortPath) return -1;
        strcpy(shortPath, path);
    }
    FlushProfileCache(iniPath);
    HANDLE file = CreateFileA(iniPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    int result = -1;
    DWORD size = GetFileSize(file, nullptr);
    char* text = size == INVALID_FILE_SIZE || size > kWininitLimit ? nullptr : static_cast<char*>(malloc(size + 1));
    DWORD got = 0;
    GrowBuffer rebuilt;
    if (text != nullptr && ReadFile(file, text, size, &got, nullptr) && got == size &&
        AddDeleteEntry(text, size, shortPath, rebuilt) == WininitEdit::Done) {
        // Room for the whole new text is taken first: a full disk refuses it before a byte changes.
        DWORD written = 0;
        if (SetFilePointer(file, static_cast<LONG>(rebuilt.size), nullptr, FILE_BEGIN) == rebuilt.size &&
            SetEndOfFile(file) && SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
            WriteFile(file, rebuilt.data, static_cast<DWORD>(rebuilt.size), &written, nullptr) &&
            written == rebuilt.size) {
            result = 0;
        } else {
            // Put the old text back as well as the file still allows.
            SetFilePointer(file, 0, nullptr, FILE_BEGIN);
            WriteFile(file, text, size, &written, nullptr);
            SetEndOfFile(file);
        }
    }
    free(text);
    GrowFree(rebuilt);
    CloseHandle(file);
    FlushProfileCache(iniPath);
    return result;
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
