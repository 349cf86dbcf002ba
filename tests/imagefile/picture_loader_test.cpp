// The surface's picture loaders on real files: QJX slides, BMP files of every depth, and refusals that
// leave the surface as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e.h"
#include "imagefile/bmp_write.h"
#include "imagefile/qjx_encode.h"
#include "render/w_dib32.h"

namespace {

using Bytes = std::vector<uint8_t>;

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
        EXPECT_TRUE(e2e::WriteFileBytes(path, std::string(bytes.begin(), bytes.end())));
        return path;
    }
    DWORD Pixel(int x, int y) { return *surface_->PixelPtr(x, y); }

    // A recognisable 4 by 3 picture already in the surface, to see that a refusal keeps it.
    void LoadMarker()
    {
        std::vector<uint32_t> pixels(12, 0x00123456);
        Bytes file(BmpFileSize24(4, 3));
        BmpWrite24(pixels.data(), 4, 3, file.data());
        ASSERT_EQ(surface_->LoadImageFile(Write("marker.bmp", file).c_str(), nullptr), 0);
    }
    void ExpectMarker()
    {
        ASSERT_EQ(surface_->GetWidth(), 4);
        ASSERT_EQ(surface_->GetHeight(), 3);
        EXPECT_EQ(Pixel(3, 2), 0x00123456u);
    }

    HWND window_ = nullptr;
    CDIBSurface* surface_ = nullptr;
    e2e::TempFolder folder_;
};

Bytes Slide(Bytes* picture)
{
    picture->resize(kQjxDecodedSize);
    for (size_t i = 0; i < picture->size(); ++i) (*picture)[i] = uint8_t((i / 3) % 640 * 7 + i % 3 * 50 + i / 1920 / 8);
    Bytes file(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount));
    file.resize(QjxEncodeFile(picture->data(), file.data()));
    return file;
}

void Put32(Bytes& b, size_t at, uint32_t v) { for (int k = 0; k < 4; ++k) b[at + k] = uint8_t(v >> (8 * k)); }

// A minimal BMP with the given depth, table and stored rows.
Bytes Bmp(int32_t width, int32_t height, int bits, const std::vector<uint32_t>& table, const Bytes& rows)
{
    Bytes b(54 + 4 * table.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, uint32_t(b.size()));
    Put32(b, 14, 40);
    Put32(b, 18, uint32_t(width));
    Put32(b, 22, uint32_t(height));
    b[26] = 1;
    b[28] = uint8_t(bits);
    Put32(b, 46, uint32_t(table.size() == (1u << bits) ? 0 : table.size()));
    for (size_t i = 0; i < table.size(); ++i) Put32(b, 54 + 4 * i, table[i]);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

}  // namespace

TEST_F(PictureLoaderTest, SlideLoadsThroughBothEntries)
{
    Bytes picture;
    const std::string path = Write("slide_01.qjx", Slide(&picture));
    for (int entry = 0; entry < 2; ++entry) {
        ASSERT_EQ(entry == 0 ? surface_->LoadImageFile(path.c_str(), nullptr) : surface_->LoadQjx(path.c_str()), 0);
        ASSERT_EQ(surface_->GetWidth(), 640);
        ASSERT_EQ(surface_->GetHeight(), 480);
        for (int y = 0; y < 480; y += 53)
            for (int x = 0; x < 640; x += 37) {
                const uint8_t* p = &picture[(size_t(y) * 640 + x) * 3];
                ASSERT_EQ(Pixel(x, y), DWORD(p[0] | p[1] << 8 | p[2] << 16)) << x << "," << y;
            }
        EXPECT_EQ(Pixel(639, 479) >> 24, 0u);
    }
}

TEST_F(PictureLoaderTest, RefusedSlides)
{
    Bytes picture;
    const Bytes good = Slide(&picture);
    LoadMarker();

    // Refused from the header: the surface keeps its picture.
    Bytes size = good;
    size[2] = 3;  // 921603: not a slide's size
    const std::vector<Bytes> badHeader = {Bytes(good.begin(), good.begin() + 5), size, {'X', 'J', 0, 0x10, 0x0E, 0}};
    for (size_t i = 0; i < badHeader.size(); ++i) {
        const std::string path = Write("bad.qjx", badHeader[i]);
        EXPECT_EQ(surface_->LoadImageFile(path.c_str(), nullptr), -1) << i;
        EXPECT_EQ(surface_->LoadQjx(path.c_str()), -1) << i;
        ExpectMarker();
    }
    EXPECT_EQ(surface_->LoadImageFile(folder_.File("missing.qjx").c_str(), nullptr), -1);
    EXPECT_EQ(surface_->LoadQjx(folder_.File("missing.qjx").c_str()), -1);
    EXPECT_EQ(surface_->LoadQjx(folder_.File("marker.bmp").c_str()), -1);  // a BMP is not a slide
    ExpectMarker();

    // Found broken while decoding: no half picture is left behind, and the next slide loads.
    Bytes early = good;
    early[6] = 0x00;  // first item a reference: nothing to copy from yet
    const std::vector<Bytes> badStream = {Bytes(good.begin(), good.end() - 1), early};
    for (size_t i = 0; i < badStream.size(); ++i) {
        ASSERT_EQ(surface_->LoadQjx(Write("good.qjx", good).c_str()), 0);
        EXPECT_EQ(surface_->LoadImageFile(Write("bad.qjx", badStream[i]).c_str(), nullptr), -1) << i;
        EXPECT_EQ(surface_->GetWidth(), 0) << i;
        EXPECT_EQ(surface_->PixelPtr(0, 0), nullptr) << i;
    }
    ASSERT_EQ(surface_->LoadImageFile(folder_.File("good.qjx").c_str(), nullptr), 0);
    EXPECT_EQ(Pixel(0, 0), DWORD(picture[0] | picture[1] << 8 | picture[2] << 16));
}

TEST_F(PictureLoaderTest, BmpDepthsTablesAndRowOrder)
{
    // 8 bits, two table entries; the surface keeps the table it converted with.
    std::vector<uint32_t> table = {0xFF0000AA, 0x0000BB00};
    ASSERT_EQ(surface_->LoadImageFile(Write("p8.bmp", Bmp(2, 2, 8, table, {0, 1, 0, 0, 1, 1, 0, 0})).c_str(), nullptr), 0);
    EXPECT_EQ(Pixel(0, 1), 0x0000AAu);  // first stored row is the bottom row
    EXPECT_EQ(Pixel(1, 1), 0x00BB00u);
    EXPECT_EQ(Pixel(0, 0), 0x00BB00u);
    const DWORD* kept = reinterpret_cast<const DWORD*>(surface_->GetColorTable());
    EXPECT_EQ(kept[0], 0xFF0000AAu);
    EXPECT_EQ(kept[2], 0u);

    // The caller's palette wins.
    std::vector<RGBQUAD> palette(256);
    palette[1].rgbRed = 0x7F;
    ASSERT_EQ(surface_->LoadImageFile(folder_.File("p8.bmp").c_str(), palette.data()), 0);
    EXPECT_EQ(Pixel(0, 0), 0x7F0000u);

    // 4 bits, odd width.
    std::vector<uint32_t> sixteen;
    for (uint32_t i = 0; i < 16; ++i) sixteen.push_back(i);
    ASSERT_EQ(surface_->LoadImageFile(Write("p4.bmp", Bmp(3, 1, 4, sixteen, {0x12, 0x3F, 0, 0})).c_str(), nullptr), 0);
    EXPECT_EQ(surface_->GetWidth(), 3);
    EXPECT_EQ(Pixel(0, 0), 1u);
    EXPECT_EQ(Pixel(2, 0), 3u);

    // 24 bits, top-down: read the right way up.
    ASSERT_EQ(surface_->LoadImageFile(Write("td.bmp", Bmp(1, -2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0})).c_str(), nullptr), 0);
    EXPECT_EQ(surface_->GetHeight(), 2);
    EXPECT_EQ(Pixel(0, 0), 0x030201u);
    EXPECT_EQ(Pixel(0, 1), 0x060504u);

    // 32 bits keep the fourth byte.
    ASSERT_EQ(surface_->LoadImageFile(Write("p32.bmp", Bmp(1, 1, 32, {}, {1, 2, 3, 4})).c_str(), nullptr), 0);
    EXPECT_EQ(Pixel(0, 0), 0x04030201u);
}

TEST_F(PictureLoaderTest, RefusedBmpFilesLeaveTheSurfaceAsItWas)
{
    LoadMarker();
    const Bytes good = Bmp(2, 2, 24, {}, Bytes(16, 9));
    std::vector<Bytes> bad = {Bytes(good.begin(), good.end() - 1), Bmp(2, 2, 16, {}, Bytes(16, 9)),
                              Bmp(0, 2, 24, {}, Bytes(16, 9)), Bmp(-2, 2, 24, {}, Bytes(16, 9)),
                              Bmp(2, 0, 24, {}, {}), Bytes(good.begin(), good.begin() + 30)};
    Bytes overflow = good;
    Put32(overflow, 18, 0x7FFFFFFF);
    bad.push_back(overflow);
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_EQ(surface_->LoadImageFile(Write("bad.bmp", bad[i]).c_str(), nullptr), -1) << i;
        ExpectMarker();
    }
}
