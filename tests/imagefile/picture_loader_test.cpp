// The surface's picture loaders on real files: what the Win32 side adds to the portable readers (both
// entries, the surface's table and row order, refusals that keep or clear it), and the generated show.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "e2e.h"
#include "picture_files.h"
#include "render/w_dib32.h"

namespace {

class PictureLoaderTest : public ::testing::Test {
protected:
    std::string Write(const char* name, const Bytes& bytes)
    {
        EXPECT_TRUE(e2e::WriteFileBytes(folder_.File(name), AsText(bytes)));
        return folder_.File(name);
    }
    int Load(const Bytes& bytes) { return surface_.LoadImageFile(Write("picture", bytes).c_str(), nullptr); }
    DWORD Pixel(int x, int y) { return *surface_.PixelPtr(x, y); }
    int LoadMarker() { return Load(Bmp24(std::vector<uint32_t>(12, 0x123456), 4, 3)); }
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
    ASSERT_NE(window_.handle, nullptr);
    const Bytes picture = SlidePicture(), good = EncodeSlide(picture);
    const std::string path = Write("slide_01.qjx", good);
    for (int entry = 0; entry < 2; ++entry) {
        // After a bottom-up picture of the same size, whose surface a slide cannot be decoded into.
        ASSERT_EQ(Load(Bmp24(std::vector<uint32_t>(kQjxPixelCount), 640, 480)), 0);
        ASSERT_EQ(entry == 0 ? surface_.LoadImageFile(path.c_str(), nullptr) : surface_.LoadQjx(path.c_str()), 0);
        ASSERT_EQ(surface_.GetWidth(), 640);
        ASSERT_EQ(surface_.GetHeight(), 480);
        for (int i = 0; i < int(kQjxPixelCount); i += 997) {
            const uint8_t* p = &picture[3 * i];
            ASSERT_EQ(Pixel(i % 640, i / 640), DWORD(p[0] | p[1] << 8 | p[2] << 16)) << i;
        }
    }

    // Refused before decoding (short, not a slide's size, missing, a BMP through LoadQjx): the
    // surface keeps its picture.
    ASSERT_EQ(LoadMarker(), 0);
    Bytes wrongSize = good;
    wrongSize[2] = 3;
    for (const Bytes& bad : {Bytes(good.begin(), good.begin() + 5), wrongSize}) {
        EXPECT_EQ(surface_.LoadQjx(Write("bad.qjx", bad).c_str()), -1);
        EXPECT_EQ(Load(bad), -1);
    }
    EXPECT_EQ(surface_.LoadImageFile(folder_.File("missing.qjx").c_str(), nullptr), -1);
    EXPECT_EQ(surface_.LoadQjx(Write("marker.bmp", Bmp24(std::vector<uint32_t>(12), 4, 3)).c_str()), -1);
    EXPECT_TRUE(HoldsMarker());

    // Found broken while decoding (ends early, a reference before the first pixel): no half
    // picture is left behind, and the next slide still loads.
    Bytes early = good;
    early[6] = 0x00;
    for (const Bytes& bad : {Bytes(good.begin(), good.end() - 1), early}) {
        ASSERT_EQ(surface_.LoadQjx(path.c_str()), 0);
        EXPECT_EQ(Load(bad), -1);
        EXPECT_EQ(surface_.PixelPtr(0, 0), nullptr);
    }
    EXPECT_EQ(surface_.LoadImageFile(path.c_str(), nullptr), 0);
}

TEST_F(PictureLoaderTest, BmpTableRowOrderAndRefusals)
{
    // The surface keeps the table it converted with: the file's entries, then zeros.
    ASSERT_EQ(Load(BuildBmp({2, 2, 8, {0xFF0000AA, 0x0000BB00}, {0, 1, 0, 0, 1, 1, 0, 0}, 2})), 0);
    EXPECT_EQ(Pixel(0, 1), 0x0000AAu);  // first stored row is the bottom row
    EXPECT_EQ(Pixel(0, 0), 0x00BB00u);
    const DWORD* kept = reinterpret_cast<const DWORD*>(surface_.GetColorTable());
    EXPECT_EQ(std::vector<DWORD>(kept, kept + 3), (std::vector<DWORD>{0xFF0000AA, 0x0000BB00, 0}));

    // The same size stored top-down right after: read the right way up.
    ASSERT_EQ(Load(BuildBmp({2, -2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 0, 0, 0, 0, 0}})), 0);
    EXPECT_EQ(Pixel(1, 0), 0x060504u);
    EXPECT_EQ(Pixel(0, 1), 0x090807u);

    // Refused files (cut inside the header, last row short) leave the surface as it was.
    ASSERT_EQ(LoadMarker(), 0);
    const Bytes good = BuildBmp({2, 2, 24, {}, Bytes(16, 9)});
    EXPECT_EQ(Load(Bytes(good.begin(), good.begin() + 30)), -1);
    EXPECT_EQ(Load(Bytes(good.begin(), good.end() - 1)), -1);
    EXPECT_TRUE(HoldsMarker());
}

TEST_F(PictureLoaderTest, SampleShowSlidesAndMaskStrip)
{
    std::set<DWORD> samples;
    for (int i = 1; i <= 15; ++i) {
        char name[40];
        wsprintfA(name, "..\\show\\slide_%02d.qjx", i);
        ASSERT_EQ(surface_.LoadImageFile(e2e::BesideTest(name).c_str(), nullptr), 0) << name;
        samples.insert(Pixel(200, 300));
    }
    EXPECT_GE(samples.size(), 12u);  // fifteen different pictures, not one drawn fifteen times

    ASSERT_EQ(surface_.LoadImageFile(e2e::BesideTest("..\\show\\tile.bmp").c_str(), nullptr), 0);
    ASSERT_GE(surface_.GetWidth(), 256);
    ASSERT_GE(surface_.GetHeight(), 16);
    // Frame f is the 16 by 16 block at x = 16 f; a black pixel is one the new slide shows.
    auto shown = [&](int f, int x, int y) { return (Pixel(16 * f + x, y) & 0xFF) == 0; };
    for (int f = 0; f < 16; ++f) {
        int count = 0;
        for (int i = 0; i < 256; ++i) {
            count += shown(f, i % 16, i / 16);
            EXPECT_TRUE(f == 0 || !shown(f - 1, i % 16, i / 16) || shown(f, i % 16, i / 16)) << f;  // stays shown
        }
        EXPECT_EQ(count, 16 * (f + 1)) << f;  // sixteen more every frame, the last all black
    }
    // Evenly spread: each 4 by 4 part of the block gets exactly one pixel in the first frame.
    for (int q = 0; q < 16; ++q) {
        int n = 0;
        for (int k = 0; k < 16; ++k) n += shown(0, q % 4 * 4 + k % 4, q / 4 * 4 + k / 4);
        EXPECT_EQ(n, 1) << q;
    }
}
