// The recovery journal in the real editor on the real engine: edits reach
// the journal and a save or an undo back to the saved set takes it away; an
// end asked by the system keeps it, and the next editor offers it: Restore
// brings the edits back as one step over the saved set, Discard deletes,
// Later keeps; a damaged journal is refused with its message and set aside.
#include "../model_set/SetTestData.h"
#include "../ui_editor/EditorTestSupport.h"
#include "app/UserFolders.h"
#include "formats/VmixFormat.h"
#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "model/RecoveryJournal.h"
#include "model/RecoveryWriter.h"
#include "model/SetContent.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "ui/DlgExist.h"
#include "ui/EditHistory.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"

#include <csignal>
#include <filesystem>

using namespace settest;

namespace {

class EditorRecoveryTest : public EditorWindowTest {
protected:
    void OpenSet()
    {
        m_setFolder = platform::Utf8ToWide(dir().file("Set"));
        MakeNativeSet(dir().path(), "Set", {{"Red", Qt::red, 64, 36}, {"Blue", Qt::blue, 64, 36}}, {});
        OpenEditor();
        ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
        m_saved = SetContent::Capture(*scene());
        m_savedNames = SceneLayerNames(platform::JoinPath(m_setFolder, L"scene.tvn"));
    }
    CMultiViewSource* scene() { return editor()->GetScene(); }
    void Edit(const std::wstring& name)
    {
        ASSERT_TRUE(scene()->RenameLayer(0, name));
        ASSERT_TRUE(scene()->MoveLayerDown(0));
        ASSERT_TRUE(editor()->GetHistory()->Record());
    }
    std::wstring Description() const { return platform::JoinPath(editor()->GetJournalFolder(), L"journal.xml"); }
    // Ends the editor as SIGTERM does, keeping its journal.
    void EndBySystem()
    {
        editor()->EndBySignal(SIGTERM);
        Pump(50);
        EXPECT_FALSE(editor()->isVisible());
        CloseEditor();
    }
    // An editor killed after an edit: the journal is all that is left.
    SetContent EditAndEnd(const std::wstring& name)
    {
        OpenSet();
        Edit(name);
        const SetContent edited = SetContent::Capture(*scene());
        EndBySystem();
        return edited;
    }

    std::wstring m_setFolder;
    SetContent m_saved;
    std::vector<std::string> m_savedNames;
};

TEST_F(EditorRecoveryTest, EditsReachTheJournalAndSavingTakesItAway)
{
    OpenSet();
    EXPECT_FALSE(platform::PathExists(editor()->GetJournalFolder()));
    Edit(L"Moved");
    ASSERT_TRUE(WaitUntil([&] { return platform::FileExists(Description()); }));
    JournalHeader header;
    std::wstring why;
    ASSERT_TRUE(ReadJournalHeader(editor()->GetJournalFolder(), header, why));
    EXPECT_EQ(header.owner.setFolder, m_setFolder);
    EXPECT_EQ(header.owner.format, JournalSetFormat::Native);
    EXPECT_EQ(header.owner.processId, static_cast<uint32_t>(getpid()));

    // Undone back to the saved set: nothing is left to recover.
    editor()->Undo();
    EXPECT_FALSE(platform::PathExists(editor()->GetJournalFolder()));
    editor()->Redo();
    editor()->GetRecoveryWriter()->Flush();
    EXPECT_TRUE(platform::FileExists(Description()));

    m_answers = {IDOK};
    SetExistingTargetHandler([](const std::wstring&, std::wstring&) { return true; });  // write over
    editor()->RunCommand(ID_SAVE);
    EXPECT_FALSE(platform::PathExists(editor()->GetJournalFolder()));
    EXPECT_TRUE(ListRecoveryJournals().empty());
}

TEST_F(EditorRecoveryTest, CleanCloseTakesTheJournalAway)
{
    OpenSet();
    Edit(L"Moved");
    editor()->GetRecoveryWriter()->Flush();
    ASSERT_EQ(ListRecoveryJournals().size(), 1u);
    CloseEditor();  // the user closed it and chose not to save
    EXPECT_TRUE(ListRecoveryJournals().empty());
}

TEST_F(EditorRecoveryTest, RestoreBringsTheEditsBackAsOneStep)
{
    const SetContent edited = EditAndEnd(L"Kept");
    ASSERT_EQ(ListRecoveryJournals().size(), 1u);
    // The set as saved is untouched by the journal.
    EXPECT_EQ(SceneLayerNames(platform::JoinPath(m_setFolder, L"scene.tvn")), m_savedNames);

    OpenEditor();
    m_answers = {IDYES};
    editor()->OfferRecoveryJournals();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(m_setFolder), std::wstring::npos);
    ASSERT_NE(scene(), nullptr);
    EXPECT_TRUE(SetContent::Capture(*scene()) == edited);
    EXPECT_TRUE(editor()->HasUnsavedChanges());
    // The old journal went once the open set's own held the edits.
    const auto journals = ListRecoveryJournals();
    ASSERT_EQ(journals.size(), 1u);
    EXPECT_EQ(journals[0], editor()->GetJournalFolder());
    // Ctrl+Z shows the set as it was saved.
    editor()->Undo();
    EXPECT_TRUE(SetContent::Capture(*scene()) == m_saved);
    EXPECT_EQ(SceneLayerNames(platform::JoinPath(m_setFolder, L"scene.tvn")), m_savedNames);
}

TEST_F(EditorRecoveryTest, LaterKeepsDiscardDeletesAndOpeningOffersAgain)
{
    EditAndEnd(L"Kept");
    OpenEditor();
    m_answers = {IDCANCEL};
    editor()->OfferRecoveryJournals();
    EXPECT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(scene(), nullptr);
    ASSERT_EQ(ListRecoveryJournals().size(), 1u);
    const std::wstring kept = ListRecoveryJournals()[0];

    // Opening the set from the library offers its journal again; the edits
    // of this editor never go over the kept journal.
    m_answers = {IDCANCEL};
    ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
    EXPECT_EQ(m_messages.size(), 2u);
    EXPECT_NE(editor()->GetJournalFolder(), kept);
    Edit(L"Other");
    editor()->GetRecoveryWriter()->Flush();
    EXPECT_EQ(ListRecoveryJournals().size(), 2u);
    CloseEditor();

    OpenEditor();
    m_answers = {IDNO};
    editor()->OfferRecoveryJournals();
    EXPECT_TRUE(ListRecoveryJournals().empty());
}

TEST_F(EditorRecoveryTest, SetWhoseFolderIsGoneComesBackUnnamed)
{
    const SetContent edited = EditAndEnd(L"Orphan");
    std::filesystem::remove_all(platform::NativePath(m_setFolder));
    OpenEditor();
    m_answers = {IDYES};
    editor()->OfferRecoveryJournals();
    ASSERT_NE(scene(), nullptr);
    EXPECT_TRUE(editor()->windowTitle().contains(QString::fromStdWString(GetUnnamedSetFolder())));
    EXPECT_EQ(scene()->GetLayers().size(), 2u);
    EXPECT_EQ(GetRecordName(scene()->GetLayers()[1].name), L"Orphan");
    // Its pictures live in the editor's own folders, not in the gone set's.
    for (const LayerInfo& layer : scene()->GetLayers())
        EXPECT_TRUE(platform::FileExists(platform::AnsiToWide(LayerImagePath(layer))));
    EXPECT_TRUE(editor()->HasUnsavedChanges());
}

TEST_F(EditorRecoveryTest, DamagedJournalIsRefusedWithItsMessage)
{
    const std::wstring journal = platform::JoinPath(GetRecoveryFolder(), L"0123456789abcdef");
    std::filesystem::create_directories(platform::NativePath(journal));
    ASSERT_TRUE(platform::WriteFileAtomically(platform::JoinPath(journal, L"journal.xml"), "<RecoveryJournal Version=\"1\""));
    OpenEditor();
    editor()->OfferRecoveryJournals();
    ASSERT_EQ(m_messages.size(), 1u);
    const std::wstring expected = Lang::LoadLangString(1041);
    EXPECT_EQ(m_messages[0].substr(0, 20), expected.substr(0, 20));
    EXPECT_FALSE(platform::PathExists(journal));
    const auto damaged = platform::ListFolder(platform::JoinPath(GetRecoveryFolder(), L"Damaged"));
    ASSERT_EQ(damaged.size(), 1u);
    EXPECT_NE(m_messages[0].find(damaged[0]), std::wstring::npos);
    EXPECT_TRUE(ListRecoveryJournals().empty());
}

}  // namespace
