// slidetool makeshow from pictures that ImageMagick made (tests/tools/CMakeLists.txt): the sixteen
// files, fitted pictures centred on black, the real saver playing the show; refusals change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "render/w_dib32.h"
#include "saver_driving.h"

using namespace saver_driving;

namespace {

std::string Picture(const std::string& name) { return e2e::BesideTest(("..\\makeshow_pictures\\" + name).c_str()); }

// Runs slidetool; what it prints on either stream lands in *said.
long RunTool(const std::vector<std::string>& arguments, std::string* said)
{
    e2e::TempFolder folder;
    std::string command = "\"" + e2e::BesideTest("slidetool.exe") + "\"";
    for (const std::string& argument : arguments) command += " \"" + argument + "\"";
    e2e::Process tool;
    if (!tool.Start("cmd /c \"" + command + " >\"" + folder.File("said.txt") + "\" 2>&1\"")) return -100;
    const long code = tool.Wait(60000);
    e2e::ReadFileBytes(folder.File("said.txt"), said);
    return code;
}

// Every file of the folder with its bytes, sorted by name.
std::vector<std::string> Contents(const std::string& folder)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string bytes;
        e2e::ReadFileBytes(folder + "\\" + found.cFileName, &bytes);
        if (found.cFileName[0] != '.') files.push_back(found.cFileName + (":" + bytes));
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

bool Near(DWORD a, DWORD b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 8) return false;
    return true;
}

}  // namespace

TEST(MakeShow, ShowFromOwnPicturesPlaysInTheSaver)
{
    e2e::TempFolder out;
    const std::string show = out.File("show");
    std::string said;
    ASSERT_EQ(RunTool({"makeshow", show, Picture("small.bmp"), Picture("big.jpg"), Picture("tall.png")}, &said), 0);
    EXPECT_NE(said.find("slide_04.qjx to slide_15.qjx: the 3 pictures again"), std::string::npos) << said;
    EXPECT_NE(said.find("3 pictures read, 15 slides and tile.bmp written"), std::string::npos) << said;
    const std::vector<std::string> files = Contents(show);
    ASSERT_EQ(files.size(), 16u);
    std::string sampleMask;
    ASSERT_TRUE(e2e::ReadFileBytes(e2e::BesideTest("..\\show\\tile.bmp"), &sampleMask));
    EXPECT_TRUE(files[15] == "tile.bmp:" + sampleMask);
    HWND helper = CreateWindowExA(0, "STATIC", "helper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::unique_ptr<CDIBSurface>> slides;
    for (int n = 1; n <= 15; ++n) {
        char name[32];
        snprintf(name, sizeof name, "slide_%02d.qjx", n);
        EXPECT_EQ(files[n - 1].substr(0, 13), std::string(name) + ":");
        EXPECT_EQ(files[n - 1].substr(13), files[(n - 1) % 3].substr(13)) << name << " repeats in order";
        EXPECT_EQ(RunTool({"info", show + "\\" + name}, &said), 0) << said;
        slides.emplace_back(new CDIBSurface(helper));
        ASSERT_EQ(slides.back()->LoadImageFile((show + "\\" + name).c_str(), nullptr), 0);
    }
    const struct { int slide, x, y; DWORD colour; } points[] = {
        {0, 0, 0, 0xC04020},   {0, 639, 236, 0xC04020}, {0, 0, 243, 0x2040C0}, {0, 639, 479, 0x2040C0},
        {1, 160, 240, 0x30A050}, {1, 480, 240, 0xE0D040}, {1, 320, 39, 0},    {1, 320, 40, 0xE0D040},
        {1, 320, 439, 0xE0D040}, {1, 320, 440, 0},        {2, 247, 240, 0},   {2, 248, 240, 0x8060F0},
        {2, 391, 240, 0x8060F0}, {2, 392, 240, 0},        {2, 320, 0, 0x8060F0}, {2, 320, 479, 0x8060F0},
    };
    for (const auto& p : points)
        EXPECT_TRUE(Near(*slides[p.slide]->PixelPtr(p.x, p.y), p.colour)) << p.slide << " " << p.x << "," << p.y;

    // The saver plays the folder: after the first transition one of the slides stands, centred.
    e2e::RegistrySnapshot keep(HKEY_CURRENT_USER, kSaverKey);
    SetString(kSaverKey, "Path", show.c_str());
    SetDword(kSaverKey, "Fit Screen", 0);
    SetCursorPos(500, 400);
    e2e::Process saver;
    ASSERT_TRUE(saver.Start(SaverCommand("/s")));
    ASSERT_NE(FindSaverWindow(saver.Id()), nullptr);
    Sleep(7500);  // the slowest first transition, the wipe, takes 61 ticks
    const int x0 = (GetSystemMetrics(SM_CXSCREEN) - 640) / 2, y0 = (GetSystemMetrics(SM_CYSCREEN) - 480) / 2;
    CDIBSurface shot(helper);
    ASSERT_EQ(shot.Create(640, 480), 0);
    HDC screen = GetDC(nullptr);
    BitBlt(shot.GetMemDC(), 0, 0, 640, 480, screen, x0, y0, SRCCOPY);
    ReleaseDC(nullptr, screen);
    PressKey(VK_SPACE);
    EXPECT_EQ(saver.Wait(3000), 0);
    int shown = 0;
    for (int n = 0; n < 3; ++n) {
        bool same = true;
        for (int y = 0; y < 480 && same; ++y)
            same = std::equal(shot.PixelPtr(0, y), shot.PixelPtr(0, y) + 640, slides[n]->PixelPtr(0, y),
                              [](DWORD a, DWORD b) { return (a & 0xFFFFFF) == (b & 0xFFFFFF); });
        shown += same;
    }
    EXPECT_EQ(shown, 1);
    slides.clear();
    DestroyWindow(helper);
}

TEST(MakeShow, RefusalsLeaveTheShowAsItWas)
{
    e2e::TempFolder out;
    const std::string show = out.File("show"), bmp = Picture("small.bmp");
    std::string said;
    ASSERT_EQ(RunTool({"makeshow", show, Picture("tall.png")}, &said), 0) << said;  // one picture is enough
    const std::vector<std::string> before = Contents(show);
    ASSERT_TRUE(e2e::WriteFileBytes(out.File("file"), "x"));
    ASSERT_TRUE(CreateDirectoryA((show + "\\slide_09.qjx.new").c_str(), nullptr));  // writing stops there
    std::vector<std::string> fifteen = {"makeshow", show}, sixteen;
    fifteen.resize(17, bmp);
    sixteen = fifteen;
    sixteen.push_back(bmp);
    const struct { std::vector<std::string> arguments; std::string message; } refusals[] = {
        {{"makeshow", show, bmp, Picture("junk.jpg")}, "junk.jpg: not a BMP, JPEG, PNG or GIF picture"},
        {{"makeshow", show, bmp, Picture("missing.png")}, "cannot read " + Picture("missing.png")},
        {{"makeshow", show}, "usage: slidetool"},
        {sixteen, "a show takes 1 to 15 pictures; 16 given"},
        {{"makeshow", out.File("file"), bmp}, "is a file, not a folder"},
        {{"makeshow", show, bmp}, "cannot write the show"},
    };
    for (const auto& refusal : refusals) {
        EXPECT_NE(RunTool(refusal.arguments, &said), 0) << refusal.message;
        EXPECT_NE(said.find(refusal.message), std::string::npos) << said;
        std::vector<std::string> now = Contents(show);
        now.erase(std::remove(now.begin(), now.end(), "slide_09.qjx.new:"), now.end());
        EXPECT_TRUE(now == before) << refusal.message;
    }
    ASSERT_TRUE(RemoveDirectoryA((show + "\\slide_09.qjx.new").c_str()));
    ASSERT_EQ(RunTool(fifteen, &said), 0) << said;  // fifteen pictures replace the show
    EXPECT_NE(said.find("15 pictures read"), std::string::npos) << said;
    EXPECT_EQ(said.find("again"), std::string::npos) << said;
    const std::vector<std::string> after = Contents(show);
    ASSERT_EQ(after.size(), 16u);
    EXPECT_TRUE(after[14].substr(13) == after[0].substr(13) && after[0] != before[0]);
}
