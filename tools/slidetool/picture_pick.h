// Which pictures of a long list make a show of a few slides: spread evenly over the whole list, or at
// random from a seed so that a run can be repeated. Plain code, no Win32.
#pragma once

#include <cstdint>

// taken indices into a list of count (taken <= count), ascending and all different: index i is
// i * (count - 1) / (taken - 1), so the first and the last pictures are always in and the steps between
// differ by at most one. taken 1 takes the first.
void PickSpread(uint32_t count, uint32_t taken, uint32_t* indices);

// taken different indices into a list of count (taken <= count), chosen at random, each set of them as
// likely as any other up to a bias below count / 2^32; ascending, so the show keeps the list's order.
// The same seed always gives the same indices.
void PickRandom(uint32_t count, uint32_t taken, uint32_t seed, uint32_t* indices);
