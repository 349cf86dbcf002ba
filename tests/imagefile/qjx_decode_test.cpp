// The QJX stream decoder and encoder on hand-made and random streams, against a plain reference decoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <vector>

#include "imagefile/qjx_decode.h"
#include "picture_files.h"

namespace {

// The format read one byte at a time, as slowly and plainly as possible.
int ReferenceDecode(Bytes& out, const Bytes& in, uint32_t pixelCount)
{
    out.assign(size_t(pixelCount) * 3, 0);
    size_t ip = 0, op = 0;
    for (unsigned mask = 0, flags = 0; op < out.size(); mask >>= 1) {
        if (mask == 0) {
            if (ip >= in.size()) return -1;
            flags = in[ip++];
            mask = 0x80;
        }
        if (flags & mask) {
            if (ip + 3 > in.size()) return -1;
            for (int k = 0; k < 3; ++k) out[op++] = in[ip++];
            continue;
        }
        if (ip + 2 > in.size()) return -1;
        const unsigned w = in[ip] | in[ip + 1] << 8;
        ip += 2;
        const size_t len = ((w & 15) + 1) * 3, dist = ((w >> 4) + 1) * 3;
        if (dist > op || op + len > out.size()) return -1;
        for (size_t k = 0; k < len; ++k, ++op) out[op] = out[op - dist];
    }
    return 0;
}

// Both decoders on one stream; the 32-bit one must give the same pixels with a zero fourth byte.
int Decode(Bytes& out, const Bytes& in, uint32_t pixelCount)
{
    out.assign(size_t(pixelCount) * 3, 0xEE);
    const int result = QjxDecode(out.data(), in.data(), in.size(), pixelCount);
    Bytes wide(size_t(pixelCount) * 4, 0xEE);
    EXPECT_EQ(QjxDecodeToPixels(wide.data(), in.data(), in.size(), pixelCount), result);
    for (uint32_t i = 0; result == 0 && i < pixelCount; ++i)
        EXPECT_EQ(Bytes(&wide[4 * i], &wide[4 * i + 4]), Bytes({out[3 * i], out[3 * i + 1], out[3 * i + 2], 0})) << i;
    return result;
}

Bytes Times(const Bytes& part, int n) { Bytes all; while (n--) all.insert(all.end(), part.begin(), part.end()); return all; }

}  // namespace

TEST(QjxDecode, HandMadeStreams)
{
    const struct {
        Bytes stream;
        uint32_t pixels;
        int result;
        Bytes out;
    } cases[] = {
        // References repeat what they have just written, up to the whole picture so far.
        {{0x80, 1, 2, 3, 0x0F, 0x00}, 17, 0, Times({1, 2, 3}, 17)},
        {{0xC0, 1, 2, 3, 4, 5, 6, 0x13, 0x00}, 6, 0, Times({1, 2, 3, 4, 5, 6}, 3)},
        {{0xE0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x21, 0x00}, 5, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6}},
        {{0xBF, 1, 2, 3, 0xAA, 0xBB}, 1, 0, {1, 2, 3}},  // unused flag bits and trailing bytes are ignored
        {{}, 0, 0, {}},                                   // nothing wanted, nothing read
        {{}, 1, -1, {}},                                  // no flag byte
        {{0x80, 1, 2}, 1, -1, {}},                        // literal cut short
        {{0x80, 1, 2, 3, 0x00}, 2, -1, {}},               // reference cut short
        {{0x80, 1, 2, 3}, 2, -1, {}},                     // stream ends before the count
        {{0x00, 0x00, 0x00}, 1, -1, {}},                  // reference before the first pixel
        {{0x80, 1, 2, 3, 0x10, 0x00}, 2, -1, {}},         // distance 2 after one pixel
        {{0x80, 1, 2, 3, 0x01, 0x00}, 2, -1, {}},         // length 2 runs past the count
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Bytes out;
        ASSERT_EQ(Decode(out, cases[i].stream, cases[i].pixels), cases[i].result) << i;
        EXPECT_EQ(cases[i].result == 0 ? out : Bytes(), cases[i].out) << i;  // refused: output not looked at
    }
}

TEST(QjxDecode, FastPathMatchesTheReferenceOnRandomStreams)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const uint32_t pixels = 1 + rng() % 3000;
        const unsigned literalShare = rng() % 256;
        Bytes stream;
        uint32_t produced = 0;
        // Mostly valid streams; every so often a bad reference, and random cut points.
        while (produced < pixels) {
            const size_t flagAt = stream.size();
            stream.push_back(0);
            for (unsigned mask = 0x80; mask && produced < pixels; mask >>= 1) {
                if (produced == 0 || rng() % 256 < literalShare) {
                    stream[flagAt] |= uint8_t(mask);
                    for (int k = 0; k < 3; ++k) stream.push_back(uint8_t(rng()));
                    ++produced;
                    continue;
                }
                const uint32_t reach = produced < 4096 ? produced : 4096;
                uint32_t dist = 1 + rng() % (rng() % 4 ? reach : std::min<uint32_t>(reach, 5));
                if (rng() % 500 == 0) dist = produced + 1;  // before the first pixel
                uint32_t len = 1 + rng() % 16;
                if (rng() % 50 && len > pixels - produced) len = pixels - produced;  // else may run past the end
                const unsigned w = (dist - 1) << 4 | (len - 1);
                stream.insert(stream.end(), {uint8_t(w), uint8_t(w >> 8)});
                produced += len;
            }
        }
        if (rng() % 10 == 0) stream.resize(rng() % stream.size());
        Bytes expected, actual;
        const int want = ReferenceDecode(expected, stream, pixels);
        ASSERT_EQ(Decode(actual, stream, pixels), want) << "round " << round;
        if (want == 0) {
            ASSERT_EQ(actual, expected) << "round " << round;
        }
    }
}

TEST(QjxFile, HeaderChecks)
{
    const Bytes good = {'Q', 'J', 0x00, 0x10, 0x0E, 0x00};  // decodedSize 921600
    EXPECT_EQ(QjxCheckHeader(good.data(), good.size()), 0);
    EXPECT_EQ(QjxCheckHeader(good.data(), 5), -1);
    // Other sizes (921603 would round down to the same pixel count), other magic.
    for (const auto& [at, value] : {std::pair<size_t, uint8_t>{5, 1}, {2, 3}, {0, 'B'}, {1, 'K'}}) {
        Bytes bad = good;
        bad[at] = value;
        EXPECT_EQ(QjxCheckHeader(bad.data(), bad.size()), -1) << at;
    }
}

TEST(QjxEncode, RoundTripsAndCompresses)
{
    const Bytes picture = SlidePicture();
    const Bytes file = EncodeSlide(picture);
    ASSERT_GT(file.size(), kQjxHeaderSize);
    EXPECT_LT(file.size(), kQjxDecodedSize * 3 / 4);
    Bytes decoded(kQjxDecodedSize + 4, 0xAB);  // room for QjxConvertRow's read past the last row
    ASSERT_EQ(QjxDecodeFile(file.data(), file.size(), decoded.data()), 0);
    EXPECT_EQ(Bytes(decoded.begin(), decoded.begin() + kQjxDecodedSize), picture);

    // The last row to 32-bit pixels: the 0xAB read past its end must not show in the fourth byte.
    std::vector<uint32_t> row(kQjxWidth);
    QjxConvertRow(row.data(), &decoded[kQjxDecodedSize - kQjxRowBytes]);
    const uint8_t* last = &picture[kQjxDecodedSize - 3];
    EXPECT_EQ(row.back(), uint32_t(last[0] | last[1] << 8 | last[2] << 16));

    // One colour everywhere needs little more than the longest references.
    EXPECT_LT(EncodeSlide(Bytes(kQjxDecodedSize, 0x42)).size(), kQjxDecodedSize / 20);

    // Short streams of every length decode back too.
    std::mt19937 rng(5);
    for (uint32_t n = 1; n < 40; ++n) {
        Bytes small(n * 3), stream(QjxMaxStreamSize(n)), back;
        for (auto& b : small) b = uint8_t(rng() % 3);
        stream.resize(QjxEncodeStream(small.data(), n, stream.data()));
        ASSERT_EQ(Decode(back, stream, n), 0) << n;
        EXPECT_EQ(back, small) << n;
    }
}
