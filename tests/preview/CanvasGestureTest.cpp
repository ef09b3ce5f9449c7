// The gestures on the preview over a real set: extended selection and the
// rubber band, moving several items, a drag at 400 %, the rotate handle,
// snap lines, Escape, and navigation that leaves the items alone.
#include "PreviewFixture.h"
#include "preview/RotateGesture.h"

#include <cmath>

using namespace previewtest;

namespace {

class CanvasGestureTest : public PreviewTest {
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

    QPoint Win(vec2 canvas) const
    {
        const vec2 at = m_preview.View().CanvasToWindow(canvas);
        return QPoint(int(std::lround(at.x)), int(std::lround(at.y)));
    }
    void Press(vec2 canvas, int modifiers = 0, int button = kMouseLeft)
    {
        m_preview.m_modifiers = modifiers;
        m_preview.OnMouseDown(button, Win(canvas).x(), Win(canvas).y());
    }
    void MoveTo(vec2 canvas) { m_preview.OnMouseMove(0, Win(canvas).x(), Win(canvas).y()); }
    void Release(vec2 canvas, int button = kMouseLeft)
    {
        m_preview.OnMouseUp(button, Win(canvas).x(), Win(canvas).y());
        m_preview.m_modifiers = 0;
    }
    void Click(vec2 canvas, int modifiers = 0)
    {
        Press(canvas, modifiers);
        Release(canvas);
    }
    void Drag(vec2 from, vec2 to, int modifiers = 0)
    {
        Press(from, modifiers);
        for (int step = 1; step <= 4; ++step)
            MoveTo({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
        Release(to);
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

TEST_F(CanvasGestureTest, ShiftAndCtrlClicksAddAndRemoveAndABandSelectsWhatItTouches)
{
    Click({600, 300});
    EXPECT_EQ(Selected(), std::vector{top()});
    Click({1300, 700}, kModifierShift);
    EXPECT_EQ(Selected(), (std::vector{top(), middle()}));
    Click({600, 300}, kModifierCtrl);
    EXPECT_EQ(Selected(), std::vector{middle()});
    EXPECT_EQ(m_preview.Selection().Count(), 1);

    // A band over the empty corner selects nothing, one over two corners those two.
    Drag({100, 1000}, {200, 1060});
    EXPECT_TRUE(Selected().empty());
    Drag({50, 50}, {260, 150});
    EXPECT_EQ(Selected(), (std::vector{top(), bottom()}));
    // With Shift the band adds what it touches.
    Drag({1460, 1000}, {1430, 800}, kModifierShift);
    EXPECT_EQ(Selected(), (std::vector{top(), middle(), bottom()}));

    // Escape puts the selection back as it was before the band.
    Click({600, 300});
    Press({100, 1000});
    MoveTo({1500, 200});
    EXPECT_EQ(Selected().size(), 3u);
    EXPECT_TRUE(m_preview.CancelGesture());
    EXPECT_EQ(Selected(), std::vector{top()});
    MoveTo({1500, 300});  // the rest of the drag does nothing
    Release({1500, 300});
    EXPECT_EQ(Selected(), std::vector{top()});
}

TEST_F(CanvasGestureTest, ADragMovesEverySelectedItemAndEscapePutsThemBack)
{
    Click({600, 300});
    Click({1300, 700}, kModifierShift);
    const vec2 topAt = Position(top()), middleAt = Position(middle()), bottomAt = Position(bottom());
    Drag({1300, 700}, {1400, 740}, kModifierCtrl);
    EXPECT_FLOAT_EQ(Position(top()).x, topAt.x + 100);
    EXPECT_FLOAT_EQ(Position(top()).y, topAt.y + 40);
    EXPECT_FLOAT_EQ(Position(middle()).x, middleAt.x + 100);
    EXPECT_FLOAT_EQ(Position(bottom()).x, bottomAt.x);
    // Both are still selected after the drag.
    EXPECT_EQ(Selected(), (std::vector{top(), middle()}));

    Press({1400, 740}, kModifierCtrl);
    MoveTo({1000, 500});
    EXPECT_NE(Position(middle()).x, middleAt.x + 100);
    EXPECT_TRUE(m_preview.CancelGesture());
    EXPECT_FLOAT_EQ(Position(middle()).x, middleAt.x + 100);
    EXPECT_FLOAT_EQ(Position(top()).y, topAt.y + 40);
    Release({1000, 500});
    EXPECT_FLOAT_EQ(Position(middle()).x, middleAt.x + 100);
}

TEST_F(CanvasGestureTest, AtFourHundredPercentADragOfFourHundredWindowPixelsIsAHundredCanvasPixels)
{
    const vec2 pointer{400, 270};
    const vec2 under = m_preview.View().WindowToCanvas(pointer);
    for (int notch = 0; notch < 6; ++notch)
        m_preview.ZoomStepAt(pointer, 1);
    ASSERT_FLOAT_EQ(m_preview.GetScale(), 4.0f);
    EXPECT_NEAR(m_preview.View().WindowToCanvas(pointer).x, under.x, 1e-3);
    EXPECT_NEAR(m_preview.View().WindowToCanvas(pointer).y, under.y, 1e-3);

    const vec2 before = Position(middle());
    m_preview.OnMouseDown(kMouseLeft, 400, 270);
    for (int x = 450; x <= 800; x += 50)
        m_preview.OnMouseMove(0, x, 270);
    m_preview.OnMouseUp(kMouseLeft, 800, 270);
    EXPECT_EQ(Selected(), std::vector{middle()});
    EXPECT_FLOAT_EQ(Position(middle()).x, before.x + 100.0f);
    EXPECT_FLOAT_EQ(Position(middle()).y, before.y);
}

TEST_F(CanvasGestureTest, TheRotateHandleTurnsAboutTheCentreInStepsWithShiftAndSnapsToQuarterTurns)
{
    Click({1300, 700});  // Middle: centre (960, 540), top edge at 270
    const RotateHandle handle = FindRotateHandle(m_preview.Selection(), m_preview.View());
    ASSERT_TRUE(handle.present);
    EXPECT_FLOAT_EQ(handle.at.x, 960.0f);
    EXPECT_FLOAT_EQ(handle.at.y, 270.0f - 48.0f);  // 24 window pixels at 50 %
    EXPECT_EQ(m_preview.HitTest(m_preview.View().CanvasToWindow(handle.at)).kind, CanvasHitKind::RotateHandle);

    const float radius = 318.0f;
    const auto at = [&](float degrees) {
        const float radians = degrees * 0.017453292f;
        return vec2{960.0f + radius * std::sin(radians), 540.0f - radius * std::cos(radians)};
    };
    Press(handle.at, kModifierShift);
    MoveTo(at(20));
    MoveTo(at(44));
    Release(at(44));
    EXPECT_FLOAT_EQ(obs_sceneitem_get_rot(middle()), 45.0f);
    EXPECT_NEAR(Position(middle()).x, 960.0f, 1e-3);
    EXPECT_NEAR(Position(middle()).y, 540.0f, 1e-3);

    // Without Shift a quarter turn within reach is taken exactly; Escape
    // puts the 45° back.
    const RotateHandle turned = FindRotateHandle(m_preview.Selection(), m_preview.View());
    Press(turned.at);
    MoveTo(at(88.5f));
    EXPECT_FLOAT_EQ(obs_sceneitem_get_rot(middle()), 90.0f);
    MoveTo(at(70));
    EXPECT_NEAR(obs_sceneitem_get_rot(middle()), 70.0f, 0.5f);
    EXPECT_TRUE(m_preview.CancelGesture());
    EXPECT_FLOAT_EQ(obs_sceneitem_get_rot(middle()), 45.0f);
    Release(at(70));

    // Turned the other way the angle stays within a turn.
    Press(FindRotateHandle(m_preview.Selection(), m_preview.View()).at, kModifierShift);
    MoveTo(at(-30));
    Release(at(-30));
    EXPECT_FLOAT_EQ(obs_sceneitem_get_rot(middle()), 330.0f);
}

TEST_F(CanvasGestureTest, SnappingShowsTheLinesItMatched)
{
    Click({600, 300});  // Top, centre x 480
    Press({600, 300});
    MoveTo({1076, 300});  // centre at 956: within 20 of the canvas's centre line
    ASSERT_NE(m_preview.Gesture(), nullptr);
    CanvasOverlay overlay;
    m_preview.Gesture()->DrawOverlay(overlay);
    bool centreLine = false;
    for (const CanvasOverlay::Line& line : overlay.lines)
        centreLine = centreLine || (line.from.x == 960.0f && line.to.x == 960.0f && line.from.y == 0.0f && line.to.y == 1080.0f);
    EXPECT_TRUE(centreLine);
    Release({1076, 300});
    EXPECT_FLOAT_EQ(Position(top()).x, 960.0f);

    // With the grid shown, an edge lands on a grid line.
    CanvasGuides guides;
    guides.grid = true;
    guides.gridSpacing = 50;
    m_preview.SetGuides(guides);
    Drag({960, 300}, {1093, 300});  // left edge 720 + 133 = 853, near 850
    EXPECT_FLOAT_EQ(Position(top()).x, 960.0f + 130.0f);
}

TEST_F(CanvasGestureTest, TheHitTestNamesWhatLiesUnderAPoint)
{
    Click({1300, 700});
    const auto kind = [&](vec2 canvas) { return m_preview.HitTest(m_preview.View().CanvasToWindow(canvas)).kind; };
    EXPECT_EQ(kind({1440, 810}), CanvasHitKind::ResizeHandle);
    EXPECT_EQ(kind({1300, 700}), CanvasHitKind::SelectedItem);
    EXPECT_EQ(kind({300, 200}), CanvasHitKind::Item);
    EXPECT_EQ(kind({100, 1000}), CanvasHitKind::None);
    const CanvasHit hit = m_preview.HitTest(m_preview.View().CanvasToWindow({300, 200}));
    EXPECT_EQ(hit.item, top());

    // A resize cancelled with Escape leaves the item as it was.
    const vec2 scale = Scale(middle());
    Press({1440, 810});
    MoveTo({1600, 900});
    EXPECT_NE(Scale(middle()).x, scale.x);
    EXPECT_TRUE(m_preview.CancelGesture());
    EXPECT_FLOAT_EQ(Scale(middle()).x, scale.x);
    EXPECT_FLOAT_EQ(Scale(middle()).y, scale.y);
}

TEST_F(CanvasGestureTest, NavigationMovesTheViewOnlyEvenWithEditingOff)
{
    const vec2 topAt = Position(top());
    m_preview.SetEditEnabled(false);
    const vec2 origin = m_preview.View().CanvasToWindow({0, 0});
    m_preview.OnMouseDown(kMouseMiddle, 500, 300);
    m_preview.OnMouseMove(0, 530, 290);
    m_preview.OnMouseUp(kMouseMiddle, 530, 290);
    EXPECT_FLOAT_EQ(m_preview.View().CanvasToWindow({0, 0}).x, origin.x + 30);
    EXPECT_FLOAT_EQ(m_preview.View().CanvasToWindow({0, 0}).y, origin.y - 10);
    m_preview.ZoomStep(2);
    EXPECT_FLOAT_EQ(m_preview.GetScale(), 1.0f);

    // Space and the left button pan too, and pick nothing.
    m_preview.SetEditEnabled(true);
    m_preview.SetPanKeyDown(true);
    const vec2 before = m_preview.View().CanvasToWindow({0, 0});
    m_preview.OnMouseDown(kMouseLeft, 300, 200);
    m_preview.OnMouseMove(0, 250, 200);
    m_preview.OnMouseUp(kMouseLeft, 250, 200);
    m_preview.SetPanKeyDown(false);
    EXPECT_FLOAT_EQ(m_preview.View().CanvasToWindow({0, 0}).x, before.x - 50);
    EXPECT_TRUE(Selected().empty());
    EXPECT_FLOAT_EQ(Position(top()).x, topAt.x);
    m_preview.FitCanvas();
    EXPECT_TRUE(m_preview.View().IsFit());
    EXPECT_EQ(m_preview.GetOffsetX(), 0);
}
