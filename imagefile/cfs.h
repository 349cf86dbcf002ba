// CFS: a file object over a Win32 file handle, the one way the loaders read and write files.
#pragma once

#include <windows.h>

class CFS {
public:
    CFS();
    ~CFS();  // closes a file still open

    // Table of operations, in this order.
    virtual int Open(const char* path, const char* mode);      // "rb" or "wb": 0 when open, -1 otherwise
    virtual void Close();
    virtual int Read(void* buffer, int count);                 // bytes read (0 past the end), or -1
    virtual int Write(const void* buffer, int count);          // bytes written, or -1
    virtual LONG Seek(LONG offset, int origin);                // origin 0 start, 1 current, 2 end
    virtual LONG GetSize();                                    // leaves the position where it was
    virtual int LoadToBuffer(const char* path, void* buffer, int size);
    virtual void* LoadToMemory(const char* path);              // a MemAlloc block the caller owns
    virtual int LoadWhole(const char* path, void* buffer);     // buffer must hold the whole file
    virtual int SaveFromBuffer(const char* path, const void* buffer, int size);

    HANDLE handle;  // 0: no file open

private:
    CFS(const CFS&) = delete;
    CFS& operator=(const CFS&) = delete;
};
