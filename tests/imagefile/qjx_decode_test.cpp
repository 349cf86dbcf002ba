// The saver's QJX decoder against the reference decoder: hand-made streams, and every distance and room
// near the end of a picture, into buffers of exactly the picture's size.
#include <gtest/gtest.h>

#include <tuple>

#include "picture_files.h"
#include "qjx_reference.h"

namespace {

// Both buffers exactly as large as the stream and the picture: the sanitizers see any stray byte.
Pixels Decode(const Bytes& stream, uint32_t pixelCount, int* result)
{
    const Bytes in(stream);
    Pixels fast(pixelCount), plain(pixelCount);
    *result = QjxDecode(reinterpret_cast<uint8_t*>(fast.data()), in.data(), in.size(), pixelCount);
    EXPECT_EQ(*result, ReferenceDecode(reinterpret_cast<uint8_t*>(plain.data()), in.data(), in.size(), pixelCount));
    EXPECT_TRUE(*result != 0 || fast == plain);
    return *result == 0 ? fast : Pixels();
}

}  // namespace

TEST(QjxDecode, HandMadeStreams)
{
    const uint32_t a = 0x030201, b = 0x060504;
    const std::tuple<Bytes, uint32_t, int, Pixels> cases[] = {  // stream, pixels, result, picture
        {{0x80, 0x10, 0x20, 0x30, 0x0F, 0x00}, 17, 0, Pixels(17, 0x302010)},  // length 16, distance 1
        {{0xC0, 1, 2, 3, 4, 5, 6, 0x13, 0x00}, 6, 0, {a, b, a, b, a, b}},
        {{0xE0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x21, 0x00}, 5, 0, {a, b, 0x090807, a, b}},  // from the first pixel
        {{0xBF, 1, 2, 3, 0xAA, 0xBB}, 1, 0, {a}},  // unused flag bits and trailing bytes are ignored
        {{}, 1, -1, {}},                           // no flag byte
        {{0x80, 1, 2}, 1, -1, {}},                 // literal cut short
        {{0x80, 1, 2, 3, 0x00}, 2, -1, {}},        // reference cut short
        {{0x80, 1, 2, 3}, 2, -1, {}},              // stream ends before the count
        {{0x00, 0x00, 0x00}, 1, -1, {}},           // reference before the first pixel
        {{0x80, 1, 2, 3, 0x10, 0x00}, 2, -1, {}},  // distance 2 after one pixel
        {{0x80, 1, 2, 3, 0x01, 0x00}, 2, -1, {}},  // length 2 runs past the count
    };
    for (const auto& [stream, pixels, result, picture] : cases) {
        int got;
        EXPECT_EQ(Decode(stream, pixels, &got), picture) << pixels;
        EXPECT_EQ(got, result) << pixels;
    }
}

TEST(QjxDecode, EveryDistanceAndRoomAtTheEndOfThePicture)
{
    // Sixteen literal pixels, then items of one kind to the end: references of one distance, 16 pixels
    // long while they fit, with bytes after the stream so that only the picture's room decides how a
    // group is decoded; or (distance 0) literals up to the stream's last byte.
    for (uint32_t distance = 0; distance <= 16; ++distance) {
        for (uint32_t room = 1, end = 17; room <= 200; ++room, ++end) {
            Bytes in;
            for (uint32_t done = 0, item = 0, flags = 0; done < end; ++item) {
                if (item % 8 == 0) flags = uint32_t(in.size()), in.push_back(0);
                const uint32_t length = done < 16 || !distance ? 1 : std::min<uint32_t>(end - done, 16);
                const uint32_t w = (distance - 1) << 4 | (length - 1);
                if (done < 16 || !distance) in[flags] |= uint8_t(0x80 >> item % 8);
                if (done < 16 || !distance) in.insert(in.end(), {uint8_t(done * 37), uint8_t(done * 11 + 5), uint8_t(room)});
                else in.insert(in.end(), {uint8_t(w), uint8_t(w >> 8)});
                done += length;
            }
            in.resize(in.size() + (distance ? 32 : 0), 0xAA);
            int result;
            ASSERT_FALSE(Decode(in, end, &result).empty()) << distance << " " << room;
        }
    }
}
