// The QJX stream decoder and encoder on hand-made and random streams, against a plain reference decoder.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "imagefile/qjx_decode.h"
#include "imagefile/qjx_encode.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The format read one byte at a time, as slowly and plainly as possible.
int ReferenceDecode(Bytes& out, const Bytes& in, uint32_t pixelCount)
{
    out.assign(size_t(pixelCount) * 3, 0);
    size_t ip = 0, op = 0;
    unsigned mask = 0, flags = 0;
    while (op < out.size()) {
        if (mask == 0) {
            if (ip >= in.size()) return -1;
            flags = in[ip++];
            mask = 0x80;
        }
        if (flags & mask) {
            if (ip + 3 > in.size()) return -1;
            for (int k = 0; k < 3; ++k) out[op++] = in[ip++];
        } else {
            if (ip + 2 > in.size()) return -1;
            unsigned w = in[ip] | in[ip + 1] << 8;
            ip += 2;
            size_t len = ((w & 15) + 1) * 3, dist = ((w >> 4) + 1) * 3;
            if (dist > op || op + len > out.size()) return -1;
            for (size_t k = 0; k < len; ++k, ++op) out[op] = out[op - dist];
        }
        mask >>= 1;
    }
    return 0;
}

int Decode(Bytes& out, const Bytes& in, uint32_t pixelCount)
{
    out.assign(size_t(pixelCount) * 3, 0xEE);
    return QjxDecode(out.data(), in.data(), in.size(), pixelCount);
}

Bytes Pixels(std::initializer_list<uint8_t> b) { return Bytes(b); }

}  // namespace

TEST(QjxDecode, ReferencesRepeatWhatTheyHaveJustWritten)
{
    Bytes out;
    // One literal, then length 16 at distance 1.
    ASSERT_EQ(Decode(out, {0x80, 0x10, 0x20, 0x30, 0x0F, 0x00}, 17), 0);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(Bytes(out.begin() + 3 * i, out.begin() + 3 * i + 3), Pixels({0x10, 0x20, 0x30}));
    // A, B, then length 4 at distance 2: A B A B A B.
    ASSERT_EQ(Decode(out, {0xC0, 1, 2, 3, 4, 5, 6, 0x13, 0x00}, 6), 0);
    EXPECT_EQ(out, Pixels({1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6}));
    // Distance equal to what has been produced copies from the first pixel.
    ASSERT_EQ(Decode(out, {0xE0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x21, 0x00}, 5), 0);
    EXPECT_EQ(out, Pixels({1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6}));
}

TEST(QjxDecode, GroupsFlagBytesAndTrailingBytes)
{
    Bytes stream = {0xFF};
    for (int i = 0; i < 24; ++i) stream.push_back(uint8_t(i));
    stream.push_back(0x80);
    stream.insert(stream.end(), {24, 25, 26});
    Bytes out;
    ASSERT_EQ(Decode(out, stream, 9), 0);
    for (int i = 0; i < 27; ++i) EXPECT_EQ(out[i], i);
    // Unused flag bits and bytes after the last item change nothing; no flag byte is wanted after
    // a group that ends the picture.
    stream.back() = 26;
    stream[25] = 0x9F;
    stream.insert(stream.end(), {0xAA, 0xBB, 0xCC});
    Bytes again;
    ASSERT_EQ(Decode(again, stream, 9), 0);
    EXPECT_EQ(again, out);
    Bytes eight(stream.begin(), stream.begin() + 25);
    ASSERT_EQ(Decode(out, eight, 8), 0);
}

TEST(QjxDecode, RejectsStreamsThatBreakTheLimits)
{
    Bytes out;
    EXPECT_EQ(Decode(out, {}, 1), -1);                            // no flag byte
    EXPECT_EQ(Decode(out, {0x80, 1, 2}, 1), -1);                  // literal cut short
    EXPECT_EQ(Decode(out, {0x80, 1, 2, 3, 0x00}, 2), -1);         // reference cut short
    EXPECT_EQ(Decode(out, {0x80, 1, 2, 3}, 2), -1);               // stream ends before the count
    EXPECT_EQ(Decode(out, {0x00, 0x00, 0x00}, 1), -1);            // reference before the first pixel
    EXPECT_EQ(Decode(out, {0x80, 1, 2, 3, 0x10, 0x00}, 2), -1);   // distance 2 after one pixel
    EXPECT_EQ(Decode(out, {0x80, 1, 2, 3, 0x01, 0x00}, 2), -1);   // length 2 runs past the count
    EXPECT_EQ(Decode(out, {}, 0), 0);                             // nothing wanted, nothing read
}

TEST(QjxDecode, FastPathMatchesTheReferenceOnRandomStreams)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const uint32_t pixels = 1 + rng() % 3000;
        Bytes stream;
        uint32_t produced = 0;
        const unsigned literalShare = rng() % 256;
        // Mostly valid streams; every so often a bad reference, and random cut points.
        while (produced < pixels) {
            uint8_t flags = 0;
            Bytes items;
            for (unsigned mask = 0x80; mask && produced < pixels; mask >>= 1) {
                if (produced == 0 || rng() % 256 < literalShare) {
                    flags |= uint8_t(mask);
                    for (int k = 0; k < 3; ++k) items.push_back(uint8_t(rng()));
                    ++produced;
                } else {
                    uint32_t maxDist = produced < 4096 ? produced : 4096;
                    uint32_t dist = (rng() % 4 == 0) ? 1 + rng() % 5 : 1 + rng() % maxDist;
                    if (dist > maxDist) dist = maxDist;
                    if (rng() % 500 == 0) dist = produced + 1;
                    uint32_t len = 1 + rng() % 16;
                    if (rng() % 50 != 0 && len > pixels - produced) len = pixels - produced;
                    unsigned w = (dist - 1) << 4 | (len - 1);
                    items.push_back(uint8_t(w));
                    items.push_back(uint8_t(w >> 8));
                    produced += len;
                }
            }
            stream.push_back(flags);
            stream.insert(stream.end(), items.begin(), items.end());
        }
        if (rng() % 10 == 0) stream.resize(rng() % stream.size());
        Bytes expected, actual;
        const int want = ReferenceDecode(expected, stream, pixels);
        ASSERT_EQ(Decode(actual, stream, pixels), want) << "round " << round;
        if (want == 0) {
            ASSERT_EQ(actual, expected) << "round " << round;
        }
        // The same stream into 32-bit pixels.
        std::vector<uint8_t> wide(size_t(pixels) * 4, 0xEE);
        ASSERT_EQ(QjxDecodeToPixels(wide.data(), stream.data(), stream.size(), pixels), want) << round;
        if (want != 0) continue;
        for (uint32_t i = 0; i < pixels; ++i)
            ASSERT_EQ(Bytes(&wide[4 * i], &wide[4 * i] + 4), Bytes({expected[3 * i], expected[3 * i + 1], expected[3 * i + 2], 0}))
                << "round " << round << " pixel " << i;
    }
}

TEST(QjxFile, HeaderChecks)
{
    Bytes file = {'Q', 'J', 0x00, 0x10, 0x0E, 0x00};  // 921600
    EXPECT_EQ(QjxCheckHeader(file.data(), file.size()), 0);
    EXPECT_EQ(QjxCheckHeader(file.data(), 5), -1);
    file[5] = 1;
    EXPECT_EQ(QjxCheckHeader(file.data(), file.size()), -1);
    file[5] = 0;
    file[2] = 3;  // 921603: would round down to the same pixel count, still not a slide
    EXPECT_EQ(QjxCheckHeader(file.data(), file.size()), -1);
    file[2] = 0;
    file[0] = 'B';
    EXPECT_EQ(QjxCheckHeader(file.data(), file.size()), -1);
}

TEST(QjxEncode, RoundTripsAndCompresses)
{
    Bytes picture(kQjxDecodedSize);
    std::mt19937 rng(3);
    // Smooth bands, a repeating tile and a noisy corner: all three kinds of item get used.
    for (int y = 0; y < kQjxHeight; ++y)
        for (int x = 0; x < kQjxWidth; ++x) {
            uint8_t* p = &picture[(size_t(y) * kQjxWidth + x) * 3];
            if (y < 160) { p[0] = uint8_t(y); p[1] = uint8_t(x / 40); p[2] = 0x80; }
            else if (y < 400) { p[0] = uint8_t((x % 13) * 19); p[1] = uint8_t((y % 7) * 31); p[2] = uint8_t(x ^ y); }
            else { p[0] = uint8_t(rng()); p[1] = uint8_t(rng()); p[2] = uint8_t(rng()); }
        }
    Bytes file(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount));
    const size_t size = QjxEncodeFile(picture.data(), file.data());
    ASSERT_GT(size, kQjxHeaderSize);
    file.resize(size);
    EXPECT_LT(size, 960006u * 3 / 4);
    Bytes decoded(kQjxDecodedSize + 4);
    ASSERT_EQ(QjxDecodeFile(file.data(), file.size(), decoded.data()), 0);
    decoded.resize(kQjxDecodedSize);
    EXPECT_EQ(decoded, picture);
    Bytes plain;
    ASSERT_EQ(ReferenceDecode(plain, Bytes(file.begin() + 6, file.end()), kQjxPixelCount), 0);
    EXPECT_EQ(plain, picture);

    // One colour everywhere: one literal, then references of 16.
    Bytes flat(kQjxDecodedSize, 0x42);
    ASSERT_EQ(QjxEncodeFile(flat.data(), file.data()), kQjxHeaderSize + 3 + 2 * (kQjxPixelCount / 16) +
                                                               (kQjxPixelCount / 16 + 1 + 7) / 8);

    // Short streams of every length decode back too.
    for (uint32_t n = 1; n < 40; ++n) {
        Bytes small(n * 3);
        for (auto& b : small) b = uint8_t(rng() % 3);
        Bytes stream(QjxMaxStreamSize(n));
        stream.resize(QjxEncodeStream(small.data(), n, stream.data()));
        Bytes back;
        ASSERT_EQ(Decode(back, stream, n), 0);
        EXPECT_EQ(back, small);
    }
}

TEST(QjxConvert, RowToPixels)
{
    Bytes row(kQjxRowBytes + 1, 0xAB);
    row[0] = 1; row[1] = 2; row[2] = 3;
    std::vector<uint32_t> out(kQjxWidth);
    QjxConvertRow(out.data(), row.data());
    EXPECT_EQ(out[0], 0x030201u);
    EXPECT_EQ(out[kQjxWidth - 1], 0xABABABu);
}
