// A new user's first start, and the window at the sizes a user gives it.
#include "EditorRoad.h"
#include "Waiting.h"

#include <filesystem>

using namespace acceptance;

class StartRoad : public EditorRoad {};

// A fresh account has no ~/.local/share: the editor makes its folders and
// shows the sample studio on the Recent page at once; a double click opens it.
TEST_F(StartRoad, FirstStartShowsTheSampleStudioWhichOpensByDoubleClick)
{
    ASSERT_FALSE(std::filesystem::exists(Home() + "/.local"));
    ASSERT_TRUE(StartEditor());
    const Accessible sample = Find({"list item", "Sample Studio"});
    ASSERT_TRUE(sample) << DumpWindows();
    for (const char* folder : {"", "/VirtualSets", "/VirtualSets/unnamed", "/Update"})
        EXPECT_TRUE(std::filesystem::is_directory(DataFolder() + folder)) << folder;
    EXPECT_TRUE(std::filesystem::exists(SetsFolder() + "/Sample Studio/scene.tvn"));
    EXPECT_FALSE(Find({"push button", "Save"}).Enabled());
    Screenshot("first-start");

    ASSERT_TRUE(OpenRecentSet());
    EXPECT_EQ(MainTitle(), "Zantrel  - " + SetsFolder() + "/Sample Studio");
    EXPECT_TRUE(WaitUntil([&] { return Find({"push button", "Save"}).Enabled(); }, 5s));
    const Accessible name = Find({"text", "Name"});
    ASSERT_TRUE(name);
    EXPECT_EQ(name.Text(), "Sample Studio");
    Screenshot("sample-open");
}

namespace {

bool Overlap(const QRect& a, const QRect& b) { return a.intersects(b); }

}  // namespace

// Restored to its first size (1280 x 800) and dragged down to its least:
// the pages scroll instead of cutting rows off, and nothing lies over
// anything else.
TEST_F(StartRoad, SmallWindowsScrollThePagesAndNothingOverlaps)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(OpenRecentSet());
    ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
    const Accessible window = MainWindow();
    Input().Click(TitleButtonCenter(window, TitleButton::Maximize));  // restore
    ASSERT_TRUE(WaitUntil([&] { return MainWindow().Extents().width() < 1900; }, 10s));
    const QRect restored = MainWindow().Extents();
    EXPECT_EQ(restored.size(), QSize(1280, 800));

    auto checkLayout = [&](const std::string& size) {
        const QRect pages = Find({"page tab list", "Layers"}).Extents();
        const QRect library = Find({"page tab list", "Recent"}).Extents();
        const QRect layers = Find({"push button", "Add"}).Extents();
        for (const char* button : {"New", "Open", "Save", "Stretch to full screen", "Screenshot"}) {
            const QRect place = Find({"push button", button}).Extents();
            EXPECT_FALSE(place.isEmpty()) << button << " at " << size;
            EXPECT_FALSE(Overlap(place, QRect(pages.left(), 0, 4000, 4000))) << button << " under the pages at " << size;
            EXPECT_FALSE(Overlap(place, QRect(0, 0, library.right() + 1, 4000))) << button << " over the library at " << size;
        }
        EXPECT_FALSE(layers.isEmpty()) << "the Layers page at " << size;
        // The page's rows go on below the window's edge: a scroll bar reaches them.
        EXPECT_TRUE(Find({"scroll bar", ""}, 3s)) << "no scroll bar on the Layers page at " << size;
    };
    checkLayout("1280x800");
    Screenshot("1280x800");

    // The frame's bottom-right corner, dragged far up and left.
    Drag(restored.bottomRight() - QPoint(1, 1), restored.topLeft() + QPoint(200, 200));
    ASSERT_TRUE(WaitUntil([&] { return MainWindow().Extents().width() < 1200; }, 10s));
    const QRect least = MainWindow().Extents();
    EXPECT_GE(least.width(), 900);
    EXPECT_GE(least.height(), 600);
    checkLayout("the least size");
    Screenshot("least-size");
}
