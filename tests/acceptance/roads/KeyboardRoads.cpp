// The editor worked from the keyboard: a library row opens with Return, the
// pages change with Ctrl+Tab and Ctrl+Shift+Tab, and F10 opens the frame
// menu whose items the arrow keys and Return reach.
#include "EditorRoad.h"
#include "Waiting.h"

using namespace acceptance;

class KeyboardRoad : public EditorRoad {};

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
