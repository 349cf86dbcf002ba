// The surface's picture loaders on real files: both entries, the colour table and palette, row order,
// what a refused or broken file leaves behind, and the generated show.
#include <gtest/gtest.h>

#include <set>

#include "e2e.h"
#include "picture_files.h"
#include "render/w_dib32.h"

namespace {

class PictureLoaderTest : public ::testing::Test {
protected:
    std::string Write(const Bytes& bytes)
    {
        EXPECT_TRUE(e2e::WriteFileBytes(folder_.File("picture"), std::string(bytes.begin(), bytes.end())));
        return folder_.File("picture");
    }
    int Load(const Bytes& bytes, const RGBQUAD* palette = nullptr) { return surface_.LoadImageFile(Write(bytes).c_str(), palette); }
    DWORD Pixel(int x, int y) { return *surface_.PixelPtr(x, y); }
    Pixels Table() { auto t = reinterpret_cast<const DWORD*>(surface_.GetColorTable()); return Pixels(t, t + 256); }
    int LoadMarker() { return Load(Bmp24(Pixels(12, 0x123456), 4, 3)); }
    bool HoldsMarker() { return surface_.GetWidth() == 4 && surface_.GetHeight() == 3 && Pixel(3, 2) == 0x123456; }

    // The surface draws through a window that outlives it.
    struct Window {
        HWND handle = CreateWindowA("STATIC", "loader test", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        ~Window() { DestroyWindow(handle); }
    } window_;
    CDIBSurface surface_{window_.handle};
    e2e::TempFolder folder_;
};

}  // namespace

TEST_F(PictureLoaderTest, Slides)
{
    const Pixels picture = SlidePicture();
    const Bytes good = EncodeSlide(picture);
    for (int entry = 0; entry < 2; ++entry) {
        // After a bottom-up picture of the same size, whose surface a slide cannot be decoded into.
        ASSERT_EQ(Load(Bmp24(Pixels(kQjxPixelCount), 640, 480)), 0);
        ASSERT_EQ(entry == 0 ? Load(good) : surface_.LoadQjx(Write(good).c_str()), 0);
        ASSERT_EQ(surface_.GetWidth() * 1000 + surface_.GetHeight(), 640480);
        for (int i = 0; i < int(kQjxPixelCount); i += 997) ASSERT_EQ(Pixel(i % 640, i / 640), picture[i]) << i;
    }
    // Refused before decoding: the surface keeps its picture.
    Bytes wrongSize = good;
    wrongSize[2] = 3;
    ASSERT_EQ(LoadMarker(), 0);
    for (const Bytes& bad : {Bytes(good.begin(), good.begin() + 5), wrongSize, Bytes{'X', 'J', 0}}) {
        EXPECT_EQ(surface_.LoadQjx(Write(bad).c_str()), -1);
        EXPECT_EQ(Load(bad), -1);
    }
    EXPECT_EQ(surface_.LoadImageFile(folder_.File("missing.qjx").c_str(), nullptr), -1);
    EXPECT_EQ(surface_.LoadQjx(Write(Bmp24(Pixels(12), 4, 3)).c_str()), -1);
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

TEST_F(PictureLoaderTest, BmpTablePaletteAndRowOrder)
{
    // The surface keeps the table it converted with: the file's entries, then zeros.
    const Bytes file = BuildBmp({2, 2, 8, {0xFF0000AA, 0x0000BB00}, {0, 1, 0, 0, 1, 1, 0, 0}, 2});
    ASSERT_EQ(Load(file), 0);
    EXPECT_EQ(Pixel(0, 1), 0x0000AAu);  // first stored row is the bottom row
    EXPECT_EQ(Pixel(1, 1), 0x00BB00u);
    Pixels expected(256, 0);
    expected[0] = 0xFF0000AA;
    expected[1] = 0x0000BB00;
    EXPECT_EQ(Table(), expected);
    // A caller's palette is used instead, for the pixels and the table; 24 and 32 bits leave it alone.
    Pixels palette(256, 0x00ABCDEF);
    palette[1] = 0xFF010203;
    ASSERT_EQ(Load(file, reinterpret_cast<const RGBQUAD*>(palette.data())), 0);
    EXPECT_EQ(Pixel(1, 1), 0x010203u);
    EXPECT_EQ(Pixel(0, 1), 0xABCDEFu);
    ASSERT_EQ(Load(BuildBmp({2, -2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 0, 0, 0, 0, 0}})), 0);
    EXPECT_EQ(Pixel(1, 0), 0x060504u);  // stored top-down: read the right way up
    EXPECT_EQ(Pixel(0, 1), 0x090807u);
    ASSERT_EQ(Load(BuildBmp({1, 1, 32, {}, {1, 2, 3, 4}}), reinterpret_cast<const RGBQUAD*>(expected.data())), 0);
    EXPECT_EQ(Table(), palette);
    // Refused files (cut inside the header, last row short) leave the surface as it was.
    ASSERT_EQ(LoadMarker(), 0);
    const Bytes good = BuildBmp({2, 2, 24, {}, Bytes(16, 9)});
    EXPECT_EQ(Load(Bytes(good.begin(), good.begin() + 30)), -1);
    EXPECT_EQ(Load(Bytes(good.begin(), good.end() - 1)), -1);
    EXPECT_TRUE(HoldsMarker());
}

TEST_F(PictureLoaderTest, SampleShow)
{
    std::set<DWORD> samples;
    for (int i = 1; i <= 15; ++i) {
        char name[40];
        wsprintfA(name, "..\\show\\slide_%02d.qjx", i);
        ASSERT_EQ(surface_.LoadImageFile(e2e::BesideTest(name).c_str(), nullptr), 0) << name;
        samples.insert(Pixel(200, 300));
    }
    EXPECT_GE(samples.size(), 12u);  // fifteen different pictures, not one drawn fifteen times
    // The mask strip: frame f is the 16 by 16 block at x = 16 f; its black pixels show the new slide,
    // sixteen more every frame, none taken back.
    ASSERT_EQ(surface_.LoadImageFile(e2e::BesideTest("..\\show\\tile.bmp").c_str(), nullptr), 0);
    ASSERT_GE(surface_.GetWidth() * surface_.GetHeight(), 256 * 16);
    auto shown = [&](int f, int i) { return f == -1 ? false : (Pixel(16 * f + i % 16, i / 16) & 0xFF) == 0; };
    for (int f = 0; f < 16; ++f) {
        int count = 0;
        for (int i = 0; i < 256; ++i) {
            count += shown(f, i);
            EXPECT_TRUE(!shown(f - 1, i) || shown(f, i)) << f;
        }
        EXPECT_EQ(count, 16 * (f + 1)) << f;
    }
}
