// MemAlloc/MemFree over GlobalAlloc (GMEM_FIXED | GMEM_ZEROINIT).
#include "imagefile/mem_alloc.h"

void* MemAlloc(DWORD bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes);
    if (block == nullptr) return nullptr;
    return GlobalLock(block);
}

void MemFree(void* address)
{
    if (address == nullptr) return;
    HGLOBAL block = GlobalHandle(address);
    if (block == nullptr) return;
    GlobalUnlock(block);
    GlobalFree(block);
}
