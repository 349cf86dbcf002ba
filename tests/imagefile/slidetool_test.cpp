// The slide tool and the sample show: encode then decode keeps every pixel, refusals say why and exit
// non-zero, and the generated show loads through the saver's loader with a well-formed mask strip.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "e2e.h"
#include "picture_files.h"
#include "render/w_dib32.h"

namespace {

// Runs slidetool with each argument quoted; what it prints on either stream lands in *said.
long RunTool(const std::vector<std::string>& arguments, std::string* said = nullptr)
{
    e2e::TempFolder folder;
    const std::string log = folder.File("said.txt");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA start = {};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = start.hStdError = output;
    std::string command = "\"" + e2e::BesideTest("slidetool.exe") + "\"";
    for (const std::string& argument : arguments) command += " \"" + argument + "\"";
    PROCESS_INFORMATION info = {};
    DWORD code = DWORD(-100);
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &info)) {
        if (WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, DWORD(-1));
        WaitForSingleObject(info.hProcess, INFINITE);
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(output);
    if (said) e2e::ReadFileBytes(log, said);
    return long(code);
}

}  // namespace

TEST(SlideTool, EncodeThenDecodeGivesBackTheSameFile)
{
    e2e::TempFolder folder;
    std::vector<uint32_t> picture(640 * 480);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = uint32_t((i % 640) / 20 * 0x081020 + (i / 640) % 7 * 0x30 + (i * 2654435761u >> 29)) & 0xFFFFFF;
    const std::string bmp = AsText(Bmp24(picture, 640, 480));
    const std::string in = folder.File("in.bmp"), qjx = folder.File("out.qjx"), back = folder.File("back.bmp");
    ASSERT_TRUE(e2e::WriteFileBytes(in, bmp));
    ASSERT_EQ(RunTool({"encode", in, qjx}), 0);
    EXPECT_EQ(RunTool({"info", qjx}), 0);
    ASSERT_EQ(RunTool({"decode", qjx, back}), 0);
    std::string decoded;
    ASSERT_TRUE(e2e::ReadFileBytes(back, &decoded));
    EXPECT_TRUE(decoded == bmp);  // the same pixels, written the same way
}

TEST(SlideTool, RefusesWhatTheSaverWouldRefuse)
{
    e2e::TempFolder folder;
    const std::string small = folder.File("small.bmp"), out = folder.File("out.qjx"), broken = folder.File("broken.qjx");
    ASSERT_TRUE(e2e::WriteFileBytes(small, AsText(Bmp24(std::vector<uint32_t>(320 * 240, 0x102030), 320, 240))));
    ASSERT_TRUE(e2e::WriteFileBytes(broken, std::string("QJ\x00\x10\x0E\x00\xFF\x01", 8)));
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } refusals[] = {
        {{"encode", small, out}, "a slide must be exactly 640 by 480"},
        {{"decode", broken, folder.File("x.bmp")}, "the saver cannot load"},
        {{"info", broken}, "INVALID (stream)"},
        {{"decode", folder.File("missing.qjx"), folder.File("x.bmp")}, "the saver cannot load"},
        {{"frobnicate"}, "usage: slidetool encode"},
    };
    for (const auto& refusal : refusals) {
        std::string said;
        EXPECT_NE(RunTool(refusal.arguments, &said), 0) << refusal.message;
        EXPECT_NE(said.find(refusal.message), std::string::npos) << said;
    }
    EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(folder.File("x.bmp").c_str()), INVALID_FILE_ATTRIBUTES);
    // A BMP of another size is still a picture the saver can load.
    EXPECT_EQ(RunTool({"decode", small, folder.File("small2.bmp")}), 0);
}

TEST(SampleShow, SlidesLoadAndTheMaskStripIsCumulative)
{
    HWND window = CreateWindowA("STATIC", "show test", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    std::unique_ptr<CDIBSurface> owner(new CDIBSurface(window));
    CDIBSurface& surface = *owner;
    std::set<DWORD> samples;
    for (int i = 1; i <= 15; ++i) {
        char name[40];
        wsprintfA(name, "..\\show\\slide_%02d.qjx", i);
        ASSERT_EQ(surface.LoadImageFile(e2e::BesideTest(name).c_str(), nullptr), 0) << name;
        samples.insert(*surface.PixelPtr(200, 300));
    }
    EXPECT_GE(samples.size(), 12u);  // fifteen different pictures, not one drawn fifteen times

    ASSERT_EQ(surface.LoadImageFile(e2e::BesideTest("..\\show\\tile.bmp").c_str(), nullptr), 0);
    ASSERT_GE(surface.GetWidth(), 256);
    ASSERT_GE(surface.GetHeight(), 16);
    // Frame f is the 16 by 16 block at x = 16 f; a black pixel is one the new slide shows.
    auto shown = [&](int f, int x, int y) { return (*surface.PixelPtr(16 * f + x, y) & 0xFF) == 0; };
    for (int f = 0; f < 16; ++f) {
        int count = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                count += shown(f, x, y);
                EXPECT_TRUE(f == 0 || !shown(f - 1, x, y) || shown(f, x, y)) << f;  // once shown, stays shown
            }
        EXPECT_EQ(count, 16 * (f + 1)) << f;  // sixteen more every frame, the last all black
    }
    // Evenly spread: each 4 by 4 part of the block gets exactly one pixel in the first frame.
    for (int q = 0; q < 16; ++q) {
        int n = 0;
        for (int k = 0; k < 16; ++k) n += shown(0, q % 4 * 4 + k % 4, q / 4 * 4 + k / 4);
        EXPECT_EQ(n, 1) << q;
    }
    owner.reset();
    DestroyWindow(window);
}
