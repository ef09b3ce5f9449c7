// Set conversion through kelvane-cli, checked with the format readers.
#include "formats/SceneFile.h"
#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>

using testsupport::ReadFileBytes;
using testsupport::TempDir;

namespace {

std::string Cli(const std::string& args, std::string* out = nullptr)
{
    std::string output;
    const int rc = testsupport::RunCommand(testsupport::BuiltProgram("kelvane-cli") + " " + args + " 2>&1", &output);
    if (out)
        *out = output;
    return std::to_string(rc) + ":" + output;
}

int CliCode(const std::string& args)
{
    return testsupport::RunCommand(testsupport::BuiltProgram("kelvane-cli") + " " + args + " >/dev/null 2>&1");
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

void SavePicture(const std::string& path, Qt::GlobalColor colour, const char* format)
{
    QImage image(24, 16, QImage::Format_ARGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(path), format));
}

// Three layers with every carried field set, and two shots.
void FillRecords(const TempDir& files, LayerList& layers, ShotList& shots)
{
    const char* names[] = {"Front", "Screen", "Back"};
    for (int i = 0; i < 3; ++i) {
        LayerInfo layer = MakeDefaultLayer();
        SetRecordName(layer.name, platform::Utf8ToWide(names[i]));
        const std::string image = files.file(std::string("layer") + std::to_string(i) + ".png");
        SavePicture(image, i == 0 ? Qt::red : i == 1 ? Qt::green : Qt::blue, "PNG");
        SetLayerImagePath(layer, image);
        layer.x = 0.25f * i - 0.3f;
        layer.y = -0.125f * i + 0.1f;
        layer.zoomX = 0.5f + i * 0.1f;
        layer.zoomY = 0.75f;
        layer.zoomZ = 1.5f;
        layer.rotateX = 0.01f * i;
        layer.rotateY = 0.02f;
        layer.rotateZ = 0.3f + i;
        layer.cropLeft = 0.05f;
        layer.cropTop = 0.1f * i;
        layer.cropRight = 0.2f;
        layer.cropBottom = 0.15f;
        layer.dynamic = i == 1;
        if (i == 1) {
            const std::string uv = files.file("uv.png");
            SavePicture(uv, Qt::white, "PNG");
            SetLayerUvPath(layer, uv);
        }
        layers.push_back(layer);
    }
    for (int s = 0; s < 2; ++s) {
        ShotInfo shot = MakeDefaultShot();
        SetRecordName(shot.name, s ? L"Close" : L"Wide");
        shot.x = 0.2f * s;
        shot.y = -0.1f;
        shot.zoomX = 1.0f + s;
        shot.zoomY = 1.5f;
        shot.zoomZ = 2.0f;
        shot.rotateZ = 0.05f * s;
        shot.rotateX = 0.5f;
        shots.push_back(shot);
    }
}

// A vMix set "Set" in sets made from the records of FillRecords.
void MakeVmixSet(const TempDir& files, const TempDir& sets)
{
    LayerList layers;
    ShotList shots;
    FillRecords(files, layers, shots);
    SavePicture(files.file("thumb.jpg"), Qt::gray, "JPEG");
    std::filesystem::create_directories(sets.file("Set"));
    ASSERT_TRUE(WriteVmixConfig(sets.wfile("Set/config.xml"), layers, shots, {L"Set", files.wfile("thumb.jpg")}));
}

void ExpectSameRecords(const LayerList& a, const ShotList& as, const LayerList& b, const ShotList& bs)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(a[i].name);
        EXPECT_STREQ(a[i].name, b[i].name);
        for (auto field : {&LayerInfo::x, &LayerInfo::y, &LayerInfo::zoomX, &LayerInfo::zoomY, &LayerInfo::zoomZ,
                           &LayerInfo::cropLeft, &LayerInfo::cropTop, &LayerInfo::cropRight, &LayerInfo::cropBottom})
            EXPECT_NEAR(a[i].*field, b[i].*field, 1e-6);
        for (auto field : {&LayerInfo::rotateX, &LayerInfo::rotateY, &LayerInfo::rotateZ})
            EXPECT_NEAR(a[i].*field, b[i].*field, 1e-6);  // through degrees and back
        EXPECT_EQ(a[i].dynamic, b[i].dynamic);
        EXPECT_EQ(a[i].uvPathSize > 0, b[i].uvPathSize > 0);
    }
    ASSERT_EQ(as.size(), bs.size());
    for (size_t i = 0; i < as.size(); ++i) {
        EXPECT_STREQ(as[i].name, bs[i].name);
        for (auto field : {&ShotInfo::x, &ShotInfo::y, &ShotInfo::zoomX, &ShotInfo::zoomY, &ShotInfo::zoomZ,
                           &ShotInfo::rotateX, &ShotInfo::rotateY, &ShotInfo::rotateZ})
            EXPECT_NEAR(as[i].*field, bs[i].*field, 1e-6);
    }
}

void LoadNative(const std::string& folder, LayerList& layers, ShotList& shots)
{
    ASSERT_TRUE(LoadSceneFile(platform::Utf8ToWide(folder + "/scene.tvn"), layers, shots, nullptr, true, true));
    for (LayerInfo& layer : layers)
        CropFromStored(layer);
}

void LoadVmix(const std::string& folder, LayerList& layers, ShotList& shots)
{
    ASSERT_TRUE(LoadVmixVirtualSet(platform::Utf8ToWide(folder + "/config.xml"), layers, shots, true, true));
    for (LayerInfo& layer : layers)
        CropFromStored(layer);
}

std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string() + ":" + std::to_string(entry.file_size()));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(Convert, NativeToVmixToNativeKeepsEveryField)
{
    TempDir files, sets;
    LayerList layers;
    ShotList shots;
    FillRecords(files, layers, shots);
    SavePicture(files.file("thumb.jpg"), Qt::gray, "JPEG");
    std::filesystem::create_directories(sets.file("Studio"));
    ASSERT_TRUE(WriteSceneFile(sets.wfile("Studio/scene.tvn"), layers, shots, files.wfile("thumb.jpg")));
    const auto before = Listing(sets.file("Studio"));

    ASSERT_EQ(CliCode("convert " + Quote(sets.file("Studio")) + " " + Quote(sets.file("vmix")) + " --to vmix"), 2)
        << "a missing parent folder is refused";
    std::filesystem::create_directories(sets.file("vmix"));
    std::filesystem::create_directories(sets.file("native"));
    ASSERT_EQ(Cli("convert " + Quote(sets.file("Studio")) + " " + Quote(sets.file("vmix")) + " --to vmix"), "0:");
    EXPECT_EQ(Listing(sets.file("Studio")), before) << "the source folder is never unpacked into";
    EXPECT_EQ(ReadFileBytes(sets.file("vmix/Studio/thumbnail.jpg")), ReadFileBytes(files.file("thumb.jpg")));
    ASSERT_EQ(Cli("convert " + Quote(sets.file("vmix/Studio")) + " " + Quote(sets.file("native")) + " --to native --name Again"),
              "0:");

    LayerList original, viaVmix, back;
    ShotList originalShots, viaVmixShots, backShots;
    LoadNative(sets.file("Studio"), original, originalShots);
    LoadVmix(sets.file("vmix/Studio"), viaVmix, viaVmixShots);
    LoadNative(sets.file("native/Again"), back, backShots);
    ExpectSameRecords(original, originalShots, viaVmix, viaVmixShots);
    ExpectSameRecords(original, originalShots, back, backShots);
}

TEST(Convert, VmixToNativeToVmixKeepsEveryField)
{
    TempDir files, sets;
    ASSERT_NO_FATAL_FAILURE(MakeVmixSet(files, sets));
    std::filesystem::create_directories(sets.file("n"));
    std::filesystem::create_directories(sets.file("v"));
    ASSERT_EQ(Cli("convert " + Quote(sets.file("Set/config.xml")) + " " + Quote(sets.file("n")) + " --to native"), "0:");
    ASSERT_EQ(Cli("convert " + Quote(sets.file("n/Set")) + " " + Quote(sets.file("v")) + " --to vmix"), "0:");
    LayerList original, back;
    ShotList originalShots, backShots;
    LoadVmix(sets.file("Set"), original, originalShots);
    LoadVmix(sets.file("v/Set"), back, backShots);
    ExpectSameRecords(original, originalShots, back, backShots);
    // Through the native package the files are renamed, their bytes kept.
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(ReadFileBytes(LayerImagePath(back[1])), ReadFileBytes(files.file("layer1.png")));
    EXPECT_EQ(ReadFileBytes(LayerUvPath(back[1])), ReadFileBytes(files.file("uv.png")));
}

TEST(Convert, ExistingTargetIsRefusedUnlessOverwriteAndBadSourcesFail)
{
    TempDir files, sets;
    ASSERT_NO_FATAL_FAILURE(MakeVmixSet(files, sets));
    std::filesystem::create_directories(sets.file("out/Set"));
    testsupport::WriteFileBytes(sets.file("out/Set/config.xml"), "<old/>");
    EXPECT_EQ(CliCode("convert " + Quote(sets.file("Set")) + " " + Quote(sets.file("out")) + " --to native"), 2);
    EXPECT_FALSE(testsupport::Exists(sets.file("out/Set/scene.tvn")));
    EXPECT_EQ(CliCode("convert " + Quote(sets.file("Set")) + " " + Quote(sets.file("out")) + " --to native --overwrite"), 0);
    EXPECT_TRUE(IsSceneFile(sets.wfile("out/Set/scene.tvn")));
    EXPECT_FALSE(testsupport::Exists(sets.file("out/Set/config.xml"))) << "the old set is replaced, not mixed in";
    std::string listing;
    testsupport::RunCommand("ls -A " + Quote(sets.file("out")), &listing);
    EXPECT_EQ(listing, "Set\n") << "nothing is left beside the set";

    // A vMix set converted onto itself keeps its pictures: they are read before the old folder goes.
    ASSERT_EQ(CliCode("convert " + Quote(sets.file("Set")) + " " + Quote(sets.path()) + " --to vmix --overwrite"), 0);
    LayerList layers;
    ShotList shots;
    ASSERT_TRUE(LoadVmixVirtualSet(sets.wfile("Set/config.xml"), layers, shots, true, true));
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(ReadFileBytes(LayerImagePath(layers[0])), ReadFileBytes(files.file("layer0.png")));

    EXPECT_EQ(CliCode("convert " + Quote(files.path()) + " " + Quote(sets.file("out")) + " --to vmix"), 2);
    EXPECT_EQ(CliCode("convert " + Quote(sets.file("Set")) + " " + Quote(sets.file("out")) + " --to png"), 2);
    EXPECT_EQ(CliCode("convert " + Quote(sets.file("Set")) + " " + Quote(sets.file("out")) + " --to vmix --name ../x"), 2);
}

TEST(Convert, NewSetsFromTemplates)
{
    TempDir sets;
    EXPECT_EQ(CliCode("new " + Quote(sets.file("Quad")) + " --template 9"), 0);
    LayerList layers;
    ShotList shots;
    ASSERT_TRUE(ReadVmixConfig(sets.wfile("Quad/config.xml"), layers, shots));
    EXPECT_EQ(layers.size(), 4u);
    EXPECT_EQ(CliCode("new " + Quote(sets.file("Empty")) + " --template -1"), 0);
    ASSERT_TRUE(ReadVmixConfig(sets.wfile("Empty/config.xml"), layers, shots));
    EXPECT_TRUE(layers.empty());
    EXPECT_EQ(CliCode("new " + Quote(sets.file("Bad")) + " --template 12"), 2);
    EXPECT_EQ(CliCode("new " + Quote(sets.file("Bad")) + " --template x"), 2);
}

TEST(Convert, InfoDescribesAVmixSetInImportOrder)
{
    TempDir files, sets;
    ASSERT_NO_FATAL_FAILURE(MakeVmixSet(files, sets));
    std::filesystem::remove(sets.file("Set/uv.png"));
    std::string out;
    ASSERT_EQ(testsupport::RunCommand(testsupport::BuiltProgram("kelvane-cli") + " info " + Quote(sets.file("Set")), &out), 0);
    EXPECT_NE(out.find("\"format\": \"vmix\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"shotMode\": 4"), std::string::npos) << out;
    EXPECT_NE(out.find("\"headerValue\": 1000"), std::string::npos) << out;
    EXPECT_LT(out.find("\"Front\""), out.find("\"Screen\""));
    EXPECT_LT(out.find("\"Screen\""), out.find("\"Back\""));
    EXPECT_NE(out.find("\"image\": \"layer0.png\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"uvmap\": \"uv.png\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"uvBytes\": -1"), std::string::npos) << out;  // the UV file is gone
}
