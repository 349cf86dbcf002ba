// Where the 640 by 480 stage goes on the saver window.
#include <gtest/gtest.h>

#include "saver/saver_window.h"

namespace {

struct View {
    int x, y, width, height;
    bool operator==(const View& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};

View Compute(int w, int h, unsigned fit)
{
    View v;
    ComputeViewRect(w, h, fit, &v.x, &v.y, &v.width, &v.height);
    return v;
}

}  // namespace

TEST(ViewRect, CentredAtStageSizeUnlessFitScreenOrTooSmall)
{
    EXPECT_TRUE((Compute(1024, 768, 0) == View{192, 144, 640, 480}));
    EXPECT_TRUE((Compute(1024, 768, 1) == View{0, 0, 1024, 768}));
    EXPECT_TRUE((Compute(1024, 768, 7) == View{0, 0, 1024, 768}));
    EXPECT_TRUE((Compute(641, 481, 0) == View{0, 0, 640, 480}));
    EXPECT_TRUE((Compute(640, 480, 0) == View{0, 0, 640, 480}));
    EXPECT_TRUE((Compute(639, 768, 0) == View{0, 0, 639, 768}));
    EXPECT_TRUE((Compute(1024, 479, 0) == View{0, 0, 1024, 479}));
    EXPECT_TRUE((Compute(152, 112, 0) == View{0, 0, 152, 112}));
}
