// Static constructors and destructors of the shipped programs, run by their own start-up code.
#pragma once

extern "C" {
// Runs the static constructors once; the compiler also calls it at the top of main.
void __cdecl __main();
}

// Runs the functions registered by atexit, newest first, then ends the process through the C runtime
// DLL's exit, which flushes its streams.
[[noreturn]] void FinishProgram(int code);
