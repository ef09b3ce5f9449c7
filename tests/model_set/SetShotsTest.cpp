// Camera shots and layer shots, applied at once and as timed transitions, on
// the real engine.
#include "SetEngineFixture.h"

#include "formats/SceneFile.h"
#include "model/ItemPlacement.h"
#include "support/RecordingWindow.h"

using namespace settest;

namespace {

ShotList CameraShots()
{
    return {MakeShot("Wide", 0, 0, 1, 1), MakeShot("Close", 0.25f, -0.1f, 2.0f, 1.5f, 0.05f)};
}

// Front to back: a screen, a desk, an overlay and the background.
std::vector<TestLayer> StudioLayers()
{
    TestLayer screen{"Screen", Qt::red, 64, 36, 0.5f, 0.5f, 0.25f, 0.25f};
    screen.crop[0] = 0.25f;
    TestLayer desk{"Desk", Qt::green, 64, 36, 0.0f, -0.5f, 0.5f, 0.5f};
    TestLayer overlay{"Camera 1 Overlay", Qt::white, 32, 18, 0.0f, 0.9f, 1.0f, 0.1f};
    TestLayer background{"Background", Qt::blue, 48, 27};
    return {screen, desk, overlay, background};
}

void ExpectPlacement(obs_sceneitem_t* item, float x, float y, float zoomX, float zoomY)
{
    const ItemPlacement p = GetItemPlacement(item);
    EXPECT_NEAR(p.x, x, 1e-4);
    EXPECT_NEAR(p.y, y, 1e-4);
    EXPECT_NEAR(p.zoomX, zoomX, 1e-4);
    EXPECT_NEAR(p.zoomY, zoomY, 1e-4);
}

int CountMessages(RecordingWindow& window, unsigned message)
{
    int count = 0;
    for (const RecordedMessage& m : window.Messages()) {
        if (m.message == message) {
            EXPECT_EQ(m.wParam, 0u);
            EXPECT_EQ(m.lParam, 0);
            ++count;
        }
    }
    return count;
}

}  // namespace

TEST_F(SetTest, StartingACameraShotWithoutDurationLooksLikeApplyingIt)
{
    SourceInfo info = NativeSetInfo(MakeNativeSet(m_dir.path(), "Studio", ThreeLayers(), CameraShots()));
    auto set = OpenSet(info);
    const QImage unmoved = Render(*set, "unmoved.bmp");
    // Before any shot the group sits centred at scale 1, as shot "Wide" puts it.
    ExpectPlacement(set->GetItem(0), 0, 0, 1, 1);

    ASSERT_TRUE(set->ApplyShot(1));
    EXPECT_EQ(set->GetCurrentShot(), 1);
    const QImage applied = Render(*set, "applied.bmp");
    ASSERT_TRUE(set->ApplyShot(0));
    EXPECT_EQ(Render(*set, "wide.bmp"), unmoved);
    ASSERT_TRUE(set->StartShot(1, 0));
    EXPECT_FALSE(set->ShotTick());
    const QImage started = Render(*set, "started.bmp");
    EXPECT_EQ(started, applied);
    EXPECT_NE(started, unmoved);
    ExpectPlacement(set->GetItem(0), 0.25f, -0.1f, 2.0f, 1.5f);
    EXPECT_FALSE(set->ApplyShot(2));
    EXPECT_EQ(set->GetCurrentShot(), 1);
}

TEST_F(SetTest, ATimedCameraTransitionReachesTheShotAndTellsTheWindow)
{
    TestApplication();
    RecordingWindow window;
    SourceInfo info = NativeSetInfo(MakeNativeSet(m_dir.path(), "Studio", ThreeLayers(), CameraShots()));
    auto set = OpenSet(info, &window);
    ASSERT_TRUE(set->ApplyShot(0));
    ASSERT_TRUE(set->StartShot(1, 200));  // five steps
    EXPECT_EQ(set->GetCurrentShot(), 1);
    int ticks = 0;
    while (set->ShotTick()) {
        ++ticks;
        if (ticks == 3) {
            const ItemPlacement half = GetItemPlacement(set->GetItem(0));
            EXPECT_NEAR(half.x, 0.25f * 2 / 5, 1e-4);
            EXPECT_NEAR(half.zoomX, 1.0f + 2 * 1.0f / 5, 1e-4);
        }
        ASSERT_LT(ticks, 50);
    }
    EXPECT_EQ(ticks, 5);  // the sixth step writes the target and ends
    ExpectPlacement(set->GetItem(0), 0.25f, -0.1f, 2.0f, 1.5f);
    EXPECT_NEAR(obs_sceneitem_get_rot(set->GetItem(0)), 0.05f * 360.0f, 1e-3);
    EXPECT_FALSE(set->ShotTick());
    ASSERT_TRUE(window.WaitForMessage(kShotTransitionEndedMessage, 2000));
    EXPECT_EQ(CountMessages(window, kShotTransitionEndedMessage), 1);
}

TEST_F(SetTest, LayerShotsBringOneLayerToFullFrameAndBack)
{
    const std::wstring sceneFile = MakeNativeSet(m_dir.path(), "Studio", StudioLayers(), CameraShots(), kShotModeLayer);
    testsupport::WriteFileBytes(m_dir.file("Studio/3.bmp"), "old shot picture");
    SourceInfo info = NativeSetInfo(sceneFile);
    auto set = OpenSet(info);
    ASSERT_EQ(set->GetShotMode(), kShotModeLayer);
    ASSERT_EQ(set->GetShots().size(), 3u);  // All, Desk, Screen: the framing layers have none
    EXPECT_STREQ(set->GetShots()[0].name, "All");
    EXPECT_STREQ(set->GetShots()[1].name, "Desk");
    EXPECT_STREQ(set->GetShots()[2].name, "Screen");
    EXPECT_EQ(set->GetShotToItemMap(), (std::map<int32_t, int32_t>{{0, 0}, {1, 2}, {2, 1}}));
    const std::vector<std::string> all = {"Background", "Camera 1 Overlay", "Desk", "Screen"};

    ASSERT_TRUE(set->ApplyShot(1));  // Desk over everything, at full size
    EXPECT_EQ(SceneOrder(set->GetGroupScene()).back(), "Desk");
    ExpectPlacement(set->GetItem(2), 0, 0, 1, 1);
    ASSERT_TRUE(set->ApplyShot(2));  // straight on to Screen: Desk goes back to its place
    EXPECT_EQ(SceneOrder(set->GetGroupScene()), (std::vector<std::string>{"Background", "Camera 1 Overlay", "Desk", "Screen"}));
    ExpectPlacement(set->GetItem(2), 0, -0.5f, 0.5f, 0.5f);
    ExpectPlacement(set->GetItem(1), 0, 0, 1, 1);
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(set->GetItem(1), &crop);
    EXPECT_EQ(crop.left, 0);
    ASSERT_TRUE(set->ApplyShot(0));
    EXPECT_EQ(SceneOrder(set->GetGroupScene()), all);
    ExpectPlacement(set->GetItem(1), 0.5f, 0.5f, 0.25f, 0.25f);
    obs_sceneitem_get_crop(set->GetItem(1), &crop);
    EXPECT_EQ(crop.left, 16);
    EXPECT_EQ(set->GetCurrentShot(), 0);

    // The mode and the header value go into the scene file; the old shot pictures go.
    set->SetShotMode(kShotModeCamera);
    set->SetHeaderValue(1234);
    SceneFileIndex index;
    ASSERT_EQ(IndexSceneFile(sceneFile, index), SceneFileStatus::Ok);
    EXPECT_EQ(index.header.shotMode, kShotModeCamera);
    EXPECT_EQ(index.header.headerValue, 1234);
    EXPECT_FALSE(testsupport::Exists(m_dir.file("Studio/3.bmp")));
    EXPECT_EQ(set->GetShotPreviewPath(3), m_dir.wfile("Studio") + L"/3.bmp");

    // Back in layer mode with only the background and an overlay left: only "All".
    set->SetShotMode(kShotModeLayer);
    ASSERT_TRUE(set->RemoveLayer(0));
    ASSERT_TRUE(set->RemoveLayer(0));
    ASSERT_EQ(set->ReloadShots(), 0);
    ASSERT_EQ(set->GetShots().size(), 1u);
    EXPECT_STREQ(set->GetShots()[0].name, "All");
}

TEST_F(SetTest, ATimedLayerShotIsLeftThroughAll)
{
    TestApplication();
    RecordingWindow window;
    SourceInfo info = NativeSetInfo(MakeNativeSet(m_dir.path(), "Studio", StudioLayers(), {}, kShotModeLayer));
    auto set = OpenSet(info, &window);
    ASSERT_TRUE(set->StartShot(2, 120));  // Screen; three steps
    EXPECT_EQ(SceneOrder(set->GetGroupScene()).back(), "Screen");
    int ticks = 0;
    while (set->ShotTick() && ticks < 50)
        ++ticks;
    EXPECT_EQ(ticks, 3);
    ExpectPlacement(set->GetItem(1), 0, 0, 1, 1);
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(set->GetItem(1), &crop);
    EXPECT_EQ(crop.left, 0);

    EXPECT_FALSE(set->StartShot(1, 120));  // from one layer to another only through "All"
    ASSERT_TRUE(set->StartShot(0, 100));   // 2.5 steps: the end is still exact
    EXPECT_EQ(set->GetCurrentShot(), 0);
    ticks = 0;
    while (set->ShotTick() && ticks < 50)
        ++ticks;
    EXPECT_EQ(ticks, 2);
    ExpectPlacement(set->GetItem(1), 0.5f, 0.5f, 0.25f, 0.25f);
    EXPECT_EQ(SceneOrder(set->GetGroupScene()),
              (std::vector<std::string>{"Background", "Camera 1 Overlay", "Desk", "Screen"}));
    EXPECT_TRUE(set->StartShot(0, 100));  // already there: nothing runs
    EXPECT_FALSE(set->ShotTick());
    ASSERT_TRUE(window.WaitForMessage(kShotTransitionEndedMessage, 2000));
    QCoreApplication::processEvents();
    EXPECT_EQ(CountMessages(window, kShotTransitionEndedMessage), 2);
}
