// The editor worked from the keyboard: a library row opens with Return, the
// pages change with Ctrl+Tab and Ctrl+Shift+Tab, F10 opens the frame menu
// whose items the arrow keys and Return reach, and a whole piece of work is
// done without the mouse.
#include "EditorRoad.h"
#include "RoadPictures.h"
#include "Waiting.h"

#include <QJsonArray>
#include <QJsonObject>
#include <functional>

using namespace acceptance;

class KeyboardRoad : public EditorRoad {
protected:
    // Tab until `reached` holds; false when `most` presses do not get there.
    bool TabUntil(const std::function<bool()>& reached, int most = 60)
    {
        for (int n = 0; n < most; ++n) {
            if (WaitUntil(reached, 300ms))
                return true;
            Key("Tab");
        }
        return WaitUntil(reached, 1s);
    }
};

TEST_F(KeyboardRoad, ReturnOpensTheRowCtrlTabTurnsThePagesF10OpensTheMenu)
{
    ASSERT_TRUE(StartEditor());
    const Accessible sample = Find({"list item", "Sample Studio"});
    ASSERT_TRUE(sample) << DumpWindows();
    Click(sample);  // one click only marks the row
    Key("Return");
    ASSERT_TRUE(WaitUntil([&] { return MainTitle().find("Sample Studio") != std::string::npos; }, 30s))
        << MainTitle();

    const auto selected = [&](const char* page) {
        // The pages' tab list is named by its current page.
        return WaitUntil([&] { return static_cast<bool>(Find({"page tab list", page}, 1s)); }, 5s);
    };
    ASSERT_TRUE(selected("General"));
    Key("ctrl+Tab");
    EXPECT_TRUE(selected("Layers"));
    Key("ctrl+Tab");
    EXPECT_TRUE(selected("Shots"));
    Key("ctrl+Tab");
    EXPECT_TRUE(selected("General")) << "the last page wraps round to the first";
    Key("ctrl+shift+Tab");
    EXPECT_TRUE(selected("Shots"));
    Screenshot("keyboard-pages");

    Key("F10");
    ASSERT_TRUE(Find({"menu item", "About"})) << DumpWindows();
    Screenshot("keyboard-frame-menu");
    Key("Up");
    Key("Return");
    const Accessible box = FindWindow({"dialog", "About Zantrel"});
    ASSERT_TRUE(box) << DumpWindows();
    Key("Return");
    EXPECT_TRUE(WaitGone(box));
}


// A whole piece of work without the mouse: the sample opened from the
// library, a picture typed into the chooser added as a layer, the layer
// nudged on the preview, the set saved, and the About box opened from the
// frame menu and closed.
TEST_F(KeyboardRoad, OpenAddNudgeSaveAndAboutWithTheKeyboardAlone)
{
    const std::string picture = WritePicture(WorkFolder() + "/Logo Card.png");
    ASSERT_TRUE(StartEditor());
    const Accessible sample = Find({"list item", "Sample Studio"});
    ASSERT_TRUE(sample) << DumpWindows();
    const Accessible library = sample.Parent();
    ASSERT_TRUE(TabUntil([&] { return library.Focused() || sample.Focused(); })) << DumpWindows();
    Key("Home");
    Key("Return");
    ASSERT_TRUE(WaitUntil([&] { return MainTitle().find("Sample Studio") != std::string::npos; }, 30s))
        << MainTitle();

    Key("ctrl+Tab");
    ASSERT_TRUE(Find({"page tab list", "Layers"})) << DumpWindows();
    const Accessible add = Find({"push button", "Add"});
    ASSERT_TRUE(add);
    ASSERT_TRUE(TabUntil([&] { return add.Focused(); })) << DumpWindows();
    Screenshot("keyboard-add-focused");
    Key("space");
    ASSERT_TRUE(AnswerChooser(picture)) << DumpWindows();
    const Accessible row = Find({"table cell", "Logo Card"});
    ASSERT_TRUE(row) << DumpWindows();
    ASSERT_TRUE(WaitUntil([&] { return row.Selected(); }, 5s)) << "the added layer is selected";

    const Accessible x = Find({"text", "X"});
    ASSERT_TRUE(x);
    const std::string before = x.Text();
    const Accessible preview = Find({"", "Preview"});
    ASSERT_TRUE(preview);
    ASSERT_TRUE(TabUntil([&] { return preview.Focused(); })) << DumpWindows();
    Screenshot("keyboard-preview-focused");
    for (int n = 0; n < 10; ++n)
        Key("Right");
    ASSERT_TRUE(WaitUntil([&] { return x.Text() != before; }, 5s)) << "the X row still shows " << x.Text();

    Key("ctrl+s");
    const Accessible saved = Find({"label", "Save Success"}, 20s);
    ASSERT_TRUE(saved) << DumpWindows();
    Key("Return");
    ASSERT_TRUE(WaitGone(saved));
    bool added = false;
    for (const QJsonValue layer : SetInfo(SetsFolder() + "/Sample Studio")["layers"].toArray())
        added = added || layer.toObject()["name"].toString() == "Logo Card";
    EXPECT_TRUE(added) << "the saved set holds the added layer";

    Key("F10");
    ASSERT_TRUE(Find({"menu item", "About"})) << DumpWindows();
    Key("Up");
    Key("Return");
    const Accessible box = FindWindow({"dialog", "About Zantrel"});
    ASSERT_TRUE(box) << DumpWindows();
    Key("Return");
    EXPECT_TRUE(WaitGone(box));
}
