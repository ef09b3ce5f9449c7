// Working on a layer of an open set: moving it on the preview with the
// mouse, reordering and renaming it in the list, and showing a live source
// on a replaceable layer.
#include "EditorRoad.h"
#include "Screen.h"
#include "Waiting.h"

#include <QJsonArray>
#include <string>

using namespace acceptance;

class LayerRoad : public EditorRoad {
protected:
    // Opens the sample and selects a layer on the Layers page.
    void SelectLayer(const std::string& name)
    {
        ASSERT_TRUE(OpenRecentSet());
        ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
        const Accessible row = Find({"table cell", name});
        ASSERT_TRUE(row) << DumpWindows();
        Click(row);
        ASSERT_TRUE(WaitUntil([&] { return row.Selected(); }, 5s)) << DumpWindows();
    }
};

// A click on the preview selects the layer under the pointer (the list
// follows), a drag moves it; the page's X row shows where it went, and Save
// writes that place.
TEST_F(LayerRoad, DraggingALayerOnThePreviewMovesIt)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(OpenRecentSet());
    ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
    const Accessible preview = Find({"", "Preview"});
    ASSERT_TRUE(preview) << DumpWindows();
    const QRect canvas = PlaceOf(preview);
    ASSERT_FALSE(canvas.isEmpty());
    // The middle of the sample's canvas is the desk's front (the foreground
    // is clear there).
    Input().Click(canvas.center());
    const Accessible desk = Find({"table cell", "Desk"});
    ASSERT_TRUE(desk);
    ASSERT_TRUE(WaitUntil([&] { return desk.Selected(); }, 5s)) << "the list follows the picked layer";
    const Accessible x = Find({"text", "X"});
    ASSERT_TRUE(x);
    ASSERT_EQ(x.Text(), "0.000");

    Drag(canvas.center(), canvas.center() + QPoint(canvas.width() / 8, 0));
    ASSERT_TRUE(WaitUntil([&] { return x.Text() != "0.000"; }, 5s)) << "the X row still shows " << x.Text();
    const double shown = std::stod(x.Text());
    EXPECT_GT(shown, 0.05) << "dragged right by an eighth of the canvas";
    EXPECT_EQ(Find({"text", "Y"}).Text(), "0.000") << "a level drag keeps the height";
    EXPECT_TRUE(desk.Selected());
    Screenshot("dragged");

    const QJsonArray layers = SaveInPlaceAndReadLayers(SetsFolder() + "/Sample Studio");
    const QJsonObject moved = layers[1].toObject();
    EXPECT_EQ(moved["name"].toString(), "Desk");
    EXPECT_NEAR(moved["x"].toDouble(-99.0), shown, 0.0005);
    EXPECT_NEAR(moved["y"].toDouble(-99.0), 0.0, 0.0005);
    EXPECT_NEAR(layers[0].toObject()["x"].toDouble(-99.0), 0.0, 1e-6) << "the layer above stays";
}

// The Background row dragged to the top of the list covers the set in the
// preview; one Ctrl+Z puts it back behind. F2 renames the desk in its row,
// and the saved set has both the order and the name.
TEST_F(LayerRoad, ARowDraggedInTheListMovesTheLayerInTheStack)
{
    ASSERT_TRUE(StartEditor());
    SelectLayer("Desk");
    if (HasFatalFailure())
        return;
    const QRect canvas = PlaceOf(Find({"", "Preview"}));
    ASSERT_FALSE(canvas.isEmpty());
    // A point of the screen's orange picture, which the background's own
    // dark screen frame hides once the background is on top.
    const QPoint onScreen(canvas.left() + canvas.width() * 72 / 100, canvas.top() + canvas.height() * 33 / 100);
    const auto redAt = [&] { return qRed(GrabScreen(Input().Connection()).pixel(onScreen)); };
    ASSERT_TRUE(WaitUntil([&] { return redAt() > 150; }, 5s)) << "the screen's picture shows: red " << redAt();

    const Accessible background = Find({"table cell", "Background"});
    const Accessible foreground = Find({"table cell", "Foreground"});
    ASSERT_TRUE(background && foreground);
    const QRect first = PlaceOf(foreground);
    Drag(PlaceOf(background).center(), QPoint(first.center().x(), first.top() + 3));
    // The list's rows are made anew after every change: found again each time.
    const auto backgroundOnTop = [&] {
        return PlaceOf(Find({"table cell", "Background"})).top() < PlaceOf(Find({"table cell", "Foreground"})).top();
    };
    ASSERT_TRUE(WaitUntil(backgroundOnTop, 5s)) << DumpWindows();
    EXPECT_TRUE(WaitUntil([&] { return redAt() < 100; }, 5s)) << "the engine draws the background on top: red " << redAt();
    Screenshot("background dragged to the top");

    Key("ctrl+z");
    EXPECT_TRUE(WaitUntil([&] { return !backgroundOnTop(); }, 5s)) << "one undo puts the background back";
    EXPECT_TRUE(WaitUntil([&] { return redAt() > 150; }, 5s)) << "and the engine draws it behind again";
    Key("ctrl+y");
    ASSERT_TRUE(WaitUntil(backgroundOnTop, 5s)) << "redo";

    const Accessible desk = Find({"table cell", "Desk"});
    Click(desk);
    ASSERT_TRUE(WaitUntil([&] { return desk.Selected(); }, 5s));
    Key("F2");
    Key("ctrl+a");
    Type("Anchor desk");
    Key("Return");
    ASSERT_TRUE(Find({"table cell", "Anchor desk"})) << DumpWindows();
    EXPECT_EQ(Find({"text", "Name"}).Text(), "Anchor desk") << "the Name field follows";

    const QJsonArray layers = SaveInPlaceAndReadLayers(SetsFolder() + "/Sample Studio");
    ASSERT_EQ(layers.size(), 4);
    EXPECT_EQ(layers[0].toObject()["name"].toString(), "Background");
    EXPECT_EQ(layers[1].toObject()["name"].toString(), "Foreground");
    EXPECT_EQ(layers[2].toObject()["name"].toString(), "Anchor desk");
    EXPECT_EQ(layers[3].toObject()["name"].toString(), "Screen");
}

// Ctrl+click in the list selects a second layer, and the preview selects
// both: a drag on the preview moves both, the status line counts them, and
// one Ctrl+Z takes the whole move back.
TEST_F(LayerRoad, LayersPickedTogetherInTheListMoveTogetherOnThePreview)
{
    ASSERT_TRUE(StartEditor());
    SelectLayer("Desk");
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(Input().HoldModifier("ctrl", true));
    Click(Find({"table cell", "Screen"}));
    ASSERT_TRUE(Input().HoldModifier("ctrl", false));
    ASSERT_TRUE(WaitUntil([&] { return Find({"table cell", "Screen"}).Selected() && Find({"table cell", "Desk"}).Selected(); }, 5s))
        << DumpWindows();
    ASSERT_TRUE(Find({"label", "2 layers: 0, 0  1920 × 1080 px"})) << DumpWindows();

    const QRect canvas = PlaceOf(Find({"", "Preview"}));
    ASSERT_FALSE(canvas.isEmpty());
    const QPoint from(canvas.center().x(), canvas.top() + canvas.height() * 3 / 4);
    Drag(from, from + QPoint(canvas.width() / 8, 0));
    Screenshot("two layers moved");
    EXPECT_TRUE(Find({"table cell", "Screen"}).Selected() && Find({"table cell", "Desk"}).Selected())
        << "the drag keeps both picked";

    QJsonArray layers = SaveInPlaceAndReadLayers(SetsFolder() + "/Sample Studio");
    ASSERT_EQ(layers.size(), 4);
    const double deskX = layers[1].toObject()["x"].toDouble(-99.0);
    EXPECT_GT(deskX, 0.05);
    EXPECT_NEAR(layers[2].toObject()["x"].toDouble(-99.0), deskX, 0.0005) << "the screen moved with the desk";
    EXPECT_NEAR(layers[0].toObject()["x"].toDouble(-99.0), 0.0, 1e-6) << "the foreground stays";

    Key("ctrl+z");
    layers = SaveInPlaceAndReadLayers(SetsFolder() + "/Sample Studio");
    ASSERT_EQ(layers.size(), 4);
    EXPECT_NEAR(layers[1].toObject()["x"].toDouble(-99.0), 0.0, 1e-6) << "one undo takes both back";
    EXPECT_NEAR(layers[2].toObject()["x"].toDouble(-99.0), 0.0, 1e-6);
}

// Without a camera the live-source menu says so, and the editor goes on:
// another live source can still be shown on the layer.
TEST_F(LayerRoad, LiveSourceWithoutACameraSaysSoAndTheEditorGoesOn)
{
    ASSERT_TRUE(StartEditor());
    SelectLayer("Screen");
    const Accessible live = Find({"push button", "Show live source"});
    ASSERT_TRUE(live) << DumpWindows();
    ASSERT_TRUE(WaitUntil([&] { return live.Enabled(); }, 5s)) << "the layer is replaceable";
    Click(live);
    const Accessible camera = Find({"menu item", "Camera"});
    ASSERT_TRUE(camera) << DumpWindows();
    Input().MoveTo(camera.Center());
    Click(camera);
    const Accessible none = Find({"menu item", "No camera found"});
    ASSERT_TRUE(none) << DumpWindows();
    EXPECT_FALSE(none.Enabled());
    Screenshot("no-camera");
    Key("Escape");
    Key("Escape");
    ASSERT_TRUE(WaitGone(camera));

    // Still answering: the test pattern takes the layer's place.
    Click(live);
    ASSERT_TRUE(ChooseMenuItem("Test pattern")) << DumpWindows();
    ASSERT_TRUE(WaitGone(Find({"menu item", "Camera"}, 1s)));
    Click(live);
    const Accessible picture = Find({"menu item", "Show layer picture"});
    ASSERT_TRUE(picture) << DumpWindows();
    EXPECT_TRUE(picture.Enabled()) << "the layer shows a live source now";
    Screenshot("test-pattern");
    Key("Escape");
    EXPECT_TRUE(WaitGone(picture));
    EXPECT_TRUE(Editor().Running()) << "the editor ended";
    EXPECT_TRUE(MainWindow());
}
