// The slide tool's single-file commands: encode then decode keeps every pixel; refusals say why, exit
// non-zero and write nothing.
#include <gtest/gtest.h>

#include "../imagefile/picture_files.h"
#include "slidetool_run.h"

namespace {

std::string Written(const e2e::TempFolder& folder, const char* name, const Bytes& bytes)
{
    const std::string path = folder.File(name);
    EXPECT_TRUE(e2e::WriteFileBytes(path, std::string(bytes.begin(), bytes.end())));
    return path;
}

}  // namespace

TEST(SlideTool, EncodeThenDecodeKeepsEveryPixelAndInfoCallsTheSlideValid)
{
    e2e::TempFolder folder;
    const Bytes bmp = Bmp24(SlidePicture(), 640, 480);
    const std::string qjx = folder.File("out.qjx"), back = folder.File("back.bmp");
    std::string said, decoded;
    ASSERT_EQ(RunTool({"encode", Written(folder, "in.bmp", bmp), qjx}, &said), 0) << said;
    ASSERT_EQ(RunTool({"decode", qjx, back}, &said), 0) << said;
    EXPECT_NE(said.find("640 by 480 pixels"), std::string::npos) << said;
    ASSERT_TRUE(e2e::ReadFileBytes(back, &decoded));
    EXPECT_TRUE(decoded == std::string(bmp.begin(), bmp.end()));
    EXPECT_EQ(RunTool({"info", qjx}, &said), 0);
    EXPECT_NE(said.find(": valid"), std::string::npos) << said;
}

TEST(SlideTool, RefusalsSayWhyAndWriteNothing)
{
    e2e::TempFolder folder;
    const std::string small = Written(folder, "small.bmp", Bmp24(Pixels(640 * 240), 640, 240)), out = folder.File("o");
    const std::string broken = Written(folder, "broken.qjx", {'Q', 'J', 0, 0x10, 0x0E, 0, 0xFF, 1});
    const struct { std::vector<std::string> arguments; const char* message; } refusals[] = {
        {{"encode", small, out}, "a slide must be exactly 640 by 480"},
        {{"decode", broken, out}, "the saver cannot load"},
        {{"info", broken}, "INVALID (stream)"},
    };
    for (const auto& refusal : refusals) {
        std::string said;
        EXPECT_EQ(RunTool(refusal.arguments, &said), 1) << refusal.message;
        EXPECT_NE(said.find(refusal.message), std::string::npos) << said;
        EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES) << refusal.message;
    }
}
