// New sets from the template chooser, a Photoshop file opened as a set, and
// a set given on the command line.
#include "EditorRoad.h"
#include "Waiting.h"
#include "formats_psd/PsdTestData.h"

#include <QJsonArray>
#include <filesystem>

using namespace acceptance;

class NewOpenRoad : public EditorRoad {};

// A click on a template picture closes the chooser and opens the new set;
// Escape and a click elsewhere close it without one.
TEST_F(NewOpenRoad, TemplateChooserClosesAndTheNewSetOpens)
{
    ASSERT_TRUE(StartEditor());
    Click(Find({"push button", "New"}));
    Accessible chooser = Find({"check box", "Template 2"});
    ASSERT_TRUE(chooser) << DumpWindows();
    Screenshot("chooser");
    PlaceOf(chooser);  // shown and still, as a user sees it before pressing a key
    Key("Escape");
    EXPECT_TRUE(WaitGone(chooser)) << "Escape closes the chooser";
    EXPECT_EQ(MainTitle(), "Zantrel");

    Key("ctrl+n");
    chooser = Find({"check box", "Template 2"});
    ASSERT_TRUE(chooser);
    PlaceOf(chooser);
    Input().Click(Find({"push button", "Save"}).Center() + QPoint(0, 400));  // elsewhere, on the preview
    EXPECT_TRUE(WaitGone(chooser)) << "a click elsewhere closes the chooser";

    Click(Find({"push button", "New"}));
    chooser = Find({"check box", "Template 2"});
    ASSERT_TRUE(chooser);
    Click(chooser);
    EXPECT_TRUE(WaitGone(chooser));
    const std::string unnamed = SetsFolder() + "/unnamed";
    ASSERT_TRUE(WaitUntil([&] { return MainTitle() == "Zantrel  - " + unnamed; }, 20s)) << MainTitle();
    EXPECT_EQ(SetInfo(unnamed)["format"].toString(), "vmix");
    Screenshot("new-set");
}

TEST_F(NewOpenRoad, OpenAPhotoshopFileAsANewSet)
{
    const std::string psd = WorkFolder() + "/Poster.psd";
    ASSERT_TRUE(psdtest::WriteLayeredPsd(psd, 320, 180,
                                         {{"Back", "navy", 320, 180, 0, 0}, {"Logo", "orange", 120, 60, 100, 60}},
                                         WorkFolder()));
    ASSERT_TRUE(StartEditor());
    Click(Find({"push button", "Open"}));
    ASSERT_TRUE(ChooseMenuItem("Open a Photoshop file as a new set"));
    ASSERT_TRUE(AnswerChooser(psd)) << DumpWindows();
    const std::string set = SetsFolder() + "/Poster";
    ASSERT_TRUE(WaitUntil([&] { return MainTitle() == "Zantrel  - " + set; }, 30s)) << MainTitle() << DumpWindows();
    const QJsonArray layers = SetInfo(set)["layers"].toArray();
    ASSERT_EQ(layers.size(), 2);
    EXPECT_EQ(layers[0].toObject()["name"].toString(), "Logo");
    Screenshot("psd-set");
}

// A set given on the command line opens and is on the Recent page at once.
TEST_F(NewOpenRoad, CommandLineSetJoinsRecentAtOnce)
{
    const std::string set = CopySet(WorkFolder(), "Studio B");
    ASSERT_TRUE(StartEditor({set}));
    ASSERT_TRUE(WaitUntil([&] { return MainTitle() == "Zantrel  - " + set; }, 30s)) << MainTitle();
    EXPECT_TRUE(Find({"list item", "Studio B"})) << DumpWindows();
    Screenshot("recent");
}
