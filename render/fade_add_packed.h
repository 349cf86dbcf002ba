// FadeFrom and AddFrom on packed integers (the processor's MMX instructions), and the choice between them
// and the plain loops, which give the same bytes on any processor.
#pragma once

#include "render/w_dib32.h"

// The rectangles as FadeFrom and AddFrom have clipped them; only on a processor that has MMX.
void FadeRectPacked(CDIBSurface* target, int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h,
                    int weight);
void AddRectPacked(CDIBSurface* target, int dx, int dy, CDIBSurface* source, int sx, int sy, int w, int h);

bool ProcessorHasMmx();  // through CPUID, where EFLAGS shows the processor has it
// Whether FadeFrom and AddFrom take the packed path: the processor is asked once, on first use.
bool UsePackedFadeAdd();
// For tests: false sends FadeFrom and AddFrom down the plain path on any processor; true asks again.
void AllowPackedFadeAdd(bool allow);
