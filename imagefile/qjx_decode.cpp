// The QJX stream decoder: a checked fast path for the bulk of the picture, a byte-exact path near the ends.
#include "imagefile/qjx_decode.h"

#include <cstring>

namespace {

// A reference of len bytes from dist bytes back, allowed to write up to 47 bytes past out + len.
// The pattern repeats itself when dist < len, exactly as a front-to-back byte copy would.
inline void CopyReferenceWide(uint8_t* out, size_t dist, size_t len)
{
    if (dist >= 16) {
        // Every 16-byte chunk reads only bytes that are already final.
        const uint8_t* from = out - dist;
        for (size_t i = 0; i < len; i += 16) std::memcpy(out + i, from + i, 16);
        return;
    }
    // Short period (1 to 5 pixels): lay down a 16-byte copy of the pattern, then stamp it at steps
    // that are whole multiples of the period.
    uint8_t pattern[16];
    const uint8_t* from = out - dist;
    for (size_t k = 0; k < 16; ++k) pattern[k] = from[k % dist];
    const size_t step = 16 - 16 % dist;
    for (size_t i = 0; i < len; i += step) std::memcpy(out + i, pattern, 16);
}

inline void CopyReferenceExact(uint8_t* out, size_t dist, size_t len)
{
    const uint8_t* from = out - dist;
    for (size_t i = 0; i < len; ++i) out[i] = from[i];
}

}  // namespace

int QjxDecode(uint8_t* destination, const uint8_t* source, size_t sourceSize, uint32_t pixelCount)
{
    const uint8_t* in = source;
    const uint8_t* const inEnd = source + sourceSize;
    uint8_t* out = destination;
    uint8_t* const outEnd = destination + size_t(pixelCount) * 3;

    // Room for a whole group without per-item bound checks: one literal may read and write one
    // spare byte, one reference may write up to 47 spare bytes (8 items of at most 48 bytes).
    constexpr size_t kGroupIn = 8 * 3 + 1;
    constexpr size_t kGroupOut = 8 * 48 + 48;

    while (out < outEnd) {
        if (in == inEnd) return -1;
        const unsigned flags = *in++;
        if (size_t(inEnd - in) >= kGroupIn && size_t(outEnd - out) >= kGroupOut) {
            if (flags == 0xFF) {
                std::memcpy(out, in, 24);
                in += 24;
                out += 24;
                continue;
            }
            for (unsigned mask = 0x80; mask != 0; mask >>= 1) {
                if (flags & mask) {
                    std::memcpy(out, in, 4);
                    in += 3;
                    out += 3;
                } else {
                    const unsigned w = unsigned(in[0]) | unsigned(in[1]) << 8;
                    in += 2;
                    const size_t len = ((w & 0x0F) + 1) * 3;
                    const size_t dist = ((w >> 4) + 1) * 3;
                    if (dist > size_t(out - destination)) return -1;
                    CopyReferenceWide(out, dist, len);
                    out += len;
                }
            }
            continue;
        }
        for (unsigned mask = 0x80; mask != 0 && out < outEnd; mask >>= 1) {
            if (flags & mask) {
                if (inEnd - in < 3) return -1;
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                in += 3;
                out += 3;
            } else {
                if (inEnd - in < 2) return -1;
                const unsigned w = unsigned(in[0]) | unsigned(in[1]) << 8;
                in += 2;
                const size_t len = ((w & 0x0F) + 1) * 3;
                const size_t dist = ((w >> 4) + 1) * 3;
                if (dist > size_t(out - destination)) return -1;
                if (len > size_t(outEnd - out)) return -1;
                CopyReferenceExact(out, dist, len);
                out += len;
            }
        }
    }
    return 0;
}

int QjxCheckHeader(const uint8_t* file, size_t fileSize)
{
    if (fileSize < kQjxHeaderSize) return -1;
    if (file[0] != kQjxMagic0 || file[1] != kQjxMagic1) return -1;
    const uint32_t decodedSize = uint32_t(file[2]) | uint32_t(file[3]) << 8 | uint32_t(file[4]) << 16 |
                                 uint32_t(file[5]) << 24;
    return decodedSize == kQjxDecodedSize ? 0 : -1;
}

int QjxDecodeFile(const uint8_t* file, size_t fileSize, uint8_t* destination)
{
    if (QjxCheckHeader(file, fileSize) != 0) return -1;
    return QjxDecode(destination, file + kQjxHeaderSize, fileSize - kQjxHeaderSize, kQjxPixelCount);
}

void QjxConvertRow(void* destination, const uint8_t* source)
{
    uint8_t* out = static_cast<uint8_t*>(destination);
    for (int x = 0; x < kQjxWidth; ++x) {
        uint32_t v;
        std::memcpy(&v, source + 3 * x, 4);
        v &= 0x00FFFFFFu;  // little-endian: blue, green, red, and a cleared fourth byte
        std::memcpy(out + 4 * x, &v, 4);
    }
}
