// The slide tool: encode then decode keeps every pixel; refusals say why and exit non-zero.
#include <gtest/gtest.h>

#include "e2e.h"
#include "picture_files.h"

TEST(SlideTool, RoundTripAndRefusals)
{
    e2e::TempFolder folder;
    const Bytes bmp = Bmp24(SlidePicture(), 640, 480), small = Bmp24(Pixels(640 * 240), 640, 240);
    const std::string in = folder.File("in.bmp"), other = folder.File("small.bmp"), broken = folder.File("broken.qjx"),
                      qjx = folder.File("out.qjx"), back = folder.File("back.bmp"), none = folder.File("none");
    for (const auto& [path, bytes] : {std::pair{in, bmp}, {other, small}, {broken, Bytes{'Q', 'J', 0, 0x10, 0x0E, 0, 0xFF, 1}}})
        ASSERT_TRUE(e2e::WriteFileBytes(path, std::string(bytes.begin(), bytes.end())));
    const std::tuple<std::vector<std::string>, long, const char*> runs[] = {
        {{"encode", in, qjx}, 0, "out.qjx: "},
        {{"info", qjx}, 0, ": valid"},
        {{"decode", qjx, back}, 0, "640 by 480 pixels"},
        {{"encode", other, none}, 1, "a slide must be exactly 640 by 480"},
        {{"decode", broken, none}, 1, "the saver cannot load"},
        {{"info", broken}, 1, "INVALID (stream)"},
    };
    for (const auto& run : runs) {
        const auto& [arguments, code, message] = run;
        const std::string out = folder.File((std::to_string(&run - runs) + ".txt").c_str());  // each run its own
        std::string command = "\"" + e2e::BesideTest("slidetool.exe") + "\"", said;
        for (const std::string& argument : arguments) command += " \"" + argument + "\"";
        e2e::Process tool;
        ASSERT_TRUE(tool.Start("cmd /c \"" + command + " >\"" + out + "\" 2>&1\""));
        EXPECT_EQ(tool.Wait(20000), code) << message;
        EXPECT_TRUE(e2e::ReadFileBytes(out, &said) && said.find(message) != std::string::npos) << said;
    }
    std::string decoded;
    EXPECT_TRUE(e2e::ReadFileBytes(back, &decoded) && decoded == std::string(bmp.begin(), bmp.end()));
    EXPECT_EQ(GetFileAttributesA(none.c_str()), INVALID_FILE_ATTRIBUTES);
}
