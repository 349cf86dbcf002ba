// CCriticalSection: owns one Win32 critical section for the life of the object.
#pragma once

#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&section); }
    ~CCriticalSection() { DeleteCriticalSection(&section); }

    CRITICAL_SECTION section;

private:
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
};
