// Shots derived from layers, the step arithmetic of timed transitions and the
// names around a set file: plain computations, no engine.
#include "model/LayerShots.h"
#include "model/SetPaths.h"
#include "model/ShotSteps.h"

#include "platform/TextConv.h"

#include <gtest/gtest.h>

namespace {

LayerList NamedLayers(const std::vector<std::wstring>& names)
{
    LayerList layers;
    float x = 0.1f;
    for (const std::wstring& name : names) {
        LayerInfo layer = MakeDefaultLayer();
        SetRecordName(layer.name, name);
        layer.x = x;
        layer.zoomX = 0.5f;
        x += 0.1f;
        layers.push_back(layer);
    }
    return layers;
}

}  // namespace

TEST(LayerShots, BackgroundAndAnOverlayLeaveOnlyAll)
{
    const LayerList layers = NamedLayers({L"Background", L"Camera 1 Overlay"});
    ShotList shots = {MakeDefaultShot(), MakeDefaultShot()};
    std::map<int32_t, int32_t> map = {{7, 7}};
    BuildLayerShots(layers, shots, map);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_STREQ(shots[0].name, "All");
    EXPECT_FLOAT_EQ(shots[0].zoomX, 1.0f);
    EXPECT_EQ(map, (std::map<int32_t, int32_t>{{0, 0}}));
}

TEST(LayerShots, OneShotPerOrdinaryLayerFromTheBackMappedToItsItem)
{
    // Front-most first: Screen is item 1, Desk item 3.
    const LayerList layers =
        NamedLayers({L"Screen", L"BORDERS", L"Desk", L"foreground", L"--- All ---", L"MyOVERLAYs", L"background"});
    ShotList shots;
    std::map<int32_t, int32_t> map;
    BuildLayerShots(layers, shots, map);
    ASSERT_EQ(shots.size(), 3u);
    EXPECT_STREQ(shots[1].name, "Desk");
    EXPECT_STREQ(shots[2].name, "Screen");
    EXPECT_FLOAT_EQ(shots[1].x, layers[2].x);
    EXPECT_FLOAT_EQ(shots[1].zoomX, 0.5f);
    EXPECT_EQ(map, (std::map<int32_t, int32_t>{{0, 0}, {1, 3}, {2, 1}}));
}

TEST(LayerShots, OnlyWholeReservedNamesAreLeftOut)
{
    const LayerList layers = NamedLayers({L"Borders 2", L"Background ", L"--- all ---", L"Ov erlay"});
    ShotList shots;
    std::map<int32_t, int32_t> map;
    BuildLayerShots(layers, shots, map);
    EXPECT_EQ(shots.size(), 5u);
}

TEST(ShotSteps, TwentyFiveStepsASecondAndTheEndAfterTheLastStep)
{
    ShotAnimation animation;
    SetCurrentShotValues(animation, FullCanvasValues());
    ShotValues target;
    target.x = 0.5f;
    target.zoomX = 2.0f;
    target.rotateZ = 0.25f;
    StartShotSteps(animation, target, 200);
    EXPECT_FLOAT_EQ(animation.stepCount, 5.0f);
    EXPECT_FLOAT_EQ(animation.delta[3], 0.1f);
    EXPECT_FLOAT_EQ(ShotValuesAtStep(animation, 5).zoomX, 2.0f);
    EXPECT_FLOAT_EQ(ShotValuesAtStep(animation, 2).rotateZ, 0.1f);
    int written = 1;
    while (!AdvanceShotStep(animation))
        ++written;
    EXPECT_EQ(written, 6);  // steps 0 to 5, the last one at the target

    StartShotSteps(animation, CurrentShotValues(animation), 1000);
    EXPECT_FALSE(HasShotDelta(animation));
}

TEST(SetPaths, NameThumbnailAndShotPicturesComeFromTheSetFolder)
{
    EXPECT_EQ(SetFolderNameOf(L"/sets/My Studio/scene.tvn"), L"My Studio");
    EXPECT_EQ(SetFolderNameOf(L"/sets/Studio//config.xml"), L"Studio");
    EXPECT_EQ(SetThumbnailPathOf(L"/sets/Studio/scene.tvn"), L"/sets/Studio/thumbnail.jpg");
    EXPECT_EQ(ShotPreviewPathOf(L"/sets/Studio/scene.tvn", 3), L"/sets/Studio/3.bmp");
    EXPECT_EQ(SetFolderOf(L"relative/scene.tvn")[0], L'/');
    EXPECT_EQ(SetFolderNameOf(L"/sets/Studio/./scene.tvn"), L"Studio");
    EXPECT_EQ(SetFolderNameOf(L"/sets/Studio/Sub/../scene.tvn"), L"Studio");

    EXPECT_TRUE(IsPlainFolderName(L"Studio 2"));
    for (const wchar_t* bad : {L"", L".", L"..", L"a/b"})
        EXPECT_FALSE(IsPlainFolderName(bad)) << platform::WideToUtf8(bad);
}
