// Selecting, moving and resizing the layers of a real set with the preview's
// mouse operations, in a 960 x 540 window (half the canvas).
#include "PreviewFixture.h"
#include "preview/SceneItemPicking.h"


using namespace previewtest;

namespace {

class PreviewEditTest : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        if (HasFatalFailure())
            return;
        m_preview.Create(nullptr, {0, 0, 960, 540});
        m_preview.SetScene(scene());
    }
    void TearDown() override
    {
        m_preview.DestroyDisplay();
        PreviewTest::TearDown();
    }

    // Window pixels of a canvas point.
    int WinX(float x) const { return int(std::lround(x * m_preview.GetScale())) + m_preview.GetOffsetX(); }
    int WinY(float y) const { return int(std::lround(y * m_preview.GetScale())) + m_preview.GetOffsetY(); }

    void Click(float x, float y, int button = kMouseLeft)
    {
        m_preview.OnMouseDown(button, WinX(x), WinY(y));
        m_preview.OnMouseUp(button, WinX(x), WinY(y));
    }
    // A drag in window pixels, in a few steps.
    void Drag(int fromX, int fromY, int toX, int toY)
    {
        m_preview.OnMouseDown(kMouseLeft, fromX, fromY);
        for (int step = 1; step <= 4; ++step)
            m_preview.OnMouseMove(0, fromX + (toX - fromX) * step / 4, fromY + (toY - fromY) * step / 4);
        m_preview.OnMouseUp(kMouseLeft, toX, toY);
    }
    std::vector<obs_sceneitem_t*> Selected()
    {
        std::vector<obs_sceneitem_t*> selected;
        for (int n = 0; n < 3; ++n)
            if (obs_sceneitem_selected(Layer(n)))
                selected.push_back(Layer(n));
        return selected;
    }

    HeadlessPreview m_preview;
};

}  // namespace

TEST_F(PreviewEditTest, TheCanvasIsLetterboxedBothWays)
{
    m_preview.Move({0, 0, 1000, 400});  // wider than 16:9
    EXPECT_FLOAT_EQ(m_preview.GetScale(), 400.0f / 1080.0f);
    EXPECT_EQ(m_preview.GetPreviewWidth(), 711);
    EXPECT_EQ(m_preview.GetOffsetX(), 500 - 355);
    EXPECT_EQ(m_preview.GetOffsetY(), 0);

    m_preview.Move({0, 0, 400, 1000});  // taller
    EXPECT_FLOAT_EQ(m_preview.GetScale(), 400.0f / 1920.0f);
    EXPECT_EQ(m_preview.GetPreviewHeight(), 225);
    EXPECT_EQ(m_preview.GetOffsetX(), 0);
    EXPECT_EQ(m_preview.GetOffsetY(), 500 - 112);

    // In the bar above the canvas nothing is hit; on it the mapping holds.
    Click(600, 300);
    EXPECT_EQ(Selected(), std::vector{top()});
    m_preview.OnMouseDown(kMouseLeft, 200, 100);
    m_preview.OnMouseUp(kMouseLeft, 200, 100);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(PreviewEditTest, RepeatedClicksWalkDownTheStackAndBackToTheTop)
{
    std::vector<obs_sceneitem_t*> picked;
    for (int n = 0; n < 4; ++n) {
        Click(600, 300);
        ASSERT_EQ(Selected().size(), 1u);
        picked.push_back(Selected()[0]);
    }
    EXPECT_EQ(picked, (std::vector{top(), middle(), bottom(), top()}));

    // An empty spot clears the selection.
    Click(100, 1000);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(PreviewEditTest, DraggingAnUnselectedItemSelectsAndMovesIt)
{
    Click(600, 300);  // Top selected
    std::vector<std::pair<PreviewItemEvent, obs_sceneitem_t*>> events;
    m_preview.SetItemEventHook([&](PreviewItemEvent event, obs_sceneitem_t* item) { events.emplace_back(event, item); });
    const vec2 before = Position(middle());
    Drag(WinX(1300), WinY(700), WinX(1300) + 50, WinY(700) + 20);
    EXPECT_EQ(Selected(), std::vector{middle()});
    ASSERT_EQ(events.size(), 5u);  // selected on the first move, then four moves
    EXPECT_EQ(events[0], std::pair(PreviewItemEvent::Selected, middle()));
    EXPECT_EQ(events[4].first, PreviewItemEvent::Transformed);
    EXPECT_FLOAT_EQ(Position(middle()).x, before.x + 100);
    EXPECT_FLOAT_EQ(Position(middle()).y, before.y + 40);
    EXPECT_FLOAT_EQ(Position(top()).x, 480);
}

TEST_F(PreviewEditTest, ARightClickKeepsASelectionItLandsOn)
{
    Click(1300, 700);  // Middle
    Click(600, 300, kMouseRight);
    EXPECT_EQ(Selected(), std::vector{middle()});
    Click(1600, 900, kMouseRight);  // only Bottom there
    EXPECT_EQ(Selected(), std::vector{bottom()});
}

TEST_F(PreviewEditTest, EditingDisabledIgnoresTheMouse)
{
    m_preview.SetEditEnabled(false);
    Click(600, 300);
    EXPECT_TRUE(Selected().empty());
    Drag(WinX(1300), WinY(700), WinX(1300) + 50, WinY(700));
    EXPECT_FLOAT_EQ(Position(middle()).x, 960);
}

TEST_F(PreviewEditTest, ACornerHandleWithCtrlKeepsTheSourceAspect)
{
    Click(1300, 700);  // Middle, [480, 1440] x [270, 810], 80 x 45 at scale 12
    m_preview.m_modifiers = kModifierCtrl;
    Drag(WinX(1440), WinY(810), WinX(1600), WinY(840));
    // The corner at (1600, 840) would give 1120 x 570; the ratio makes it 1120 x 630.
    EXPECT_FLOAT_EQ(Scale(middle()).x, 14.0f);
    EXPECT_FLOAT_EQ(Scale(middle()).y, 14.0f);
    EXPECT_FLOAT_EQ(Position(middle()).x, 1040.0f);
    EXPECT_FLOAT_EQ(Position(middle()).y, 585.0f);

    // Without Ctrl, and without keep-ratio, the corner follows the mouse.
    m_preview.m_modifiers = 0;
    Drag(WinX(1600), WinY(900), WinX(1600), WinY(880));
    EXPECT_FLOAT_EQ(Scale(middle()).x, 14.0f);
    EXPECT_NEAR(Scale(middle()).y, 610.0f / 45.0f, 1e-4);

    // The keep-ratio flag does the same as Ctrl.
    m_preview.SetKeepRatio(true);
    Drag(WinX(1600), WinY(880), WinX(1760), WinY(880));
    EXPECT_NEAR(Scale(middle()).x / Scale(middle()).y, 1.0f, 1e-3);
}

TEST_F(PreviewEditTest, ADragPastTheOppositeEdgeMirrorsUnlessThereIsABoundingBox)
{
    Click(1300, 700);  // Middle
    Drag(WinX(1440), WinY(540), WinX(380), WinY(540));  // right edge 100 px left of the left one
    EXPECT_FLOAT_EQ(Scale(middle()).x, -100.0f / 80.0f);
    EXPECT_FLOAT_EQ(Scale(middle()).y, 12.0f);
    EXPECT_FLOAT_EQ(Position(middle()).x, 430.0f);

    // With a bounding box the size stays positive and the box is ordered.
    m_set->ApplyLayerTransform(1);
    obs_sceneitem_set_bounds_type(middle(), OBS_BOUNDS_STRETCH);
    vec2 bounds{960, 540};
    obs_sceneitem_set_bounds(middle(), &bounds);
    vec2 unit{1.0f, 1.0f};
    obs_sceneitem_set_scale(middle(), &unit);
    Drag(WinX(1440), WinY(540), WinX(380), WinY(540));
    obs_sceneitem_get_bounds(middle(), &bounds);
    EXPECT_FLOAT_EQ(bounds.x, 100.0f);
    EXPECT_FLOAT_EQ(bounds.y, 540.0f);
    EXPECT_GT(Scale(middle()).x, 0.0f);
    EXPECT_FLOAT_EQ(Position(middle()).x, 430.0f);
}

TEST_F(PreviewEditTest, AnEdgeNearTheCanvasEdgeSnapsOntoItButNotWithCtrl)
{
    Click(600, 300);  // Top, left edge at 240
    // 118 window pixels are 236 canvas pixels: the left edge would stop at 4.
    Drag(WinX(600), WinY(300), WinX(600) - 118, WinY(300));
    EXPECT_FLOAT_EQ(Position(top()).x, 240.0f);
    EXPECT_FLOAT_EQ(Position(top()).y, 270.0f);

    m_set->ApplyLayerTransform(0);
    m_preview.m_modifiers = kModifierCtrl;
    Drag(WinX(600), WinY(300), WinX(600) - 118, WinY(300));
    EXPECT_FLOAT_EQ(Position(top()).x, 244.0f);

    // 11 window pixels (22 canvas) are beyond the reach of 10.
    m_set->ApplyLayerTransform(0);
    m_preview.m_modifiers = 0;
    Drag(WinX(600), WinY(300), WinX(600) - 109, WinY(300));
    EXPECT_FLOAT_EQ(Position(top()).x, 262.0f);
}

TEST_F(PreviewEditTest, AnItemScaledToZeroCannotBePicked)
{
    vec2 flat{0.0f, 7.5f};
    obs_sceneitem_set_scale(top(), &flat);
    Click(480, 270);
    EXPECT_EQ(Selected(), std::vector{middle()});
}

TEST_F(PreviewEditTest, ASelectedItemInsideAGroupMovesByTheVisibleAmount)
{
    obs_sceneitem_t* group = obs_scene_add_group2(scene(), "Group", true);
    ASSERT_NE(group, nullptr);
    obs_sceneitem_group_add_item(group, middle());
    // The group is scaled by 2: a canvas move of 100 is 50 inside it.
    vec2 twice{2.0f, 2.0f};
    obs_sceneitem_set_scale(group, &twice);
    obs_sceneitem_select(middle(), true);
    const vec2 before = Position(middle());
    const vec2 groupBefore = Position(group);
    // The child's upper-left corner lands on the group's origin, (480, 270).
    Drag(WinX(520), WinY(310), WinX(520) + 50, WinY(310));
    EXPECT_FLOAT_EQ(Position(middle()).x, before.x + 50.0f);
    EXPECT_FLOAT_EQ(Position(middle()).y, before.y);
    EXPECT_FLOAT_EQ(Position(group).x, groupBefore.x);
    EXPECT_TRUE(obs_sceneitem_selected(middle()));
    EXPECT_FALSE(obs_sceneitem_selected(group));
}

TEST_F(PreviewEditTest, HiddenItemsAreNeitherPickedDraggedNorResized)
{
    // (300, 200) lies on Top and Bottom; Top, in front, is hidden.
    obs_sceneitem_set_visible(top(), false);
    const vec2 topAt = Position(top());
    Click(300, 200);
    EXPECT_EQ(Selected(), std::vector{bottom()});
    const vec2 bottomAt = Position(bottom());
    Drag(WinX(300), WinY(200), WinX(300) + 40, WinY(200));
    EXPECT_FLOAT_EQ(Position(bottom()).x, bottomAt.x + 80.0f);
    EXPECT_FLOAT_EQ(Position(top()).x, topAt.x);

    // Selected from the list while hidden: no handle to grab, nothing to
    // drag or nudge; the press picks what is shown there.
    m_preview.Selection().SelectOnly(top());
    const vec2 topScale = Scale(top());
    Drag(WinX(240), WinY(135), WinX(200), WinY(100));  // its top-left handle
    EXPECT_FLOAT_EQ(Scale(top()).x, topScale.x);
    EXPECT_FLOAT_EQ(Position(top()).x, topAt.x);
    m_preview.Selection().SelectOnly(top());
    EXPECT_FALSE(m_preview.NudgeSelection(5, 0));
    EXPECT_FLOAT_EQ(Position(top()).x, topAt.x);
}

TEST_F(PreviewEditTest, ADragEndsWhenTheFocusGoesOrTheButtonIsLetGoUnseen)
{
    // Middle only at canvas (1300, 700).
    const vec2 start = Position(middle());
    m_preview.OnMouseDown(kMouseLeft, WinX(1300), WinY(700));
    m_preview.OnMouseMove(0, WinX(1300) + 10, WinY(700));
    EXPECT_FLOAT_EQ(Position(middle()).x, start.x + 20.0f);
    // The focus goes: the release is not seen.
    m_preview.SetEditEnabled(false);
    m_preview.OnMouseUp(kMouseLeft, WinX(1300) + 10, WinY(700));
    EXPECT_FALSE(m_preview.InGesture());
    // Back in focus, hovering moves nothing.
    m_preview.SetEditEnabled(true);
    m_preview.OnMouseMove(0, WinX(1300) + 60, WinY(700) + 30);
    EXPECT_FLOAT_EQ(Position(middle()).x, start.x + 20.0f);
    EXPECT_FLOAT_EQ(Position(middle()).y, start.y);

    // A button let go where the preview could not see it.
    m_preview.OnMouseDown(kMouseLeft, WinX(1300), WinY(700));
    ASSERT_TRUE(m_preview.InGesture());
    m_preview.EndGesture();
    m_preview.OnMouseMove(0, WinX(1300) + 60, WinY(700));
    EXPECT_FLOAT_EQ(Position(middle()).x, start.x + 20.0f);
}
