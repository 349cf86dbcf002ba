// Static constructors and destructors of the shipped programs (see static_objects.h).
#include "cmake/runtime/static_objects.h"

#include <cstdlib>

typedef void (*Procedure)();

extern "C" {

// The constructor list the linker lays out: a -1, the functions, a 0. They run last to first.
extern Procedure __CTOR_LIST__[];

// Destructors of static objects and other functions registered to run at the end.
static Procedure exitProcedures[32];
static int exitCount;

int __cdecl atexit(Procedure procedure)
{
    if (exitCount == static_cast<int>(sizeof exitProcedures / sizeof exitProcedures[0])) return -1;
    exitProcedures[exitCount++] = procedure;
    return 0;
}

void __cdecl __main()
{
    static bool done;
    if (done) return;
    done = true;
    int count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) ++count;
    for (int i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

}  // extern "C"

void FinishProgram(int code)
{
    while (exitCount > 0) exitProcedures[--exitCount]();
    std::exit(code);
}
