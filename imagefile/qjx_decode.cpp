// The QJX stream decoder: whole groups on a fast path while both buffers have the room it needs,
// item by item with exact bounds near their ends.
#include "imagefile/qjx_decode.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kPixel = kQjxPixelBytes;
constexpr size_t kItemsPerGroup = 8;
constexpr size_t kLiteralBytes = 3;                           // what a literal takes from the stream
constexpr size_t kLongestReference = kQjxMaxLength * kPixel;  // the most one item adds to the output

// Bytes a copy in whole steps writes when it covers the longest reference.
constexpr size_t Reach(size_t step) { return (kLongestReference + step - 1) / step * step; }

// The fast path's copies write their full reach whatever the reference's length; Step is at most
// the distance, so every step reads only bytes that are already final and a short pattern repeats
// exactly as a pixel-by-pixel copy would.
template <size_t Step>
inline void CopySteps(uint8_t* out, const uint8_t* from)
{
    for (size_t i = 0; i < Reach(Step); i += Step) std::memcpy(out + i, from + i, Step);
}

// The one pixel of a distance-1 reference, doubled and laid down in 8-byte steps.
inline void RepeatPixel(uint8_t* out)
{
    uint32_t one;
    std::memcpy(&one, out - kPixel, kPixel);
    const uint64_t two = uint64_t(one) | uint64_t(one) << 32;
    for (size_t i = 0; i < Reach(8); i += 8) std::memcpy(out + i, &two, 8);
}

// A reference dist bytes back on the fast path, and the most it writes: one entry per copy used.
inline void CopyReference(uint8_t* out, size_t dist)
{
    if (dist >= 64) CopySteps<64>(out, out - dist);
    else if (dist >= 16) CopySteps<16>(out, out - dist);
    else if (dist == 12) CopySteps<12>(out, out - dist);
    else if (dist == 8) CopySteps<8>(out, out - dist);
    else RepeatPixel(out);
}
constexpr size_t kReferenceWrites = std::max({Reach(64), Reach(16), Reach(12), Reach(8)});

// A literal is read and written as one 4-byte word: one byte past the pixel in the stream.
constexpr size_t kLiteralReads = 4;
constexpr size_t kLiteralWrites = kPixel;

// Room a whole group needs: seven items of the largest advance, then the widest write of the last.
constexpr size_t kGroupOut = (kItemsPerGroup - 1) * kLongestReference + std::max(kReferenceWrites, kLiteralWrites);
constexpr size_t kGroupIn = (kItemsPerGroup - 1) * kLiteralBytes + kLiteralReads;
// The fast path checks no item's length: a group that fits cannot pass the end of the picture.
static_assert(kGroupOut >= kItemsPerGroup * kLongestReference, "a group could run past the picture");

inline unsigned Word(const uint8_t* in) { return unsigned(in[0]) | unsigned(in[1]) << 8; }

}  // namespace

int QjxDecode(uint8_t* destination, const uint8_t* source, size_t sourceSize, uint32_t pixelCount)
{
    const uint8_t* in = source;
    const uint8_t* const inEnd = source + sourceSize;
    uint8_t* out = destination;
    uint8_t* const outEnd = destination + size_t(pixelCount) * kPixel;

    while (out < outEnd) {
        if (in == inEnd) return -1;
        const unsigned flags = *in++;
        if (size_t(inEnd - in) >= kGroupIn && size_t(outEnd - out) >= kGroupOut) {
            for (unsigned mask = 0x80; mask != 0; mask >>= 1) {
                if (flags & mask) {
                    uint32_t v;
                    std::memcpy(&v, in, kLiteralReads);
                    v &= 0x00FFFFFFu;  // little-endian: blue, green, red, and a cleared fourth byte
                    std::memcpy(out, &v, kLiteralWrites);
                    in += kLiteralBytes;
                    out += kPixel;
                } else {
                    const unsigned w = Word(in);
                    in += 2;
                    const size_t dist = ((w >> 4) + 1) * kPixel;
                    if (dist > size_t(out - destination)) return -1;
                    CopyReference(out, dist);
                    out += ((w & 0x0F) + 1) * kPixel;
                }
            }
            continue;
        }
        for (unsigned mask = 0x80; mask != 0 && out < outEnd; mask >>= 1) {
            if (flags & mask) {
                if (size_t(inEnd - in) < kLiteralBytes) return -1;
                const uint8_t pixel[kPixel] = {in[0], in[1], in[2], 0};
                std::memcpy(out, pixel, kPixel);
                in += kLiteralBytes;
                out += kPixel;
            } else {
                if (inEnd - in < 2) return -1;
                const unsigned w = Word(in);
                in += 2;
                const size_t len = ((w & 0x0F) + 1) * kPixel;
                const size_t dist = ((w >> 4) + 1) * kPixel;
                if (dist > size_t(out - destination) || len > size_t(outEnd - out)) return -1;
                const uint8_t* from = out - dist;  // front to back: a short pattern repeats
                for (size_t i = 0; i < len; ++i) out[i] = from[i];
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
