// The slide tool's single-file commands: encode then decode keeps every pixel; refusals say why, exit
// non-zero and write nothing.
#include <gtest/gtest.h>

#include "../imagefile/picture_files.h"
#include "slidetool_run.h"

namespace {

std::string Written(e2e::TempFolder& folder, const char* name, const Bytes& bytes)
{
    const std::string path = folder.File(name);
    EXPECT_TRUE(e2e::WriteFileBytes(path, std::string(bytes.begin(), bytes.end())));
    return path;
}

// The tool exits with 1, saying message, and writes no file out.
void ExpectRefused(const std::vector<std::string>& arguments, const std::string& out, const char* message)
{
    std::string said;
    EXPECT_EQ(RunTool(arguments, &said), 1);
    EXPECT_NE(said.find(message), std::string::npos) << said;
    EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);
}

const Bytes kBrokenSlide = {'Q', 'J', 0, 0x10, 0x0E, 0, 0xFF, 1};

}  // namespace

TEST(SlideTool, EncodeThenDecodeKeepsEveryPixel)
{
    e2e::TempFolder folder;
    const Bytes bmp = Bmp24(SlidePicture(), 640, 480);
    const std::string in = Written(folder, "in.bmp", bmp), qjx = folder.File("out.qjx"), back = folder.File("back.bmp");
    std::string said, decoded;
    ASSERT_EQ(RunTool({"encode", in, qjx}, &said), 0) << said;
    ASSERT_EQ(RunTool({"decode", qjx, back}, &said), 0) << said;
    EXPECT_NE(said.find("640 by 480 pixels"), std::string::npos) << said;
    ASSERT_TRUE(e2e::ReadFileBytes(back, &decoded));
    EXPECT_TRUE(decoded == std::string(bmp.begin(), bmp.end()));
}

TEST(SlideTool, InfoCallsAnEncodedSlideValid)
{
    e2e::TempFolder folder;
    const std::string in = Written(folder, "in.bmp", Bmp24(SlidePicture(), 640, 480)), qjx = folder.File("out.qjx");
    std::string said;
    ASSERT_EQ(RunTool({"encode", in, qjx}, &said), 0) << said;
    EXPECT_EQ(RunTool({"info", qjx}, &said), 0);
    EXPECT_NE(said.find(": valid"), std::string::npos) << said;
}

TEST(SlideTool, EncodeRefusesAPictureOfAnotherSize)
{
    e2e::TempFolder folder;
    const std::string in = Written(folder, "small.bmp", Bmp24(Pixels(640 * 240), 640, 240)), out = folder.File("o");
    ExpectRefused({"encode", in, out}, out, "a slide must be exactly 640 by 480");
}

TEST(SlideTool, DecodeRefusesABrokenSlide)
{
    e2e::TempFolder folder;
    const std::string in = Written(folder, "broken.qjx", kBrokenSlide), out = folder.File("o.bmp");
    ExpectRefused({"decode", in, out}, out, "the saver cannot load");
}

TEST(SlideTool, InfoCallsABrokenStreamInvalid)
{
    e2e::TempFolder folder;
    std::string said;
    EXPECT_EQ(RunTool({"info", Written(folder, "broken.qjx", kBrokenSlide)}, &said), 1);
    EXPECT_NE(said.find("INVALID (stream)"), std::string::npos) << said;
}
