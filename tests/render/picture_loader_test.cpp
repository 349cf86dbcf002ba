// The surface's picture loaders on real files: slides through both entries, BMP files of every depth
// and row order with their colour table or the caller's palette, and what a refused file leaves behind.
#include <gtest/gtest.h>

#include "e2e.h"
#include "picture_files.h"
#include "render/w_dib32.h"

namespace {

class PictureLoaderTest : public ::testing::Test {
protected:
    std::string Write(const Bytes& b) { return e2e::WriteFileBytes(folder_.File("p"), std::string(b.begin(), b.end())) ? folder_.File("p") : ""; }
    int Load(const Bytes& b, const void* palette = nullptr) { return surface_.LoadImageFile(Write(b).c_str(), static_cast<const RGBQUAD*>(palette)); }
    Pixels Picture()  // top row first
    {
        Pixels all;
        for (int y = 0; DWORD* row = surface_.PixelPtr(0, y); ++y) all.insert(all.end(), row, row + surface_.GetWidth());
        return all;
    }
    Pixels Table() { auto t = reinterpret_cast<const DWORD*>(surface_.GetColorTable()); return Pixels(t, t + 256); }
    bool HoldsMarker() { return surface_.GetWidth() == 4 && Picture() == Pixels(12, 0x123456); }
    ~PictureLoaderTest() override { surface_.Destroy(), DestroyWindow(window_); }  // the window outlives the picture

    HWND window_ = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr, nullptr, nullptr);
    CDIBSurface surface_{window_};
    e2e::TempFolder folder_;
    const Bytes marker_ = Bmp24(Pixels(12, 0x123456), 4, 3);
};

}  // namespace

TEST_F(PictureLoaderTest, Slides)
{
    const Pixels picture = SlidePicture();
    Bytes bgr(kQjxDecodedSize), good(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount));
    for (uint32_t i = 0; i < kQjxPixelCount; ++i) std::memcpy(&bgr[3 * i], &picture[i], 3);
    good.resize(QjxEncodeFile(bgr.data(), good.data()));
    for (int entry = 0; entry < 2; ++entry) {  // each after a bottom-up picture, which a slide cannot reuse
        ASSERT_EQ(Load(Bmp24(Pixels(kQjxPixelCount), 640, 480)), 0);
        ASSERT_EQ(entry == 0 ? Load(good) : surface_.LoadQjx(Write(good).c_str()), 0);
        EXPECT_TRUE(surface_.GetWidth() == 640 && Picture() == picture);
    }
    // Refused before decoding (short, other sizes, even of as many pixels, other magic): the surface stays.
    ASSERT_EQ(Load(marker_), 0);
    for (const auto& [at, value] : {std::pair<size_t, int>{5, -1}, {5, 1}, {2, 2}, {1, 'K'}, {0, 'X'}}) {
        Bytes bad = good;
        value < 0 ? bad.resize(at) : void(bad[at] = uint8_t(value));
        EXPECT_EQ(surface_.LoadQjx(Write(bad).c_str()), -1);
        EXPECT_EQ(Load(bad), -1);
    }
    EXPECT_EQ(surface_.LoadQjx(Write(marker_).c_str()), -1);
    EXPECT_TRUE(HoldsMarker());
    // Found broken while decoding (ends early, a reference before the first pixel): no half picture.
    Bytes early = good;
    early[6] = 0x00;
    for (const Bytes& bad : {Bytes(good.begin(), good.end() - 1), early}) {
        ASSERT_EQ(Load(good), 0);
        EXPECT_EQ(Load(bad), -1);
        EXPECT_EQ(surface_.PixelPtr(0, 0), nullptr);
    }
}

TEST_F(PictureLoaderTest, BmpEveryDepthRowOrderTableAndPalette)
{
    Pixels full(256, 0), grey;
    full[0] = 0xFF112233, full[255] = 0x00445566;  // a reserved byte set still gives a zero fourth byte
    for (uint32_t i = 0; i < 16; ++i) grey.push_back(i * 0x010101);
    const Bytes rgb = {1, 2, 3, 4, 5, 6, 0x77, 0x77, 7, 8, 9, 10, 11, 12, 0x77, 0x77};  // two padded rows
    const std::pair<BmpSpec, Pixels> cases[] = {  // the file, its picture top row first
        {{2, 1, 8, full, {0, 255, 0, 0}}, {0x112233, 0x445566}},
        {{2, 1, 8, {0xAA, 0xBB}, {1, 200, 0, 0}, 2}, {0xBB, 0}},  // index past biClrUsed reads a zero entry
        {{3, 2, 4, grey, {0x12, 0x3F, 0xEE, 0xEE, 0x45, 0x6F, 0xEE, 0xEE}},
         {0x040404, 0x050505, 0x060606, 0x010101, 0x020202, 0x030303}},
        {{2, 2, 24, {}, rgb, 0, 40, 1, 10}, {0x090807, 0x0C0B0A, 0x030201, 0x060504}},  // compressed, a gap
        {{2, -2, 24, {}, rgb}, {0x030201, 0x060504, 0x090807, 0x0C0B0A}},  // top-down
        {{1, 1, 32, {}, {1, 2, 3, 4}}, {0x04030201}},
        {{1, 1, 8, {0x00102030}, {0, 0, 0, 0}, 1, 124}, {0x102030}},  // table behind a larger info header
    };
    for (const auto& [file, picture] : cases) {
        EXPECT_EQ(Load(BuildBmp(file)), 0);
        EXPECT_EQ(Picture(), picture) << file.bitCount;
    }
    // The surface keeps the table it converted with: the file's entries, then zeros; or the caller's.
    const Bytes file = BuildBmp({2, 1, 8, {0xFF0000AA, 0x0000BB00}, {0, 1, 0, 0}, 2});
    Pixels fromFile(256, 0), palette(256, 0x00ABCDEF);
    fromFile[0] = 0xFF0000AA, fromFile[1] = 0x0000BB00, palette[1] = 0xFF010203;
    ASSERT_EQ(Load(file), 0);
    EXPECT_EQ(Table(), fromFile);
    ASSERT_EQ(Load(file, palette.data()), 0);
    EXPECT_EQ(Picture(), Pixels({0xABCDEF, 0x010203}));
    ASSERT_EQ(Load(marker_), 0);  // 24 and 32 bits leave the table alone
    ASSERT_EQ(Load(BuildBmp({1, 1, 32, {}, {1, 2, 3, 4}}), fromFile.data()), 0);
    EXPECT_EQ(Table(), palette);

    // Refused, the surface as it was: no defined reading, or cut (overflows are the fuzzer's part).
    const Bytes good = BuildBmp({2, 2, 24, {}, Bytes(16, 1)});
    std::vector<Bytes> refused{BuildBmp({2, 1, 8, Pixels(257), Bytes(4), 257}), BuildBmp({2, 1, 4, Pixels(17), Bytes(4), 17})};
    for (const auto& [at, value] : {std::pair<size_t, int>{18, 0}, {18, -2}, {22, 0}, {28, 16}, {14, 12}}) {
        refused.push_back(good);  // width 0 or negative, no rows, 16 bits, a header too small
        Put32(refused.back(), at, uint32_t(value));
    }
    for (size_t cut = 2; cut < good.size(); ++cut) refused.emplace_back(good.begin(), good.begin() + cut);
    ASSERT_EQ(Load(marker_), 0);
    for (const Bytes& bad : refused) EXPECT_EQ(Load(bad), -1) << bad.size();
    EXPECT_TRUE(HoldsMarker());
}
