// CFS: file operations on one Win32 handle; every failure is a result (-1 or null), never a message.
#include "imagefile/cfs.h"

#include "imagefile/mem_alloc.h"

CFS::CFS() : handle(0) {}

CFS::~CFS() { Close(); }

int CFS::Open(const char* path, const char* mode)
{
    Close();  // a file still open would otherwise leak its handle

    if (path == nullptr || mode == nullptr) return -1;
    HANDLE h = INVALID_HANDLE_VALUE;
    if (mode[0] == 'r') {
        h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    } else if (mode[0] == 'w') {
        h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (h == INVALID_HANDLE_VALUE || h == 0) return -1;
    handle = h;
    return 0;
}

void CFS::Close()
{
    if (handle != 0) {
        CloseHandle(handle);
        handle = 0;
    }
}

int CFS::Read(void* buffer, int count)
{
    // A negative count would become a huge DWORD: refused like a failed read.
    if (handle == 0 || count < 0 || (buffer == nullptr && count > 0)) return -1;
    DWORD done = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(count), &done, nullptr)) return -1;
    return static_cast<int>(done);
}

int CFS::Write(const void* buffer, int count)
{
    if (handle == 0 || count < 0 || (buffer == nullptr && count > 0)) return -1;
    DWORD done = 0;
    if (!WriteFile(handle, buffer, static_cast<DWORD>(count), &done, nullptr)) return -1;
    return static_cast<int>(done);
}

LONG CFS::Seek(LONG offset, int origin)
{
    if (handle == 0) return -1;
    DWORD method;
    switch (origin) {
    case 0: method = FILE_BEGIN; break;
    case 1: method = FILE_CURRENT; break;
    case 2: method = FILE_END; break;
    default: return -1;
    }
    return static_cast<LONG>(SetFilePointer(handle, offset, nullptr, method));
}

LONG CFS::GetSize()
{
    LONG here = Seek(0, 1);
    if (here == -1) return -1;
    LONG end = Seek(0, 2);
    Seek(here, 0);
    return end;
}

int CFS::LoadToBuffer(const char* path, void* buffer, int size)
{
    if (buffer == nullptr || size < 0) return -1;
    if (size == 0) return 0;
    if (Open(path, "rb") != 0) return -1;
    int got = Read(buffer, size);
    Close();
    return got == -1 ? -1 : 0;
}

void* CFS::LoadToMemory(const char* path)
{
    if (Open(path, "rb") != 0) return nullptr;
    LONG size = GetSize();
    Close();
    if (size < 0) return nullptr;
    // A block of at least one byte, so that an empty file still gives an address.
    void* block = MemAlloc(size > 0 ? static_cast<DWORD>(size) : 1);
    if (block == nullptr) return nullptr;
    if (LoadToBuffer(path, block, static_cast<int>(size)) != 0) {
        MemFree(block);
        return nullptr;
    }
    return block;
}

int CFS::LoadWhole(const char* path, void* buffer)
{
    CFS file;
    if (file.Open(path, "rb") != 0) return -1;
    LONG size = file.GetSize();
    file.Close();
    if (size < 0) return -1;
    return file.LoadToBuffer(path, buffer, static_cast<int>(size)) != 0 ? -1 : 0;
}

int CFS::SaveFromBuffer(const char* path, const void* buffer, int size)
{
    if (buffer == nullptr || size < 0) return -1;
    if (Open(path, "wb") != 0) return -1;
    int put = Write(buffer, size);
    Close();
    return put == -1 ? -1 : 0;
}
