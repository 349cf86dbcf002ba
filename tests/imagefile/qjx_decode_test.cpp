// The saver's QJX decoder and the reference decoder on hand-made streams, and at every distance and room
// near the end of a picture.
#include <gtest/gtest.h>

#include "picture_files.h"
#include "qjx_reference.h"

TEST(QjxDecode, HandMadeStreams)
{
    const std::tuple<Bytes, uint32_t, int, Pixels> cases[] = {  // stream, pixels, result, picture
        {{0xBF, 1, 2, 3, 0xAA, 0xBB}, 1, 0, {0x030201}},  // unused flag bits and trailing bytes are ignored
        {{0x80, 1, 2}, 1, -1, {}},                 // literal cut short
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
        for (uint32_t end = 18; end <= 317; ++end) {
            Bytes in;
            for (uint32_t done = 0, item = 0, flags = 0; done < end; ++item) {
                if (item % 8 == 0) flags = uint32_t(in.size());
                if (item % 8 == 0) in.push_back(0);
                const bool literal = done < 17 || !distance;
                const uint32_t length = literal ? 1 : std::min<uint32_t>(end - done, 16);
                if (literal) in[flags] |= uint8_t(0x80 >> item % 8);
                if (literal) in.insert(in.end(), {uint8_t(done * 37), uint8_t(done * 11 + 5), uint8_t(end)});
                else in.insert(in.end(), {uint8_t((distance - 1) << 4 | (length - 1)), uint8_t((distance - 1) >> 4)});
                done += length;
            }
            in.resize(in.size() + (distance ? 32 : 0), 0xAA);
            in.shrink_to_fit();  // exactly the stream's size
            Pixels out;
            int result;
            ASSERT_TRUE(DecodeBoth(in.data(), in.size(), end + (distance ? 0 : 200), &out, &result)) << distance << end;
            ASSERT_EQ(result, distance ? 0 : -1) << distance << " " << end;
        }
    }
}
