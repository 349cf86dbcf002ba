// File copying: new files written in place, existing ones replaced by a complete copy made beside
// them; one buffer per file; progress shown a few times a second.
#include "setup/file_copy.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "setup/copy_list.h"
#include "setup/copy_list_text.h"
#include "setup/folder_chain.h"
#include "setup/pump_messages.h"
#include "setup/resource.h"
#include "setup/uninstall_log.h"
#include "setup/windows_family.h"

namespace {

int Percent(long long part, long long whole)
{
    if (whole <= 0) return 100;
    double percent = static_cast<double>(part) / static_cast<double>(whole) * 100.0;
    return percent >= 100.0 ? 100 : static_cast<int>(percent);
}

// Progress is shown, and the message queue pumped, at most every kProgressMs: every message is
// fetched, dispatched and drawn, which at a few per file or chunk costs as much as copying small files
// itself, and no eye follows faster. The first showing of a run, its first file's name and its end
// are never held back.
const DWORD kProgressMs = 40;

void PostPosition(HWND bar, int position, int* shown)
{
    if (bar == nullptr || position == *shown) return;
    PostMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    *shown = position;
}

// Shows what changed since the last showing (the file's name and bars) and pumps the messages, when
// the time for it has come or force is set; the cancel command can only arrive here.
void ShowProgress(const SetupState& state, CopyBars& bars, bool force)
{
    DWORD now = GetTickCount();
    bool firstName = bars.nameChanged && !bars.nameShown;
    if (!force && !firstName && bars.shown && now - bars.shownTick < kProgressMs) return;
    bars.shown = true;
    bars.shownTick = now;
    if (bars.nameChanged && bars.name) SetWindowTextA(bars.name, bars.fileName);
    bars.nameShown = bars.nameShown || bars.nameChanged;
    bars.nameChanged = false;
    PostPosition(bars.file, Percent(bars.fileDone, bars.fileSize), &bars.filePosition);
    PostPosition(bars.total, Percent(state.copiedBytes, state.totalBytes), &bars.totalPosition);
    PumpMessages();
}

// Destination folder of a name: screen savers go to the system folder.
const char* TargetFolder(const SetupState& state, const char* name, const char* otherwise)
{
    return IsScreenSaverName(name) ? state.systemFolder : otherwise;
}

bool Cancelled(const SetupState& state) { return state.cancelRequested != 0; }

// Copies the bytes; false on a read or write failure or a cancel request. Writes what was read, to
// the end of the file, so a source that changed size since it was counted is still copied whole.
bool CopyBytes(SetupState& state, HANDLE in, HANDLE out, CopyBars& bars)
{
    long long size = bars.fileSize;
    // No larger than the file (plus a byte to see its end in one read): small files stay cheap.
    DWORD chunk = size + 1 < kCopyChunkBytes ? static_cast<DWORD>(size + 1) : kCopyChunkBytes;
    char* buffer = static_cast<char*>(malloc(chunk));
    if (buffer == nullptr) return false;
    bool ok = true;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, buffer, chunk, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        DWORD written = 0;
        if (!WriteFile(out, buffer, got, &written, nullptr) || written != got) {
            ok = false;
            break;
        }
        bars.fileDone += got;
        state.copiedBytes += got;
        ShowProgress(state, bars, false);
        if (Cancelled(state)) {
            ok = false;
            break;
        }
    }
    free(buffer);
    return ok;
}

// Numbers the temporary files' names; set on first use. (A local static would bring in the thread-safe
// initialisation runtime, whose imports Windows 95 lacks.)
unsigned gTemporaryNumber;

bool AlreadyExists(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

// Creates path for writing only when no file of that name exists (the error is then left for the
// caller); the folders before destination are made when missing.
HANDLE CreateNew(SetupState& state, const char* destination, const char* path)
{
    auto create = [path]() {
        return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE file = create();
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND &&
        MakeFolderChain(state, destination, 0) == 0)
        file = create();
    return file;
}

// A file of a new name of our own beside the destination, so that an existing destination keeps what
// it holds until a complete copy replaces it. The name is "~nimXXXX.tmp" or, where the path has no room
// for it, "~" and up to four hex digits, as many as fit: never longer than the destination's own name,
// so it fits wherever the destination does. *noName is set when no such name can be had: every one
// tried is taken, or the destination's name has one byte (a name of one byte would leave the Windows 95
// family's set-aside name, made from it, no byte of its own).
HANDLE CreateTemporary(SetupState& state, const char* destination, char* temporary, bool* noName)
{
    *noName = false;
    const long last = LastSeparator(destination);
    if (last <= 0) return INVALID_HANDLE_VALUE;
    const size_t folderLength = static_cast<size_t>(last) + 1;  // with its separator
    const size_t room = kPathBytes - 1 - folderLength;
    *noName = room < 2;
    if (*noName) return INVALID_HANDLE_VALUE;
    const int digits = room - 1 < 4 ? static_cast<int>(room - 1) : 4;
    if (gTemporaryNumber == 0) gTemporaryNumber = GetTickCount() | 1;
    memcpy(temporary, destination, folderLength);
    for (int tries = 0; tries < 100; ++tries, ++gTemporaryNumber) {
        const unsigned number = gTemporaryNumber & ((1u << (4 * digits)) - 1);
        snprintf(temporary + folderLength, kPathBytes - folderLength, room >= 12 ? "~nim%0*x.tmp" : "~%0*x", digits,
                 number);
        HANDLE file = CreateNew(state, destination, temporary);
        if (file != INVALID_HANDLE_VALUE || !AlreadyExists(GetLastError())) return file;
    }
    *noName = true;
    return INVALID_HANDLE_VALUE;
}

// Puts the complete copy in the destination's place. The Windows 95 family has no replacing move, so
// there the old file steps aside under a name of its own first and comes back if the copy cannot take
// its place: the user never ends up with neither.
bool Replace(const char* temporary, const char* destination)
{
    if (!OnWindows95Family()) return MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING) != 0;
    char aside[kPathBytes];
    const size_t length = strlen(temporary);
    memcpy(aside, temporary, length + 1);
    aside[length - 1] = '~';  // "~nimXXXX.tm~", beside the temporary copy
    if (!MoveFileA(destination, aside)) return false;
    if (MoveFileA(temporary, destination)) {
        DeleteFileA(aside);
        return true;
    }
    MoveFileA(aside, destination);
    return false;
}

}  // namespace

int CopyOneFile(SetupState& state, CopyBars& bars, const char* source, const char* destination)
{
    DWORD attributes = GetFileAttributesA(source);
    if (attributes == INVALID_FILE_ATTRIBUTES) return -1;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return MakeFolderChain(state, destination, kPathIsFolder);
    // A read-only file or a folder in the destination's place cannot be replaced: fail before copying.
    DWORD existing = GetFileAttributesA(destination);
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return -1;

    HANDLE in = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                            nullptr);
    if (in == INVALID_HANDLE_VALUE) return -1;
    // The bytes go straight into a new destination; an existing one is replaced only by a complete copy.
    char target[kPathBytes];
    memcpy(target, destination, strlen(destination) + 1);
    bool replacing = existing != INVALID_FILE_ATTRIBUTES;
    HANDLE out = replacing ? INVALID_HANDLE_VALUE : CreateNew(state, destination, target);
    if (out == INVALID_HANDLE_VALUE && (replacing || AlreadyExists(GetLastError()))) {
        bool noName = false;
        replacing = true;
        out = CreateTemporary(state, destination, target, &noName);
        // Without a name of our own the copy goes in place, replacing the file as it is written: a copy
        // that then fails loses the older file.
        if (noName) {
            replacing = false;
            memcpy(target, destination, strlen(destination) + 1);
            out = CreateFileA(target, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
        }
    }
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return -1;
    }

    DWORD sizeHigh = 0;
    DWORD sizeLow = GetFileSize(in, &sizeHigh);
    bars.fileSize = (static_cast<long long>(sizeHigh) << 32) | sizeLow;
    bars.fileDone = 0;
    memcpy(bars.fileName, destination, strlen(destination) + 1);
    bars.nameChanged = true;
    ShowProgress(state, bars, false);

    bool ok = CopyBytes(state, in, out, bars);
    FILETIME created, accessed, written;
    ok = ok && GetFileTime(in, &created, &accessed, &written) && SetFileTime(out, &created, &accessed, &written);
    CloseHandle(in);
    // A failed close can mean the last bytes never reached the disk.
    if (!CloseHandle(out)) ok = false;
    if (!ok || (replacing && !Replace(target, destination))) {
        DeleteFileA(target);
        return -1;
    }
    RecordFile(state, destination);
    ShowProgress(state, bars, false);
    return 0;
}

int CopyFolderTree(SetupState& state, CopyBars& bars, const char* fromFolder, const char* toFolder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFolderEntries(fromFolder, &found);
    if (search == INVALID_HANDLE_VALUE) return -1;
    int result = 0;
    do {
        ShowProgress(state, bars, false);
        if (Cancelled(state)) {
            result = -1;
            break;
        }
        bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (folder && found.cFileName[0] == '.') continue;
        char source[kPathBytes];
        char destination[kPathBytes];
        if (JoinPath(source, sizeof source, fromFolder, found.cFileName) != 0 ||
            JoinPath(destination, sizeof destination, TargetFolder(state, found.cFileName, toFolder),
                     found.cFileName) != 0) {
            result = -1;
            break;
        }
        result = folder ? CopyFolderTree(state, bars, source, destination) : CopyOneFile(state, bars, source, destination);
        if (result != 0) break;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return result;
}

CopyBars BarsOf(HWND dialog)
{
    CopyBars bars;
    if (dialog) {
        bars.total = GetDlgItem(dialog, IDC_TOTAL_BAR);
        bars.file = GetDlgItem(dialog, IDC_FILE_BAR);
        bars.name = GetDlgItem(dialog, IDC_FILE_NAME);
    }
    return bars;
}

int RunCopyList(SetupState& state, CopyBars& bars)
{
    if (state.copyList == nullptr) return -1;
    state.cancelRequested = 0;
    state.copiedBytes = 0;
    bars.shown = bars.nameShown = false;
    bars.filePosition = bars.totalPosition = -1;
    size_t position = 0;
    CopyRecord record;
    while (NextCopyRecord(state.copyList, kCopyListBytes, &position, &record)) {
        ShowProgress(state, bars, false);
        if (Cancelled(state)) return -1;
        char source[kPathBytes];
        char destination[kPathBytes];
        if (JoinPath(source, sizeof source, state.sourceFolder, record.text) != 0 ||
            JoinPath(destination, sizeof destination, TargetFolder(state, record.text, state.installFolder),
                     record.text) != 0)
            return -1;
        if (record.kind == kCopyFolder) {
            if (MakeFolderChain(state, destination, kPathIsFolder) != 0 ||
                CopyFolderTree(state, bars, source, destination) != 0)
                return -1;
        } else if (CopyOneFile(state, bars, source, destination) != 0) {
            return -1;
        }
    }
    ShowProgress(state, bars, true);  // the full bars
    FlushPendingFolders(state);
    return 0;
}
