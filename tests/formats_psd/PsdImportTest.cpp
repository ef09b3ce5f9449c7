// kelvane-cli import-psd on layered files made by ImageMagick, checked
// through kelvane-cli info of the new set, and the refusals of bad files.
#include "PsdTestData.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <json/json.h>

using namespace psdtest;
using testsupport::TempDir;

namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

int RunCli(const std::string& args, std::string* out, std::string* err, const TempDir& scratch)
{
    const std::string errFile = scratch.file("stderr.txt");
    const int code = testsupport::RunCommand(
        Quote(testsupport::BuiltProgram("kelvane-cli")) + " " + args + " 2>" + Quote(errFile), out);
    if (err)
        *err = testsupport::ReadFileBytes(errFile);
    return code;
}

Json::Value Info(const std::string& set, const TempDir& scratch)
{
    std::string out;
    EXPECT_EQ(RunCli("info " + Quote(set), &out, nullptr, scratch), 0);
    Json::Value json;
    std::istringstream(out) >> json;
    return json;
}

const std::vector<PsdTestLayer> kLayers = {
    {"Backdrop", "rgb(20,40,90)", 400, 200, 0, 0},
    {"Desk top", "red", 120, 40, 40, 140},
    {"Logo (hidden)", "rgba(0,255,0,0.5)", 60, 40, 300, 20, true},
};

TEST(PsdImport, LayersKeepOrderNamesPlacesAndHiddenStateInBothFormats)
{
    TempDir dir;
    const std::string psd = dir.file("studio.psd");
    ASSERT_TRUE(WriteLayeredPsd(psd, 400, 200, kLayers, dir.path()));

    std::string err;
    ASSERT_EQ(RunCli("import-psd " + Quote(psd) + " " + Quote(dir.path()), nullptr, &err, dir), 0) << err;
    const Json::Value json = Info(dir.file("studio"), dir);
    EXPECT_EQ(json["format"].asString(), "native");
    const Json::Value& layers = json["layers"];
    ASSERT_EQ(layers.size(), 3u);
    // The top PSD layer is layer 0.
    EXPECT_EQ(layers[0]["name"].asString(), "Logo (hidden)");
    EXPECT_EQ(layers[1]["name"].asString(), "Desk top");
    EXPECT_EQ(layers[2]["name"].asString(), "Backdrop");
    // 60 x 40 at (300, 20) over 400 x 200: centre (330, 40).
    EXPECT_FLOAT_EQ(layers[0]["x"].asFloat(), 330.0f / 400 * 2 - 1);
    EXPECT_FLOAT_EQ(layers[0]["y"].asFloat(), 1 - 40.0f / 200 * 2);
    EXPECT_FLOAT_EQ(layers[0]["zoomX"].asFloat(), 60.0f / 400);
    EXPECT_FLOAT_EQ(layers[0]["zoomY"].asFloat(), 40.0f / 200);
    EXPECT_FLOAT_EQ(layers[1]["x"].asFloat(), 100.0f / 400 * 2 - 1);
    EXPECT_FLOAT_EQ(layers[1]["y"].asFloat(), 1 - 160.0f / 200 * 2);
    EXPECT_FLOAT_EQ(layers[2]["zoomX"].asFloat(), 1.0f);
    EXPECT_FALSE(layers[0]["storedVisible"].asBool());
    EXPECT_TRUE(layers[1]["storedVisible"].asBool());
    EXPECT_TRUE(layers[2]["storedVisible"].asBool());
    EXPECT_GT(json["thumbnailBytes"].asInt(), 0);

    // The same file as a vMix set under its own name; the pictures keep the layer names.
    // vMix shows every layer, so the hidden one stays out, and the report says so.
    std::string out;
    ASSERT_EQ(RunCli("import-psd " + Quote(psd) + " " + Quote(dir.path()) + " --name 'For vMix' --to vmix", &out,
                     &err, dir),
              0)
        << err;
    EXPECT_TRUE(std::filesystem::exists(dir.file("For vMix/Desk top.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("For vMix/Logo (hidden).png")));
    EXPECT_NE(out.find("For vMix: 2 layers\n  \"Logo (hidden)\": hidden, left out"), std::string::npos) << out;
    const Json::Value vmix = Info(dir.file("For vMix"), dir);
    EXPECT_EQ(vmix["format"].asString(), "vmix");
    ASSERT_EQ(vmix["layers"].size(), 2u);
    EXPECT_EQ(vmix["layers"][0]["name"].asString(), "Desk top");

    // An existing set is never written over.
    ASSERT_NE(RunCli("import-psd " + Quote(psd) + " " + Quote(dir.path()), nullptr, &err, dir), 0);
    EXPECT_NE(err.find("exists"), std::string::npos) << err;
}

TEST(PsdImport, StandardOutputListsWhatTheSetShowsDifferently)
{
    TempDir dir;
    const std::string psd = std::string(KELVANE_SOURCE_DIR) + "/tests/formats_psd/data/psdrb-example16.psd";
    std::string out, err;
    ASSERT_EQ(RunCli("import-psd " + Quote(psd) + " " + Quote(dir.path()) + " --name Example", &out, &err, dir), 0)
        << err;
    EXPECT_EQ(out.rfind(dir.file("Example") + ": 12 layers\n", 0), 0u) << out;
    EXPECT_NE(out.find("  \"Version D / Version E / Logo_Glyph\": holds no pixels, skipped\n"), std::string::npos) << out;
    EXPECT_NE(out.find("  \"Matte\": renamed \"Version A / Matte\"\n"), std::string::npos) << out;
    EXPECT_NE(out.find("renamed \"Version D / Version E / Version F / Matte\""), std::string::npos) << out;
}

// A file whose header claims the given layer count, with nothing behind it.
std::string HeaderOnlyPsd(int16_t layers)
{
    std::string d = "8BPS";
    d += std::string("\x00\x01", 2) + std::string(6, '\0') + std::string("\x00\x03", 2);
    d += std::string("\x00\x00\x00\x64", 4) + std::string("\x00\x00\x00\xc8", 4) + std::string("\x00\x08\x00\x03", 4);
    d += std::string(8, '\0');                                    // colour mode data, resources: empty
    d += std::string("\x00\x00\x10\x00", 4) + std::string("\x00\x00\x0f\x00", 4);
    d += static_cast<char>((layers >> 8) & 0xff);
    d += static_cast<char>(layers & 0xff);
    return d;
}

TEST(PsdImport, RefusesOversizedHostileAndForeignFilesWithoutLeavingASet)
{
    TempDir dir;
    std::string err;
    const auto refuse = [&](const std::string& file, const std::string& reason) {
        EXPECT_NE(RunCli("import-psd " + Quote(file) + " " + Quote(dir.path()) + " --name out", nullptr, &err, dir), 0);
        EXPECT_NE(err.find(reason), std::string::npos) << err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
    };
    testsupport::WriteFileBytes(dir.file("many.psd"), HeaderOnlyPsd(300));
    refuse(dir.file("many.psd"), "300 layers");
    testsupport::WriteFileBytes(dir.file("negative.psd"), HeaderOnlyPsd(-300));
    refuse(dir.file("negative.psd"), "300 layers");
    // Over 1 GiB: a sparse file, refused before anything is read.
    testsupport::WriteFileBytes(dir.file("huge.psd"), HeaderOnlyPsd(2));
    std::filesystem::resize_file(dir.file("huge.psd"), (uint64_t(1) << 30) + 1);
    refuse(dir.file("huge.psd"), "larger than 1 GiB");
    testsupport::WriteFileBytes(dir.file("picture.psd"), "\x89PNG\r\n\x1a\nnot really");
    refuse(dir.file("picture.psd"), "no Photoshop file");
    // A real header whose layer data is cut off.
    const std::string whole = dir.file("whole.psd");
    ASSERT_TRUE(WriteLayeredPsd(whole, 400, 200, kLayers, dir.path()));
    const std::string bytes = testsupport::ReadFileBytes(whole);
    testsupport::WriteFileBytes(dir.file("cut.psd"), bytes.substr(0, bytes.size() / 3));
    EXPECT_NE(RunCli("import-psd " + Quote(dir.file("cut.psd")) + " " + Quote(dir.path()) + " --name out", nullptr,
                     &err, dir),
              0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
    // Nothing half made is left beside the sets.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".import"), std::string::npos) << entry.path();
}

}  // namespace
