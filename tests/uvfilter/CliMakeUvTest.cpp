// kelvane-cli make-uv run as a program: the maps it writes pass the UV-map
// check (16-bit RGBA PNG) and bad arguments fail clearly without a file.
#include "formats/UvMapCheck.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

int MakeUv(const std::string& arguments, std::string* output = nullptr)
{
    return testsupport::RunCommand(testsupport::BuiltProgram("kelvane-cli") + " make-uv " + arguments + " 2>&1", output);
}

}  // namespace

TEST(CliMakeUv, WrittenMapsPassTheUvMapCheck)
{
    testsupport::TempDir dir;
    const std::string out = dir.file("screen map.png");
    std::string output;
    ASSERT_EQ(MakeUv("--size 320x180 --quad 10,20,300.5,5,310,170,-5,160 '" + out + "'", &output), 0) << output;
    EXPECT_NE(output.find("\"width\": 320"), std::string::npos) << output;

    UvMapImageInfo info;
    EXPECT_TRUE(CheckUvMapImage(platform::Utf8ToWide(out), &info)) << info.reason;
    EXPECT_EQ(info.width, 320u);
    EXPECT_EQ(info.height, 180u);
    EXPECT_EQ(info.bitsPerPixel, 64u);
}

TEST(CliMakeUv, BadArgumentsFailWithAMessageAndWriteNothing)
{
    testsupport::TempDir dir;
    const std::string out = dir.file("map.png");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--quad 0,0,10,0,10,10,0,10 " + out, "usage"},
        {"--size 10x10 " + out, "usage"},
        {"--size 10x10 --quad 0,0,10,0,10,10,0,10", "usage"},
        {"--size 10 --quad 0,0,10,0,10,10,0,10 " + out, "--size"},
        {"--size 10x-3 --quad 0,0,10,0,10,10,0,10 " + out, "--size"},
        {"--size 0x10 --quad 0,0,10,0,10,10,0,10 " + out, "at least"},
        {"--size 9000x10 --quad 0,0,10,0,10,10,0,10 " + out, "larger"},
        {"--size 10x10 --quad 0,0,10,0,10,10,0 " + out, "eight numbers"},
        {"--size 10x10 --quad 0,0,10,0,10,10,0,10,5 " + out, "eight numbers"},
        {"--size 10x10 --quad 0,0,10,0,1O,10,0,10 " + out, "eight numbers"},
        {"--size 10x10 --quad 0,0,10,0,0,10,10,10 " + out, "convex"},
        {"--size 10x10 --quad 0,0,10,0,10,10,0,10 --fast " + out, "unknown option"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string output;
        EXPECT_EQ(MakeUv(arguments, &output), 2) << arguments;
        EXPECT_NE(output.find(message), std::string::npos) << arguments << " said: " << output;
        EXPECT_FALSE(testsupport::Exists(out)) << arguments;
    }
}

TEST(CliMakeUv, AFailedRunKeepsTheExistingFile)
{
    testsupport::TempDir dir;
    const std::string out = dir.file("map.png");
    testsupport::WriteFileBytes(out, "the old map");
    EXPECT_EQ(MakeUv("--size 10x10 --quad 0,0,10,0,0,10,10,10 " + out), 2);
    EXPECT_EQ(testsupport::ReadFileBytes(out), "the old map");
    EXPECT_EQ(MakeUv("--size 10x10 --quad 0,0,10,0,10,10,0,10 " + out), 0);
    EXPECT_NE(testsupport::ReadFileBytes(out), "the old map");
}
