// The saver's QJX decoder and the reference decoder on hand-made streams, and at every distance and room
// near the end of a picture.
#include <gtest/gtest.h>

#include "picture_files.h"
#include "qjx_reference.h"

TEST(QjxDecode, HandMadeStreams)
{
    const std::tuple<Bytes, uint32_t, int, Pixels> cases[] = {  // stream, pixels, result, picture
        {{0x80, 0x10, 0x20, 0x30, 0x0F, 0x00}, 17, 0, Pixels(17, 0x302010)},  // length 16, distance 1
        {{0xBF, 1, 2, 3, 0xAA, 0xBB}, 1, 0, {0x030201}},  // unused flag bits and trailing bytes are ignored
        {{}, 1, -1, {}},                           // no flag byte
        {{0x80, 1, 2}, 1, -1, {}},                 // literal cut short
        {{0x80, 1, 2, 3, 0x00}, 2, -1, {}},        // reference cut short
        {{0x80, 1, 2, 3}, 2, -1, {}},              // stream ends before the count
        {{0x00, 0x00, 0x00}, 1, -1, {}},           // reference before the first pixel
        {{0x80, 1, 2, 3, 0x10, 0x00}, 2, -1, {}},  // distance 2 after one pixel
        {{0x80, 1, 2, 3, 0x01, 0x00}, 2, -1, {}},  // length 2 runs past the count
    };
    for (const auto& [stream, pixels, result, picture] : cases) {  // each stream exactly its own size
        Pixels out;
        int got;
        EXPECT_TRUE(DecodeBoth(stream.data(), stream.size(), pixels, &out, &got)) << "the decoders agree";
        EXPECT_EQ(got, result) << pixels;
        EXPECT_EQ(out, picture) << pixels;
    }
}

TEST(QjxDecode, EveryDistanceAndRoomAtTheEndOfThePicture)
{
    // 17 literals, then references of one distance, 16 pixels while they fit, and bytes after the stream:
    // only the picture's room decides how a group is decoded. Distance 0: literals, 200 pixels short.
    for (uint32_t distance = 0; distance <= 17; ++distance) {
        for (uint32_t room = 1, end = 18; room <= 300; ++room, ++end) {
            Bytes in;
            for (uint32_t done = 0, item = 0, flags = 0; done < end; ++item) {
                if (item % 8 == 0) flags = uint32_t(in.size()), in.push_back(0);
                const uint32_t length = done < 17 || !distance ? 1 : std::min<uint32_t>(end - done, 16);
                const bool literal = done < 17 || !distance;
                if (literal) in[flags] |= uint8_t(0x80 >> item % 8);
                if (literal) in.insert(in.end(), {uint8_t(done * 37), uint8_t(done * 11 + 5), uint8_t(room)});
                else in.insert(in.end(), {uint8_t((distance - 1) << 4 | (length - 1)), uint8_t((distance - 1) >> 4)});
                done += length;
            }
            in.resize(in.size() + (distance ? 32 : 0), 0xAA);
            const Bytes exact(in);
            Pixels out;
            int result;
            ASSERT_TRUE(DecodeBoth(exact.data(), exact.size(), end + (distance ? 0 : 200), &out, &result))
                << distance << " " << room;
            ASSERT_EQ(result, distance ? 0 : -1) << distance << " " << room;
        }
    }
}
