// A set made in one format comes back from the other as it was left: native
// -> vMix -> native and vMix -> native -> vMix through kelvane-cli convert,
// compared value by value (kelvane-cli info) and picture by picture
// (kelvane-cli render), with rotated layers and shots, crops, zooms and
// names outside ASCII.
#include "SetTestData.h"

#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <QImage>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <gtest/gtest.h>
#include <json/json.h>

using namespace settest;

namespace {

std::string Cli() { return testsupport::BuiltProgram("kelvane-cli"); }
std::string Quote(const std::string& text) { return "'" + text + "'"; }

Json::Value Info(const std::string& set)
{
    std::string output;
    EXPECT_EQ(testsupport::RunCommand(Cli() + " info " + Quote(set), &output), 0) << set;
    Json::Value json;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::istringstream stream(output);
    EXPECT_TRUE(Json::parseFromStream(builder, stream, &json, &errors)) << errors << output;
    return json;
}

void Convert(const std::string& set, const std::string& parent, const char* format)
{
    std::filesystem::create_directories(parent);
    ASSERT_EQ(testsupport::RunCommand(Cli() + " convert " + Quote(set) + " " + Quote(parent) + " --to " + format), 0)
        << set;
}

QImage Render(const std::string& set, const std::string& picture, int shot)
{
    EXPECT_EQ(testsupport::RunCommand(Cli() + " render " + Quote(set) + " " + Quote(picture) + " --shot " +
                                      std::to_string(shot) + " 2>/dev/null"),
              0)
        << set;
    return QImage(QString::fromStdString(picture));
}

// Values agree within the six decimals the vMix file prints them with:
// degrees for rotations (so turns within 0.5e-6 / 360), the rest as they are.
void ExpectSamePlacement(const Json::Value& a, const Json::Value& b)
{
    for (const char* key : {"x", "y", "zoomX", "zoomY", "zoomZ"})
        EXPECT_NEAR(a[key].asDouble(), b[key].asDouble(), 5e-7 + 1e-6 * std::fabs(a[key].asDouble())) << key;
    for (const char* key : {"rotateX", "rotateY", "rotateZ"})
        EXPECT_NEAR(a[key].asDouble() * 360.0, b[key].asDouble() * 360.0, 5e-7 + 1e-6 * std::fabs(a[key].asDouble() * 360))
            << key;
}

void ExpectSameSet(const Json::Value& a, const Json::Value& b)
{
    ASSERT_EQ(a["layers"].size(), b["layers"].size());
    for (Json::ArrayIndex i = 0; i < a["layers"].size(); ++i) {
        const Json::Value &la = a["layers"][i], &lb = b["layers"][i];
        SCOPED_TRACE(la["name"].asString());
        EXPECT_EQ(la["name"].asString(), lb["name"].asString());
        ExpectSamePlacement(la, lb);
        for (Json::ArrayIndex k = 0; k < 4; ++k)
            EXPECT_NEAR(la["crop"][k].asDouble(), lb["crop"][k].asDouble(), 1e-6) << k;
        EXPECT_EQ(la["dynamic"], lb["dynamic"]);
        EXPECT_EQ(la["imageBytes"], lb["imageBytes"]);
        EXPECT_EQ(la["uvBytes"].asInt64() > 0, lb["uvBytes"].asInt64() > 0);
    }
    ASSERT_EQ(a["shots"].size(), b["shots"].size());
    for (Json::ArrayIndex i = 0; i < a["shots"].size(); ++i) {
        SCOPED_TRACE(a["shots"][i]["name"].asString());
        EXPECT_EQ(a["shots"][i]["name"].asString(), b["shots"][i]["name"].asString());
        ExpectSamePlacement(a["shots"][i], b["shots"][i]);
    }
}

// Values equal to six decimals may still move an edge by a fraction of a
// pixel; a misplaced or unrotated layer differs by far more.
constexpr int kSamePicture = 8;

// The largest difference of one colour channel over the whole picture.
int LargestDifference(const QImage& a, const QImage& b)
{
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size())
        return 255;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

std::vector<TestLayer> RotatedCroppedLayers()
{
    TestLayer front{"Café Écran 1", Qt::red, 64, 36, -0.45f, 0.4f, 0.3f, 0.35f, 0.0625f};
    front.crop[0] = 0.1f;
    front.crop[1] = 0.05f;
    front.crop[2] = 0.2f;
    front.crop[3] = 0.15f;
    TestLayer middle{"演播室 Desk", Qt::green, 80, 45, 0.3f, -0.35f, 0.55f, 0.4f, -0.1f};
    middle.crop[2] = 0.25f;
    TestLayer back{"Hintergrund Bühne", Qt::blue, 48, 27};
    return {front, middle, back};
}

const ShotList kShots = {MakeShot("Totale", 0, 0, 1, 1), MakeShot("Nah – gedreht", 0.3f, -0.2f, 1.6f, 1.4f, 0.03f),
                         MakeShot("Schräg", -0.25f, 0.1f, 1.2f, 1.2f, -0.0833333f)};

}  // namespace

TEST(RoundTrip, NativeToVmixToNativeKeepsValuesAndPicture)
{
    testsupport::TempDir dir;
    MakeNativeSet(dir.path(), "Studio Bühne", RotatedCroppedLayers(), kShots);
    const std::string native = dir.file("Studio Bühne");
    Convert(native, dir.file("vmix"), "vmix");
    const std::string vmix = dir.file("vmix/Studio Bühne");
    Convert(vmix, dir.file("back"), "native");
    const std::string back = dir.file("back/Studio Bühne");

    const Json::Value first = Info(native), middle = Info(vmix), last = Info(back);
    ExpectSameSet(first, middle);
    ExpectSameSet(first, last);

    const QImage a = Render(native, dir.file("a.bmp"), 1);
    EXPECT_LE(LargestDifference(a, Render(vmix, dir.file("b.bmp"), 1)), kSamePicture);
    EXPECT_LE(LargestDifference(a, Render(back, dir.file("c.bmp"), 1)), kSamePicture);
}

TEST(RoundTrip, VmixToNativeToVmixKeepsValuesAndPicture)
{
    testsupport::TempDir dir;
    MakeVmixSet(dir.path(), "Sendung 演播室", RotatedCroppedLayers(), kShots);
    const std::string vmix = dir.file("Sendung 演播室");
    Convert(vmix, dir.file("native"), "native");
    const std::string native = dir.file("native/Sendung 演播室");
    Convert(native, dir.file("back"), "vmix");
    const std::string back = dir.file("back/Sendung 演播室");

    const Json::Value first = Info(vmix), middle = Info(native), last = Info(back);
    ExpectSameSet(first, middle);
    ExpectSameSet(first, last);
    // The front layer's sixteenth of a turn is written as degrees.
    const std::string xml = testsupport::ReadFileBytes(back + "/config.xml");
    EXPECT_NE(xml.find("rotateZ=\"22.500000\""), std::string::npos) << xml;

    const QImage a = Render(vmix, dir.file("a.bmp"), 2);
    EXPECT_LE(LargestDifference(a, Render(native, dir.file("b.bmp"), 2)), kSamePicture);
    EXPECT_LE(LargestDifference(a, Render(back, dir.file("c.bmp"), 2)), kSamePicture);
}
