// The QJX stream decoder: a checked fast path for the bulk of the picture, a byte-exact path near the ends.
#include "imagefile/qjx_decode.h"

#include <cstring>

namespace {

// A reference of len bytes from dist bytes back; always writes 48 to 50 bytes, so the caller keeps
// that much room. Each store reads only bytes that are already final, so a pattern shorter than the
// reference repeats itself exactly as a front-to-back byte copy would.
inline void CopyReferenceWide(uint8_t* out, size_t dist)
{
    const uint8_t* from = out - dist;
    if (dist >= 16) {
        std::memcpy(out, from, 16);
        std::memcpy(out + 16, from + 16, 16);
        std::memcpy(out + 32, from + 32, 16);
    } else if (dist >= 8) {
        for (size_t i = 0; i < 48; i += 8) std::memcpy(out + i, from + i, 8);
    } else {
        // One or two pixels back: an 8-byte stamp of the pattern, laid down every 6 bytes.
        uint64_t p = uint64_t(from[0]) | uint64_t(from[1]) << 8 | uint64_t(from[2]) << 16;
        if (dist == 6) p |= uint64_t(from[3]) << 24 | uint64_t(from[4]) << 32 | uint64_t(from[5]) << 40;
        else p |= p << 24;
        p |= p << 48;
        for (size_t i = 0; i < 48; i += 6) std::memcpy(out + i, &p, 8);
    }
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

    // Room for a whole group without per-item bound checks: a literal may read and write one spare
    // byte, a reference writes up to 50 bytes whatever its length (8 items of at most 48 bytes).
    constexpr size_t kGroupIn = 8 * 3 + 1;
    constexpr size_t kGroupOut = 7 * 48 + 50;

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
                    CopyReferenceWide(out, dist);
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

namespace {

// Sixteen 4-byte pixels from dist pixels back, written so that a short pattern repeats exactly as a
// pixel-by-pixel copy would; the caller has room for all sixteen.
inline void CopyReference32(uint8_t* to, uint32_t dist)
{
    const uint8_t* from = to - 4 * size_t(dist);
    if (dist >= 16) {
        std::memcpy(to, from, 64);
    } else if (dist >= 4) {
        for (size_t i = 0; i < 64; i += 16) std::memcpy(to + i, from + i, 16);
    } else if (dist == 3) {
        for (size_t i = 0; i < 64; i += 12) std::memcpy(to + i, from + i, 12);
    } else {
        uint64_t v;
        if (dist == 1) {
            uint32_t one;
            std::memcpy(&one, from, 4);
            v = uint64_t(one) | uint64_t(one) << 32;
        } else {
            std::memcpy(&v, from, 8);
        }
        for (size_t i = 0; i < 64; i += 8) std::memcpy(to + i, &v, 8);
    }
}

}  // namespace

int QjxDecodeToPixels(uint8_t* destination, const uint8_t* source, size_t sourceSize, uint32_t pixelCount)
{
    const uint8_t* in = source;
    const uint8_t* const inEnd = source + sourceSize;
    uint8_t* out = destination;
    uint8_t* const outEnd = destination + size_t(pixelCount) * 4;
    constexpr size_t kGroupIn = 8 * 3 + 1;  // a literal reads one spare byte
    constexpr size_t kGroupOut = 8 * 64;    // a reference writes 16 pixels whatever its length

    while (out < outEnd) {
        if (in == inEnd) return -1;
        const unsigned flags = *in++;
        if (size_t(inEnd - in) >= kGroupIn && size_t(outEnd - out) >= kGroupOut) {
            for (unsigned mask = 0x80; mask != 0; mask >>= 1) {
                if (flags & mask) {
                    uint32_t v;
                    std::memcpy(&v, in, 4);
                    v &= 0x00FFFFFFu;
                    std::memcpy(out, &v, 4);
                    in += 3;
                    out += 4;
                } else {
                    const unsigned w = unsigned(in[0]) | unsigned(in[1]) << 8;
                    in += 2;
                    const uint32_t dist = (w >> 4) + 1;
                    if (4 * size_t(dist) > size_t(out - destination)) return -1;
                    CopyReference32(out, dist);
                    out += 4 * ((w & 0x0F) + 1);
                }
            }
            continue;
        }
        for (unsigned mask = 0x80; mask != 0 && out < outEnd; mask >>= 1) {
            if (flags & mask) {
                if (inEnd - in < 3) return -1;
                const uint8_t pixel[4] = {in[0], in[1], in[2], 0};
                std::memcpy(out, pixel, 4);
                in += 3;
                out += 4;
            } else {
                if (inEnd - in < 2) return -1;
                const unsigned w = unsigned(in[0]) | unsigned(in[1]) << 8;
                in += 2;
                const size_t len = ((w & 0x0F) + 1) * 4;
                const size_t dist = ((w >> 4) + 1) * 4;
                if (dist > size_t(out - destination) || len > size_t(outEnd - out)) return -1;
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
