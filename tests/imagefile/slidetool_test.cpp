// The slide tool and the sample show: encode then decode keeps every pixel, refusals exit non-zero,
// and the generated show loads through the saver's loader with a well-formed mask strip.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e.h"
#include "imagefile/bmp_read.h"
#include "imagefile/bmp_write.h"
#include "render/w_dib32.h"

namespace {

long RunTool(const std::string& arguments)
{
    e2e::Process tool;
    if (!tool.Start("\"" + e2e::BesideTest("slidetool.exe") + "\" " + arguments)) return -100;
    return tool.Wait(60000);
}

std::string Quote(const std::string& path) { return "\"" + path + "\""; }

std::vector<uint32_t> ReadBmpPixels(const std::string& path, int* width, int* height)
{
    std::string bytes;
    EXPECT_TRUE(e2e::ReadFileBytes(path, &bytes));
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
    BmpLayout layout;
    if (BmpReadLayout(data, bytes.size(), &layout) != 0) return {};
    std::vector<uint32_t> pixels(size_t(layout.width) * layout.height), table(256);
    BmpDecode(data, bytes.size(), nullptr, table.data(), pixels.data(), pixels.size());
    *width = layout.width;
    *height = layout.height;
    return pixels;
}

void WriteBmp(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height)
{
    std::vector<uint8_t> file(BmpFileSize24(width, height));
    BmpWrite24(pixels.data(), width, height, file.data());
    ASSERT_TRUE(e2e::WriteFileBytes(path, std::string(file.begin(), file.end())));
}

}  // namespace

TEST(SlideTool, EncodeThenDecodeKeepsEveryPixel)
{
    e2e::TempFolder folder;
    std::vector<uint32_t> picture(640 * 480);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = uint32_t((i % 640) / 20 * 0x081020 + (i / 640) % 7 * 0x30 + (i * 2654435761u >> 29)) & 0xFFFFFF;
    const std::string in = folder.File("in.bmp"), qjx = folder.File("out.qjx"), back = folder.File("back.bmp");
    WriteBmp(in, picture, 640, 480);
    ASSERT_EQ(RunTool("encode " + Quote(in) + " " + Quote(qjx)), 0);
    EXPECT_EQ(RunTool("info " + Quote(qjx)), 0);
    ASSERT_EQ(RunTool("decode " + Quote(qjx) + " " + Quote(back)), 0);
    int width = 0, height = 0;
    EXPECT_EQ(ReadBmpPixels(back, &width, &height), picture);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
}

TEST(SlideTool, RefusesWhatTheSaverWouldRefuse)
{
    e2e::TempFolder folder;
    const std::string small = folder.File("small.bmp"), out = folder.File("out.qjx");
    WriteBmp(small, std::vector<uint32_t>(320 * 240, 0x102030), 320, 240);
    EXPECT_NE(RunTool("encode " + Quote(small) + " " + Quote(out)), 0);
    EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);
    // A BMP of another size is still a picture the saver can load.
    EXPECT_EQ(RunTool("decode " + Quote(small) + " " + Quote(folder.File("small2.bmp"))), 0);

    const std::string broken = folder.File("broken.qjx");
    ASSERT_TRUE(e2e::WriteFileBytes(broken, std::string("QJ\x00\x10\x0E\x00\xFF\x01", 8)));
    EXPECT_NE(RunTool("decode " + Quote(broken) + " " + Quote(folder.File("x.bmp"))), 0);
    EXPECT_NE(RunTool("info " + Quote(broken)), 0);
    EXPECT_NE(RunTool("decode " + Quote(folder.File("missing.qjx")) + " " + Quote(folder.File("x.bmp"))), 0);
    EXPECT_NE(RunTool("frobnicate"), 0);
}

TEST(SampleShow, SlidesLoadAndTheMaskStripIsCumulative)
{
    HWND window = CreateWindowA("STATIC", "show test", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    CDIBSurface* surface = new CDIBSurface(window);
    DWORD previousCorner = 0xFFFFFFFF;
    int distinct = 0;
    for (int i = 1; i <= 15; ++i) {
        char name[40];
        wsprintfA(name, "..\\show\\slide_%02d.qjx", i);
        ASSERT_EQ(surface->LoadImageFile(e2e::BesideTest(name).c_str(), nullptr), 0) << name;
        const DWORD corner = *surface->PixelPtr(200, 300);
        distinct += corner != previousCorner;
        previousCorner = corner;
    }
    EXPECT_GE(distinct, 12);

    ASSERT_EQ(surface->LoadImageFile(e2e::BesideTest("..\\show\\tile.bmp").c_str(), nullptr), 0);
    ASSERT_GE(surface->GetWidth(), 256);
    ASSERT_GE(surface->GetHeight(), 16);
    int shownBefore = 0;
    for (int f = 0; f < 16; ++f) {
        int shown = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool now = (*surface->PixelPtr(16 * f + x, y) & 0xFF) == 0;
                shown += now;
                if (f > 0 && (*surface->PixelPtr(16 * (f - 1) + x, y) & 0xFF) == 0) {
                    EXPECT_TRUE(now) << f;  // a pixel that has switched stays switched
                }
            }
        EXPECT_EQ(shown, 16 * (f + 1)) << f;  // sixteen more pixels every frame, the last all black
        EXPECT_GT(shown, shownBefore);
        shownBefore = shown;
    }
    // Evenly spread: each 4 by 4 part of the block gets exactly one pixel in the first frame.
    int firstFrameQuarters = 0;
    for (int qy = 0; qy < 4; ++qy)
        for (int qx = 0; qx < 4; ++qx) {
            int n = 0;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) n += (*surface->PixelPtr(qx * 4 + x, qy * 4 + y) & 0xFF) == 0;
            firstFrameQuarters += n == 1;
        }
    EXPECT_EQ(firstFrameQuarters, 16);
    delete surface;
    DestroyWindow(window);
}
