// Zero-filled, fixed memory blocks from the Win32 global heap (row tables, slot tables, whole files).
#pragma once

#include <windows.h>

void* MemAlloc(DWORD bytes);   // null on failure; every byte is 0
void MemFree(void* address);   // null is ignored
