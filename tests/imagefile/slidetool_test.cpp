// The slide tool: encode then decode keeps every pixel; refusals say why and exit non-zero.
#include <gtest/gtest.h>

#include "e2e.h"
#include "picture_files.h"

namespace {

// Runs slidetool with each argument quoted; what it prints on either stream lands in *said.
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

}  // namespace

TEST(SlideTool, RoundTripAndRefusals)
{
    e2e::TempFolder folder;
    const std::string in = folder.File("in.bmp"), qjx = folder.File("out.qjx"), back = folder.File("back.bmp"),
                      small = folder.File("small.bmp"), broken = folder.File("broken.qjx"), x = folder.File("x.bmp");
    Pixels picture(kQjxPixelCount);
    for (size_t i = 0; i < picture.size(); ++i)  // stripes, as the README suggests, with some noise
        picture[i] = uint32_t((i % 640) / 20 * 0x081020 + (i / 640) % 7 * 0x30 + (i * 2654435761u >> 29)) & 0xFFFFFF;
    const Bytes bmp = Bmp24(picture, 640, 480);
    ASSERT_TRUE(e2e::WriteFileBytes(in, std::string(bmp.begin(), bmp.end())));
    const Bytes other = Bmp24(Pixels(320 * 240, 0x102030), 320, 240);
    ASSERT_TRUE(e2e::WriteFileBytes(small, std::string(other.begin(), other.end())));
    ASSERT_TRUE(e2e::WriteFileBytes(broken, std::string("QJ\x00\x10\x0E\x00\xFF\x01", 8)));
    const struct {
        std::vector<std::string> arguments;
        long code;
        const char* said;
    } runs[] = {
        {{"encode", in, qjx}, 0, "out.qjx: "},
        {{"info", qjx}, 0, ": valid"},
        {{"decode", qjx, back}, 0, "640 by 480 pixels"},
        {{"encode", small, x}, 1, "a slide must be exactly 640 by 480"},
        {{"decode", small, folder.File("small2.bmp")}, 0, "320 by 240 pixels"},  // but the saver loads it
        {{"decode", broken, x}, 1, "the saver cannot load"},
        {{"info", broken}, 1, "INVALID (stream)"},
        {{"decode", folder.File("missing.qjx"), x}, 1, "the saver cannot load"},
        {{"frobnicate"}, 2, "usage: slidetool encode"},
    };
    for (const auto& run : runs) {
        std::string said;
        EXPECT_EQ(RunTool(run.arguments, &said), run.code) << run.said;
        EXPECT_NE(said.find(run.said), std::string::npos) << said;
    }
    std::string decoded;
    ASSERT_TRUE(e2e::ReadFileBytes(back, &decoded));
    EXPECT_TRUE(decoded == std::string(bmp.begin(), bmp.end()));  // the same pixels, written the same way
    EXPECT_EQ(GetFileAttributesA(x.c_str()), INVALID_FILE_ATTRIBUTES);
}
