// Saving and exporting sets from the engine and opening them again.
#include "SetEngineFixture.h"

#include "app/SettingsFiles.h"
#include "formats/SceneFile.h"
#include "lumora/Lang.h"
#include "platform/FileUtil.h"

#include <cstring>
#include <filesystem>

using namespace settest;

namespace {

void ExpectSameLayers(const LayerList& a, const LayerList& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(a[i].name);
        EXPECT_STREQ(a[i].name, b[i].name);
        EXPECT_FLOAT_EQ(a[i].x, b[i].x);
        EXPECT_FLOAT_EQ(a[i].y, b[i].y);
        EXPECT_FLOAT_EQ(a[i].zoomX, b[i].zoomX);
        EXPECT_FLOAT_EQ(a[i].zoomY, b[i].zoomY);
        EXPECT_NEAR(a[i].rotateZ, b[i].rotateZ, 1e-6);
        EXPECT_NEAR(a[i].cropLeft, b[i].cropLeft, 1e-6);
        EXPECT_NEAR(a[i].cropTop, b[i].cropTop, 1e-6);
        EXPECT_NEAR(a[i].cropRight, b[i].cropRight, 1e-6);
        EXPECT_NEAR(a[i].cropBottom, b[i].cropBottom, 1e-6);
        EXPECT_EQ(a[i].uvPathSize > 0, b[i].uvPathSize > 0);
    }
}

void ExpectSameShots(const ShotList& a, const ShotList& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_STREQ(a[i].name, b[i].name);
        EXPECT_FLOAT_EQ(a[i].x, b[i].x);
        EXPECT_FLOAT_EQ(a[i].zoomY, b[i].zoomY);
        EXPECT_NEAR(a[i].rotateZ, b[i].rotateZ, 1e-6);
    }
}

// Edits every kind of layer and shot value the formats keep.
void EditSet(CMultiViewSource& set, const std::string& folder)
{
    WritePicture(folder + "/Desk.png", 40, 30, Qt::yellow);
    ASSERT_TRUE(set.AddLayer(platform::Utf8ToWide(folder + "/Desk.png")));
    ASSERT_TRUE(set.MoveLayerUp(1));
    ASSERT_TRUE(set.RenameLayer(0, L"Monitor"));
    LayerInfo& monitor = set.GetLayers()[0];
    monitor.x = -0.3f;
    monitor.zoomY = 0.7f;
    monitor.cropLeft = 0.1f;
    monitor.cropTop = 0.2f;
    monitor.cropRight = 0.05f;
    monitor.cropBottom = 0.15f;
    ASSERT_TRUE(set.ApplyLayerTransform(0));
    set.GetShots()[1].zoomX = 3.0f;
    set.GetShots().push_back(MakeShot("Left", -0.5f, 0, 1.5f, 1.5f));
}

}  // namespace

TEST_F(SetTest, ASavedNativeSetOpensWithTheSameRecords)
{
    std::vector<TestLayer> layers = ThreeLayers();
    layers[2].uvMap = true;
    SourceInfo info =
        NativeSetInfo(MakeNativeSet(m_dir.path(), "Studio", layers, {MakeShot("Wide", 0, 0, 1, 1), MakeShot("Close", 0.2f, 0, 2, 2)}));
    auto set = OpenSet(info);
    EditSet(*set, m_dir.path());
    set->SetSetName(L"Saved");
    std::filesystem::create_directories(m_dir.file("out"));
    ASSERT_EQ(set->SaveNative(m_dir.wfile("out")), kSaveDone);
    EXPECT_EQ(g_recentSets.FindInRecentList(m_dir.wfile("out/Saved")), int(g_recentSets.Entries().size()) - 1);

    SourceInfo savedInfo = NativeSetInfo(m_dir.wfile("out/Saved/scene.tvn"));
    auto saved = OpenSet(savedInfo);
    ExpectSameLayers(saved->GetLayers(), set->GetLayers());
    ExpectSameShots(saved->GetShots(), set->GetShots());
    EXPECT_EQ(saved->GetSetName(), L"Saved");
    EXPECT_EQ(SceneOrder(saved->GetGroupScene()), (std::vector<std::string>{"Desk", "Blue", "Red", "Monitor"}));
}

TEST_F(SetTest, AnExportedVmixSetOpensWithTheSameRecords)
{
    std::vector<TestLayer> layers = ThreeLayers();
    layers[0].uvMap = true;
    SourceInfo info =
        NativeSetInfo(MakeNativeSet(m_dir.path(), "Studio", layers, {MakeShot("Wide", 0, 0, 1, 1), MakeShot("Close", 0.2f, 0, 2, 2)}));
    auto set = OpenSet(info);
    EditSet(*set, m_dir.path());
    std::filesystem::create_directories(m_dir.file("vmix"));
    ASSERT_EQ(set->ExportVmix(m_dir.wfile("vmix")), kSaveDone);
    EXPECT_EQ(g_recentSets.FindInRecentList(m_dir.wfile("vmix/Studio")), int(g_recentSets.Entries().size()) - 1);

    SourceInfo exportedInfo = VmixSetInfo(m_dir.wfile("vmix/Studio/config.xml"));
    auto exported = OpenSet(exportedInfo);
    ExpectSameLayers(exported->GetLayers(), set->GetLayers());
    ExpectSameShots(exported->GetShots(), set->GetShots());
    EXPECT_EQ(SceneOrder(exported->GetGroupScene()), (std::vector<std::string>{"Desk", "Blue", "Red", "Monitor"}));
    EXPECT_TRUE(testsupport::Exists(m_dir.file("vmix/Studio/thumbnail.jpg")));
    // The exported set is whole by itself: its pictures are in its folder.
    for (const LayerInfo& layer : exported->GetLayers())
        EXPECT_EQ(platform::FolderPart(platform::AnsiToWide(LayerImagePath(layer))), m_dir.wfile("vmix/Studio"));
}

TEST_F(SetTest, ALayerShotSetKeepsItsModeAndHeaderValueWhenSaved)
{
    SourceInfo info = NativeSetInfo(MakeNativeSet(m_dir.path(), "Studio", ThreeLayers(), {}, kShotModeLayer));
    auto set = OpenSet(info);
    set->SetHeaderValue(777);
    ASSERT_EQ(set->SaveNative(m_dir.wfile("out")), kSaveFailed);  // no such parent folder
    std::filesystem::create_directories(m_dir.file("out"));
    ASSERT_EQ(set->SaveNative(m_dir.wfile("out")), kSaveDone);
    SourceInfo savedInfo = NativeSetInfo(m_dir.wfile("out/Studio/scene.tvn"));
    auto saved = OpenSet(savedInfo);
    EXPECT_EQ(saved->GetShotMode(), kShotModeLayer);
    EXPECT_EQ(saved->GetHeaderValue(), 777);
    ExpectSameShots(saved->GetShots(), set->GetShots());
}

TEST_F(SetTest, CancelInTheExistingTargetPromptWritesNothing)
{
    SourceInfo info = NativeSetInfo(MakeNativeSet(m_dir.path(), "Studio", ThreeLayers(), {}));
    auto set = OpenSet(info);
    std::filesystem::create_directories(m_dir.file("out/Studio"));
    std::vector<std::wstring> asked;
    SaveCallbacks callbacks;
    callbacks.existingTarget = [&](const std::wstring& parent, std::wstring& name) {
        asked.push_back(parent + L"|" + name);
        return false;
    };
    set->SetSaveCallbacks(callbacks);
    EXPECT_EQ(set->SaveNative(m_dir.wfile("out")), kSaveCancelled);
    EXPECT_EQ(set->ExportVmix(m_dir.wfile("out")), kSaveCancelled);
    EXPECT_EQ(asked, (std::vector<std::wstring>(2, m_dir.wfile("out") + L"|Studio")));
    EXPECT_EQ(FolderTree(m_dir.file("out")), std::vector<std::string>{"Studio"});
    EXPECT_EQ(set->GetSetName(), L"Studio");
}

TEST_F(SetTest, AFailedSaveKeepsThePreviousSetAndShowsWhy)
{
    SourceInfo info = NativeSetInfo(MakeNativeSet(m_dir.path(), "Studio", ThreeLayers(), {}));
    auto set = OpenSet(info);
    std::vector<std::wstring> shown;
    SaveCallbacks callbacks;
    callbacks.existingTarget = [](const std::wstring&, std::wstring&) { return true; };  // overwrite
    callbacks.showMessage = [&](const std::wstring& text) { shown.push_back(text); };
    set->SetSaveCallbacks(callbacks);
    std::filesystem::create_directories(m_dir.file("out"));
    ASSERT_EQ(set->SaveNative(m_dir.wfile("out")), kSaveDone);
    const std::string before = testsupport::ReadFileBytes(m_dir.file("out/Studio/scene.tvn"));

    set->SetThumbnailPath(m_dir.wfile("gone.jpg"));
    ASSERT_TRUE(set->RemoveLayer(0));
    EXPECT_EQ(set->SaveNative(m_dir.wfile("out")), kSaveFailed);
    EXPECT_EQ(shown, std::vector<std::wstring>{Lang::FormatLangString(1103, m_dir.wfile("gone.jpg"))});
    EXPECT_EQ(testsupport::ReadFileBytes(m_dir.file("out/Studio/scene.tvn")), before);
    EXPECT_EQ(FolderTree(m_dir.file("out/Studio")), std::vector<std::string>{"scene.tvn"});

    // A set without layers says so, in both formats, and makes no folder.
    while (!set->GetLayers().empty())
        ASSERT_TRUE(set->RemoveLayer(0));
    set->SetThumbnailPath(m_dir.wfile("out/Studio/thumbnail.jpg"));
    set->SetSetName(L"Empty");
    shown.clear();
    EXPECT_EQ(set->SaveNative(m_dir.wfile("out")), kSaveFailed);
    EXPECT_EQ(set->ExportVmix(m_dir.wfile("out")), kSaveFailed);
    EXPECT_EQ(shown, std::vector<std::wstring>(2, Lang::LoadLangString(1101)));
    EXPECT_FALSE(testsupport::Exists(m_dir.file("out/Empty")));
}

TEST_F(SetTest, AVmixExportMakesAFolderWindowsCanHoldOrWritesTheExistingOneInPlace)
{
    SourceInfo info = NativeSetInfo(MakeNativeSet(m_dir.path(), "Studio", ThreeLayers(), {}));
    auto set = OpenSet(info);
    SaveCallbacks callbacks;
    callbacks.existingTarget = [](const std::wstring&, std::wstring&) { return true; };  // overwrite
    set->SetSaveCallbacks(callbacks);
    std::filesystem::create_directories(m_dir.file("out"));
    set->SetSetName(L"News: Today?");
    ASSERT_EQ(set->ExportVmix(m_dir.wfile("out")), kSaveDone);
    EXPECT_EQ(set->GetSetName(), L"News_ Today_");
    EXPECT_TRUE(testsupport::Exists(m_dir.file("out/News_ Today_/config.xml")));

    // A folder of the set's own name is the set's: it is written where it is.
    std::filesystem::create_directories(m_dir.file("out/Late: Night"));
    set->SetSetName(L"Late: Night");
    ASSERT_EQ(set->ExportVmix(m_dir.wfile("out")), kSaveDone);
    EXPECT_TRUE(testsupport::Exists(m_dir.file("out/Late: Night/config.xml")));
}
