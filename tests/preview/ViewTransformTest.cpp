// The preview's view of the canvas: the design's fit, zooming about a point,
// exact pans, the zoom steps and the projections the draw callback uses.
#include "preview/ViewTransform.h"

#include <gtest/gtest.h>

namespace {

ViewTransform View(int width, int height)
{
    ViewTransform view;
    view.SetCanvasSize(1920, 1080);
    view.SetWindowSize(width, height);
    return view;
}

void ExpectNear(vec2 a, vec2 b, float tolerance = 1e-3f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
}

}  // namespace

TEST(ViewTransformTest, TheFitIsTheDesignsLetterbox)
{
    ViewTransform wide = View(1000, 400);
    EXPECT_TRUE(wide.IsFit());
    EXPECT_FLOAT_EQ(wide.Scale(), 400.0f / 1080.0f);
    EXPECT_EQ(wide.FitWidth(), 711);
    EXPECT_EQ(wide.FitOffsetX(), 500 - 355);
    EXPECT_EQ(wide.FitOffsetY(), 0);
    ExpectNear(wide.CanvasToWindow({0, 0}), {145, 0});
    const PixelRect viewport = wide.CanvasViewport();
    EXPECT_EQ(viewport.x, 145);
    EXPECT_EQ(viewport.width, 711);
    EXPECT_FLOAT_EQ(wide.CanvasProjection().right, 1920.0f);

    ViewTransform tall = View(400, 1000);
    EXPECT_FLOAT_EQ(tall.Scale(), 400.0f / 1920.0f);
    EXPECT_EQ(tall.FitOffsetY(), 500 - 112);
    // An empty window keeps the last fit.
    tall.SetWindowSize(0, 0);
    EXPECT_EQ(tall.WindowWidth(), 400);
}

TEST(ViewTransformTest, ZoomingAboutAPointKeepsTheCanvasPointUnderIt)
{
    ViewTransform view = View(960, 540);
    const vec2 pointer{300, 200};
    const vec2 under = view.WindowToCanvas(pointer);
    for (float zoom : {4.0f, 0.1f, 8.0f, 1.5f, 0.5f}) {
        view.ZoomAbout(pointer, zoom);
        EXPECT_FALSE(view.IsFit());
        EXPECT_FLOAT_EQ(view.Scale(), zoom);
        ExpectNear(view.WindowToCanvas(pointer), under, 2e-3f);
        ExpectNear(view.CanvasToWindow(under), pointer, 2e-3f);
    }
    // The limits hold: 10 % to 800 %.
    view.ZoomAbout(pointer, 20.0f);
    EXPECT_FLOAT_EQ(view.Scale(), ViewTransform::kMaxZoom);
    view.ZoomAbout(pointer, 0.01f);
    EXPECT_FLOAT_EQ(view.Scale(), ViewTransform::kMinZoom);
    EXPECT_EQ(view.ZoomPercent(), 10);
    view.Fit();
    EXPECT_TRUE(view.IsFit());
    EXPECT_FLOAT_EQ(view.Scale(), 0.5f);
}

TEST(ViewTransformTest, APanIsExactAndLengthsFollowTheZoom)
{
    ViewTransform view = View(960, 540);
    view.ZoomAbout({480, 270}, 4.0f);
    const vec2 before = view.CanvasToWindow({1000, 500});
    view.PanBy({37, -12});
    const vec2 after = view.CanvasToWindow({1000, 500});
    EXPECT_FLOAT_EQ(after.x - before.x, 37.0f);
    EXPECT_FLOAT_EQ(after.y - before.y, -12.0f);
    // 400 window pixels at 400 % are 100 canvas pixels.
    EXPECT_FLOAT_EQ(view.WindowToCanvasLength(400.0f), 100.0f);
    const vec2 a = view.WindowToCanvas({100, 100});
    const vec2 b = view.WindowToCanvas({500, 100});
    EXPECT_FLOAT_EQ(b.x - a.x, 100.0f);

    // Panning the fitted canvas keeps its place and scale until it moves.
    ViewTransform fitted = View(960, 540);
    fitted.PanBy({10, 0});
    EXPECT_FALSE(fitted.IsFit());
    EXPECT_FLOAT_EQ(fitted.Scale(), 0.5f);
    ExpectNear(fitted.CanvasToWindow({0, 0}), {10, 0});

    // However far it goes, a strip of the canvas stays in the window.
    view.PanBy({100000, 100000});
    EXPECT_LE(view.CanvasToWindow({0, 0}).x, 960.0f - 31.0f);
    EXPECT_LE(view.CanvasToWindow({0, 0}).y, 540.0f - 31.0f);
    view.PanBy({-200000, -200000});
    EXPECT_GE(view.CanvasToWindow({1920, 1080}).x, 31.0f);
}

TEST(ViewTransformTest, ZoomStepsLandOnThePresetsBothWays)
{
    ViewTransform view = View(960, 540);  // fit: 50 %
    EXPECT_FLOAT_EQ(view.SteppedZoom(1), 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(view.SteppedZoom(3), 1.5f);
    EXPECT_FLOAT_EQ(view.SteppedZoom(-1), 1.0f / 3.0f);
    view.ZoomCentred(4.0f);
    EXPECT_FLOAT_EQ(view.SteppedZoom(1), 6.0f);
    EXPECT_FLOAT_EQ(view.SteppedZoom(-1), 3.0f);
    EXPECT_FLOAT_EQ(view.SteppedZoom(5), ViewTransform::kMaxZoom);
    EXPECT_FLOAT_EQ(view.SteppedZoom(-50), ViewTransform::kMinZoom);
    // An odd zoom steps to the neighbouring presets.
    view.ZoomCentred(0.7f);
    EXPECT_FLOAT_EQ(view.SteppedZoom(1), 1.0f);
    EXPECT_FLOAT_EQ(view.SteppedZoom(-1), 2.0f / 3.0f);
}

TEST(ViewTransformTest, TheSceneIsDrawnOnlyWhereTheCanvasCoversTheWindow)
{
    ViewTransform view = View(960, 540);
    view.ZoomAbout({0, 0}, 1.0f);  // canvas top-left stays at the window's top-left
    const PixelRect viewport = view.CanvasViewport();
    EXPECT_EQ(viewport.x, 0);
    EXPECT_EQ(viewport.y, 0);
    EXPECT_EQ(viewport.width, 960);
    EXPECT_EQ(viewport.height, 540);
    const OrthoBounds shown = view.CanvasProjection();
    EXPECT_FLOAT_EQ(shown.left, 0.0f);
    EXPECT_FLOAT_EQ(shown.right, 960.0f);
    EXPECT_FLOAT_EQ(shown.bottom, 540.0f);

    // Zoomed out, the canvas covers part of the window; the overlay's
    // projection puts the canvas origin at its offset.
    view.Fit();
    view.ZoomCentred(0.25f);
    const PixelRect small = view.CanvasViewport();
    EXPECT_EQ(small.width, 480);
    EXPECT_EQ(small.height, 270);
    EXPECT_EQ(small.x, 240);
    const OrthoBounds overlay = view.OverlayProjection();
    EXPECT_FLOAT_EQ(overlay.left, -240.0f);
    EXPECT_FLOAT_EQ(overlay.right, 720.0f);
}
