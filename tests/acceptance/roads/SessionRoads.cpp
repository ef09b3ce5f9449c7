// Ending and restarting a session: closing the window with unsaved changes
// (each answer of the question), and switching the interface's language
// there and back through the frame menu.
#include "EditorRoad.h"
#include "Waiting.h"

#include <QJsonArray>
#include <filesystem>

using namespace acceptance;

namespace {

double FirstLayerX(const QJsonObject& info) { return info["layers"].toArray()[0].toObject()["x"].toDouble(-99.0); }

}  // namespace

class CloseRoad : public EditorRoad {
protected:
    std::string SampleFolder() const { return SetsFolder() + "/Sample Studio"; }

    // Opens the sample and types a new X for its first layer: an unsaved edit.
    void EditFirstLayer()
    {
        ASSERT_TRUE(OpenRecentSet());
        ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
        Click(Find({"table cell", "Foreground"}));
        const Accessible x = Find({"text", "X"});
        ASSERT_TRUE(x) << DumpWindows();
        TypeInto(x, "0.7");
        Key("Return");
        ASSERT_TRUE(WaitUntil([&] { return x.Text() == "0.700"; }, 5s)) << "the row shows " << x.Text();
    }

    // Closes the main window by its title bar and waits for the question.
    Accessible CloseAndAsk()
    {
        Input().Click(TitleButtonCenter(MainWindow(), TitleButton::Close));
        return FindMessageBox("The set has unsaved changes.");
    }
};

// Cancel keeps the editor and the edit; Save then saves and closes.
TEST_F(CloseRoad, CancelKeepsTheEditThenSaveSavesAndCloses)
{
    ASSERT_TRUE(StartEditor());
    EditFirstLayer();
    const auto before = std::filesystem::last_write_time(SampleFolder() + "/scene.tvn");

    Accessible question = CloseAndAsk();
    ASSERT_TRUE(question) << DumpWindows();
    Screenshot("question");
    Click(FindIn(question, {"push button", "Cancel"}));
    ASSERT_TRUE(WaitGone(question));
    EXPECT_TRUE(Editor().Running());
    EXPECT_TRUE(MainWindow());
    EXPECT_EQ(Find({"text", "X"}).Text(), "0.700") << "the edit is kept";
    EXPECT_EQ(std::filesystem::last_write_time(SampleFolder() + "/scene.tvn"), before) << "Cancel wrote nothing";

    question = CloseAndAsk();
    ASSERT_TRUE(question) << DumpWindows();
    Click(FindIn(question, {"push button", "Save"}));
    // The save's own message comes first when the program shows one.
    WaitUntil(
        [&] {
            if (!Editor().Running())
                return true;
            if (const Accessible done = Find({"label", "Save Success"}, 0ms)) {
                Screenshot("saved");
                Key("Return");
                WaitGone(done);
            }
            return false;
        },
        20s);
    EXPECT_EQ(WaitForEditorExit(), 0) << EditorLog();
    EXPECT_NEAR(FirstLayerX(SetInfo(SampleFolder())), 0.7, 1e-6);
    EXPECT_EQ(LeakCount(), 0);
}

// Don't Save closes at once and leaves the set as it was.
TEST_F(CloseRoad, DontSaveClosesWithoutWriting)
{
    ASSERT_TRUE(StartEditor());
    EditFirstLayer();
    const auto before = std::filesystem::last_write_time(SampleFolder() + "/scene.tvn");
    const Accessible question = CloseAndAsk();
    ASSERT_TRUE(question) << DumpWindows();
    Click(FindIn(question, {"push button", "Don't Save"}));
    EXPECT_EQ(WaitForEditorExit(), 0) << EditorLog();
    EXPECT_EQ(std::filesystem::last_write_time(SampleFolder() + "/scene.tvn"), before);
    EXPECT_NEAR(FirstLayerX(SetInfo(SampleFolder())), 0.0, 1e-6);
    EXPECT_EQ(LeakCount(), 0);
}

class LanguageRoad : public EditorRoad {
protected:
    // Frame menu → Language → `language`; the restart question that follows
    // (its text holds `questionPart`).
    Accessible ChooseLanguage(const std::string& submenu, const std::string& language,
                              const std::string& questionPart)
    {
        OpenFrameMenu();
        const Accessible item = Find({"menu item", submenu});
        if (!item)
            return {};
        Input().MoveTo(item.Center());
        Click(item);
        if (!ChooseMenuItem(language))
            return {};
        return FindMessageBox(questionPart);
    }
};

// English → No keeps English; Yes restarts in Chinese, where the question
// speaks Chinese, and the user comes back to English the same way.
TEST_F(LanguageRoad, SwitchThereAndBackThroughTheFrameMenu)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(Find({"push button", "Save"}));

    Accessible question = ChooseLanguage("Language", "简体中文", "needs a restart");
    ASSERT_TRUE(question) << DumpWindows();
    EXPECT_TRUE(FindIn(question, {"push button", "Yes"})) << DumpTree(question);
    Screenshot("question-english");
    Click(FindIn(question, {"push button", "No"}));
    ASSERT_TRUE(WaitGone(question));
    EXPECT_TRUE(Editor().Running());
    EXPECT_TRUE(Find({"push button", "Save"})) << "No keeps the language";
    OpenFrameMenu();
    Click(Find({"menu item", "Language"}));
    const Accessible english = Find({"menu item", "English"});
    ASSERT_TRUE(english) << DumpWindows();
    EXPECT_TRUE(english.Checked());
    Key("Escape");
    Key("Escape");
    ASSERT_TRUE(WaitGone(english));

    question = ChooseLanguage("Language", "简体中文", "needs a restart");
    ASSERT_TRUE(question) << DumpWindows();
    Click(FindIn(question, {"push button", "Yes"}));
    ASSERT_TRUE(AdoptRestartedEditor(40s)) << DumpWindows();
    EXPECT_TRUE(Find({"push button", "保存"})) << DumpWindows();
    EXPECT_EQ(Editor().WaitForExit(10s), 0) << "the first editor ended cleanly";
    Screenshot("chinese");

    // And back, in the chosen language's words.
    question = ChooseLanguage("语言", "English", "重新启动");
    ASSERT_TRUE(question) << DumpWindows();
    EXPECT_TRUE(FindIn(question, {"push button", "否"})) << DumpTree(question);
    Screenshot("question-chinese");
    Click(FindIn(question, {"push button", "是"}));
    ASSERT_TRUE(AdoptRestartedEditor(40s)) << DumpWindows();
    EXPECT_TRUE(Find({"push button", "Save"})) << DumpWindows();
    Screenshot("english-again");
}
