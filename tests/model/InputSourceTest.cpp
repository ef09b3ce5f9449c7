// Inputs on the real engine: opening, the record they fill, placement through
// the record's flags, names, reloads and snapshots.
#include "support/EngineFixture.h"

#include "ModelTestSupport.h"
#include "model/ItemPlacement.h"
#include "model/MultiViewSource.h"
#include "model/ObsSource.h"
#include "platform/TextConv.h"

#include <QImage>
#include <cmath>
#include <memory>

namespace {

class InputTest : public EngineTest {
protected:
    std::unique_ptr<CObsSource> OpenImage(SourceInfo& info, int width = 640, int height = 480,
                                          const QColor& colour = Qt::red)
    {
        info.kind = kKindImage;
        info.path = platform::Utf8ToWide(
            modeltest::WritePicture(m_dir, "pic" + std::to_string(m_count++) + ".png", width, height, colour));
        auto source = std::make_unique<CObsSource>(engine(), &info, nullptr);
        EXPECT_EQ(source->Open(), S_OK);
        return source;
    }

    testsupport::TempDir m_dir;
    int m_count = 0;
};

vec2 ItemScale(CSourceObject& source)
{
    vec2 scale;
    obs_sceneitem_get_scale(source.GetItem(0), &scale);
    return scale;
}

}  // namespace

TEST_F(InputTest, ImageInputOpensWithOneItemAndItsSizeInTheRecord)
{
    SourceInfo info;
    info.placement.x = 0.25f;
    auto source = OpenImage(info);
    ASSERT_EQ(source->GetItemCount(), 1u);
    SourceInfo* record = source->GetInfo();
    ASSERT_EQ(record, &info);
    EXPECT_EQ(info.nativeWidth, 640);
    EXPECT_EQ(info.nativeHeight, 480);
    EXPECT_EQ(info.owner, source.get());
    EXPECT_EQ(info.displayName, L"pic0.png");
    ASSERT_EQ(source->GetLayers().size(), 1u);
    EXPECT_EQ(GetRecordName(source->GetLayers()[0].name), L"pic0.png");
    EXPECT_FLOAT_EQ(source->GetLayers()[0].x, 0.25f);
    EXPECT_EQ(source->GetOutputSource(), obs_scene_get_source(source->GetMainScene()));
    ASSERT_NE(source->GetMainSource(), nullptr);
    EXPECT_STREQ(obs_source_get_id(source->GetMainSource()), "image_source");
    EXPECT_TRUE(source->HasVideo());
    EXPECT_FALSE(source->HasAudio());
    EXPECT_EQ(source->GetSelectedIndex(), 0);
    EXPECT_TRUE(obs_sceneitem_selected(source->GetSelectedItem()));
    EXPECT_NE(source->GetFader(), nullptr);
    EXPECT_NE(source->GetVolumeMeter(), nullptr);
    EXPECT_EQ(source->FindItem(source->GetItem(0)), 0);
    EXPECT_EQ(source->FindItemByName(L"pic0.png"), source->GetItem(0));
    EXPECT_FALSE(source->SetSelectedIndex(1));
    EXPECT_EQ(source->GetSelectedIndex(), 0);
    // The record's placement block was applied.
    EXPECT_NEAR(GetItemPlacement(source->GetItem(0)).x, 0.25f, 1e-6);
}

TEST_F(InputTest, KeepAspectOnAFourByThreeSourceNarrowsTheWidth)
{
    SourceInfo info;
    info.keepAspect = true;
    auto source = OpenImage(info);
    const ItemPlacement p = GetItemPlacement(source->GetItem(0));
    EXPECT_NEAR(p.zoomX, 0.75f, 1e-6);
    EXPECT_NEAR(p.zoomY, 1.0f, 1e-6);
}

TEST_F(InputTest, FlipsGiveNegativeScalesAndPresetsQuarterTurns)
{
    SourceInfo info;
    info.flipHorizontal = true;
    auto source = OpenImage(info);
    EXPECT_LT(ItemScale(*source).x, 0.0f);
    EXPECT_GT(ItemScale(*source).y, 0.0f);
    info.flipHorizontal = false;
    info.flipVertical = true;
    ASSERT_TRUE(source->ApplyLayerTransform(0));
    EXPECT_GT(ItemScale(*source).x, 0.0f);
    EXPECT_LT(ItemScale(*source).y, 0.0f);
    info.rotationPreset = 1;
    ASSERT_TRUE(source->ApplyLayerTransform(0));
    EXPECT_FLOAT_EQ(obs_sceneitem_get_rot(source->GetItem(0)), 90.0f);
    info.rotationPreset = 2;
    ASSERT_TRUE(source->ApplyLayerTransform(0));
    EXPECT_FLOAT_EQ(obs_sceneitem_get_rot(source->GetItem(0)), -90.0f);
}

TEST_F(InputTest, CapturedTransformReappliesToTheSamePicture)
{
    SourceInfo info;
    info.keepAspect = true;
    info.flipHorizontal = true;
    info.placement.zoomX = 0.5f;
    info.placement.zoomY = 0.6f;
    info.placement.x = 0.2f;
    auto source = OpenImage(info);
    const vec2 before = ItemScale(*source);
    ASSERT_TRUE(source->CaptureLayerTransform(0));
    EXPECT_NEAR(source->GetLayers()[0].zoomX, 0.5f, 1e-5);
    EXPECT_NEAR(source->GetLayers()[0].zoomY, 0.6f, 1e-5);
    ASSERT_TRUE(source->ApplyLayerTransform(0));
    const vec2 after = ItemScale(*source);
    EXPECT_NEAR(after.x, before.x, 1e-5);
    EXPECT_NEAR(after.y, before.y, 1e-5);
}

TEST_F(InputTest, FitAndStretchResetTheLayerOverTheCanvas)
{
    SourceInfo info;
    info.placement.x = 0.5f;
    info.placement.zoomX = 0.2f;
    info.flipVertical = true;
    info.rotationPreset = 1;
    auto source = OpenImage(info);
    ASSERT_TRUE(source->FitToCanvasKeepAspect());
    EXPECT_TRUE(info.keepAspect);
    EXPECT_FALSE(info.flipVertical);
    EXPECT_EQ(info.rotationPreset, 0);
    ItemPlacement p = GetItemPlacement(source->GetItem(0));
    EXPECT_NEAR(p.x, 0.0f, 1e-6);
    EXPECT_NEAR(p.zoomX, 0.75f, 1e-6);
    EXPECT_NEAR(p.zoomY, 1.0f, 1e-6);
    EXPECT_NEAR(p.rotateZ, 0.0f, 1e-6);
    ASSERT_TRUE(source->StretchToCanvas());
    EXPECT_FALSE(info.keepAspect);
    EXPECT_FLOAT_EQ(ItemScale(*source).x, 3.0f);
    EXPECT_FLOAT_EQ(ItemScale(*source).y, 2.25f);
}

TEST_F(InputTest, CropAndShotCapture)
{
    SourceInfo info;
    auto source = OpenImage(info);
    source->GetLayers()[0].cropLeft = 0.5f;
    source->GetLayers()[0].cropBottom = 0.25f;
    ASSERT_TRUE(source->ApplyLayerCrop(0));
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(source->GetItem(0), &crop);
    EXPECT_EQ(crop.left, 320);
    EXPECT_EQ(crop.bottom, 120);
    EXPECT_FALSE(source->ApplyLayerCrop(1));

    EXPECT_FALSE(source->CaptureShot(0));  // no shot yet
    source->GetShots().push_back(MakeDefaultShot());
    SetItemScale(source->GetItem(0), 0.5f, 0.25f, 1.0f, 1.0f, 0.125f);
    ASSERT_TRUE(source->CaptureShot(0));
    const ShotInfo& shot = source->GetShots()[0];
    EXPECT_NEAR(shot.x, 0.5f, 1e-6);
    EXPECT_NEAR(shot.y, 0.25f, 1e-6);
    EXPECT_NEAR(shot.zoomX, 640.0f / 1920.0f, 1e-6);
    EXPECT_NEAR(shot.rotateZ, 0.125f, 1e-6);
    EXPECT_FLOAT_EQ(shot.zoomZ, 1.0f);
}

TEST_F(InputTest, SnapshotOfTheInputsScene)
{
    SourceInfo info;
    info.placement.x = -0.5f;
    info.placement.zoomX = 0.5f;
    auto source = OpenImage(info, 960, 1080);
    ASSERT_TRUE(source->SaveScreenshot(m_dir.wfile("input.bmp")));
    QImage image(QString::fromStdString(m_dir.file("input.bmp")), "BMP");
    ASSERT_EQ(image.size(), QSize(1920, 1080));
    EXPECT_EQ(image.pixel(200, 300), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(image.pixel(1700, 300)), 0);
}

TEST_F(InputTest, UnknownOrUnregisteredKindsOpenAnEmptyScene)
{
    for (int kind : {13, 15, 11}) {
        SourceInfo info;
        info.kind = kind;
        CObsSource source(engine(), &info, nullptr);
        EXPECT_EQ(source.Open(), S_OK) << kind;
        EXPECT_NE(source.GetMainScene(), nullptr);
        EXPECT_EQ(source.GetItemCount(), 0u);
        EXPECT_TRUE(source.GetLayers().empty());
        EXPECT_EQ(source.GetMainSource(), nullptr);
        EXPECT_FALSE(source.ApplyLayerTransform(0));
        EXPECT_FALSE(source.SetChromaKey());
        EXPECT_FALSE(source.HasVideo());
        EXPECT_FALSE(source.UpdateSettings());
    }
}

TEST_F(InputTest, CaptureSourcesNamedAlikeGetNumberedNames)
{
    SourceInfo first;
    first.kind = kKindScreen;
    first.variant = 1;
    first.path = L"Screen";
    first.captureTarget = L"0";
    SourceInfo second = first;
    CObsSource a(engine(), &first, nullptr);
    CObsSource b(engine(), &second, nullptr);
    ASSERT_EQ(a.Open(), S_OK);
    ASSERT_EQ(b.Open(), S_OK);
    ASSERT_NE(a.GetMainSource(), nullptr);
    ASSERT_NE(b.GetMainSource(), nullptr);
    EXPECT_STREQ(obs_source_get_id(a.GetMainSource()), "xshm_input");
    EXPECT_STREQ(obs_source_get_name(a.GetMainSource()), "Screen");
    EXPECT_STREQ(obs_source_get_name(b.GetMainSource()), "Screen 2");
}

TEST_F(InputTest, CaptureDeviceCueOnlyStartsIt)
{
    SourceInfo info;
    info.kind = kKindCaptureDevice;
    CObsSource device(engine(), &info, nullptr);
    ASSERT_EQ(device.Open(), S_OK);
    ASSERT_NE(device.GetMainSource(), nullptr);
    EXPECT_STREQ(obs_source_get_id(device.GetMainSource()), "v4l2_input");
    EXPECT_STREQ(obs_source_get_name(device.GetMainSource()), "Unknown");
    EXPECT_EQ(device.Cue(), S_OK);
    EXPECT_FALSE(device.IsPaused());
}

TEST_F(InputTest, NewRecordRebuildsTheSource)
{
    // Declared before the source, which keeps a pointer to it until it goes.
    SourceInfo next;
    SourceInfo info;
    auto source = OpenImage(info);
    next.kind = kKindImage;
    next.path = platform::Utf8ToWide(modeltest::WritePicture(m_dir, "wide.png", 320, 90));
    next.deinterlace = true;
    source->SetMonitoringType(OBS_MONITORING_TYPE_MONITOR_ONLY);
    source->SetInfo(&next);
    ASSERT_EQ(source->GetItemCount(), 1u);
    ASSERT_EQ(source->GetLayers().size(), 1u);
    source->GetInfo();
    EXPECT_EQ(next.nativeWidth, 320);
    EXPECT_EQ(next.nativeHeight, 90);
    EXPECT_EQ(obs_source_get_deinterlace_mode(source->GetMainSource()), OBS_DEINTERLACE_MODE_YADIF_2X);
    EXPECT_EQ(obs_source_get_monitoring_type(source->GetMainSource()), OBS_MONITORING_TYPE_MONITOR_ONLY);
    EXPECT_TRUE(obs_sceneitem_selected(source->GetSelectedItem()));
}

TEST_F(InputTest, UpdateSettingsPushesTheRecordOntoTheSameSource)
{
    SourceInfo info;
    auto source = OpenImage(info);
    obs_source_t* before = source->GetMainSource();
    info.path = platform::Utf8ToWide(modeltest::WritePicture(m_dir, "other.png", 100, 50));
    ASSERT_TRUE(source->UpdateSettings());
    EXPECT_EQ(source->GetMainSource(), before);
    OBSDataAutoRelease settings = obs_source_get_settings(before);
    EXPECT_EQ(std::string(obs_data_get_string(settings, "file")), m_dir.file("other.png"));
    // The engine applies a picture's new settings on its next frame.
    EXPECT_TRUE(WaitFor([&] { return obs_source_get_width(before) == 100u; }, 3000));
    // A record that now names another type is not pushed onto this one.
    info.kind = kKindMediaFile;
    EXPECT_FALSE(source->UpdateSettings());
}

TEST_F(InputTest, DeletingTheObjectClearsTheBackPointer)
{
    SourceInfo info;
    auto source = OpenImage(info);
    ASSERT_EQ(info.owner, source.get());
    source.reset();
    EXPECT_EQ(info.owner, nullptr);
}

TEST_F(InputTest, OpeningAgainStartsOverCleanly)
{
    SourceInfo info;
    info.chromaKey.enabled = true;
    auto source = OpenImage(info);
    ASSERT_EQ(source->Open(), S_OK);
    EXPECT_EQ(source->GetItemCount(), 1u);
    EXPECT_EQ(source->GetLayers().size(), 1u);
    EXPECT_EQ(obs_source_filter_count(source->GetMainSource()), 1u);
    EXPECT_NE(source->GetFader(), nullptr);
}

namespace {

// Builds a set's item list by hand (a group item, then one item per layer)
// in place of the set scene, which comes later, to show how the shared
// operations address a set's layers.
class HandBuiltSet : public CMultiViewSource {
public:
    HandBuiltSet(ObsMain* owner, SourceInfo* info, const std::string& picture) : CMultiViewSource(owner, info, nullptr)
    {
        m_mainScene = obs_scene_create_private("hand-built set");
        OBSSceneAutoRelease group = obs_scene_create_private("--- All ---");
        AppendItem(obs_scene_add(m_mainScene, obs_scene_get_source(group)));
        for (int i = 0; i < 2; ++i) {
            OBSDataAutoRelease settings = obs_data_create();
            obs_data_set_string(settings, "file", picture.c_str());
            OBSSourceAutoRelease layer =
                obs_source_create("image_source", ("layer " + std::to_string(i)).c_str(), settings, nullptr);
            AppendItem(obs_scene_add(group, layer));
            m_layers.push_back(MakeDefaultLayer());
        }
        m_groupScene = std::move(group);
    }
};

}  // namespace

TEST_F(InputTest, SetLayersAreAddressedThroughTheItemAfterTheGroup)
{
    SourceInfo info;
    info.kind = kKindNativeSet;
    HandBuiltSet set(engine(), &info, modeltest::WritePicture(m_dir, "layer.png", 200, 100));
    set.SelectItem(0);
    EXPECT_EQ(set.GetSelectedIndex(), 1);
    EXPECT_EQ(set.GetSelectedItem(), set.GetItem(1));
    set.SelectItem(2);  // no third layer: nothing changes
    EXPECT_EQ(set.GetSelectedIndex(), 1);

    set.GetLayers()[1].cropTop = 0.5f;
    ASSERT_TRUE(set.ApplyLayerCrop(1));
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(set.GetItem(2), &crop);
    EXPECT_EQ(crop.top, 50);
    obs_sceneitem_get_crop(set.GetItem(1), &crop);
    EXPECT_EQ(crop.top, 0);

    SetItemScale(set.GetItem(2), -0.5f, 0.0f, 1.0f, 1.0f, 0.0f);
    ASSERT_TRUE(set.CaptureLayerTransform(1));
    EXPECT_NEAR(set.GetLayers()[1].x, -0.5f, 1e-6);
    EXPECT_FLOAT_EQ(set.GetLayers()[0].x, 0.0f);
}
