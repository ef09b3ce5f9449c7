#include "formats/VmixFormat.h"

#include "platform/FileUtil.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <QImage>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

std::string MakeJpeg(const std::string& path)
{
    QImage image(32, 18, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    EXPECT_TRUE(image.save(QString::fromStdString(path), "JPEG"));
    return path;
}

std::string MakePng(const std::string& path, Qt::GlobalColor colour)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(QString::fromStdString(path), "PNG"));
    return path;
}

LayerInfo Layer(const char* name, const std::string& image)
{
    LayerInfo layer = MakeDefaultLayer();
    SetRecordName(layer.name, platform::Utf8ToWide(name));
    SetLayerImagePath(layer, image);
    return layer;
}

std::string Config(const TempDir& dir) { return ReadFileBytes(dir.file("config.xml")); }

// Writes config text into a fresh set folder and reads it back.
struct ReadBack {
    explicit ReadBack(const std::string& xml)
    {
        WriteFileBytes(dir.file("config.xml"), xml);
        ok = ReadVmixConfig(dir.wfile("config.xml"), layers, shots);
    }
    TempDir dir;
    LayerList layers;
    ShotList shots;
    bool ok = false;
};

std::string InputXml(const std::string& attributes, const std::string& text = "a.png")
{
    return "<virtualSet>\r\n<input " + attributes + ">" + text + "</input>\r\n</virtualSet>\r\n";
}

}  // namespace

TEST(VmixNumbers, FormatWithSixDecimalsAndAPoint)
{
    EXPECT_EQ(FormatVmixNumber(0.5), L"0.500000");
    EXPECT_EQ(FormatVmixNumber(-1.0), L"-1.000000");
    EXPECT_EQ(FormatVmixNumber(1.0 / 3.0), L"0.333333");
}

TEST(VmixNumbers, ParseStopsAtTheFirstForeignCharacter)
{
    EXPECT_DOUBLE_EQ(ParseVmixNumber(L"0.25"), 0.25);
    EXPECT_DOUBLE_EQ(ParseVmixNumber(L"  -1.5px"), -1.5);
    EXPECT_DOUBLE_EQ(ParseVmixNumber(L"2e1"), 20.0);
    EXPECT_DOUBLE_EQ(ParseVmixNumber(L"3e"), 3.0);
    EXPECT_DOUBLE_EQ(ParseVmixNumber(L".5"), 0.5);
    EXPECT_EQ(ParseVmixNumber(L""), 0.0);
    EXPECT_EQ(ParseVmixNumber(L"abc"), 0.0);
    EXPECT_EQ(ParseVmixNumber(L"nan"), 0.0);
    EXPECT_EQ(ParseVmixNumber(L"1e999"), 0.0);  // not finite: never stored in a record
    EXPECT_EQ(ParseVmixNumber(L"0,5"), 0.0);
}

TEST(VmixConfig, LayersAreWrittenBackToFrontAndImportInListOrder)
{
    TempDir src, out;
    LayerList layers;
    layers.push_back(Layer("A", MakePng(src.file("a.png"), Qt::red)));
    layers.push_back(Layer("B", MakePng(src.file("b.png"), Qt::green)));
    layers.push_back(Layer("C", MakePng(src.file("c.png"), Qt::blue)));
    ShotList shots;
    ASSERT_TRUE(WriteVmixConfig(out.wfile("config.xml"), layers, shots, {L"Set", platform::Utf8ToWide(MakeJpeg(src.file("t.jpg")))}));
    const std::string xml = Config(out);
    EXPECT_LT(xml.find(">c.png<"), xml.find(">b.png<"));
    EXPECT_LT(xml.find(">b.png<"), xml.find(">a.png<"));
    EXPECT_EQ(ReadFileBytes(out.file("a.png")), ReadFileBytes(src.file("a.png")));
    EXPECT_EQ(ReadFileBytes(out.file("thumbnail.jpg")), ReadFileBytes(src.file("t.jpg")));

    LayerList loaded;
    ShotList loadedShots;
    ASSERT_TRUE(LoadVmixVirtualSet(out.wfile("config.xml"), loaded, loadedShots, true, true));
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_STREQ(loaded[0].name, "A");
    EXPECT_STREQ(loaded[1].name, "B");
    EXPECT_STREQ(loaded[2].name, "C");
    EXPECT_EQ(LayerImagePath(loaded[0]), out.file("a.png"));
}

TEST(VmixConfig, CropIsWrittenAsEdgesAndReadBackAsInsets)
{
    TempDir src, out;
    LayerList layers;
    LayerInfo cropped = Layer("Cropped", MakePng(src.file("c.png"), Qt::red));
    cropped.cropLeft = cropped.cropTop = cropped.cropRight = cropped.cropBottom = 0.1f;
    layers.push_back(cropped);
    layers.push_back(Layer("Plain", MakePng(src.file("p.png"), Qt::red)));
    ASSERT_TRUE(WriteVmixConfig(out.wfile("config.xml"), layers, {}, {L"Set", platform::Utf8ToWide(MakeJpeg(src.file("t.jpg")))}));
    const std::string xml = Config(out);
    EXPECT_NE(xml.find("cropping=\"0.100000,0.100000,0.900000,0.900000\""), std::string::npos) << xml;
    EXPECT_EQ(xml.find("cropping", xml.find("cropping") + 1), std::string::npos) << "uncropped layer has no cropping";

    LayerList read;
    ShotList shots;
    ASSERT_TRUE(ReadVmixConfig(out.wfile("config.xml"), read, shots));
    // The reader keeps the file's edge values; the import turns them back into insets.
    EXPECT_FLOAT_EQ(read[1].cropRight, 0.9f);
}

TEST(VmixConfig, CroppingValuesThatMeanNoCrop)
{
    ReadBack zeros(InputXml("name=\"L\" cropping=\"0,0,0,0\""));
    ASSERT_TRUE(zeros.ok);
    EXPECT_EQ(zeros.layers[0].cropLeft, 0.0f);
    EXPECT_EQ(zeros.layers[0].cropRight, 0.0f);
    ReadBack three(InputXml("name=\"L\" cropping=\"1,2,3\""));
    ASSERT_TRUE(three.ok);
    EXPECT_EQ(three.layers[0].cropLeft, 0.0f);
    EXPECT_EQ(three.layers[0].cropTop, 0.0f);
}

TEST(VmixConfig, DynamicFlagAndReservedNames)
{
    EXPECT_EQ(ReadBack(InputXml("name=\"Screen\" dynamic=\"TRUE\"")).layers[0].dynamic, 1);
    EXPECT_EQ(ReadBack(InputXml("name=\"Screen\" dynamic=\"true1\"")).layers[0].dynamic, 0);
    EXPECT_EQ(ReadBack(InputXml("name=\"Borders\" dynamic=\"true\"")).layers[0].dynamic, 0);
    EXPECT_EQ(ReadBack(InputXml("name=\"My Overlay\" dynamic=\"true\"")).layers[0].dynamic, 0);
    EXPECT_EQ(ReadBack(InputXml("name=\"Borders 2\" dynamic=\"true\"")).layers[0].dynamic, 1);
}

TEST(VmixConfig, ZoomAttributesOfInputsAndShots)
{
    ReadBack input(InputXml("name=\"L\" zoom=\"2\" zoomY=\"3\""));
    ASSERT_TRUE(input.ok);
    EXPECT_EQ(input.layers[0].zoomX, 2.0f);
    EXPECT_EQ(input.layers[0].zoomY, 3.0f);
    EXPECT_EQ(input.layers[0].zoomZ, 1.0f);
    ReadBack clamped(InputXml("name=\"L\" zoomX=\"0\" zoomY=\"-2\""));
    EXPECT_EQ(clamped.layers[0].zoomX, 1.0f);
    EXPECT_EQ(clamped.layers[0].zoomY, 1.0f);

    ReadBack shot("<virtualSet>\r\n<zoom name=\"S\" zoom=\"2\" zoomX=\"5\"/>\r\n<zoom name=\"T\" zoomX=\"-1\"/>\r\n</virtualSet>\r\n");
    ASSERT_TRUE(shot.ok);
    ASSERT_EQ(shot.shots.size(), 2u);
    EXPECT_EQ(shot.shots[0].zoomX, 2.0f);
    EXPECT_EQ(shot.shots[0].zoomY, 2.0f);
    EXPECT_EQ(shot.shots[0].zoomZ, 2.0f);
    EXPECT_EQ(shot.shots[1].zoomX, -1.0f);  // shot zooms are not clamped
}

TEST(VmixConfig, RotationsAreDegreesInTheFileAndTurnsInRecords)
{
    TempDir src;
    ReadBack read("<virtualSet>\r\n<input name=\"L\" rotateX=\"-45\" rotateY=\"720\" rotateZ=\"90\">l.png</input>\r\n"
                  "<zoom name=\"S\" rotateZ=\"33.3\"/>\r\n</virtualSet>\r\n");
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.layers[0].rotateZ, 0.25f);
    EXPECT_EQ(read.layers[0].rotateX, -0.125f);
    EXPECT_EQ(read.layers[0].rotateY, 2.0f);
    EXPECT_FLOAT_EQ(read.shots[0].rotateZ, 33.3f / 360.0f);
    MakePng(read.dir.file("l.png"), Qt::red);
    TempDir out;
    ASSERT_TRUE(WriteVmixConfig(out.wfile("config.xml"), read.layers, read.shots,
                                {L"S", platform::Utf8ToWide(MakeJpeg(src.file("t.jpg")))}));
    const std::string xml = Config(out);
    EXPECT_NE(xml.find("rotateX=\"-45.000000\" rotateY=\"720.000000\" rotateZ=\"90.000000\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("rotateZ=\"33.300000\"/>"), std::string::npos) << xml;
}

TEST(VmixConfig, LongNamesKeepTheirFirst63Bytes)
{
    ReadBack read(InputXml("name=\"" + std::string(70, 'n') + "\""));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(std::string(read.layers[0].name), std::string(63, 'n'));
}

TEST(VmixConfig, MalformedFilesFailWithoutTouchingTheLists)
{
    const char* bad[] = {"", "<notAVirtualSet/>", "<virtualSet><input>", "<a/><b/>", "\xff\xfe<", "<virtualSet"};
    for (const char* xml : bad) {
        TempDir dir;
        WriteFileBytes(dir.file("config.xml"), xml);
        LayerList layers;
        layers.push_back(MakeDefaultLayer());
        ShotList shots(2, MakeDefaultShot());
        EXPECT_FALSE(ReadVmixConfig(dir.wfile("config.xml"), layers, shots)) << xml;
        EXPECT_EQ(layers.size(), 1u) << xml;
        EXPECT_EQ(shots.size(), 2u) << xml;
    }
    LayerList layers;
    ShotList shots;
    EXPECT_FALSE(ReadVmixConfig(L"/no/such/config.xml", layers, shots));
}

TEST(VmixConfig, UnparsableNumbersAndMissingFilesStillLoad)
{
    ReadBack read(InputXml("name=\"L\" x=\"left\" y=\"\" zoomX=\"big\" rotateZ=\"--\" uvmap=\"missing.png\""));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.layers[0].x, 0.0f);
    EXPECT_EQ(read.layers[0].zoomX, 1.0f);
    EXPECT_EQ(read.layers[0].rotateZ, 0.0f);
    EXPECT_EQ(LayerUvPath(read.layers[0]), read.dir.file("missing.png"));
}

TEST(VmixConfig, ManyInputsLoadAndLayersWithoutImageAreDropped)
{
    std::string xml = "<virtualSet>\r\n";
    for (int i = 0; i < 10000; ++i)
        xml += "<input name=\"L" + std::to_string(i) + "\">" + (i % 2 ? "" : "i.png") + "</input>\r\n";
    xml += "</virtualSet>\r\n";
    TempDir dir;
    WriteFileBytes(dir.file("config.xml"), xml);
    LayerList layers;
    ShotList shots;
    ASSERT_TRUE(LoadVmixVirtualSet(dir.wfile("config.xml"), layers, shots, true, true));
    ASSERT_EQ(layers.size(), 5000u);
    EXPECT_STREQ(layers[0].name, "L9998");
    EXPECT_STREQ(layers[4999].name, "L0");
}

TEST(VmixConfig, ExportWithoutLayersOrThumbnailWritesNothing)
{
    TempDir src, out;
    LayerList none;
    EXPECT_FALSE(WriteVmixConfig(out.wfile("config.xml"), none, {}, {L"S", platform::Utf8ToWide(MakeJpeg(src.file("t.jpg")))}));
    LayerList one;
    one.push_back(Layer("A", MakePng(src.file("a.png"), Qt::red)));
    EXPECT_FALSE(WriteVmixConfig(out.wfile("config.xml"), one, {}, {L"S", L""}));
    EXPECT_FALSE(WriteVmixConfig(out.wfile("config.xml"), one, {}, {L"S", out.wfile("missing.jpg")}));
    EXPECT_FALSE(testsupport::Exists(out.file("config.xml")));
}

TEST(VmixConfig, ExportIntoTheSetsOwnFolderKeepsItsFiles)
{
    TempDir dir;
    MakeJpeg(dir.file("thumbnail.jpg"));
    MakePng(dir.file("a.png"), Qt::red);
    const std::string thumb = ReadFileBytes(dir.file("thumbnail.jpg"));
    const std::string image = ReadFileBytes(dir.file("a.png"));
    LayerList layers;
    layers.push_back(Layer("A", dir.file("a.png")));
    ASSERT_TRUE(WriteVmixConfig(dir.wfile("config.xml"), layers, {}, {L"S", dir.wfile("thumbnail.jpg")}));
    EXPECT_EQ(ReadFileBytes(dir.file("thumbnail.jpg")), thumb);
    EXPECT_EQ(ReadFileBytes(dir.file("a.png")), image);
}

TEST(VmixConfig, PngThumbnailIsConvertedToJpeg)
{
    TempDir src, out;
    LayerList layers;
    layers.push_back(Layer("A", MakePng(src.file("a.png"), Qt::red)));
    const std::string png = MakePng(src.file("thumb.png"), Qt::yellow);
    ASSERT_TRUE(WriteVmixConfig(out.wfile("config.xml"), layers, {}, {L"S", platform::Utf8ToWide(png)}));
    const std::string jpeg = ReadFileBytes(out.file("thumbnail.jpg"));
    ASSERT_GE(jpeg.size(), 4u);
    EXPECT_EQ(jpeg.substr(0, 2), "\xff\xd8");
    EXPECT_TRUE(testsupport::Exists(png + ".jpg"));
}

TEST(VmixSearch, FindsVirtualSetsOnTheFirstCompleteInstallation)
{
    TempDir root;
    platform::SetDriveRootForTests(root.wpath());
    std::wstring folder;
    EXPECT_FALSE(FindVmixVirtualSetsFolder(folder));
    // Drive C has vMix without VirtualSets, drive D without vMix.exe, drive E a complete one.
    std::filesystem::create_directories(root.file("c/Program Files/vMix"));
    WriteFileBytes(root.file("c/Program Files/vMix/vMix.exe"), "MZ");
    std::filesystem::create_directories(root.file("d/Program Files (x86)/vMix/VirtualSets"));
    std::filesystem::create_directories(root.file("e/Program Files/vMix/VirtualSets"));
    WriteFileBytes(root.file("e/Program Files/vMix/vMix.exe"), "MZ");
    EXPECT_TRUE(FindVmixVirtualSetsFolder(folder));
    EXPECT_EQ(folder, root.wfile("e/Program Files/vMix/VirtualSets"));
    platform::SetDriveRootForTests(L"/mnt");
}

TEST(VmixConfig, ExportedBytesMatchTheFormatExactly)
{
    TempDir src, out;
    LayerList layers;
    LayerInfo screen = Layer("Screen <1> & \"Main\"", MakePng(src.file("screen.png"), Qt::green));
    screen.x = 0.5f;
    screen.y = -0.25f;
    screen.zoomX = 0.5f;
    screen.zoomY = 0.5f;
    screen.cropLeft = 0.25f;
    screen.cropBottom = 0.5f;
    screen.dynamic = 1;
    SetLayerUvPath(screen, MakePng(src.file("screen_uv.png"), Qt::white));
    layers.push_back(screen);
    layers.push_back(Layer("Background", MakePng(src.file("bg.jpg.png"), Qt::blue)));
    ShotList shots;
    ShotInfo shot = MakeDefaultShot();
    SetRecordName(shot.name, L"Close");
    shot.zoomX = shot.zoomY = 2.0f;
    shot.rotateZ = 0.125f;  // an eighth of a turn
    shots.push_back(shot);
    ASSERT_TRUE(WriteVmixConfig(out.wfile("config.xml"), layers, shots, {L"S", platform::Utf8ToWide(MakeJpeg(src.file("t.jpg")))}));
    const std::string expected =
        "<virtualSet>\r\n"
        "<input name=\"Background\" x=\"0.000000\" y=\"0.000000\" zoomX=\"1.000000\" zoomY=\"1.000000\" "
        "zoomZ=\"1.000000\" rotateX=\"0.000000\" rotateY=\"0.000000\" rotateZ=\"0.000000\">bg.jpg.png</input>\r\n"
        "<input name=\"Screen &lt;1&gt; &amp; &quot;Main&quot;\" x=\"0.500000\" y=\"-0.250000\" zoomX=\"0.500000\" "
        "zoomY=\"0.500000\" zoomZ=\"1.000000\" rotateX=\"0.000000\" rotateY=\"0.000000\" rotateZ=\"0.000000\" "
        "cropping=\"0.250000,0.000000,1.000000,0.500000\" dynamic=\"true\" uvmap=\"screen_uv.png\">screen.png</input>\r\n"
        "<zoom name=\"Close\" x=\"0.000000\" y=\"0.000000\" zoomX=\"2.000000\" zoomY=\"2.000000\" zoomZ=\"1.000000\" "
        "rotateX=\"0.000000\" rotateY=\"0.000000\" rotateZ=\"45.000000\"/>\r\n"
        "</virtualSet>\r\n";
    EXPECT_EQ(Config(out), expected);
    EXPECT_EQ(ReadFileBytes(out.file("screen_uv.png")), ReadFileBytes(src.file("screen_uv.png")));
}

TEST(VmixConfig, NumbersUseAPointWhateverTheLocale)
{
    // A locale with a decimal comma must not change what is written or read.
    TempDir locales;
    if (!testsupport::UseDecimalCommaLocale(locales))
        GTEST_SKIP() << "localedef cannot build a locale here";
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
    EXPECT_EQ(FormatVmixNumber(0.5), L"0.500000");
    EXPECT_DOUBLE_EQ(ParseVmixNumber(L"0.75"), 0.75);
    std::setlocale(LC_ALL, "C");
}

TEST(VmixConfig, LayersWithTheSameFileNameFromDifferentFoldersKeepTheirPictures)
{
    TempDir a, b, out;
    std::filesystem::create_directories(a.file("x"));
    LayerList layers;
    layers.push_back(Layer("Red", MakePng(a.file("desk.png"), Qt::red)));
    layers.push_back(Layer("Blue", MakePng(b.file("desk.png"), Qt::blue)));
    layers.push_back(Layer("Thumb", MakePng(b.file("thumbnail.jpg"), Qt::green)));
    layers.push_back(Layer("Red again", a.file("desk.png")));
    ASSERT_TRUE(WriteVmixConfig(out.wfile("config.xml"), layers, {}, {L"S", platform::Utf8ToWide(MakeJpeg(a.file("t.jpg")))}));
    LayerList read;
    ShotList shots;
    ASSERT_TRUE(LoadVmixVirtualSet(out.wfile("config.xml"), read, shots, true, true));
    ASSERT_EQ(read.size(), 4u);
    for (size_t i = 0; i < read.size(); ++i)
        EXPECT_EQ(ReadFileBytes(LayerImagePath(read[i])), ReadFileBytes(LayerImagePath(layers[i]))) << read[i].name;
    EXPECT_EQ(LayerImagePath(read[0]), LayerImagePath(read[3]));  // one file, written once
    EXPECT_EQ(ReadFileBytes(out.file("thumbnail.jpg")), ReadFileBytes(a.file("t.jpg")));
}
