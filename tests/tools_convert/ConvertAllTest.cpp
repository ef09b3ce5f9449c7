// kelvane-cli convert-all over real folders of sets: the layout is kept, bad
// sets are reported and do not stop the others, and the exit status tells.
#include "formats/SceneFile.h"
#include "formats/VmixFormat.h"
#include "model_set/SetTestData.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <regex>
#include <gtest/gtest.h>

using testsupport::TempDir;

namespace {

const std::vector<settest::TestLayer> kLayers = {{"Desk", Qt::red}, {"Wall", Qt::blue, 48, 27}};

int ConvertAll(const std::string& arguments, std::string& output)
{
    return testsupport::RunCommand(testsupport::BuiltProgram("kelvane-cli") + " convert-all " + arguments + " 2>&1",
                                   &output);
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

size_t VmixLayerCount(const std::string& folder)
{
    LayerList layers;
    ShotList shots;
    return ReadVmixConfig(platform::Utf8ToWide(folder + "/config.xml"), layers, shots) ? layers.size() : 0;
}

// Three good sets at different depths, two bad ones, a hidden set and a
// folder of pictures that is no set.
class ConvertAllTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        settest::MakeNativeSet(src.file("News"), "Studio A", kLayers, {settest::MakeShot("Wide", 0, 0, 1, 1)});
        settest::MakeVmixSet(src.file("News"), "Weather", kLayers, {});
        settest::MakeNativeSet(src.file("Sport/Arena"), "Main", kLayers, {});
        std::filesystem::create_directories(src.file("Broken"));
        testsupport::WriteFileBytes(src.file("Broken/scene.tvn"), "not a scene file at all");
        std::filesystem::create_directories(src.file("Other"));
        testsupport::WriteFileBytes(src.file("Other/config.xml"), "<settings><a/></settings>");
        settest::MakeNativeSet(src.file(".cache"), "Hidden", kLayers, {});
    }

    TempDir src, dest;
};

}  // namespace

TEST_F(ConvertAllTree, ConvertsEverySetInItsPlaceAndReportsTheBadOnes)
{
    std::string out;
    ASSERT_EQ(ConvertAll(Quote(src.path()) + " " + Quote(dest.file("out")) + " --to vmix --jobs 2", out), 1) << out;
    EXPECT_EQ(VmixLayerCount(dest.file("out/News/Studio A")), 2u) << out;
    EXPECT_EQ(VmixLayerCount(dest.file("out/News/Weather")), 2u) << out;
    EXPECT_EQ(VmixLayerCount(dest.file("out/Sport/Arena/Main")), 2u) << out;
    EXPECT_TRUE(testsupport::Exists(dest.file("out/News/Studio A/thumbnail.jpg")));
    EXPECT_FALSE(testsupport::Exists(dest.file("out/Broken"))) << "a failed set leaves nothing behind";
    EXPECT_FALSE(testsupport::Exists(dest.file("out/.cache"))) << "hidden folders are not searched";
    EXPECT_FALSE(testsupport::Exists(dest.file("out/News/sources"))) << "a folder of pictures is no set";

    // Plain lines when the output is not a terminal, then the summary with each reason.
    EXPECT_FALSE(Contains(out, "\r")) << out;
    EXPECT_TRUE(Contains(out, "] converted News/Studio A\n")) << out;
    EXPECT_TRUE(Contains(out, "] failed Broken: ")) << out;
    EXPECT_TRUE(Contains(out, "3 of 5 sets converted into " + dest.file("out") + "; 2 failed:\n")) << out;
    EXPECT_TRUE(Contains(out, "\n  Broken: not a virtual set")) << out;
    EXPECT_TRUE(Contains(out, "\n  Other: not a virtual set")) << out;

    // Again: the converted sets exist now and are refused, unless overwritten.
    std::filesystem::remove_all(src.file("Broken"));
    std::filesystem::remove_all(src.file("Other"));
    ASSERT_EQ(ConvertAll(Quote(src.path()) + " " + Quote(dest.file("out")) + " --to vmix", out), 1) << out;
    EXPECT_TRUE(Contains(out, "0 of 3 sets converted")) << out;
    EXPECT_TRUE(Contains(out, "  News/Weather: " + dest.file("out/News/Weather") + " exists (use --overwrite)")) << out;
    ASSERT_EQ(ConvertAll(Quote(src.path()) + " " + Quote(dest.file("out")) + " --to native --overwrite", out), 0) << out;
    EXPECT_TRUE(Contains(out, "3 sets converted into")) << out;
    EXPECT_TRUE(IsSceneFile(platform::Utf8ToWide(dest.file("out/Sport/Arena/Main/scene.tvn")))) << out;
}

TEST_F(ConvertAllTree, LeavesItsOwnOutputOutAndRefusesWrongRequests)
{
    std::filesystem::remove_all(src.file("Broken"));
    std::filesystem::remove_all(src.file("Other"));
    std::string out;
    // The output inside the searched folder is not searched, on a second run neither.
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(ConvertAll(Quote(src.path()) + " " + Quote(src.file("vmix")) + " --to vmix --overwrite", out), 0) << out;
        EXPECT_TRUE(Contains(out, "3 sets converted")) << out;
    }
    EXPECT_FALSE(testsupport::Exists(src.file("vmix/vmix")));

    // One set given as SRC goes into DEST under its own name.
    ASSERT_EQ(ConvertAll(Quote(src.file("News/Weather")) + " " + Quote(dest.path()) + " --to native", out), 0) << out;
    EXPECT_TRUE(IsSceneFile(platform::Utf8ToWide(dest.file("Weather/scene.tvn")))) << out;

    EXPECT_EQ(ConvertAll(Quote(src.file("missing")) + " " + Quote(dest.path()) + " --to vmix", out), 2);
    EXPECT_TRUE(Contains(out, "no such folder")) << out;
    EXPECT_EQ(ConvertAll(Quote(src.file("News/sources")) + " " + Quote(dest.path()) + " --to vmix", out), 2);
    EXPECT_TRUE(Contains(out, "no virtual set")) << out;
    EXPECT_EQ(ConvertAll(Quote(src.path()) + " " + Quote(src.path() + "/.") + " --to vmix", out), 2);
    EXPECT_TRUE(Contains(out, "DEST is SRC")) << out;
    EXPECT_EQ(ConvertAll(Quote(src.path()) + " " + Quote(dest.path()) + " --to vmix --jobs 0", out), 2);
    EXPECT_EQ(ConvertAll(Quote(src.path()) + " " + Quote(dest.path()) + " --to png", out), 2);
}

TEST_F(ConvertAllTree, DrawsAProgressBarOnATerminal)
{
    // script(1) gives the command a pseudo-terminal of its own.
    std::string out;
    const std::string command = testsupport::BuiltProgram("kelvane-cli") + " convert-all " + Quote(src.path()) + " " +
                                Quote(dest.path()) + " --to native --jobs 1";
    const int status = testsupport::RunCommand("script -qec " + Quote(command) + " /dev/null", &out);
    EXPECT_EQ(status, 1) << out;
    EXPECT_TRUE(Contains(out, "\r\x1b[K[##")) << out;                  // the bar, redrawn in place
    EXPECT_TRUE(Contains(out, "\r\x1b[Kfailed: Broken: ")) << out;       // a failure above it
    EXPECT_TRUE(std::regex_search(out, std::regex(R"(\[#+\] 5/5  2 failed)"))) << "a full bar at the end\n" << out;
    EXPECT_FALSE(Contains(out, "] converted ")) << "no plain lines on a terminal";
    EXPECT_TRUE(Contains(out, "3 of 5 sets converted")) << out;
}
