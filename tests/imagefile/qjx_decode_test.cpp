// The saver's QJX decoder against the reference decoder and hand-made streams, at every distance and
// room near the end of a picture, and the tools' encoder round trip.
#include <gtest/gtest.h>

#include <iterator>

#include "picture_files.h"
#include "qjx_reference.h"

namespace {

// Both buffers exactly as large as the stream and the picture: the sanitizers see any stray byte.
int Decode(Pixels& out, const Bytes& stream, uint32_t pixelCount)
{
    const Bytes in(stream);
    Bytes fast(size_t(pixelCount) * 4), plain(fast.size());
    const int result = QjxDecode(fast.data(), in.data(), in.size(), pixelCount);
    EXPECT_EQ(result, ReferenceDecode(plain.data(), in.data(), in.size(), pixelCount));
    EXPECT_TRUE(result != 0 || fast == plain);
    out.assign(pixelCount, 0);
    if (pixelCount) std::memcpy(out.data(), fast.data(), fast.size());
    return result;
}

}  // namespace

TEST(QjxDecode, HandMadeStreams)
{
    const uint32_t a = 0x030201, b = 0x060504;
    const struct {
        Bytes stream;
        uint32_t pixels;
        int result;
        Pixels out;
    } cases[] = {
        {{0x80, 0x10, 0x20, 0x30, 0x0F, 0x00}, 17, 0, Pixels(17, 0x302010)},  // length 16, distance 1
        {{0xC0, 1, 2, 3, 4, 5, 6, 0x13, 0x00}, 6, 0, {a, b, a, b, a, b}},
        {{0xE0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x21, 0x00}, 5, 0, {a, b, 0x090807, a, b}},  // from the first pixel
        {{0xBF, 1, 2, 3, 0xAA, 0xBB}, 1, 0, {a}},  // unused flag bits and trailing bytes are ignored
        {{}, 0, 0, {}},
        {{}, 1, -1, {}},                           // no flag byte
        {{0x80, 1, 2}, 1, -1, {}},                 // literal cut short
        {{0x80, 1, 2, 3, 0x00}, 2, -1, {}},        // reference cut short
        {{0x80, 1, 2, 3}, 2, -1, {}},              // stream ends before the count
        {{0x00, 0x00, 0x00}, 1, -1, {}},           // reference before the first pixel
        {{0x80, 1, 2, 3, 0x10, 0x00}, 2, -1, {}},  // distance 2 after one pixel
        {{0x80, 1, 2, 3, 0x01, 0x00}, 2, -1, {}},  // length 2 runs past the count
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Pixels out;
        ASSERT_EQ(Decode(out, cases[i].stream, cases[i].pixels), cases[i].result) << i;
        EXPECT_EQ(cases[i].result == 0 ? out : Pixels(), cases[i].out) << i;  // refused: output not looked at
    }
}

TEST(QjxDecode, EveryDistanceAndRoomAtTheEndOfThePicture)
{
    // Sixteen literal pixels, then to the end items of one kind: references of one distance, 16 pixels
    // long while they fit (with bytes after the stream, so that only the picture's room decides how a
    // group is decoded), or literals up to the last byte of the stream (distance 0).
    for (uint32_t distance = 0; distance <= 16; ++distance) {
        for (uint32_t room = 1; room <= 200; ++room) {
            Bytes in;
            for (uint32_t left = 16 + room, done = 0; left > 0;) {
                const size_t flags = in.size();
                in.push_back(0);
                for (unsigned mask = 0x80; mask && left > 0; mask >>= 1) {
                    const uint32_t length = done < 16 || distance == 0 ? 1 : std::min<uint32_t>(left, 16);
                    if (done < 16 || distance == 0) {
                        in[flags] |= uint8_t(mask);
                        in.insert(in.end(), {uint8_t(done * 37), uint8_t(done * 11 + 5), uint8_t(room)});
                    } else {
                        const uint32_t w = (distance - 1) << 4 | (length - 1);
                        in.insert(in.end(), {uint8_t(w), uint8_t(w >> 8)});
                    }
                    left -= length;
                    done += length;
                }
            }
            in.resize(in.size() + (distance ? 32 : 0), 0xAA);
            Pixels out;
            ASSERT_EQ(Decode(out, in, 16 + room), 0) << distance << " " << room;
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
    const Pixels picture = SlidePicture();
    const Bytes file = EncodeSlide(picture);
    EXPECT_LT(file.size(), kQjxDecodedSize * 3 / 4);
    Pixels decoded(kQjxPixelCount);
    ASSERT_EQ(QjxDecodeFile(file.data(), file.size(), reinterpret_cast<uint8_t*>(decoded.data())), 0);
    EXPECT_EQ(decoded, picture);
    EXPECT_LT(EncodeSlide(Pixels(kQjxPixelCount, 0x424242)).size(), kQjxDecodedSize / 20);
    std::mt19937 rng(5);
    for (uint32_t n = 1; n < 40; ++n) {  // short streams of every length, few colours: many references
        Bytes small(n * 3), stream(QjxMaxStreamSize(n));
        for (auto& byte : small) byte = uint8_t(rng() % 3);
        stream.resize(QjxEncodeStream(small.data(), n, stream.data()));
        Pixels back;
        ASSERT_EQ(Decode(back, stream, n), 0) << n;
        for (uint32_t i = 0; i < n; ++i) EXPECT_EQ(std::memcmp(&back[i], &small[3 * i], 3), 0) << n;
    }
}
