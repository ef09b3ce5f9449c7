// Saving as a user saves: an edit typed into a row, then Save from the menu
// or Ctrl+S (in place, no question), Save as into a new folder, and a set
// renamed on the General page.
#include "EditorRoad.h"
#include "Waiting.h"

#include <QJsonArray>
#include <filesystem>

using namespace acceptance;

namespace {

// The first layer's x as kelvane-cli reads it from the saved set.
double FirstLayerX(const QJsonObject& info) { return info["layers"].toArray()[0].toObject()["x"].toDouble(-99.0); }

}  // namespace

class SaveRoad : public EditorRoad {
protected:
    // Opens the sample, selects its first layer on the Layers page and types
    // a new X into its row.
    void TypeFirstLayerX(const std::string& value)
    {
        ASSERT_TRUE(OpenRecentSet());
        ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
        Click(Find({"table cell", "Foreground"}));
        const Accessible x = Find({"text", "X"});
        ASSERT_TRUE(x) << DumpWindows();
        TypeInto(x, value);
        Key("Return");
        ASSERT_TRUE(WaitUntil([&] { return x.Text() == "0.700"; }, 5s)) << "the row shows " << x.Text();
    }

    // The message that ends a save; its OK closes it.
    bool SaveSucceeded()
    {
        const Accessible message = Find({"label", "Save Success"}, 20s);
        if (!message)
            return false;
        Screenshot("saved");
        return CloseMessageWithEnter(message);
    }

    std::string SampleFolder() const { return SetsFolder() + "/Sample Studio"; }
};

TEST_F(SaveRoad, SaveMenuWritesTheSetInPlaceWithoutAQuestion)
{
    ASSERT_TRUE(StartEditor());
    TypeFirstLayerX("0.7");
    Click(Find({"push button", "Save"}));
    ASSERT_TRUE(ChooseMenuItem("Save"));
    ASSERT_TRUE(SaveSucceeded()) << DumpWindows();
    EXPECT_FALSE(FindWindow({"dialog", "Save Options"}, 1s)) << "no existing-target question for the set's own folder";
    EXPECT_NEAR(FirstLayerX(SetInfo(SampleFolder())), 0.7, 1e-6);
    EXPECT_EQ(MainTitle(), "Zantrel  - " + SampleFolder());
    // Nothing else was made beside it.
    EXPECT_FALSE(std::filesystem::exists(SetsFolder() + "/Sample Studio 2"));
}

TEST_F(SaveRoad, CtrlSSavesFromTheRowBeingTyped)
{
    ASSERT_TRUE(StartEditor());
    TypeFirstLayerX("0.7");
    // Still in the row: the key takes what was typed.
    const Accessible x = Find({"text", "X"});
    TypeInto(x, "-0.25");
    Key("ctrl+s");
    ASSERT_TRUE(SaveSucceeded()) << DumpWindows();
    EXPECT_NEAR(FirstLayerX(SetInfo(SampleFolder())), -0.25, 1e-6);
}

// Save as vMix into a new folder: the set is written there, and the editor
// follows it (title, General page, next Save), with no unsaved changes left.
TEST_F(SaveRoad, SaveAsVmixIntoANewFolderAndTheEditorFollows)
{
    ASSERT_TRUE(StartEditor());
    TypeFirstLayerX("0.7");
    const std::string target = WorkFolder() + "/exports";
    std::filesystem::create_directories(target);
    Click(Find({"push button", "Save"}));
    ASSERT_TRUE(ChooseMenuItem("Save as vMix Virtual Set"));
    ASSERT_TRUE(AnswerChooser(target)) << DumpWindows();
    ASSERT_TRUE(SaveSucceeded()) << DumpWindows();
    const std::string saved = target + "/Sample Studio";
    const QJsonObject info = SetInfo(saved);
    EXPECT_EQ(info["format"].toString(), "vmix");
    EXPECT_NEAR(FirstLayerX(info), 0.7, 1e-6);
    EXPECT_TRUE(WaitUntil([&] { return MainTitle() == "Zantrel  - " + saved; }, 10s)) << MainTitle();
    ASSERT_TRUE(ShowPage("General")) << DumpWindows();
    EXPECT_EQ(Find({"text", "File"}).Text(), saved + "/config.xml");
    Screenshot("followed");

    // The next Save goes there too, in place.
    Key("ctrl+s");
    ASSERT_TRUE(SaveSucceeded());
    EXPECT_FALSE(std::filesystem::exists(target + "/Sample Studio 2"));
}

// A set renamed on the General page is saved under its new name, beside the
// old one, and the editor follows it; a name taken by another set is asked
// about with a free name offered.
TEST_F(SaveRoad, RenamedSetIsSavedUnderItsNewName)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(OpenRecentSet());
    CopySet(SetsFolder(), "Taken");
    TypeInto(Find({"text", "Name"}), "Taken");
    Key("ctrl+s");
    const Accessible question = FindWindow({"dialog", "Save Options"});
    ASSERT_TRUE(question) << DumpWindows();
    const Accessible rename = FindIn(question, {"radio button", "Rename"});
    EXPECT_TRUE(rename.Checked());
    EXPECT_EQ(FindIn(question, {"text", ""}).Text(), "Taken 2");
    Screenshot("existing-target");
    Click(FindIn(question, {"push button", "OK"}));
    ASSERT_TRUE(SaveSucceeded()) << DumpWindows();
    EXPECT_EQ(SetInfo(SetsFolder() + "/Taken 2")["format"].toString(), "native");
    EXPECT_TRUE(WaitUntil([&] { return MainTitle() == "Zantrel  - " + SetsFolder() + "/Taken 2"; }, 10s)) << MainTitle();
    // The set it was opened from is untouched.
    EXPECT_EQ(SetInfo(SampleFolder())["name"].toString(), "Sample Studio");
}
