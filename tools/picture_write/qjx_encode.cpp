// LZ77 encoder for QJX streams: longest matches from hash chains, then a shortest-path parse over them.
#include "tools/picture_write/qjx_encode.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kHashBits = 16;
constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr uint32_t kChainDepth = 48;
// Cost of an item in bits: its flag bit and its bytes.
constexpr uint32_t kLiteralBits = 1 + 24;
constexpr uint32_t kReferenceBits = 1 + 16;

inline uint32_t Pixel(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16; }
inline uint32_t Hash1(uint32_t a) { return (a * 2654435761u) >> (32 - kHashBits); }
inline uint32_t Hash2(uint32_t a, uint32_t b) { return ((a * 2654435761u) ^ (b * 2246822519u)) >> (32 - kHashBits); }

struct Work {
    uint32_t* pix = nullptr;      // the picture as 24-bit values
    uint32_t* head2 = nullptr;    // newest position of each hashed pixel pair
    uint32_t* prev2 = nullptr;    // older position with the same pair hash
    uint32_t* last1 = nullptr;    // newest position of each hashed single pixel
    uint8_t* length = nullptr;    // longest match at each position (0: none)
    uint16_t* distance = nullptr; // its distance in pixels
    uint32_t* cost = nullptr;     // bits from each position to the end on the best parse
    uint8_t* take = nullptr;      // the best parse's item at each position: 0 literal, else length
    ~Work()
    {
        std::free(pix); std::free(head2); std::free(prev2); std::free(last1);
        std::free(length); std::free(distance); std::free(cost); std::free(take);
    }
    bool Allocate(uint32_t n)
    {
        pix = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * n));
        head2 = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) << kHashBits));
        prev2 = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * n));
        last1 = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) << kHashBits));
        length = static_cast<uint8_t*>(std::malloc(n));
        distance = static_cast<uint16_t*>(std::malloc(sizeof(uint16_t) * n));
        cost = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * (size_t(n) + 1)));
        take = static_cast<uint8_t*>(std::malloc(n));
        return pix && head2 && prev2 && last1 && length && distance && cost && take;
    }
};

void FindMatches(Work& w, uint32_t n)
{
    for (uint32_t i = 0; i < (1u << kHashBits); ++i) w.head2[i] = w.last1[i] = kNone;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t limit = n - i < kQjxMaxLength ? n - i : kQjxMaxLength;
        const uint32_t oldest = i > kQjxMaxDistance ? i - kQjxMaxDistance : 0;
        uint32_t bestLen = 0, bestDist = 0;
        uint32_t h2 = kNone;
        if (i + 1 < n) {
            h2 = Hash2(w.pix[i], w.pix[i + 1]);
            uint32_t depth = 0;
            for (uint32_t c = w.head2[h2]; c != kNone && c >= oldest && depth < kChainDepth;
                 c = w.prev2[c], ++depth) {
                uint32_t len = 0;
                while (len < limit && w.pix[c + len] == w.pix[i + len]) ++len;
                if (len > bestLen) {
                    bestLen = len;
                    bestDist = i - c;
                    if (len == limit) break;
                }
            }
        }
        const uint32_t h1 = Hash1(w.pix[i]);
        if (bestLen == 0) {
            const uint32_t c = w.last1[h1];
            if (c != kNone && c >= oldest && w.pix[c] == w.pix[i]) {
                bestLen = 1;
                bestDist = i - c;
            }
        }
        w.length[i] = uint8_t(bestLen);
        w.distance[i] = uint16_t(bestDist);
        if (h2 != kNone) {
            w.prev2[i] = w.head2[h2];
            w.head2[h2] = i;
        }
        w.last1[h1] = i;
    }
}

// Any shorter length at the same distance is also a match, so trying every length up to the
// longest one finds the cheapest stream for these matches.
void ChooseParse(Work& w, uint32_t n)
{
    w.cost[n] = 0;
    for (uint32_t i = n; i-- > 0;) {
        uint32_t best = kLiteralBits + w.cost[i + 1];
        uint8_t choice = 0;
        for (uint32_t len = w.length[i]; len >= 1; --len) {
            const uint32_t c = kReferenceBits + w.cost[i + len];
            if (c < best) {
                best = c;
                choice = uint8_t(len);
            }
        }
        w.cost[i] = best;
        w.take[i] = choice;
    }
}

size_t Emit(const Work& w, const uint8_t* pixels, uint32_t n, uint8_t* out)
{
    size_t pos = 0;
    size_t flagPos = 0;
    unsigned mask = 0;
    for (uint32_t i = 0; i < n;) {
        if (mask == 0) {
            flagPos = pos++;
            out[flagPos] = 0;
            mask = 0x80;
        }
        const uint32_t len = w.take[i];
        if (len == 0) {
            out[flagPos] |= uint8_t(mask);
            std::memcpy(out + pos, pixels + size_t(i) * 3, 3);
            pos += 3;
            i += 1;
        } else {
            const uint32_t word = (uint32_t(w.distance[i]) - 1) << 4 | (len - 1);
            out[pos++] = uint8_t(word);
            out[pos++] = uint8_t(word >> 8);
            i += len;
        }
        mask >>= 1;
    }
    return pos;
}

}  // namespace

size_t QjxMaxStreamSize(uint32_t pixelCount) { return (size_t(pixelCount) + 7) / 8 + size_t(pixelCount) * 3; }

size_t QjxEncodeStream(const uint8_t* pixels, uint32_t pixelCount, uint8_t* out)
{
    if (pixelCount == 0) return 0;
    Work w;
    if (!w.Allocate(pixelCount)) return 0;
    for (uint32_t i = 0; i < pixelCount; ++i) w.pix[i] = Pixel(pixels + size_t(i) * 3);
    FindMatches(w, pixelCount);
    ChooseParse(w, pixelCount);
    return Emit(w, pixels, pixelCount, out);
}

size_t QjxEncodeFile(const uint8_t* pixels, uint8_t* out)
{
    out[0] = kQjxMagic0;
    out[1] = kQjxMagic1;
    out[2] = uint8_t(kQjxDecodedSize);
    out[3] = uint8_t(kQjxDecodedSize >> 8);
    out[4] = uint8_t(kQjxDecodedSize >> 16);
    out[5] = uint8_t(kQjxDecodedSize >> 24);
    const size_t stream = QjxEncodeStream(pixels, kQjxPixelCount, out + kQjxHeaderSize);
    return stream == 0 ? 0 : kQjxHeaderSize + stream;
}
