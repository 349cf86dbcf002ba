// What a benchmark ran on, printed before its figures: the build, the processor, Windows and Wine.
#pragma once

void PrintBenchMachine();
