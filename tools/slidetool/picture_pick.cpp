// Picking a show's pictures from a long list. The random pick is Floyd's: one draw per picture taken and
// no table the length of the list, from a generator of our own so that a seed means the same on every
// compiler and library.
#include "tools/slidetool/picture_pick.h"

#include <algorithm>

namespace {

// SplitMix64: every seed, 0 included, starts a good sequence.
struct Random {
    uint64_t state;
    uint32_t Next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return uint32_t((z ^ (z >> 31)) >> 32);
    }
    // 0 to bound - 1.
    uint32_t Below(uint64_t bound) { return uint32_t(uint64_t(Next()) * bound >> 32); }
};

}  // namespace

void PickSpread(uint32_t count, uint32_t taken, uint32_t* indices)
{
    for (uint32_t i = 0; i < taken; ++i)
        indices[i] = taken == 1 ? 0 : uint32_t(uint64_t(i) * (count - 1) / (taken - 1));
}

void PickRandom(uint32_t count, uint32_t taken, uint32_t seed, uint32_t* indices)
{
    Random random{seed};
    // Floyd: for j from count - taken to count - 1, draw t in 0..j; take t unless already taken, else j.
    uint32_t have = 0;
    for (uint64_t j = uint64_t(count) - taken; j < count; ++j) {
        const uint32_t t = random.Below(j + 1);
        const bool already = std::find(indices, indices + have, t) != indices + have;
        indices[have++] = already ? uint32_t(j) : t;
    }
    std::sort(indices, indices + have);
}
