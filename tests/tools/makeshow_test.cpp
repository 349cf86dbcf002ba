// slidetool makeshow end to end on ImageMagick's pictures (makeshow_pictures.sh): what it writes and says,
// slides fitted and turned upright as the saver loads them, and refusals that leave a show as it was.
#include <gtest/gtest.h>

#include <cstdlib>

#include "render/w_dib32.h"
#include "../saver/saver_test_support.h"
#include "slidetool_run.h"

namespace {

std::string Picture(const std::string& name) { return e2e::BesideTest(("..\\makeshow_pictures\\" + name).c_str()); }

// File i of the sixteen of a show.
std::string ShowName(int i) { return i < 15 ? saver_test::SlideName(i + 1) : "tile.bmp"; }

// "name:bytes" of every file in the folder, sorted.
std::vector<std::string> Contents(const std::string& folder)
{
    std::vector<std::string> files;
    for (const std::string& name : e2e::FileNames(folder)) {
        std::string bytes;
        e2e::ReadFileBytes(folder + "\\" + name, &bytes);
        files.push_back(name + ":" + bytes);
    }
    return files;
}

// Slide n (from 1) of the show, loaded as the saver loads it, is within tolerance of colour at x, y.
bool Near(const std::string& show, int n, int x, int y, DWORD colour, int tolerance)
{
    static const HWND helper = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    CDIBSurface slide(helper);
    const bool loaded = slide.LoadImageFile((show + "\\" + saver_test::SlideName(n)).c_str(), nullptr) == 0;
    const DWORD pixel = loaded ? *slide.PixelPtr(x, y) & 0xFFFFFF : 0xFF000000;
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int(pixel >> shift & 0xFF) - int(colour >> shift & 0xFF)) > tolerance) return false;
    return true;
}

bool Says(const std::string& said, const std::string& text) { return said.find(text) != std::string::npos; }

class MakeShow : public testing::Test {
protected:
    e2e::TempFolder out;
    const std::string show = out.File("show");
    std::string said;
};

}  // namespace

TEST_F(MakeShow, ThreePicturesFillFifteenSlidesInOrderFittedOnBlackBesideTheSampleMask)
{
    std::string mask;
    ASSERT_EQ(RunTool({"makeshow", show, Picture("small.bmp"), Picture("big.jpg"), Picture("tall.png")}, &said), 0);
    EXPECT_TRUE(Says(said, "slide_04.qjx to slide_15.qjx: the 3 pictures again")) << said;
    EXPECT_TRUE(Says(said, "3 pictures read, 15 slides and tile.bmp written")) << said;
    EXPECT_TRUE(Says(said, "big.jpg (JPEG, 2400 by 1500) fitted to 640 by 400")) << said;
    ASSERT_TRUE(e2e::ReadFileBytes(e2e::BesideTest("..\\show\\tile.bmp"), &mask));
    const std::vector<std::string> files = Contents(show);
    ASSERT_EQ(files.size(), 16u);
    EXPECT_TRUE(files[15] == "tile.bmp:" + mask);
    for (int n = 4; n <= 15; ++n) EXPECT_EQ(files[n - 1].substr(12), files[(n - 1) % 3].substr(12)) << n;
    const struct { int slide, x, y; DWORD colour; } points[] = {
        {1, 639, 236, 0xC04020}, {1, 0, 243, 0x2040C0}, {2, 160, 240, 0x30A050}, {2, 480, 240, 0xE0D040},
        {2, 320, 39, 0},         {2, 320, 40, 0xE0D040}, {2, 320, 439, 0xE0D040}, {2, 320, 440, 0},
        {3, 247, 100, 0},        {3, 248, 100, 0x8060F0}, {3, 391, 380, 0xF0A0A0}, {3, 392, 380, 0},
    };
    for (const auto& p : points)  // JPEG keeps colours within a few steps
        EXPECT_TRUE(Near(show, p.slide, p.x, p.y, p.colour, 8)) << p.slide << " " << p.x << "," << p.y;
}

TEST_F(MakeShow, RefusalsLeaveTheShowAsItWas)
{
    const std::string bmp = Picture("small.bmp");
    ASSERT_EQ(RunTool({"makeshow", show, bmp}, &said), 0) << said;
    // A file of the person's own under a name that makeshow writes first: writing stops at slide 9.
    ASSERT_TRUE(e2e::WriteFileBytes(show + "\\slide_09.qjx.new", "mine"));
    const std::vector<std::string> before = Contents(show);
    std::vector<std::string> sixteen(18, bmp);
    sixteen[0] = "makeshow";
    sixteen[1] = show;
    const struct { std::vector<std::string> arguments; std::string message; } refusals[] = {
        {{"makeshow", show, bmp, Picture("junk.jpg")}, "junk.jpg: not a BMP, JPEG, PNG or GIF picture"},
        {{"makeshow", show}, "usage: slidetool"},
        {sixteen, "16 pictures found; 15 taken evenly from the first to the last: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 16"},
        {{"makeshow", show, Picture("empty")}, "no pictures found"},
        {{"makeshow", Picture("junk.jpg"), bmp}, "is a file, not a folder"},
        {{"makeshow", show, bmp}, "slide_09.qjx.new: a file of that name is in the way); nothing there was changed"},
    };
    for (const auto& refusal : refusals) {
        EXPECT_NE(RunTool(refusal.arguments, &said), 0) << refusal.message;
        EXPECT_TRUE(Says(said, refusal.message)) << said;
        EXPECT_TRUE(Contents(show) == before) << refusal.message;
    }
}

// A show file that cannot be moved (open without sharing in another program), the first of the show or
// the last: the files set aside before it come back, the new ones go.
TEST_F(MakeShow, AShowFileThatCannotBeSetAsideLeavesTheShowAsItWas)
{
    for (int i = 0; i < 16; ++i) ASSERT_TRUE(e2e::WriteFileBytes(out.File(ShowName(i).c_str()), "old " + ShowName(i)));
    const std::vector<std::string> before = Contents(out.Path());
    for (const char* held : {"slide_01.qjx", "tile.bmp"}) {
        HANDLE file = CreateFileA(out.File(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        EXPECT_NE(RunTool({"makeshow", out.Path(), Picture("small.bmp")}, &said), 0) << held;
        CloseHandle(file);
        EXPECT_TRUE(Says(said, "cannot write the show into " + out.Path() + "; nothing there was changed")) << said;
        EXPECT_TRUE(Contents(out.Path()) == before) << held;
    }
}

TEST_F(MakeShow, EachExifOrientationComesOutUprightAndUnmirrored)
{
    ASSERT_EQ(RunTool({"makeshow", show, Picture("orient")}, &said), 0) << said;
    EXPECT_TRUE(Says(said, "o6.jpg (JPEG, 300 by 200, upright by Exif orientation 6) fitted to 640 by 427")) << said;
    // 300 by 200 upright lands at 0, 26, 640 by 427: a quarter-turned picture left unturned would stand
    // 320 wide from x 160, over the black above.
    const struct { int x, y; DWORD colour; } points[] = {
        {160, 133, 0xE02020}, {480, 133, 0x20C020}, {160, 346, 0x2020E0}, {480, 346, 0xE0E020}, {320, 12, 0},
    };
    for (int n = 1; n <= 8; ++n)
        for (const auto& p : points)
            EXPECT_TRUE(Near(show, n, p.x, p.y, p.colour, 12)) << "orientation " << n << " at " << p.x << "," << p.y;
}

TEST_F(MakeShow, FolderOfFortyGivesFifteenFromAcrossItAndCountsWhatItSkipped)
{
    ASSERT_EQ(RunTool({"makeshow", show, Picture("many")}, &said), 0) << said;
    EXPECT_TRUE(Says(said, "40 pictures found; 15 taken evenly from the first to the last: "
                           "1 3 6 9 12 14 17 20 23 26 28 31 34 37 40 of 40")) << said;
    EXPECT_TRUE(Says(said, "; 1 file in the folders skipped: 1 not a BMP, JPEG, PNG or GIF picture\r\n")) << said;
    // Picture i is red 6i, green 255 - 6i: the slides are the pictures the numbers above name.
    const int taken[15] = {0, 2, 5, 8, 11, 13, 16, 19, 22, 25, 27, 30, 33, 36, 39};
    for (int n = 1; n <= 15; ++n) {
        const DWORD colour = DWORD(6 * taken[n - 1]) << 16 | DWORD(255 - 6 * taken[n - 1]) << 8 | 128;
        EXPECT_TRUE(Near(show, n, 320, 240, colour, 2)) << "slide " << n << " is picture " << taken[n - 1];
    }
}

TEST_F(MakeShow, RandomPickRepeatsWithItsSeed)
{
    std::string first, again, other;
    ASSERT_EQ(RunTool({"makeshow", "--pick", "random", "--seed", "3", out.File("a"), Picture("many")}, &first), 0);
    ASSERT_EQ(RunTool({"makeshow", out.File("b"), Picture("many"), "--pick", "random", "--seed", "3"}, &again), 0);
    ASSERT_EQ(RunTool({"makeshow", "--pick", "random", "--seed", "4", out.File("c"), Picture("many")}, &other), 0);
    EXPECT_TRUE(Says(first, "40 pictures found; 15 taken at random (seed 3: --seed 3 takes the same again):")) << first;
    EXPECT_TRUE(Contents(out.File("a")) == Contents(out.File("b")));
    EXPECT_FALSE(Contents(out.File("a")) == Contents(out.File("c")));
}
