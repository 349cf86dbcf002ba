// slidetool makeshow from ImageMagick's pictures (makeshow_pictures.sh): sixteen files, pictures fitted on
// black as the saver loads them; refusals that leave the show as it was, and fifteen that replace it;
// files of a run that was cut off, and a show file that cannot be set aside, kept as they were; photos
// turned upright by their Exif orientation; a folder of forty pictures in subfolders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "render/w_dib32.h"
#include "../saver/saver_test_support.h"
#include "slidetool_run.h"

namespace {

std::string Picture(const std::string& name) { return e2e::BesideTest(("..\\makeshow_pictures\\" + name).c_str()); }

// The sixteen files of a show.
const std::vector<std::string>& ShowNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (int n = 1; n <= 15; ++n) all.push_back(saver_test::SlideName(n));
        all.push_back("tile.bmp");
        return all;
    }();
    return names;
}

// "name:bytes" of every file in the folder, sorted.
std::vector<std::string> Contents(const std::string& folder)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string bytes;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            e2e::ReadFileBytes(folder + "\\" + found.cFileName, &bytes))
            files.push_back(found.cFileName + (":" + bytes));
    }
    FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

// The slides of a show folder, loaded as the saver loads them.
bool LoadSlides(const std::string& show, int count, std::vector<std::unique_ptr<CDIBSurface>>* slides)
{
    HWND helper = CreateWindowExA(0, "STATIC", "helper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    for (int n = 1; n <= count; ++n) {
        char name[16];
        snprintf(name, sizeof name, "\\slide_%02d.qjx", n);
        slides->emplace_back(new CDIBSurface(helper));
        if (slides->back()->LoadImageFile((show + name).c_str(), nullptr) != 0) return false;
    }
    return true;
}

bool Near(DWORD pixel, DWORD colour, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int(pixel >> shift & 0xFF) - int(colour >> shift & 0xFF)) > tolerance) return false;
    return true;
}

}  // namespace

TEST(MakeShow, ThreePicturesFillFifteenSlidesInOrderBesideTheSampleMask)
{
    e2e::TempFolder out;
    const std::string show = out.File("show");
    std::string said, mask;
    ASSERT_EQ(RunTool({"makeshow", show, Picture("small.bmp"), Picture("big.jpg"), Picture("tall.png")}, &said), 0);
    EXPECT_NE(said.find("slide_04.qjx to slide_15.qjx: the 3 pictures again"), std::string::npos) << said;
    EXPECT_NE(said.find("3 pictures read, 15 slides and tile.bmp written"), std::string::npos) << said;
    ASSERT_TRUE(e2e::ReadFileBytes(e2e::BesideTest("..\\show\\tile.bmp"), &mask));
    const std::vector<std::string> files = Contents(show);
    ASSERT_EQ(files.size(), 16u);
    EXPECT_TRUE(files[15] == "tile.bmp:" + mask);
    for (int n = 4; n <= 15; ++n) EXPECT_EQ(files[n - 1].substr(12), files[(n - 1) % 3].substr(12)) << n;
}

TEST(MakeShow, EachPictureIsFittedOnBlack)
{
    e2e::TempFolder out;
    const std::string show = out.File("show");
    std::string said;
    ASSERT_EQ(RunTool({"makeshow", show, Picture("small.bmp"), Picture("big.jpg"), Picture("tall.png")}, &said), 0);
    EXPECT_NE(said.find("big.jpg (JPEG, 2400 by 1500) fitted to 640 by 400"), std::string::npos) << said;
    std::vector<std::unique_ptr<CDIBSurface>> slides;
    ASSERT_TRUE(LoadSlides(show, 3, &slides));
    const struct { int slide, x, y; DWORD colour; } points[] = {
        {0, 639, 236, 0xC04020}, {0, 0, 243, 0x2040C0}, {1, 160, 240, 0x30A050}, {1, 480, 240, 0xE0D040},
        {1, 320, 39, 0},         {1, 320, 40, 0xE0D040}, {1, 320, 439, 0xE0D040}, {1, 320, 440, 0},
        {2, 247, 100, 0},        {2, 248, 100, 0x8060F0}, {2, 391, 380, 0xF0A0A0}, {2, 392, 380, 0},
    };
    for (const auto& p : points)  // JPEG keeps colours within a few steps
        EXPECT_TRUE(Near(*slides[p.slide]->PixelPtr(p.x, p.y), p.colour, 8)) << p.slide << " " << p.x << "," << p.y;
}

TEST(MakeShow, RefusalsLeaveTheShowAsItWas)
{
    e2e::TempFolder out;
    const std::string show = out.File("show"), bmp = Picture("small.bmp");
    std::string said;
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
        EXPECT_NE(said.find(refusal.message), std::string::npos) << said;
        EXPECT_TRUE(Contents(show) == before) << refusal.message;
    }
}

TEST(MakeShow, FifteenPicturesReplaceTheShowWithoutRepeating)
{
    e2e::TempFolder out;
    const std::string show = out.File("show");
    std::vector<std::string> fifteen(17, Picture("tall.png"));
    fifteen[0] = "makeshow";
    fifteen[1] = show;
    fifteen[3] = Picture("big.jpg");
    std::string said;
    ASSERT_EQ(RunTool({"makeshow", show, Picture("small.bmp")}, &said), 0) << said;
    ASSERT_EQ(RunTool(fifteen, &said), 0) << said;
    EXPECT_EQ(said.find("again"), std::string::npos) << said;
    EXPECT_EQ(said.find("taken"), std::string::npos) << said;
    const std::vector<std::string> after = Contents(show);
    ASSERT_EQ(after.size(), 16u);
    EXPECT_NE(after[1].substr(12), after[0].substr(12)) << "slide 2 is big.jpg";
}

// A run ended after it set the old show aside and placed two slides: the old show is only in the .old
// files. The next run touches none of them and says what to do.
TEST(MakeShow, ARunAfterOneCutOffWhileTheOldShowWasAsideChangesNothing)
{
    e2e::TempFolder show;
    for (size_t i = 0; i < ShowNames().size(); ++i) {
        const std::string name = show.File(ShowNames()[i].c_str());
        ASSERT_TRUE(e2e::WriteFileBytes(name + ".old", "old " + ShowNames()[i]));
        ASSERT_TRUE(e2e::WriteFileBytes(i < 2 ? name : name + ".new", "new " + ShowNames()[i]));
    }
    const std::vector<std::string> before = Contents(show.Path());
    std::string said;
    EXPECT_NE(RunTool({"makeshow", show.Path(), Picture("small.bmp")}, &said), 0);
    EXPECT_NE(said.find(show.File("slide_01.qjx.old") + " is in the way"), std::string::npos) << said;
    EXPECT_NE(said.find(show.File("tile.bmp.old") + " is in the way"), std::string::npos) << said;
    EXPECT_NE(said.find("may be the only copy of the show there before"), std::string::npos) << said;
    EXPECT_TRUE(Contents(show.Path()) == before);
}

// A show file that cannot be moved (open without sharing in another program), the first of the show or
// the last: the files set aside before it come back, the new ones go.
TEST(MakeShow, AShowFileThatCannotBeSetAsideLeavesTheShowAsItWas)
{
    e2e::TempFolder show;
    for (const std::string& name : ShowNames())
        ASSERT_TRUE(e2e::WriteFileBytes(show.File(name.c_str()), "old " + name));
    const std::vector<std::string> before = Contents(show.Path());
    for (const char* held : {"slide_01.qjx", "tile.bmp"}) {
        HANDLE file = CreateFileA(show.File(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::string said;
        EXPECT_NE(RunTool({"makeshow", show.Path(), Picture("small.bmp")}, &said), 0) << held;
        CloseHandle(file);
        EXPECT_NE(said.find("cannot write the show into " + show.Path() + "; nothing there was changed"),
                  std::string::npos) << said;
        EXPECT_TRUE(Contents(show.Path()) == before) << held;
    }
}

TEST(MakeShow, EachExifOrientationComesOutUprightAndUnmirrored)
{
    e2e::TempFolder out;
    const std::string show = out.File("show");
    std::string said;
    ASSERT_EQ(RunTool({"makeshow", show, Picture("orient")}, &said), 0) << said;
    const std::string turned = "o6.jpg (JPEG, 300 by 200, upright by Exif orientation 6) fitted to 640 by 427";
    EXPECT_NE(said.find(turned), std::string::npos) << said;
    EXPECT_NE(said.find("o1.jpg (JPEG, 300 by 200) fitted"), std::string::npos) << said;
    std::vector<std::unique_ptr<CDIBSurface>> slides;
    ASSERT_TRUE(LoadSlides(show, 8, &slides));
    // 300 by 200 upright lands at 0, 26, 640 by 427: a quarter-turned picture left unturned would stand
    // 320 wide from x 160, over the black above.
    const struct { int x, y; DWORD colour; } points[] = {
        {160, 133, 0xE02020}, {480, 133, 0x20C020}, {160, 346, 0x2020E0}, {480, 346, 0xE0E020}, {320, 12, 0},
    };
    for (int n = 0; n < 8; ++n)
        for (const auto& p : points)
            EXPECT_TRUE(Near(*slides[n]->PixelPtr(p.x, p.y), p.colour, 12)) << "orientation " << n + 1 << " at " << p.x
                                                                           << "," << p.y;
}

TEST(MakeShow, FolderOfFortyGivesFifteenFromAcrossItAndCountsWhatItSkipped)
{
    e2e::TempFolder out;
    const std::string show = out.File("show");
    std::string said;
    ASSERT_EQ(RunTool({"makeshow", show, Picture("many")}, &said), 0) << said;
    EXPECT_NE(said.find("40 pictures found; 15 taken evenly from the first to the last: "
                        "1 3 6 9 12 14 17 20 23 26 28 31 34 37 40 of 40"), std::string::npos) << said;
    EXPECT_NE(said.find("1/15 slide_01.qjx: "), std::string::npos) << said;
    EXPECT_NE(said.find("15/15 slide_15.qjx: "), std::string::npos) << said;
    EXPECT_NE(said.find("; 1 file in the folders skipped: 1 not a BMP, JPEG, PNG or GIF picture\r\n"),
              std::string::npos) << said;
    std::vector<std::unique_ptr<CDIBSurface>> slides;
    ASSERT_TRUE(LoadSlides(show, 15, &slides));
    // Picture i is red 6i, green 255 - 6i.
    const int taken[15] = {0, 2, 5, 8, 11, 13, 16, 19, 22, 25, 27, 30, 33, 36, 39};
    for (int n = 0; n < 15; ++n) {
        const DWORD colour = DWORD(6 * taken[n]) << 16 | DWORD(255 - 6 * taken[n]) << 8 | 128;
        EXPECT_TRUE(Near(*slides[n]->PixelPtr(320, 240), colour, 2)) << "slide " << n + 1 << " is picture " << taken[n];
    }
}

TEST(MakeShow, RandomPickRepeatsWithItsSeed)
{
    e2e::TempFolder out;
    std::string first, again, other;
    ASSERT_EQ(RunTool({"makeshow", "--pick", "random", "--seed", "3", out.File("a"), Picture("many")}, &first), 0);
    ASSERT_EQ(RunTool({"makeshow", out.File("b"), Picture("many"), "--pick", "random", "--seed", "3"}, &again), 0);
    ASSERT_EQ(RunTool({"makeshow", "--pick", "random", "--seed", "4", out.File("c"), Picture("many")}, &other), 0);
    const auto picked = [](const std::string& said) {
        const size_t from = said.find("again):");
        return from == std::string::npos ? said : said.substr(from, said.find(" of 40") - from);
    };
    EXPECT_NE(first.find("40 pictures found; 15 taken at random (seed 3: --seed 3 takes the same again):"),
              std::string::npos) << first;
    EXPECT_EQ(picked(first), picked(again));
    EXPECT_NE(picked(first), picked(other));
    EXPECT_TRUE(Contents(out.File("a")) == Contents(out.File("b")));
}
