// The slide tool: encode then decode keeps every pixel; refusals say why and exit non-zero.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e.h"
#include "picture_files.h"

namespace {

// Runs slidetool with each argument quoted; what it prints on either stream lands in *said.
long RunTool(const std::vector<std::string>& arguments, std::string* said = nullptr)
{
    e2e::TempFolder folder;
    std::string command = "\"" + e2e::BesideTest("slidetool.exe") + "\"";
    for (const std::string& argument : arguments) command += " \"" + argument + "\"";
    e2e::Process tool;
    if (!tool.Start("cmd /c \"" + command + " >\"" + folder.File("said.txt") + "\" 2>&1\"")) return -100;
    const long code = tool.Wait(60000);
    if (said) e2e::ReadFileBytes(folder.File("said.txt"), said);
    return code;
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
