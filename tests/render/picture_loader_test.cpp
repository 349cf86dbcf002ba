// The surface's picture loader on real files, as the saver calls it: slides, BMP files of every depth and
// row order with their colour table, and what a refused file leaves behind.
#include <utility>

#include "e2e.h"
#include "picture_files.h"
#include "surface_fixture.h"

namespace {

class PictureLoaderTest : public SurfaceTest {
protected:
    int Load(const Bytes& b)
    {
        const std::string path = folder.File("p");
        if (!e2e::WriteFileBytes(path, std::string(b.begin(), b.end()))) return -2;
        return surface.LoadImageFile(path.c_str(), nullptr);
    }
    Pixels Picture()  // top row first
    {
        Pixels all;
        for (int y = 0; DWORD* row = surface.PixelPtr(0, y); ++y) all.insert(all.end(), row, row + surface.GetWidth());
        return all;
    }
    Bytes Slide()
    {
        const Pixels picture = SlidePicture();
        Bytes bgr(kQjxDecodedSize), file(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount));
        for (uint32_t i = 0; i < kQjxPixelCount; ++i) std::memcpy(&bgr[3 * i], &picture[i], 3);
        file.resize(QjxEncodeFile(bgr.data(), file.data()));
        return file;
    }

    CDIBSurface& surface = *owned.emplace_back(new CDIBSurface(window));  // not created
    e2e::TempFolder folder;
    const Pixels markerPicture = Pixels(12, 0x123456);
    const Bytes marker = Bmp24(markerPicture, 4, 3);
};

}  // namespace

// After a bottom-up picture, which a slide's top-down surface cannot reuse.
TEST_F(PictureLoaderTest, SlideLoadsWhole)
{
    ASSERT_EQ(Load(Bmp24(Pixels(kQjxPixelCount), 640, 480)), 0);
    ASSERT_EQ(Load(Slide()), 0);
    EXPECT_TRUE(Picture() == SlidePicture());
}

// Short, another size (even of as many pixels), other magic: the surface keeps its picture.
TEST_F(PictureLoaderTest, SlideRefusedByItsHeaderLeavesTheSurfaceAsItWas)
{
    ASSERT_EQ(Load(marker), 0);
    for (const auto& [at, value] : {std::pair<size_t, int>{5, -1}, {5, 1}, {2, 2}, {1, 'K'}, {0, 'X'}}) {
        Bytes bad = Slide();
        if (value < 0) bad.resize(at);
        else bad[at] = uint8_t(value);
        EXPECT_EQ(Load(bad), -1) << "byte " << at;
    }
    EXPECT_EQ(Picture(), markerPicture);
}

// Ends early, or refers back before the first pixel: no half picture.
TEST_F(PictureLoaderTest, SlideFoundBrokenWhileDecodingLeavesNoPicture)
{
    const Bytes good = Slide();
    Bytes early = good;
    early[6] = 0x00;
    for (const Bytes& bad : {Bytes(good.begin(), good.end() - 1), early}) {
        ASSERT_EQ(Load(good), 0);
        EXPECT_EQ(Load(bad), -1);
        EXPECT_EQ(surface.PixelPtr(0, 0), nullptr);
    }
}

TEST_F(PictureLoaderTest, BmpOfEveryDepthAndRowOrderGivesItsPicture)
{
    Pixels full(256, 0), grey;
    full[0] = 0xFF112233;  // a reserved byte set still gives a zero fourth byte
    full[255] = 0x00445566;
    for (uint32_t i = 0; i < 16; ++i) grey.push_back(i * 0x010101);
    const Bytes rgb = {1, 2, 3, 4, 5, 6, 0x77, 0x77, 7, 8, 9, 10, 11, 12, 0x77, 0x77};  // two padded rows
    const std::pair<BmpSpec, Pixels> cases[] = {  // the file, its picture top row first
        {{2, 1, 8, full, {0, 255, 0, 0}}, {0x112233, 0x445566}},
        {{2, 1, 8, {0xAA, 0xBB}, {1, 200, 0, 0}, 2}, {0xBB, 0}},  // an index past biClrUsed reads a zero entry
        {{3, 2, 4, grey, {0x12, 0x3F, 0xEE, 0xEE, 0x45, 0x6F, 0xEE, 0xEE}},
         {0x040404, 0x050505, 0x060606, 0x010101, 0x020202, 0x030303}},
        {{2, 2, 24, {}, rgb, 0, 40, 1, 10}, {0x090807, 0x0C0B0A, 0x030201, 0x060504}},  // compressed, a gap
        {{2, -2, 24, {}, rgb}, {0x030201, 0x060504, 0x090807, 0x0C0B0A}},                // top-down
        {{1, 1, 32, {}, {1, 2, 3, 4}}, {0x04030201}},
        {{1, 1, 8, {0x00102030}, {0, 0, 0, 0}, 1, 124}, {0x102030}},  // the table behind a larger info header
    };
    for (const auto& [file, picture] : cases) {
        EXPECT_EQ(Load(BuildBmp(file)), 0) << file.bitCount << " bits";
        EXPECT_EQ(Picture(), picture) << file.bitCount << " bits";
    }
}

// No defined reading, or cut short (overflows are the fuzzer's part): the surface keeps its picture.
TEST_F(PictureLoaderTest, RefusedBmpLeavesTheSurfaceAsItWas)
{
    const Bytes good = BuildBmp({2, 2, 24, {}, Bytes(16, 1)});
    std::vector<Bytes> refused{BuildBmp({2, 1, 8, Pixels(257), Bytes(4), 257}),
                               BuildBmp({2, 1, 4, Pixels(17), Bytes(4), 17})};
    for (const auto& [at, value] : {std::pair<size_t, int>{18, 0}, {18, -2}, {22, 0}, {28, 16}, {14, 12}}) {
        refused.push_back(good);  // width 0 or negative, no rows, 16 bits, a header too small
        Put32(refused.back(), at, uint32_t(value));
    }
    for (size_t cut = 2; cut < good.size(); ++cut) refused.emplace_back(good.begin(), good.begin() + cut);
    ASSERT_EQ(Load(marker), 0);
    for (const Bytes& bad : refused) EXPECT_EQ(Load(bad), -1) << bad.size() << " bytes";
    EXPECT_EQ(Picture(), markerPicture);
}
