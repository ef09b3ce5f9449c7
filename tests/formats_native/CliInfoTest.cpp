// kelvane-cli info and thumbnail on native sets, run as the built program.
#include "SceneTestData.h"
#include "support/TestSupport.h"

#include "formats/SceneFile.h"
#include "platform/TextConv.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <json/json.h>
#include <map>
#include <sstream>

using namespace scenetest;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

struct CliResult {
    int exitCode;
    std::string out;
    std::string err;
};

CliResult RunCli(const std::string& args, const TempDir& scratch)
{
    CliResult r;
    const std::string errFile = scratch.file("stderr.txt");
    r.exitCode = testsupport::RunCommand(Quote(testsupport::BuiltProgram("kelvane-cli")) + " " + args + " 2>" +
                                             Quote(errFile),
                                         &r.out);
    r.err = ReadFileBytes(errFile);
    return r;
}

Json::Value ParseJson(const std::string& text)
{
    Json::Value value;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::istringstream in(text);
    EXPECT_TRUE(Json::parseFromStream(builder, in, &value, &errors)) << errors << "\n" << text;
    return value;
}

std::map<std::string, std::filesystem::file_time_type> FolderState(const std::string& folder)
{
    std::map<std::string, std::filesystem::file_time_type> state;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        state[entry.path().filename().string()] = entry.last_write_time();
    return state;
}

class CliInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(set);
        thumb = JpegBytes(16, 9, 0xff808080u);
        StoredLayer back("Back", "IMAGE-BACK");  // stored first: the back-most layer
        back.crop[0] = 0.25f;
        back.crop[2] = 0.5f;  // right edge at half width: inset 0.5
        back.zoomX = 0.0f;    // reads as 1
        back.visible = 0;     // reads as true
        StoredLayer empty("NoImage");
        empty.uv = "UV-ONLY";
        StoredLayer front("Front", "IMAGE-FRONT-LONGER", "UVMAP");
        front.x = 0.1f;
        front.rotateZ = -0.3f;
        front.dynamic = 1;
        front.crop[2] = 0.0f;
        front.crop[3] = 0.0f;  // all four 0: no crop
        StoredShot shot("Wide");
        shot.zoomX = 1.7f;
        shot.y = -0.9f;
        bytes = SceneBytes(123456789u, thumb, {back, empty, front}, {shot});
        WriteFileBytes(set + "/scene.tvn", bytes);
    }

    TempDir root{"kelvane-cli-"};
    std::string set = root.file("Studio One");
    std::string thumb, bytes;
};

}  // namespace

TEST_F(CliInfoTest, DescribesTheSetAsTheEditorLoadsIt)
{
    const auto before = FolderState(set);
    const CliResult r = RunCli("info " + Quote(set), root);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(FolderState(set), before);  // nothing unpacked, nothing touched

    const Json::Value json = ParseJson(r.out);
    EXPECT_EQ(json["format"].asString(), "native");
    EXPECT_EQ(json["name"].asString(), "Studio One");
    EXPECT_EQ(json["shotMode"].asInt(), 4);
    EXPECT_EQ(json["headerValue"].asInt(), 1000);
    EXPECT_EQ(json["saveTime"].asUInt(), 123456789u);
    EXPECT_EQ(json["thumbnailBytes"].asUInt(), thumb.size());

    const Json::Value& layers = json["layers"];
    ASSERT_EQ(layers.size(), 2u);
    const Json::Value& front = layers[0];
    EXPECT_EQ(front["name"].asString(), "Front");
    EXPECT_EQ(static_cast<float>(front["x"].asDouble()), 0.1f);
    EXPECT_EQ(static_cast<float>(front["rotateZ"].asDouble()), -0.3f);
    EXPECT_TRUE(front["dynamic"].asBool());
    EXPECT_EQ(front["imageBytes"].asInt(), 18);
    EXPECT_EQ(front["uvBytes"].asInt(), 5);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(front["crop"][i].asDouble(), 0.0);
    const Json::Value& back = layers[1];
    EXPECT_EQ(back["name"].asString(), "Back");
    EXPECT_EQ(back["zoomX"].asDouble(), 1.0);
    EXPECT_TRUE(back["visible"].asBool());
    EXPECT_TRUE(back["uvEnabled"].asBool());
    EXPECT_FALSE(back["dynamic"].asBool());
    EXPECT_EQ(back["crop"][0].asDouble(), 0.25);
    EXPECT_EQ(back["crop"][1].asDouble(), 0.0);
    EXPECT_EQ(back["crop"][2].asDouble(), 0.5);
    EXPECT_EQ(back["crop"][3].asDouble(), 0.0);
    EXPECT_EQ(back["uvBytes"].asInt(), 0);

    ASSERT_EQ(json["shots"].size(), 1u);
    EXPECT_EQ(json["shots"][0]["name"].asString(), "Wide");
    EXPECT_EQ(static_cast<float>(json["shots"][0]["zoomX"].asDouble()), 1.7f);
    EXPECT_EQ(static_cast<float>(json["shots"][0]["y"].asDouble()), -0.9f);
    EXPECT_EQ(json["shots"][0]["zoomZ"].asDouble(), 1.0);

    // The scene file itself names the same set.
    const CliResult direct = RunCli("info " + Quote(set + "/scene.tvn"), root);
    ASSERT_EQ(direct.exitCode, 0);
    EXPECT_EQ(direct.out, r.out);
}

TEST_F(CliInfoTest, ReportsTheStoredShotMode)
{
    ASSERT_TRUE(SetSceneShotMode(platform::Utf8ToWide(set + "/scene.tvn"), kShotModeLayer));
    const CliResult r = RunCli("info " + Quote(set), root);
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(ParseJson(r.out)["shotMode"].asInt(), 5);
}

TEST_F(CliInfoTest, InvalidSetsExitWithOneLineReason)
{
    auto expectFailure = [&](const std::string& path, const std::string& reasonPart) {
        const CliResult r = RunCli("info " + Quote(path), root);
        EXPECT_EQ(r.exitCode, 2) << path;
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find(reasonPart), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    };
    expectFailure(root.file("nowhere"), "missing");
    expectFailure(root.path(), "missing");  // a folder without a set file
    WriteFileBytes(root.file("short.tvn"), bytes.substr(0, 300));
    expectFailure(root.file("short.tvn"), "shorter than its header");
    std::string foreign = bytes;
    foreign[3] = 0;
    WriteFileBytes(root.file("foreign.tvn"), foreign);
    expectFailure(root.file("foreign.tvn"), "not a scene file");
    std::string noThumb = HeaderBytes(1, 0, 0, 0);
    WriteFileBytes(root.file("nothumb.tvn"), noThumb);
    expectFailure(root.file("nothumb.tvn"), "no thumbnail");
}

TEST_F(CliInfoTest, FileCutAfterTheThumbnailPrintsTheCompleteRecords)
{
    // Cut inside the front layer's record: only the back layer (and the one
    // without an image, which is dropped) is complete.
    const size_t cut = 536 + thumb.size() + 176 + 10 + 176 + 7 + 100;
    WriteFileBytes(set + "/scene.tvn", bytes.substr(0, cut));
    const CliResult r = RunCli("info " + Quote(set), root);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Json::Value json = ParseJson(r.out);
    ASSERT_EQ(json["layers"].size(), 1u);
    EXPECT_EQ(json["layers"][0]["name"].asString(), "Back");
    EXPECT_EQ(json["shots"].size(), 0u);
}

TEST_F(CliInfoTest, ThumbnailCommandWritesTheEmbeddedBytes)
{
    const CliResult r = RunCli("thumbnail " + Quote(set) + " " + Quote(root.file("out.jpg")), root);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(root.file("out.jpg")), thumb);
    WriteFileBytes(root.file("bad.tvn"), "nope");
    const CliResult bad = RunCli("thumbnail " + Quote(root.file("bad.tvn")) + " " + Quote(root.file("x.jpg")), root);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_FALSE(testsupport::Exists(root.file("x.jpg")));
}
