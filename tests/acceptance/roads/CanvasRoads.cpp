// The preview as a canvas: zooming about the pointer with the wheel, moving
// a layer exactly at a high zoom, picking layers with a band and nudging
// them, turning one by the rotate handle in steps, and the guides of the
// frame menu's View submenu.
#include "EditorRoad.h"
#include "RoadPictures.h"
#include "Waiting.h"

#include <QJsonArray>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace acceptance;

namespace {

constexpr double kCanvasWidth = 1920.0;
constexpr double kCanvasHeight = 1080.0;

}  // namespace

class CanvasRoad : public EditorRoad {
protected:
    // Opens the sample, shows the Layers page and picks the desk on the
    // preview (the middle of the canvas is the desk's front).
    void PickTheDesk()
    {
        ASSERT_TRUE(StartEditor());
        ASSERT_TRUE(OpenRecentSet());
        ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
        const Accessible preview = Find({"", "Preview"});
        ASSERT_TRUE(preview) << DumpWindows();
        m_window = PlaceOf(preview);
        ASSERT_FALSE(m_window.isEmpty());
        Input().Click(m_window.center());
        const Accessible desk = Find({"table cell", "Desk"});
        ASSERT_TRUE(desk);
        ASSERT_TRUE(WaitUntil([&] { return desk.Selected(); }, 5s)) << "the desk is picked";
    }

    // Where the whole canvas shows in the preview when it is fitted.
    QRectF FittedCanvas() const
    {
        const double scale = std::min(m_window.width() / kCanvasWidth, m_window.height() / kCanvasHeight);
        const QSizeF size(kCanvasWidth * scale, kCanvasHeight * scale);
        const QPointF topLeft(m_window.left() + (m_window.width() - size.width()) / 2.0,
                              m_window.top() + (m_window.height() - size.height()) / 2.0);
        return {topLeft, size};
    }

    // Saves with Ctrl+S and reads the saved second layer (the desk) back.
    QJsonObject SaveAndReadTheDesk(const char* expectedName = "Desk")
    {
        const QJsonArray layers = SaveInPlaceAndReadLayers(SetsFolder() + "/Sample Studio");
        const QJsonObject desk = layers[1].toObject();
        EXPECT_EQ(desk["name"].toString(), expectedName);
        return desk;
    }

    QRect m_window;
};

// Six wheel notches over the desk take the fitted view to 400 % with the
// desk's point staying under the pointer; a drag of 400 screen pixels then
// moves the desk by exactly 100 canvas pixels, and the saved set has it.
TEST_F(CanvasRoad, AtFourHundredPercentADragMovesALayerByExactCanvasPixels)
{
    PickTheDesk();
    if (HasFatalFailure())
        return;
    const QPoint pointer = m_window.center();
    Screenshot("fitted");
    Input().Wheel(pointer, 6);
    // Every notch is taken before the drag starts.
    ASSERT_TRUE(Find({"push button", "Zoom: 400%"}, 5s)) << DumpWindows();
    Screenshot("zoomed");

    Input().Drag(pointer, pointer + QPoint(400, 0), 20);
    const Accessible x = Find({"text", "X"});
    ASSERT_TRUE(x);
    ASSERT_TRUE(WaitUntil([&] { return x.Text() != "0.000"; }, 5s)) << "the X row still shows " << x.Text();
    Screenshot("dragged");
    // Back to the whole canvas with the keyboard; the view is not an edit.
    Key("ctrl+0");

    const QJsonObject desk = SaveAndReadTheDesk();
    EXPECT_NEAR(desk["x"].toDouble(-99.0), 100.0 * 2.0 / kCanvasWidth, 1e-4) << "100 canvas pixels to the right";
    EXPECT_NEAR(desk["y"].toDouble(-99.0), 0.0, 1e-4);
    EXPECT_NEAR(desk["zoomX"].toDouble(-99.0), 1.0, 1e-6) << "a move keeps the size";
}

// A set opened while the Layers page is on show; with the foreground and the
// background hidden by their rows' check boxes
// and the view zoomed out, a band drawn from the room beside the canvas into
// it picks the two layers still shown (the list follows); Shift+Right moves
// both by ten canvas pixels, and one Ctrl+Z takes both back.
TEST_F(CanvasRoad, ABandPicksTheShownLayersAndANudgeMovesThemAsOneStep)
{
    ASSERT_TRUE(StartEditor());
    // The set opens onto the Layers page already on show: the preview edits its layers.
    ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
    ASSERT_TRUE(OpenRecentSet());
    for (const char* name : {"Foreground", "Background"}) {
        const Accessible row = Find({"table cell", name});
        ASSERT_TRUE(row) << DumpWindows();
        const QRect place = PlaceOf(row);
        Input().Click(QPoint(place.left() + 10, place.center().y()));
        ASSERT_TRUE(WaitUntil([&] { return !row.Checked(); }, 5s)) << name << " is still shown";
    }
    m_window = PlaceOf(Find({"", "Preview"}));
    ASSERT_FALSE(m_window.isEmpty());
    Input().Wheel(m_window.center(), -3);
    Screenshot("zoomed out");

    Input().Drag(m_window.topLeft() + QPoint(6, 6), m_window.center(), 16);
    const Accessible desk = Find({"table cell", "Desk"});
    const Accessible screen = Find({"table cell", "Screen"});
    ASSERT_TRUE(WaitUntil([&] { return desk.Selected() && screen.Selected(); }, 5s)) << DumpWindows();
    EXPECT_FALSE(Find({"table cell", "Foreground"}).Selected()) << "a hidden layer is not picked";
    EXPECT_FALSE(Find({"table cell", "Background"}).Selected());
    ASSERT_TRUE(Find({"label", "2 layers: 0, 0  1920 × 1080 px"})) << DumpWindows();

    Key("shift+Right");
    ASSERT_TRUE(Find({"label", "2 layers: 10, 0  1920 × 1080 px"})) << DumpWindows();
    Screenshot("nudged");
    QJsonArray layers = SaveInPlaceAndReadLayers(SetsFolder() + "/Sample Studio");
    ASSERT_EQ(layers.size(), 4);
    EXPECT_NEAR(layers[1].toObject()["x"].toDouble(-99.0), 10.0 * 2.0 / kCanvasWidth, 1e-5) << "the desk moved";
    EXPECT_NEAR(layers[2].toObject()["x"].toDouble(-99.0), 10.0 * 2.0 / kCanvasWidth, 1e-5) << "the screen moved";
    EXPECT_NEAR(layers[0].toObject()["x"].toDouble(-99.0), 0.0, 1e-6) << "the hidden foreground stays";

    Key("ctrl+z");
    ASSERT_TRUE(Find({"label", "2 layers: 0, 0  1920 × 1080 px"})) << DumpWindows();
    layers = SaveInPlaceAndReadLayers(SetsFolder() + "/Sample Studio");
    ASSERT_EQ(layers.size(), 4);
    EXPECT_NEAR(layers[1].toObject()["x"].toDouble(-99.0), 0.0, 1e-6) << "one undo takes both back";
    EXPECT_NEAR(layers[2].toObject()["x"].toDouble(-99.0), 0.0, 1e-6);
}

// The rotate handle stands above the selection's top edge (inside it where
// the edge meets the window's border); with Shift held the turn goes in
// steps of 15 degrees, so a turn of about 42 degrees comes out as exactly 45.
TEST_F(CanvasRoad, TheRotateHandleWithShiftTurnsInStepsOfFifteenDegrees)
{
    PickTheDesk();
    if (HasFatalFailure())
        return;
    const QRectF canvas = FittedCanvas();
    const QPointF pivot = canvas.center();
    constexpr int kHandleDistance = 24;
    QPointF handle(pivot.x(), canvas.top() - kHandleDistance);
    if (handle.y() < m_window.top())
        handle.setY(canvas.top() + kHandleDistance);
    const double radius = pivot.y() - handle.y();
    const double turn = 42.0 * M_PI / 180.0;
    const QPoint end = (pivot + QPointF(radius * std::sin(turn), -radius * std::cos(turn))).toPoint();

    Input().Press(handle.toPoint());
    Input().MoveTo((pivot + QPointF(radius * std::sin(turn / 2), -radius * std::cos(turn / 2))).toPoint());
    ASSERT_TRUE(Input().HoldModifier("shift", true));
    Input().MoveTo(end);
    Input().MoveTo(end + QPoint(1, 0));
    Input().MoveTo(end);
    Screenshot("turning");
    Input().Release();
    ASSERT_TRUE(Input().HoldModifier("shift", false));

    ASSERT_TRUE(ShowPage("Layers"));
    const QJsonObject desk = SaveAndReadTheDesk();
    // The record keeps a turn as a share of a whole turn.
    EXPECT_NEAR(desk["rotateZ"].toDouble(-99.0), 45.0 / 360.0, 1e-5) << "three steps of 15 degrees";
    EXPECT_NEAR(desk["x"].toDouble(-99.0), 0.0, 1e-4) << "a turn about the centre keeps the place";
}

// The frame menu's View submenu turns the guides on (the check mark
// follows) and zooms; the status line tells the zoom and the pointer.
TEST_F(CanvasRoad, TheViewMenuShowsTheGuidesAndZooms)
{
    PickTheDesk();
    if (HasFatalFailure())
        return;
    for (const char* guide : {"Title-safe area (90%)", "Centre lines"}) {
        OpenFrameMenu();
        const Accessible view = Find({"menu item", "View"});
        ASSERT_TRUE(view) << DumpWindows();
        Click(view);
        ASSERT_TRUE(ChooseMenuItem(guide)) << DumpWindows();
    }
    OpenFrameMenu();
    Click(Find({"menu item", "View"}));
    const Accessible title = Find({"menu item", "Title-safe area (90%)"});
    ASSERT_TRUE(title) << DumpWindows();
    EXPECT_TRUE(title.Checked()) << "the menu shows the guide as on";
    EXPECT_FALSE(Find({"menu item", "Grid"}).Checked());
    ASSERT_TRUE(ChooseMenuItem("Zoom in")) << DumpWindows();
    // The status line tells the zoom, and the pointer's place on the canvas.
    EXPECT_TRUE(Find({"push button", "Zoom: 67%"}, 5s)) << DumpWindows();
    Input().MoveTo(m_window.center() + QPoint(0, 1));
    // The middle of the canvas, give or take the rounding of the fit.
    const auto pointerNearTheMiddle = [&] {
        int x = 0, y = 0;
        const Accessible pointer = Find({"label", "  Y ", true}, 1s);
        return pointer && std::sscanf(pointer.Name().c_str(), "X %d  Y %d", &x, &y) == 2 && std::abs(x - 960) <= 3 &&
               std::abs(y - 540) <= 3;
    };
    EXPECT_TRUE(WaitUntil(pointerNearTheMiddle, 5s)) << DumpWindows();
    Screenshot("guides-zoomed");
    // Ctrl+1 shows the canvas's pixels one to one.
    Key("ctrl+1");
    EXPECT_TRUE(Find({"push button", "Zoom: 100%"}, 5s)) << DumpWindows();
}

// The workspace comes back as it was left: the page, the splitter, the
// guides and the zoom, after the window is closed and the editor started
// again.
TEST_F(CanvasRoad, TheNextStartFindsThePageSplitterGuidesAndZoomAsLeft)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
    OpenFrameMenu();
    Click(Find({"menu item", "View"}));
    ASSERT_TRUE(ChooseMenuItem("Centre lines")) << DumpWindows();
    Key("ctrl+equal");
    ASSERT_TRUE(Find({"push button", "Zoom: 67%"}, 5s)) << DumpWindows();

    // The splitter stands just left of the preview's column, where the
    // status line starts.
    const Accessible line = Find({"filler", "Status line"});
    ASSERT_TRUE(line) << DumpWindows();
    const QRect before = PlaceOf(line);
    const QPoint splitter(before.left() - 2, before.top() - 300);
    Input().Drag(splitter, splitter + QPoint(100, 0), 10);
    ASSERT_TRUE(WaitUntil([&] { return PlaceOf(line).left() == before.left() + 100; }, 5s))
        << "the splitter did not follow the drag: " << PlaceOf(line).left();
    Screenshot("left");

    Input().Click(TitleButtonCenter(MainWindow(), TitleButton::Close));
    ASSERT_TRUE(WaitForEditorExit());

    ASSERT_TRUE(StartEditor());
    EXPECT_TRUE(WaitUntil([&] { return Find({"page tab", "Layers"}).Selected(); }, 5s)) << "the Layers page";
    const Accessible again = Find({"filler", "Status line"});
    ASSERT_TRUE(again);
    EXPECT_EQ(PlaceOf(again).left(), before.left() + 100) << "the splitter's place";
    EXPECT_TRUE(Find({"push button", "Zoom: 67%"}, 5s)) << "the zoom";
    OpenFrameMenu();
    Click(Find({"menu item", "View"}));
    const Accessible centre = Find({"menu item", "Centre lines"});
    ASSERT_TRUE(centre) << DumpWindows();
    EXPECT_TRUE(centre.Checked()) << "the guide";
    EXPECT_FALSE(Find({"menu item", "Grid"}).Checked());
    Screenshot("found");
    Key("Escape");
    Key("Escape");
}

// A right click on a layer offers the stack order for it; "Bring to front"
// puts the desk on top, and the saved set follows.
TEST_F(CanvasRoad, TheContextMenuBringsTheClickedLayerToTheFront)
{
    PickTheDesk();
    if (HasFatalFailure())
        return;
    Input().Click(m_window.center(), 3);
    const Accessible front = Find({"menu item", "Bring to front"});
    ASSERT_TRUE(front) << DumpWindows();
    EXPECT_TRUE(front.Enabled());
    EXPECT_TRUE(Find({"menu item", "Send to back"}).Enabled());
    Screenshot("menu");
    ASSERT_TRUE(ChooseMenuItem("Bring to front"));
    const Accessible first = Find({"table cell", "Desk"});
    ASSERT_TRUE(WaitUntil([&] { return first.Selected(); }, 5s)) << "the desk stays selected";

    SaveAndReadTheDesk("Foreground");  // the foreground moved one place down
    const QJsonArray layers = SetInfo(SetsFolder() + "/Sample Studio")["layers"].toArray();
    EXPECT_EQ(layers[0].toObject()["name"].toString(), "Desk");
}

// A picture added from the Layers page lands just above the selected layer
// at its own size (320 x 180 on the 1920 x 1080 canvas), selected, where it
// can be seen; the saved set has it there, and one undo takes it back.
TEST_F(CanvasRoad, AnAddedPictureLandsAboveTheSelectedLayerAtItsSize)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(OpenRecentSet());
    ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
    const Accessible screen = Find({"table cell", "Screen"});
    ASSERT_TRUE(screen) << DumpWindows();
    Click(screen);
    ASSERT_TRUE(WaitUntil([&] { return screen.Selected(); }, 5s));
    const std::string picture = WritePicture(WorkFolder() + "/Logo Card.png");
    Click(Find({"push button", "Add"}));
    ASSERT_TRUE(AnswerChooser(picture)) << DumpWindows();
    const Accessible added = Find({"table cell", "Logo Card"});
    ASSERT_TRUE(added) << DumpWindows();
    ASSERT_TRUE(WaitUntil([&] { return added.Selected(); }, 5s)) << "the added layer is selected";
    Screenshot("added");

    const QJsonArray layers = SaveInPlaceAndReadLayers(SetsFolder() + "/Sample Studio");
    ASSERT_EQ(layers.size(), 5);
    EXPECT_EQ(layers[1].toObject()["name"].toString(), "Desk");
    const QJsonObject logo = layers[2].toObject();
    EXPECT_EQ(logo["name"].toString(), "Logo Card") << "just above the screen";
    EXPECT_EQ(layers[3].toObject()["name"].toString(), "Screen");
    EXPECT_NEAR(logo["zoomX"].toDouble(), 320.0 / kCanvasWidth, 1e-5);
    EXPECT_NEAR(logo["zoomY"].toDouble(), 180.0 / kCanvasHeight, 1e-5);

    // Placing and sizing are part of the one step the addition is.
    Key("ctrl+z");
    EXPECT_TRUE(WaitGone(added)) << "one undo takes the whole addition back";
    EXPECT_TRUE(Find({"table cell", "Screen"}));
}
