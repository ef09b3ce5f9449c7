// The roads of the user's guide: each walks one chapter as a reader would
// and leaves the pictures the guide shows (scripts/guide-pictures.sh copies
// them into docs/guide/).
#include "EditorRoad.h"
#include "Waiting.h"

#include <QJsonArray>

using namespace acceptance;

namespace {

QJsonObject LayerNamed(const QJsonObject& info, const QString& name)
{
    for (const QJsonValue& layer : info["layers"].toArray()) {
        if (layer.toObject()["name"].toString() == name)
            return layer.toObject();
    }
    return {};
}

}  // namespace

class GuideRoad : public EditorRoad {
protected:
    // The sample studio open on the Layers page with one layer selected.
    void OpenLayer(const std::string& layer)
    {
        ASSERT_TRUE(OpenRecentSet());
        ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
        const Accessible row = Find({"table cell", layer});
        ASSERT_TRUE(row) << DumpWindows();
        Click(row);
        ASSERT_TRUE(WaitUntil([&] { return Find({"text", "Name"}).Text() == layer; }, 10s));
    }

    std::string SampleFolder() const { return SetsFolder() + "/Sample Studio"; }

    // The preview: the window's pane that begins right of the splitter,
    // below the row of picture buttons.
    QRect PreviewPlace()
    {
        const QRect splitter = Find({"filler", "Splitter"}).Extents();
        const QRect buttons = Find({"push button", "Stretch to full screen"}).Extents();
        for (const Accessible& pane : FindAll(MainWindow(), {"filler", ""})) {
            const QRect place = pane.Extents();
            if (place.left() == splitter.right() + 1 && place.top() >= buttons.bottom() && place.width() > 100)
                return place;
        }
        return {};
    }
};

// The window and its parts, with the sample studio open.
TEST_F(GuideRoad, TheWindowWithTheSampleStudio)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(OpenRecentSet());
    for (const char* page : {"General", "Layers", "Shots"})
        EXPECT_TRUE(Find({"page tab", page})) << page;
    for (const char* tab : {"Recent", "vMix", "Tolvenar"})
        EXPECT_TRUE(Find({"page tab", tab})) << tab;
    Screenshot("window");
    OpenLayer("Desk");
    Screenshot("layers");
}

// A screen placed by its four corners: Draw screen shows the corners on the
// preview, a corner dragged and Enter make the layer's new map, and Save
// keeps it.
TEST_F(GuideRoad, AScreenPlacedByItsFourCorners)
{
    ASSERT_TRUE(StartEditor());
    const double mapBefore = LayerNamed(SetInfo(SampleFolder()), "Screen")["uvBytes"].toDouble();
    OpenLayer("Screen");
    Click(Find({"push button", "Draw screen"}));
    ASSERT_TRUE(Find({"push button", "Apply screen"})) << DumpWindows();
    // The corners start at the picture's corners, which fill the canvas; they
    // are dragged onto the corners of the screen drawn in the set's picture.
    const QRect preview = PreviewPlace();
    ASSERT_FALSE(preview.isEmpty()) << DumpWindows();
    const double scale = preview.width() / 1920.0;
    auto onPreview = [&](double x, double y) {
        return preview.topLeft() + QPoint(int(x * scale + 0.5), int(y * scale + 0.5));
    };
    const QPointF canvasCorners[4] = {{0, 0}, {1920, 0}, {1920, 1080}, {0, 1080}};
    const QPointF screenCorners[4] = {{1010, 190}, {1660, 222}, {1656, 620}, {1012, 644}};
    for (int i = 0; i < 4; ++i) {
        // A corner's handle is grabbed a few pixels inside the canvas.
        const QPoint inside(i == 1 || i == 2 ? -3 : 3, i >= 2 ? -3 : 3);
        Drag(onPreview(canvasCorners[i].x(), canvasCorners[i].y()) + inside,
             onPreview(screenCorners[i].x(), screenCorners[i].y()));
    }
    Screenshot("draw-screen");
    Key("Return");
    ASSERT_TRUE(WaitGone(Find({"push button", "Apply screen"}, 2s))) << DumpWindows();
    Key("ctrl+s");
    const Accessible saved = Find({"label", "Save Success"}, 20s);
    ASSERT_TRUE(saved) << DumpWindows();
    Key("Return");
    EXPECT_TRUE(WaitGone(saved));
    const double mapAfter = LayerNamed(SetInfo(SampleFolder()), "Screen")["uvBytes"].toDouble();
    EXPECT_GT(mapAfter, 0);
    EXPECT_NE(mapAfter, mapBefore) << "the drawn screen did not become the layer's map";
}

// A live picture in the screen: the test pattern stands in for a camera.
TEST_F(GuideRoad, ALivePictureInTheScreen)
{
    ASSERT_TRUE(StartEditor());
    OpenLayer("Screen");
    Click(Find({"push button", "Show live source"}));
    ASSERT_TRUE(ChooseMenuItem("Test pattern")) << DumpWindows();
    Settle(std::chrono::milliseconds(1000));  // the pattern's first frames reach the screen
    Screenshot("live-picture");
    // The same button's menu brings the layer's own picture back.
    Click(Find({"push button", "Show live source"}));
    EXPECT_TRUE(ChooseMenuItem("Show layer picture")) << DumpWindows();
}

// The Shots page: the sample's three shots, one played.
TEST_F(GuideRoad, ShotsAndTheirTransitions)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(OpenRecentSet());
    ASSERT_TRUE(ShowPage("Shots")) << DumpWindows();
    for (const char* shot : {"Wide", "Desk", "Screen"})
        EXPECT_TRUE(Find({"list item", shot})) << shot << DumpWindows();
    Click(Find({"list item", "Desk"}));
    EXPECT_TRUE(Find({"push button", "Play"})) << DumpWindows();
    Settle(std::chrono::milliseconds(1500));  // the transition to the shot runs its course
    Screenshot("shots");
}
