// Picking fifteen of a long list: the spread's ends and steps, and the random pick's range, repeatability
// and spread over the whole list.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tools/slidetool/picture_pick.h"

namespace {

std::vector<uint32_t> Spread(uint32_t count, uint32_t taken)
{
    std::vector<uint32_t> indices(taken);
    PickSpread(count, taken, indices.data());
    return indices;
}

std::vector<uint32_t> Random(uint32_t count, uint32_t taken, uint32_t seed)
{
    std::vector<uint32_t> indices(taken);
    PickRandom(count, taken, seed, indices.data());
    return indices;
}

}  // namespace

TEST(PicturePick, SpreadTakesFirstAndLastInEvenSteps)
{
    EXPECT_EQ(Spread(15, 15), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(Spread(16, 15), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15}));
    EXPECT_EQ(Spread(40, 15), (std::vector<uint32_t>{0, 2, 5, 8, 11, 13, 16, 19, 22, 25, 27, 30, 33, 36, 39}));
    EXPECT_EQ(Spread(300, 15).back(), 299u);
    EXPECT_EQ(Spread(7, 1), (std::vector<uint32_t>{0}));
}

TEST(PicturePick, RandomIsDifferentInRangeAndRepeatable)
{
    for (uint32_t count : {15u, 16u, 40u, 100000u}) {
        const std::vector<uint32_t> picked = Random(count, 15, 7);
        EXPECT_TRUE(std::adjacent_find(picked.begin(), picked.end(), std::greater_equal<uint32_t>()) == picked.end())
            << count << ": ascending and all different";
        EXPECT_LT(picked.back(), count);
        EXPECT_EQ(Random(count, 15, 7), picked) << count;
    }
    EXPECT_NE(Random(40, 15, 7), Random(40, 15, 8));
}

TEST(PicturePick, RandomReachesEveryPictureOfTheList)
{
    std::vector<int> times(40);
    for (uint32_t seed = 0; seed < 400; ++seed)
        for (uint32_t i : Random(40, 15, seed)) ++times[i];
    // Each is taken 150 times in 400 draws of 15 of 40 on average.
    EXPECT_GT(*std::min_element(times.begin(), times.end()), 100);
    EXPECT_LT(*std::max_element(times.begin(), times.end()), 200);
}
