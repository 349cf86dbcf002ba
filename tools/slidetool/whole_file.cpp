// Files for slidetool's commands, through the Win32 file functions, which can refuse to replace a file.
#include "tools/slidetool/whole_file.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

bool Write(const char* path, DWORD disposition, const uint8_t* bytes, size_t size, bool* created)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    *created = file != INVALID_HANDLE_VALUE;
    if (!*created) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes, DWORD(size), &written, nullptr) && written == size;
    return CloseHandle(file) && ok;
}

}  // namespace

uint8_t* ReadFileWhole(const char* path, size_t* size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    uint8_t* bytes = nullptr;
    DWORD got = 0;
    // One byte more, so that an empty file still gives a block.
    if (low != INVALID_FILE_SIZE && high == 0 && low < 0x7FFFFFFF)
        bytes = static_cast<uint8_t*>(std::malloc(size_t(low) + 1));
    if (bytes && (!ReadFile(file, bytes, low, &got, nullptr) || got != low)) {
        std::free(bytes);
        bytes = nullptr;
    }
    CloseHandle(file);
    *size = got;
    return bytes;
}

long ReadFileStart(const char* path, uint8_t* bytes, size_t size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    DWORD got = 0;
    const bool read = ReadFile(file, bytes, DWORD(size), &got, nullptr);
    CloseHandle(file);
    return read ? long(got) : -1;
}

bool WriteFileWhole(const char* path, const uint8_t* bytes, size_t size)
{
    bool created = false;
    return Write(path, CREATE_ALWAYS, bytes, size, &created);
}

bool WriteNewFile(const char* path, const uint8_t* bytes, size_t size, bool* created)
{
    return Write(path, CREATE_NEW, bytes, size, created);
}

bool JoinPath(const char* folder, const char* name, char* path)
{
    // Walked by whole characters: the second byte of a double-byte character may be 0x5C, the backslash.
    const char* last = nullptr;
    for (const char* p = folder; *p; p = IsDBCSLeadByte(BYTE(*p)) && p[1] ? p + 2 : p + 1) last = p;
    const bool separate = last && *last != '\\' && *last != '/' && !(*last == ':' && last == folder + 1);
    const size_t folderLength = std::strlen(folder), nameLength = std::strlen(name);
    if (folderLength + separate + nameLength >= MAX_PATH) return false;
    std::memcpy(path, folder, folderLength);
    if (separate) path[folderLength] = '\\';
    std::memcpy(path + folderLength + separate, name, nameLength + 1);
    return true;
}
