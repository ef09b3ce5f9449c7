// The preview's native window on the real engine: the picture it draws, the
// selection overlay, Qt's mouse and drop events, and scenes replaced while
// the graphics thread draws.
#include "PreviewFixture.h"

#include "model/LiveSources.h"
#include "preview/NestedSceneDraw.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <graphics/vec4.h>

using namespace previewtest;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

// Where the tests leave pictures to look at.
QString ScreenshotPath(const char* name)
{
    const QString folder = QStringLiteral(KELVANE_BINARY_DIR "/test-screenshots");
    QDir().mkpath(folder);
    return folder + "/" + name;
}

// Whether a pixel within one of (x, y) has the colour: a line may land on
// either side of a pixel boundary.
bool ColourNear(const QImage& image, int x, int y, const QColor& colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (settest::PixelIs(image, x + dx, y + dy, colour, 40))
                return true;
    return false;
}

// Whether two frames agree but for the pixels along edges, which a picture
// resampled once more (through a composed texture) draws a little apart.
bool MostlyTheSame(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += settest::PixelIs(a, x, y, b.pixelColor(x, y), 3) ? 0 : 1;
    return differing < a.width() * a.height() / 100;
}

class PreviewWindowTest : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        if (HasFatalFailure())
            return;
        m_window = std::make_unique<ObsQtWindow>();
        ASSERT_NE(m_window->Create(nullptr, {0, 0, 960, 540}), 0u);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        ASSERT_TRUE(m_window->CreateDisplay());
        EXPECT_FALSE(m_window->CreateDisplay());  // one display per window
        m_window->SetScene(scene());
        m_window->SetEditEnabled(true);  // as the window gets the focus
    }
    void TearDown() override
    {
        m_window.reset();
        PreviewTest::TearDown();
    }

    // The set's own scene, as the editor shows it: the layers' scene as its
    // one item, which it returns. The top layer reaches past the layers'
    // canvas on the right, and the view is zoomed out so the window shows
    // what lies beyond it.
    obs_sceneitem_t* ShowTheSetWithATopLayerPastItsCanvas()
    {
        m_window->SetScene(m_set->GetMainScene());
        m_window->SetEditEnabled(false);
        m_window->ZoomTo(0.25f);
        vec2 past{1700.0f, 135.0f};
        obs_sceneitem_set_pos(top(), &past);
        return m_set->GetItem(0);
    }

    // Draws one frame of the preview into a texture and reads it back.
    QImage RenderFrame()
    {
        const ClientSize size = m_window->GetClientSize();
        QImage image(size.width, size.height, QImage::Format_RGBA8888);
        image.fill(Qt::transparent);
        obs_enter_graphics();
        gs_texrender_t* target = gs_texrender_create(GS_RGBA, GS_ZS_NONE);
        gs_stagesurf_t* stage = gs_stagesurface_create(uint32_t(size.width), uint32_t(size.height), GS_RGBA);
        if (gs_texrender_begin(target, uint32_t(size.width), uint32_t(size.height))) {
            vec4 clear;
            vec4_zero(&clear);
            gs_clear(GS_CLEAR_COLOR, &clear, 0.0f, 0);
            m_window->Render(uint32_t(size.width), uint32_t(size.height));
            gs_texrender_end(target);
            gs_stage_texture(stage, gs_texrender_get_texture(target));
            uint8_t* data = nullptr;
            uint32_t lineSize = 0;
            if (gs_stagesurface_map(stage, &data, &lineSize)) {
                for (int y = 0; y < size.height; ++y)
                    std::memcpy(image.scanLine(y), data + size_t(y) * lineSize, size_t(size.width) * 4);
                gs_stagesurface_unmap(stage);
            }
        }
        gs_stagesurface_destroy(stage);
        gs_texrender_destroy(target);
        obs_leave_graphics();
        return image;
    }

    // Only the frames a test draws: the display neither decides nor draws.
    void DrawOnlyTestFrames()
    {
        m_window->Redraw().Stop();
        obs_display_set_enabled(m_window->GetDisplay(), false);
        m_window->SetEditEnabled(false);
    }

    bool DrewLayersSplit()
    {
        obs_enter_graphics();
        const bool split = m_window->DrewLayersSplit();
        obs_leave_graphics();
        return split;
    }

    // The same frame drawn afresh, by a preview that has seen no frame before.
    QImage RenderAfresh()
    {
        m_window->SetScene(nullptr);
        m_window->SetScene(scene());
        return RenderFrame();
    }

    // Moves `item` by (dx, dy) once a frame for `frames` frames.
    void DragFor(obs_sceneitem_t* item, vec2 step, int frames)
    {
        for (int frame = 0; frame < frames; ++frame) {
            vec2 position = Position(item);
            position.x += step.x;
            position.y += step.y;
            obs_sceneitem_set_pos(item, &position);
            RenderFrame();
        }
    }

    std::unique_ptr<ObsQtWindow> m_window;
};

}  // namespace

TEST_F(PreviewWindowTest, TheWindowIsANativeWindowNamedObsRenderWindow)
{
    EXPECT_EQ(m_window->objectName(), "ObsRenderWindow");
    EXPECT_TRUE(m_window->testAttribute(Qt::WA_NativeWindow));
    EXPECT_TRUE(m_window->testAttribute(Qt::WA_PaintOnScreen));
    EXPECT_EQ(m_window->GetHandle(), NativeWindowId(m_window->winId()));
    EXPECT_EQ(m_window->GetClientSize().width, 960);

    // Focus turns editing on and off.
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(m_window.get(), &out);
    EXPECT_FALSE(m_window->IsEditEnabled());
    QFocusEvent in(QEvent::FocusIn);
    QCoreApplication::sendEvent(m_window.get(), &in);
    EXPECT_TRUE(m_window->IsEditEnabled());

    // A resize refits the canvas: 1200 x 540 leaves bars of 120 on both sides.
    m_window->resize(1200, 540);
    EXPECT_EQ(m_window->GetOffsetX(), 120);
    EXPECT_EQ(m_window->GetOffsetY(), 0);
    EXPECT_FLOAT_EQ(m_window->GetScale(), 0.5f);
}

TEST_F(PreviewWindowTest, TheOverlayOutlinesTheSelectionWithGreenCroppedSidesAndHandles)
{
    obs_sceneitem_select(middle(), true);
    obs_sceneitem_crop crop{20, 0, 0, 0};  // a quarter of the 80 pixels
    obs_sceneitem_set_crop(middle(), &crop);
    // Now [600, 1320] x [270, 810] on the canvas, half that in the window.
    QImage frame = RenderFrame();
    frame.save(ScreenshotPath("preview-overlay.png"));
    EXPECT_TRUE(settest::PixelIs(frame, 480, 270, QColor(128, 128, 128), 8)) << "the layer itself";
    EXPECT_TRUE(settest::PixelIs(frame, 20, 520, Qt::black, 8)) << "the canvas";
    EXPECT_TRUE(ColourNear(frame, 300, 220, kGreen)) << "the cropped left side";
    EXPECT_FALSE(ColourNear(frame, 300, 220, kRed));
    EXPECT_TRUE(ColourNear(frame, 400, 135, kRed)) << "top";
    EXPECT_TRUE(ColourNear(frame, 660, 220, kRed)) << "right";
    EXPECT_TRUE(ColourNear(frame, 400, 405, kRed)) << "bottom";
    // Handles: 8 x 8 filled squares centred on the corners and side middles.
    for (const auto& [x, y] : {std::pair{300, 135}, {660, 135}, {300, 405}, {660, 405}, {480, 135}, {660, 270}}) {
        EXPECT_TRUE(settest::PixelIs(frame, x - 3, y - 3, kRed, 40)) << x << "," << y;
        EXPECT_TRUE(settest::PixelIs(frame, x + 2, y + 2, kRed, 40)) << x << "," << y;
        EXPECT_FALSE(settest::PixelIs(frame, x + 6, y - 6, kRed, 40)) << x << "," << y;
    }

    // With a bounding box the outline is plain red.
    obs_sceneitem_set_bounds_type(middle(), OBS_BOUNDS_STRETCH);
    vec2 bounds{720, 540};
    obs_sceneitem_set_bounds(middle(), &bounds);
    frame = RenderFrame();
    EXPECT_TRUE(ColourNear(frame, 300, 220, kRed));
    EXPECT_FALSE(ColourNear(frame, 300, 220, kGreen));

    // Editing disabled: the picture stays, the overlay goes.
    m_window->SetEditEnabled(false);
    frame = RenderFrame();
    EXPECT_FALSE(settest::PixelIs(frame, 297, 132, kRed, 40));
    EXPECT_TRUE(settest::PixelIs(frame, 480, 270, QColor(128, 128, 128), 8));
}

TEST_F(PreviewWindowTest, AnItemScaledToZeroHasNoOverlay)
{
    obs_sceneitem_select(top(), true);
    vec2 flat{0.0f, 7.5f};
    obs_sceneitem_set_scale(top(), &flat);
    const QImage frame = RenderFrame();
    for (int y = 60; y < 210; ++y)
        ASSERT_FALSE(settest::PixelIs(frame, 240, y, kRed, 40)) << y;
}

TEST_F(PreviewWindowTest, TheDisplayDrawsTheSetIntoTheWindow)
{
    m_window->SetEditEnabled(true);
    obs_sceneitem_select(middle(), true);
    const uint64_t before = m_window->GetFramesDrawn();
    ASSERT_TRUE(WaitFor([&] { return m_window->GetFramesDrawn() > before + 5; }));
    // Other tests' windows may cover this one on the shared display for a moment.
    QImage shot;
    const bool shown = WaitFor([&] {
        shot = m_window->screen()->grabWindow(m_window->winId()).toImage();
        return shot.width() == 960 && settest::PixelIs(shot, 240, 100, Qt::yellow, 12) &&
               settest::PixelIs(shot, 600, 350, QColor(128, 128, 128), 12) &&
               settest::PixelIs(shot, 800, 450, Qt::blue, 12) && ColourNear(shot, 720, 270, kRed);
    }, 10000);
    shot.save(ScreenshotPath("preview-window.png"));
    EXPECT_TRUE(shown) << "the window does not show the set with the selected item's outline";
}

TEST_F(PreviewWindowTest, QtMouseEventsDragAnItem)
{
    m_window->SetEditEnabled(true);
    // Middle only at canvas (1300, 700): window (650, 350).
    QTest::mousePress(m_window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(650, 350));
    QTest::mouseMove(m_window.get(), QPoint(670, 350));
    QTest::mouseMove(m_window.get(), QPoint(700, 360));
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(700, 360));
    EXPECT_TRUE(obs_sceneitem_selected(middle()));
    EXPECT_FLOAT_EQ(Position(middle()).x, 1060.0f);
    EXPECT_FLOAT_EQ(Position(middle()).y, 560.0f);
}

TEST_F(PreviewWindowTest, DroppedFilesBecomeSourcesWithUniqueNames)
{
    const std::string photo = m_dir.file("photo.JPG");
    settest::WritePicture(photo, 32, 24, Qt::magenta, "JPEG");
    std::vector<PreviewItemEvent> events;
    auto drop = [&](const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_window.get(), &enter);
        QDropEvent event(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_window.get(), &event);
        return enter.isAccepted() && event.isAccepted();
    };
    EXPECT_TRUE(drop(QString::fromStdString(photo)));
    EXPECT_TRUE(drop(QString::fromStdString(photo)));
    EXPECT_EQ(settest::SceneOrder(scene()),
              (std::vector<std::string>{"Bottom", "Middle", "Top", "photo.JPG", "photo.JPG (2)"}));
    OBSSourceAutoRelease added = obs_get_source_by_name("photo.JPG (2)");
    ASSERT_NE(added, nullptr);
    EXPECT_STREQ(obs_source_get_id(added), "image_source");

    // A path that does not fit the conversion buffer adds nothing.
    const std::string longFolder = m_dir.file(std::string(120, 'a')) + "/" + std::string(120, 'b');
    std::filesystem::create_directories(longFolder);
    const std::string longPhoto = longFolder + "/photo.JPG";
    settest::WritePicture(longPhoto, 8, 8, Qt::magenta, "JPEG");
    ASSERT_GT(longPhoto.size(), ObsWindow::kMaxDropPathBytes);
    drop(QString::fromStdString(longPhoto));
    EXPECT_EQ(settest::SceneOrder(scene()).size(), 5u);
}

TEST_F(PreviewWindowTest, ScenesReplacedWhileTheDisplayDrawsAreNeverUsedAfterRelease)
{
    for (int round = 0; round < 60; ++round) {
        OBSSceneAutoRelease scene = obs_scene_create_private("churn");
        obs_scene_add(scene, obs_sceneitem_get_source(middle()));
        m_window->SetScene(scene);
        // The preview holds its own reference; ours goes now.
        if (round % 3 == 0)
            QTest::qWait(2);
    }
    const uint64_t before = m_window->GetFramesDrawn();
    EXPECT_TRUE(WaitFor([&] { return m_window->GetFramesDrawn() > before + 2; }));
    m_window->SetScene(nullptr);
    EXPECT_EQ(m_window->GetScene(), nullptr);
}


// As the main window uses it: a child made, with its display, before the
// parent is shown.
TEST_F(PreviewTest, TheWindowDrawsAsAChildMadeBeforeItsParentIsShown)
{
    QWidget parent;
    parent.resize(1000, 600);
    ObsQtWindow child;
    ASSERT_NE(child.Create(&parent, {20, 30, 960, 540}), 0u);
    ASSERT_TRUE(child.CreateDisplay());
    child.SetScene(scene());
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    EXPECT_FALSE(parent.testAttribute(Qt::WA_NativeWindow));
    const uint64_t before = child.GetFramesDrawn();
    ASSERT_TRUE(WaitFor([&] { return child.GetFramesDrawn() > before + 5; }));
    QImage shot;
    const bool shown = WaitFor([&] {
        shot = parent.screen()->grabWindow(parent.winId()).toImage();
        return settest::PixelIs(shot, 20 + 240, 30 + 100, Qt::yellow, 12) &&
               settest::PixelIs(shot, 20 + 800, 30 + 450, Qt::blue, 12);
    }, 10000);
    shot.save(ScreenshotPath("preview-embedded.png"));
    EXPECT_TRUE(shown) << "the child window does not show the set";
}

TEST_F(PreviewWindowTest, HoveringAfterAReleaseElsewhereDoesNotDrag)
{
    m_window->SetEditEnabled(true);
    // Middle only at canvas (1300, 700): window (650, 350).
    QTest::mousePress(m_window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(650, 350));
    QTest::mouseMove(m_window.get(), QPoint(670, 350));
    const vec2 dragged = Position(middle());
    // The release went to another window: the next move comes without a button.
    QMouseEvent hover(QEvent::MouseMove, QPointF(720, 380), m_window->mapToGlobal(QPointF(720, 380)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window.get(), &hover);
    EXPECT_FLOAT_EQ(Position(middle()).x, dragged.x);
    EXPECT_FLOAT_EQ(Position(middle()).y, dragged.y);
    EXPECT_FALSE(m_window->InGesture());
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(720, 380));
}

TEST_F(PreviewWindowTest, TheSetSceneShowsTheSamePictureWhetherItsLayersAreDrawnDirectlyOrThroughTheEngine)
{
    obs_sceneitem_t* layers = ShowTheSetWithATopLayerPastItsCanvas();

    struct Placement {
        const char* name;
        vec2 centre, scale;
        float rotation;
        vec2 inside, beyond;  // canvas points just inside and past the layers' right edge
    };
    // Unmoved; as a shot places it: half size, its canvas from (200, 100) to
    // (1160, 640); and the same turned a quarter about its centre.
    ASSERT_EQ(obs_sceneitem_get_alignment(layers), uint32_t(OBS_ALIGN_CENTER));
    const Placement placements[] = {
        {"unmoved", {960.0f, 540.0f}, {1.0f, 1.0f}, 0.0f, {1900.0f, 200.0f}, {1960.0f, 200.0f}},
        {"shot", {680.0f, 370.0f}, {0.5f, 0.5f}, 0.0f, {1150.0f, 180.0f}, {1180.0f, 180.0f}},
        {"quarter turn", {680.0f, 370.0f}, {0.5f, 0.5f}, 90.0f, {850.0f, 830.0f}, {850.0f, 880.0f}}};
    for (const Placement& placement : placements) {
        SCOPED_TRACE(placement.name);
        obs_sceneitem_set_pos(layers, &placement.centre);
        obs_sceneitem_set_scale(layers, &placement.scale);
        obs_sceneitem_set_rot(layers, placement.rotation);
        const SceneDraw plan = PlanSceneDraw(m_set->GetMainScene());
        EXPECT_TRUE(plan.placed);
        EXPECT_EQ(plan.source.Get(), obs_scene_get_source(scene()));
        const QImage direct = RenderFrame();

        // A scale filter on the item makes the engine compose the layers'
        // scene into a texture first and draw that where the item stands.
        obs_sceneitem_set_scale_filter(layers, OBS_SCALE_BILINEAR);
        EXPECT_FALSE(PlanSceneDraw(m_set->GetMainScene()).placed);
        const QImage composed = RenderFrame();
        obs_sceneitem_set_scale_filter(layers, OBS_SCALE_DISABLE);

        direct.save(ScreenshotPath((std::string("preview-set-direct-") + placement.name + ".png").c_str()));
        composed.save(ScreenshotPath((std::string("preview-set-composed-") + placement.name + ".png").c_str()));
        // The same picture but for the pixels along the layers' edges:
        // through the texture they are resampled once more.
        EXPECT_TRUE(MostlyTheSame(direct, composed));

        const ViewTransform& view = m_window->View();
        const vec2 inside = view.CanvasToWindow(placement.inside);
        const vec2 beyond = view.CanvasToWindow(placement.beyond);
        for (const QImage* frame : {&direct, &composed}) {
            EXPECT_TRUE(settest::PixelIs(*frame, int(inside.x), int(inside.y), Qt::yellow, 12));
            EXPECT_FALSE(settest::PixelIs(*frame, int(beyond.x), int(beyond.y), Qt::yellow, 60))
                << "the layers show past their canvas's edge";
        }
    }
}

TEST_F(PreviewWindowTest, ASetMovingAsAWholeIsDrawnFromOneCompositionUntilItsLayersChange)
{
    // Only the frames drawn here: the display neither decides nor draws.
    m_window->Redraw().Stop();
    obs_display_set_enabled(m_window->GetDisplay(), false);
    obs_sceneitem_t* layers = ShowTheSetWithATopLayerPastItsCanvas();
    const vec2 half{0.5f, 0.5f};
    obs_sceneitem_set_scale(layers, &half);
    const auto moveTo = [&](float x) {
        vec2 centre{x, 370.0f};
        obs_sceneitem_set_pos(layers, &centre);
    };
    const auto drewComposed = [&] {
        obs_enter_graphics();
        const bool composed = m_window->DrewLayersComposed();
        obs_leave_graphics();
        return composed;
    };
    // Resting: the frame after the layers were last drawn the same comes
    // from their composition, so a shot that starts moving the set draws one
    // texture from its first step on.
    moveTo(670.0f);
    RenderFrame();
    RenderFrame();
    EXPECT_TRUE(drewComposed()) << "layers unchanged since the last frame";
    moveTo(680.0f);
    const QImage moving = RenderFrame();
    EXPECT_TRUE(drewComposed()) << "the first step of a move";
    RenderFrame();
    EXPECT_TRUE(drewComposed()) << "a frame between two steps";
    // The picture the engine gives when it composes the layers itself.
    obs_sceneitem_set_scale_filter(layers, OBS_SCALE_BILINEAR);
    const QImage byEngine = RenderFrame();
    obs_sceneitem_set_scale_filter(layers, OBS_SCALE_DISABLE);
    moving.save(ScreenshotPath("preview-set-moving.png"));
    EXPECT_TRUE(MostlyTheSame(moving, byEngine));
    const ViewTransform& view = m_window->View();
    const vec2 inside = view.CanvasToWindow({1150.0f, 180.0f});
    const vec2 beyond = view.CanvasToWindow({1180.0f, 180.0f});
    EXPECT_TRUE(settest::PixelIs(moving, int(inside.x), int(inside.y), Qt::yellow, 12));
    EXPECT_FALSE(settest::PixelIs(moving, int(beyond.x), int(beyond.y), Qt::yellow, 60));

    // A layer that changes while the set moves shows in the very frame.
    for (float x : {684.0f, 688.0f})
        moveTo(x), RenderFrame();
    EXPECT_TRUE(drewComposed());
    vec2 lower{1700.0f, 700.0f};
    obs_sceneitem_set_pos(top(), &lower);
    moveTo(692.0f);
    QImage changed = RenderFrame();
    EXPECT_FALSE(drewComposed()) << "the frame of the change";
    const vec2 moved = view.CanvasToWindow({692.0f - 480.0f + 1750.0f * 0.5f, 100.0f + 720.0f * 0.5f});
    EXPECT_TRUE(settest::PixelIs(changed, int(moved.x), int(moved.y), Qt::yellow, 12)) << "drawn directly";
    moveTo(696.0f);
    changed = RenderFrame();
    EXPECT_TRUE(drewComposed()) << "composed again";
    const vec2 followed = view.CanvasToWindow({696.0f - 480.0f + 1750.0f * 0.5f, 100.0f + 720.0f * 0.5f});
    EXPECT_TRUE(settest::PixelIs(changed, int(followed.x), int(followed.y), Qt::yellow, 12));

    // Where the screen shows the composed canvas larger than its pixels, the
    // preview shows that composition even at rest, as the engine gives it.
    m_window->ZoomTo(1.0f);
    const vec2 larger{1.5f, 1.5f};
    obs_sceneitem_set_scale(layers, &larger);
    RenderFrame();
    const QImage enlarged = RenderFrame();
    EXPECT_TRUE(drewComposed()) << "an enlarged shot at rest";
    obs_sceneitem_set_scale_filter(layers, OBS_SCALE_BILINEAR);
    const QImage engine = RenderFrame();
    obs_sceneitem_set_scale_filter(layers, OBS_SCALE_DISABLE);
    enlarged.save(ScreenshotPath("preview-set-enlarged.png"));
    EXPECT_TRUE(MostlyTheSame(enlarged, engine));
    EXPECT_FALSE(drewComposed()) << "the engine drew that one";
}

TEST_F(PreviewWindowTest, ALayerThatKeepsChangingIsDrawnApartFromTheLayersUnderAndOverIt)
{
    DrawOnlyTestFrames();
    const auto drawnDirectly = [&] {
        const QImage frame = RenderAfresh();
        EXPECT_FALSE(DrewLayersSplit());
        return frame;
    };
    const ViewTransform& view = m_window->View();
    const auto colourAt = [&](const QImage& frame, vec2 canvas, const QColor& colour) {
        const vec2 window = view.CanvasToWindow(canvas);
        return settest::PixelIs(frame, int(window.x), int(window.y), colour, 12);
    };
    const QColor grey(128, 128, 128);

    // The middle layer dragged to the right: from its second step on, the
    // layers under and over it come from their compositions.
    RenderFrame();
    DragFor(middle(), {40.0f, 0.0f}, 1);
    DragFor(middle(), {80.0f, 0.0f}, 1);
    EXPECT_TRUE(DrewLayersSplit());
    vec2 position = Position(middle());
    position.x += 120.0f;
    obs_sceneitem_set_pos(middle(), &position);
    const QImage dragged = RenderFrame();
    EXPECT_TRUE(DrewLayersSplit());
    dragged.save(ScreenshotPath("preview-layer-dragged.png"));
    EXPECT_TRUE(colourAt(dragged, {1500.0f, 500.0f}, grey)) << "the dragged layer where it stands now";
    EXPECT_TRUE(colourAt(dragged, {600.0f, 300.0f}, Qt::yellow)) << "the layer over it, over it";
    EXPECT_TRUE(colourAt(dragged, {300.0f, 900.0f}, Qt::blue)) << "the layer under it";
    EXPECT_TRUE(MostlyTheSame(dragged, drawnDirectly()));

    // Another layer changing as well: that frame shows every layer directly.
    DragFor(middle(), {-10.0f, 0.0f}, 2);
    EXPECT_TRUE(DrewLayersSplit());
    vec2 lower = Position(top());
    lower.y += 300.0f;
    obs_sceneitem_set_pos(top(), &lower);
    position = Position(middle());
    position.x -= 10.0f;
    obs_sceneitem_set_pos(middle(), &position);
    const QImage both = RenderFrame();
    EXPECT_FALSE(DrewLayersSplit());
    EXPECT_TRUE(colourAt(both, {600.0f, 600.0f}, Qt::yellow)) << "the top layer moved in the same frame";

    // A live picture in the middle layer, a screen, is drawn apart from its
    // first frame, through the screen's UV map as the engine draws it.
    std::unique_ptr<CLiveSource> live = CLiveSource::MakeTestPattern();
    ASSERT_TRUE(live);
    ASSERT_TRUE(m_set->PlaceSourceInLayerAt(1, live->Source()));
    RenderFrame();
    EXPECT_TRUE(DrewLayersSplit()) << "the first frame with the live picture";
    const QImage showing = RenderFrame();
    EXPECT_TRUE(DrewLayersSplit());
    showing.save(ScreenshotPath("preview-layer-live.png"));
    // Drawn whole to compare: a filter on the shown scene keeps its layers
    // together (one without a map passes the picture through).
    OBSSourceAutoRelease whole = obs_source_create_private("uvmap_filter", "whole", nullptr);
    obs_source_filter_add(obs_scene_get_source(scene()), whole);
    const QImage direct = RenderFrame();
    EXPECT_FALSE(DrewLayersSplit());
    obs_source_filter_remove(obs_scene_get_source(scene()), whole);
    // The block sweeping through the pattern is all that differs.
    EXPECT_TRUE(MostlyTheSame(showing, direct));
}

TEST_F(PreviewWindowTest, TheLayersAroundTheSelectedOneAreComposedAtRestForItsFirstChange)
{
    DrawOnlyTestFrames();
    const auto partsComposed = [&] {
        obs_enter_graphics();
        const uint64_t count = m_window->LayerPartsComposed();
        obs_leave_graphics();
        return count;
    };
    // The screen selected, the layers rest: the layers under and over it
    // are composed ahead, once.
    obs_sceneitem_select(middle(), true);
    for (int frame = 0; frame < 6; ++frame)
        RenderFrame();
    const uint64_t atRest = partsComposed();
    EXPECT_EQ(atRest, 2u) << "the layers under and over the selected one";
    RenderFrame();
    EXPECT_EQ(partsComposed(), atRest) << "composed once while resting";

    // A live picture put in it draws from those compositions in its first
    // frame, and looks as the layers drawn whole.
    std::unique_ptr<CLiveSource> live = CLiveSource::MakeTestPattern();
    ASSERT_TRUE(live);
    ASSERT_TRUE(m_set->PlaceSourceInLayerAt(1, live->Source()));
    const QImage first = RenderFrame();
    EXPECT_TRUE(DrewLayersSplit());
    EXPECT_EQ(partsComposed(), atRest) << "the first live frame composes nothing";
    OBSSourceAutoRelease whole = obs_source_create_private("uvmap_filter", "whole", nullptr);
    obs_source_filter_add(obs_scene_get_source(scene()), whole);
    const QImage direct = RenderFrame();
    obs_source_filter_remove(obs_scene_get_source(scene()), whole);
    EXPECT_TRUE(MostlyTheSame(first, direct));

    // Another layer moved at rest: the parts follow it once more.
    vec2 position = Position(top());
    position.x += 30.0f;
    obs_sceneitem_set_pos(top(), &position);
    ASSERT_TRUE(m_set->PlaceSourceInLayerAt(1, nullptr));
    for (int frame = 0; frame < 6; ++frame)
        RenderFrame();
    EXPECT_GT(partsComposed(), atRest);
}

TEST_F(PreviewWindowTest, ATranslucentLayerOverADraggedOneLooksTheSameAsDrawnDirectly)
{
    DrawOnlyTestFrames();
    // Half-transparent white over the grey middle layer: a light's glow.
    settest::TestLayer glow{"Glow", QColor(255, 255, 255, 96), 64, 36, -0.5f, 0.5f, 0.25f, 0.25f};
    settest::TestLayer middleLayer{"Middle", QColor(128, 128, 128), 80, 45, 0.0f, 0.0f, 0.5f, 0.5f};
    settest::TestLayer bottomLayer{"Bottom", Qt::blue, 48, 27, 0.0f, 0.0f, 0.75f, 0.75f};
    m_window->SetScene(nullptr);
    m_set.reset();
    m_info = settest::NativeSetInfo(settest::MakeNativeSet(m_dir.path(), "Glow", {glow, middleLayer, bottomLayer}, {}));
    m_set = OpenSet(m_info);
    ASSERT_TRUE(m_set);
    WaitForPictures();
    m_window->SetScene(scene());
    RenderFrame();
    DragFor(bottom(), {0.0f, 10.0f}, 3);
    const QImage split = RenderFrame();
    EXPECT_TRUE(DrewLayersSplit());
    const QImage direct = RenderAfresh();
    split.save(ScreenshotPath("preview-glow-split.png"));
    direct.save(ScreenshotPath("preview-glow-direct.png"));
    const vec2 over = m_window->View().CanvasToWindow({600.0f, 300.0f});
    EXPECT_TRUE(settest::PixelIs(split, int(over.x), int(over.y), direct.pixelColor(int(over.x), int(over.y)), 3))
        << split.pixelColor(int(over.x), int(over.y)).name().toStdString() << " against "
        << direct.pixelColor(int(over.x), int(over.y)).name().toStdString();
    EXPECT_TRUE(MostlyTheSame(split, direct));
}
