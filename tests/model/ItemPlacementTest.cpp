// Normalised placement against real scene items on the 1920 x 1080 canvas.
#include "support/EngineFixture.h"

#include "model/ItemPlacement.h"
#include "support/TestSupport.h"
#include "ModelTestSupport.h"

#include <cmath>
#include <obs.hpp>

namespace {

class PlacementTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_scene = obs_scene_create_private("placement");
        const std::string file = modeltest::WritePicture(m_dir, "p.png", 640, 480);
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_string(settings, "file", file.c_str());
        OBSSourceAutoRelease source = obs_source_create("image_source", "picture", settings, nullptr);
        m_item = obs_scene_add(m_scene, source);
        ASSERT_NE(m_item, nullptr);
    }
    void TearDown() override
    {
        m_item = nullptr;
        m_scene = nullptr;
        EngineTest::TearDown();
    }

    testsupport::TempDir m_dir;
    OBSSceneAutoRelease m_scene;
    obs_sceneitem_t* m_item = nullptr;
};

}  // namespace

TEST_F(PlacementTest, PlacementReadsBackAsPlaced)
{
    const ItemPlacement spread[] = {
        {0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
        {-0.5f, 0.25f, 0.5f, 0.5f, 0.125f, 0.1f, 0.0f, 0.0f, 0.2f},
        {0.9f, -0.75f, 0.2f, 0.3f, -0.3f, 0.0f, 0.25f, 0.125f, 0.0f},
        {-1.0f, 1.0f, 2.0f, 1.5f, 0.5f, 0.05f, 0.05f, 0.05f, 0.05f},
    };
    for (const ItemPlacement& placed : spread) {
        SetItemPlacement(m_item, placed);
        const ItemPlacement read = GetItemPlacement(m_item);
        EXPECT_NEAR(read.x, placed.x, 1e-5);
        EXPECT_NEAR(read.y, placed.y, 1e-5);
        EXPECT_NEAR(read.zoomX, placed.zoomX, 1e-5);
        EXPECT_NEAR(read.zoomY, placed.zoomY, 1e-5);
        EXPECT_NEAR(read.rotateZ, placed.rotateZ, 1e-5);
        // Crop is kept in whole pixels of the 640 x 480 picture.
        EXPECT_NEAR(read.cropLeft, placed.cropLeft, 1.0 / 640);
        EXPECT_NEAR(read.cropTop, placed.cropTop, 1.0 / 480);
        EXPECT_NEAR(read.cropRight, placed.cropRight, 1.0 / 640);
        EXPECT_NEAR(read.cropBottom, placed.cropBottom, 1.0 / 480);
    }
}

TEST_F(PlacementTest, PlacementMapsToCanvasPixels)
{
    ItemPlacement p;
    p.x = -0.5f;
    p.y = 0.5f;
    p.zoomX = 0.5f;
    p.zoomY = 0.5f;
    p.cropLeft = 0.25f;
    SetItemPlacement(m_item, p);
    vec2 pos;
    obs_sceneitem_get_pos(m_item, &pos);
    EXPECT_FLOAT_EQ(pos.x, 480.0f);
    EXPECT_FLOAT_EQ(pos.y, 270.0f);
    vec2 scale;
    obs_sceneitem_get_scale(m_item, &scale);
    EXPECT_FLOAT_EQ(scale.x, 960.0f / 640.0f);
    EXPECT_FLOAT_EQ(scale.y, 540.0f / 480.0f);
    EXPECT_EQ(obs_sceneitem_get_alignment(m_item), static_cast<uint32_t>(OBS_ALIGN_CENTER));
    EXPECT_EQ(obs_sceneitem_get_bounds_type(m_item), OBS_BOUNDS_NONE);
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(m_item, &crop);
    EXPECT_EQ(crop.left, 160);
}

TEST_F(PlacementTest, NegativeSourceSizeMirrorsOnlyTheScale)
{
    ItemPlacement p;
    p.cropLeft = 0.5f;
    SetItemPlacement(m_item, p, -640.0f, -480.0f);
    vec2 scale;
    obs_sceneitem_get_scale(m_item, &scale);
    EXPECT_LT(scale.x, 0.0f);
    EXPECT_LT(scale.y, 0.0f);
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(m_item, &crop);
    EXPECT_EQ(crop.left, 320);
}

TEST_F(PlacementTest, ScalePlacementKeepsTheBoundsType)
{
    obs_sceneitem_set_bounds_type(m_item, OBS_BOUNDS_STRETCH);
    vec2 bounds = {960.0f, 270.0f};
    obs_sceneitem_set_bounds(m_item, &bounds);
    SetItemScale(m_item, 0.5f, -0.5f, 2.0f, 3.0f, 0.25f);
    EXPECT_EQ(obs_sceneitem_get_bounds_type(m_item), OBS_BOUNDS_STRETCH);
    vec2 scale;
    obs_sceneitem_get_scale(m_item, &scale);
    EXPECT_FLOAT_EQ(scale.x, 2.0f);
    EXPECT_FLOAT_EQ(scale.y, 3.0f);
    EXPECT_FLOAT_EQ(obs_sceneitem_get_rot(m_item), 90.0f);
    // With bounds, the zoom is the bounds' share of the canvas.
    const ItemPlacement read = GetItemPlacement(m_item);
    EXPECT_NEAR(read.zoomX, 0.5f, 1e-6);
    EXPECT_NEAR(read.zoomY, 0.25f, 1e-6);
    EXPECT_NEAR(read.x, 0.5f, 1e-6);
    EXPECT_NEAR(read.y, -0.5f, 1e-6);
}

TEST(FitZoomToAspect, NarrowAndWideSources)
{
    float zoomX = 1.0f;
    float zoomY = 1.0f;
    FitZoomToAspect(zoomX, zoomY, {1920, 1080}, {640, 480});
    EXPECT_FLOAT_EQ(zoomX, 0.75f);
    EXPECT_FLOAT_EQ(zoomY, 1.0f);
    zoomX = zoomY = 1.0f;
    FitZoomToAspect(zoomX, zoomY, {1920, 1080}, {3840, 1080});
    EXPECT_FLOAT_EQ(zoomX, 1.0f);
    EXPECT_NEAR(zoomY, 0.5f, 1e-6);
}
