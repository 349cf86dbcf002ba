// The surface's picture loaders on real files: what the Win32 side adds to the portable readers (both
// entries, the colour table and row order in the surface, refusals that keep or clear the surface).
#include <gtest/gtest.h>

#include <string>

#include "e2e.h"
#include "picture_files.h"
#include "render/w_dib32.h"

namespace {

class PictureLoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = CreateWindowA("STATIC", "loader test", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        surface_ = new CDIBSurface(window_);
    }
    void TearDown() override
    {
        delete surface_;
        if (window_) DestroyWindow(window_);
    }
    std::string Write(const char* name, const Bytes& bytes)
    {
        std::string path = folder_.File(name);
        EXPECT_TRUE(e2e::WriteFileBytes(path, AsText(bytes)));
        return path;
    }
    int Load(const Bytes& bytes, const RGBQUAD* palette = nullptr)
    {
        return surface_->LoadImageFile(Write("picture", bytes).c_str(), palette);
    }
    DWORD Pixel(int x, int y) { return *surface_->PixelPtr(x, y); }
    // True while the surface still holds the 4 by 3 marker picture.
    bool HoldsMarker() { return surface_->GetWidth() == 4 && surface_->GetHeight() == 3 && Pixel(3, 2) == 0x123456; }

    HWND window_ = nullptr;
    CDIBSurface* surface_ = nullptr;
    e2e::TempFolder folder_;
};

}  // namespace

TEST_F(PictureLoaderTest, Slides)
{
    const Bytes picture = SlidePicture(), good = EncodeSlide(picture);
    const std::string path = Write("slide_01.qjx", good);
    for (int entry = 0; entry < 2; ++entry) {
        // After a bottom-up picture of the same size, whose surface a slide cannot be decoded into.
        ASSERT_EQ(Load(Bmp24(std::vector<uint32_t>(kQjxPixelCount), 640, 480)), 0);
        ASSERT_EQ(entry == 0 ? surface_->LoadImageFile(path.c_str(), nullptr) : surface_->LoadQjx(path.c_str()), 0);
        ASSERT_EQ(surface_->GetWidth(), 640);
        ASSERT_EQ(surface_->GetHeight(), 480);
        for (int y = 0; y < 480; y += 53)
            for (int x = 0; x < 640; x += 37) {
                const uint8_t* p = &picture[(size_t(y) * 640 + x) * 3];
                ASSERT_EQ(Pixel(x, y), DWORD(p[0] | p[1] << 8 | p[2] << 16)) << x << "," << y;
            }
    }

    // Refused before decoding (short, not a slide's size, missing, a BMP through LoadQjx): the surface
    // keeps its picture.
    ASSERT_EQ(Load(Bmp24(std::vector<uint32_t>(12, 0x123456), 4, 3)), 0);
    Bytes wrongSize = good;
    wrongSize[2] = 3;
    for (const Bytes& bad : {Bytes(good.begin(), good.begin() + 5), wrongSize}) {
        EXPECT_EQ(surface_->LoadQjx(Write("bad.qjx", bad).c_str()), -1);
        EXPECT_EQ(Load(bad), -1);
    }
    EXPECT_EQ(surface_->LoadImageFile(folder_.File("missing.qjx").c_str(), nullptr), -1);
    EXPECT_EQ(surface_->LoadQjx(Write("marker.bmp", Bmp24(std::vector<uint32_t>(12), 4, 3)).c_str()), -1);
    EXPECT_TRUE(HoldsMarker());

    // Found broken while decoding (ends early, a reference before the first pixel): no half picture is
    // left behind, and the next slide loads.
    Bytes early = good;
    early[6] = 0x00;
    for (const Bytes& bad : {Bytes(good.begin(), good.end() - 1), early}) {
        ASSERT_EQ(surface_->LoadQjx(path.c_str()), 0);
        EXPECT_EQ(Load(bad), -1);
        EXPECT_EQ(surface_->GetWidth(), 0);
        EXPECT_EQ(surface_->PixelPtr(0, 0), nullptr);
    }
    ASSERT_EQ(surface_->LoadImageFile(path.c_str(), nullptr), 0);
    EXPECT_EQ(Pixel(0, 0), DWORD(picture[0] | picture[1] << 8 | picture[2] << 16));
}

TEST_F(PictureLoaderTest, BmpTablesRowOrderAndRefusals)
{
    // 8 bits: the surface keeps the table it converted with, unless the caller gives a palette.
    const Bytes eight = BuildBmp({2, 2, 8, {0xFF0000AA, 0x0000BB00}, {0, 1, 0, 0, 1, 1, 0, 0}, 2});
    ASSERT_EQ(Load(eight), 0);
    EXPECT_EQ(Pixel(0, 1), 0x0000AAu);  // first stored row is the bottom row
    EXPECT_EQ(Pixel(0, 0), 0x00BB00u);
    const DWORD* kept = reinterpret_cast<const DWORD*>(surface_->GetColorTable());
    EXPECT_EQ(std::vector<DWORD>(kept, kept + 3), (std::vector<DWORD>{0xFF0000AA, 0x0000BB00, 0}));
    std::vector<RGBQUAD> palette(256);
    palette[1].rgbRed = 0x7F;
    ASSERT_EQ(Load(eight, palette.data()), 0);
    EXPECT_EQ(Pixel(0, 0), 0x7F0000u);

    // The same size stored top-down right after: read the right way up.
    ASSERT_EQ(Load(BuildBmp({2, -2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 0, 0, 0, 0, 0}})), 0);
    EXPECT_EQ(Pixel(1, 0), 0x060504u);
    EXPECT_EQ(Pixel(0, 1), 0x090807u);

    // Refused files (cut inside the header, last row short) leave the surface as it was.
    ASSERT_EQ(Load(Bmp24(std::vector<uint32_t>(12, 0x123456), 4, 3)), 0);
    const Bytes good = BuildBmp({2, 2, 24, {}, Bytes(16, 9)});
    EXPECT_EQ(Load(Bytes(good.begin(), good.begin() + 30)), -1);
    EXPECT_EQ(Load(Bytes(good.begin(), good.end() - 1)), -1);
    EXPECT_TRUE(HoldsMarker());
}
