// Edits that outlive the editor: a kill -9 after an edit, then Restore at the
// next start gives back the same set a save before the kill would have
// written; the system's SIGTERM ends the editor cleanly with its journal; a
// save takes the journal away; a damaged journal is refused with its message.
#include "EditorRoad.h"
#include "Waiting.h"

#include <QJsonDocument>
#include <filesystem>
#include <fstream>

#include <csignal>

using namespace acceptance;
namespace fs = std::filesystem;

namespace {

// What a save's records say, as text, without the set's name and the time
// of the save.
std::string Records(QJsonObject info)
{
    for (const char* key : {"name", "saveTime"})
        info.remove(key);
    return QJsonDocument(info).toJson(QJsonDocument::Compact).toStdString();
}

}  // namespace

class RecoveryRoad : public EditorRoad {
protected:
    std::string RecoveryFolder() const { return DataFolder() + "/Recovery"; }

    // The journals now under the recovery folder (their description files).
    std::vector<std::string> Journals() const
    {
        std::vector<std::string> found;
        std::error_code ec;
        for (const fs::directory_entry& entry : fs::directory_iterator(RecoveryFolder(), ec)) {
            if (entry.path().filename() != "Damaged" && fs::exists(entry.path() / "journal.xml"))
                found.push_back(entry.path().string());
        }
        return found;
    }

    // Selects the first layer on the Layers page and types a new X and a
    // new name into its row.
    void EditFirstLayer()
    {
        ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
        Click(Find({"table cell", "Foreground"}));
        const Accessible x = Find({"text", "X"});
        ASSERT_TRUE(x) << DumpWindows();
        TypeInto(x, "0.7");
        Key("Return");
        ASSERT_TRUE(WaitUntil([&] { return x.Text() == "0.700"; }, 5s)) << "the row shows " << x.Text();
    }
};

TEST_F(RecoveryRoad, KilledEditorsEditsComeBackWithRestore)
{
    // What a save before the kill writes: the same edit on a copy, saved.
    const std::string reference = CopySet(WorkFolder(), "Reference");
    ASSERT_TRUE(StartEditor({reference}));
    EditFirstLayer();
    ASSERT_TRUE(WaitUntil([&] { return Journals().size() == 1; }, 10s)) << "no journal after an edit";
    ASSERT_TRUE(SaveInPlace()) << DumpWindows();
    EXPECT_TRUE(WaitUntil([&] { return Journals().empty(); }, 5s)) << "a save leaves its journal";
    Editor().Stop();
    const std::string expected = Records(SetInfo(reference));

    const std::string set = CopySet(WorkFolder(), "Studio");
    const std::string before = Records(SetInfo(set));
    ASSERT_TRUE(StartEditor({set}));
    EditFirstLayer();
    ASSERT_TRUE(WaitUntil([&] { return Journals().size() == 1; }, 10s)) << "no journal after an edit";
    ::kill(EditorPid(), SIGKILL);
    ASSERT_TRUE(WaitForEditorExit(10s));
    // The saved set is as it was: the journal holds the edit alone.
    EXPECT_EQ(Records(SetInfo(set)), before);
    for (const std::string& journal : Journals())
        EXPECT_EQ(fs::status(journal).permissions() & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);

    ASSERT_TRUE(StartEditor());
    const Accessible restore = Find({"push button", "Restore"}, 20s);
    ASSERT_TRUE(restore) << DumpWindows();
    EXPECT_TRUE(Find({"push button", "Discard"}));
    EXPECT_TRUE(Find({"push button", "Later"}));
    Screenshot("offer");
    Click(restore);
    ASSERT_TRUE(WaitUntil([&] { return MainTitle() == "Zantrel  - " + set; }, 30s)) << MainTitle();
    ASSERT_TRUE(SaveInPlace()) << DumpWindows();
    EXPECT_EQ(Records(SetInfo(set)), expected);
    EXPECT_NE(Records(SetInfo(set)), before);
    EXPECT_TRUE(WaitUntil([&] { return Journals().empty(); }, 5s)) << "a save leaves its journal";
}

// The set named on the command line is the one whose edits come back: after
// Restore it stays open with them, with no question to save or drop them
// before opening it again.
TEST_F(RecoveryRoad, EditsRestoredAtAStartNamingTheSetStayWithoutAQuestion)
{
    const std::string set = CopySet(WorkFolder(), "Studio");
    ASSERT_TRUE(StartEditor({set}));
    EditFirstLayer();
    ASSERT_TRUE(WaitUntil([&] { return Journals().size() == 1; }, 10s)) << "no journal after an edit";
    ::kill(EditorPid(), SIGKILL);
    ASSERT_TRUE(WaitForEditorExit(10s));

    ASSERT_TRUE(StartEditor({set}));
    const Accessible restore = Find({"push button", "Restore"}, 20s);
    ASSERT_TRUE(restore) << DumpWindows();
    Click(restore);
    ASSERT_TRUE(WaitUntil([&] { return MainTitle() == "Zantrel  - " + set; }, 30s)) << MainTitle();
    const Accessible question = FindMessageBox("unsaved changes", 3s);
    Screenshot("restored");
    EXPECT_FALSE(question) << DumpWindows();
    if (question)
        Key("Escape");  // Cancel keeps the edits
    ASSERT_TRUE(SaveInPlace()) << DumpWindows();
    const QJsonObject first = SetInfo(set)["layers"].toArray()[0].toObject();
    EXPECT_EQ(first["name"].toString(), "Foreground");
    EXPECT_NEAR(first["x"].toDouble(-99.0), 0.7, 1e-4) << "the restored edit was saved";
}

TEST_F(RecoveryRoad, TerminateDuringEditsEndsCleanlyWithTheJournal)
{
    const std::string set = CopySet(WorkFolder(), "Studio");
    const std::string before = Records(SetInfo(set));
    ASSERT_TRUE(StartEditor({set}));
    EditFirstLayer();
    ::kill(EditorPid(), SIGTERM);
    const std::optional<int> exit = WaitForEditorExit(30s);
    ASSERT_TRUE(exit) << "the editor did not end on SIGTERM";
    EXPECT_EQ(*exit, 0);
    EXPECT_EQ(LeakCount(), 0) << EditorLog();
    EXPECT_EQ(Journals().size(), 1u);
    EXPECT_EQ(Records(SetInfo(set)), before) << "SIGTERM must not save over the set";
}

TEST_F(RecoveryRoad, DamagedJournalIsRefusedWithItsMessage)
{
    const std::string journal = RecoveryFolder() + "/00112233445566ff";
    fs::create_directories(journal);
    std::ofstream(journal + "/journal.xml") << "<RecoveryJournal Version=\"1\" SetFolder=";
    ASSERT_TRUE(StartEditor());
    const Accessible message = Find({"label", "recovery journal is damaged", true}, 20s);
    ASSERT_TRUE(message) << DumpWindows();
    Screenshot("damaged");
    Key("Return");
    EXPECT_TRUE(WaitGone(message));
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_FALSE(fs::is_empty(RecoveryFolder() + "/Damaged"));
    // The editor goes on as usual.
    EXPECT_TRUE(Find({"list item", "Sample Studio"}));
}
