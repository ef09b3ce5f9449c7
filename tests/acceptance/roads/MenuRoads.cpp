// The pop-up menus built from the program's menu resources (the title-bar
// menu, Save and Open) show their commands and reach them.
#include "EditorRoad.h"
#include "Waiting.h"

using namespace acceptance;

namespace {

// The names of the items of the shown pop-up menu that holds `first`.
std::vector<std::string> MenuItemsWith(const Accessible& first)
{
    std::vector<std::string> names;
    for (const Accessible& item : FindAll(first.Parent(), {"menu item", ""}))
        names.push_back(item.Name());
    return names;
}

}  // namespace

class MenuRoad : public EditorRoad {};

TEST_F(MenuRoad, SaveAndOpenMenusShowEveryCommand)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(OpenRecentSet());

    Click(Find({"push button", "Save"}));
    const Accessible save = Find({"menu item", "Save"});
    ASSERT_TRUE(save) << DumpWindows();
    EXPECT_EQ(MenuItemsWith(save),
              (std::vector<std::string>{"Save", "Save as vMix Virtual Set", "Save as Tolvenar Virtual Studio",
                                        "Save to the vMix Virtual Set Folder",
                                        "Save to the Tolvenar Virtual Studio Folder"}));
    // Neither program is installed: the two folder commands are off.
    EXPECT_FALSE(Find({"menu item", "Save to the vMix Virtual Set Folder"}).Enabled());
    Screenshot("save-menu");
    Key("Escape");
    ASSERT_TRUE(WaitGone(save));

    Key("ctrl+o");
    const Accessible open = Find({"menu item", "Open vMix Virtual Set"});
    ASSERT_TRUE(open) << DumpWindows();
    EXPECT_EQ(MenuItemsWith(open), (std::vector<std::string>{"Open vMix Virtual Set", "Open Tolvenar Virtual Studio",
                                                                    "Open a Photoshop file as a new set"}));
    Screenshot("open-menu");
    Key("Escape");
    ASSERT_TRUE(WaitGone(open));

    Key("ctrl+shift+s");
    EXPECT_TRUE(Find({"menu item", "Save as vMix Virtual Set"})) << "Ctrl+Shift+S opens the Save menu";
    Key("Escape");
}

TEST_F(MenuRoad, FrameMenuReachesAboutWhichCloses)
{
    ASSERT_TRUE(StartEditor());
    OpenFrameMenu();
    const Accessible about = Find({"menu item", "About"});
    ASSERT_TRUE(about) << DumpWindows();
    EXPECT_EQ(MenuItemsWith(about),
              (std::vector<std::string>{"Software Home Page", "Check for Updates", "Recent Updates", "View",
                                        "Video Format", "Language", "Keyboard shortcuts", "About"}));
    Screenshot("frame-menu");
    ChooseMenuItem("About");
    const Accessible box = FindWindow({"dialog", "About Zantrel"});
    ASSERT_TRUE(box) << DumpWindows();
    EXPECT_TRUE(FindIn(box, {"label", "Zantrel  Version", true})) << DumpTree(box);
    Screenshot("about");
    Click(FindIn(box, {"push button", "OK"}));
    EXPECT_TRUE(WaitGone(box));

    // Its close button ends it too.
    ASSERT_TRUE(WaitUntil([&] { return MainWindow().Active(); }, 10s));
    OpenFrameMenu();
    ASSERT_TRUE(ChooseMenuItem("About")) << DumpWindows();
    const Accessible again = FindWindow({"dialog", "About Zantrel"});
    ASSERT_TRUE(again);
    Input().Click(TitleButtonCenter(again, TitleButton::Close));
    EXPECT_TRUE(WaitGone(again));
    EXPECT_TRUE(MainWindow());
}

// "Keyboard shortcuts" in the frame menu lists the keys (the zoom keys among
// them) and closes with its OK button.
TEST_F(MenuRoad, FrameMenuListsTheKeyboardShortcuts)
{
    ASSERT_TRUE(StartEditor());
    OpenFrameMenu();
    ASSERT_TRUE(ChooseMenuItem("Keyboard shortcuts")) << DumpWindows();
    const Accessible box = FindWindow({"dialog", "Keyboard shortcuts"});
    ASSERT_TRUE(box) << DumpWindows();
    EXPECT_TRUE(FindIn(box, {"table cell", "Zoom the preview about the pointer"}));
    EXPECT_TRUE(FindIn(box, {"table cell", "Ctrl+0"}));
    EXPECT_TRUE(FindIn(box, {"table cell", "Rotate in steps of 15°"}));
    Screenshot("shortcuts");
    Click(FindIn(box, {"push button", "OK"}));
    EXPECT_TRUE(WaitGone(box)) << "OK closes the list";
}
