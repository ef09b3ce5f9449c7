// Sets handed to the running editor (a second start, the command line) wait
// for a running save or dialog and then open as any open does; an engine that
// did not start and an open that fails after the format check say why.
#include "EditorTestSupport.h"

#include "../model_set/SetTestData.h"
#include "app/ProjectSettings.h"
#include "engine/ObsMain.h"
#include "lumora/ControlId.h"
#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "model/SetCache.h"
#include "model/SetSaving.h"
#include "platform/TextConv.h"
#include "ui/DlgExist.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"
#include "ui/ShellDialogs.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <filesystem>

using namespace settest;

namespace {

bool TitleNames(CDlgEditor* editor, const std::string& folder)
{
    return editor->windowTitle().contains(QString::fromStdString(folder));
}

}  // namespace

class EditorSessionTest : public EditorWindowTest {
protected:
    // Sets "First" and "Second" on disk, the first open with its layer renamed.
    CMultiViewSource* OpenFirstSetChanged(const wchar_t* layerName)
    {
        MakeNativeSet(dir().path(), "First", {TestLayer{"Red", Qt::red}}, {});
        MakeNativeSet(dir().path(), "Second", {TestLayer{"Blue", Qt::blue}}, {});
        OpenEditor();
        if (SendOpen(dir().file("First"), kSetKindNative) != 0 || !editor()->GetScene()->RenameLayer(0, layerName))
            return nullptr;
        return editor()->GetScene();
    }
};

TEST_F(EditorSessionTest, ASetHandedOverDuringASaveOpensAfterItAndTheSavedFileIsTheSetBeingSaved)
{
    CMultiViewSource* first = OpenFirstSetChanged(L"Saved name");
    ASSERT_NE(first, nullptr);
    // Saved as into a folder that already holds a set of the same name: the
    // existing-target question comes up inside the save.
    MakeNativeSet(dir().file("Elsewhere"), "First", {TestLayer{"Green", Qt::green}}, {});
    SetFolderChooser([&](QWidget*, const std::wstring&) { return dir().wfile("Elsewhere"); });

    bool asked = false;
    SetExistingTargetHandler([&](const std::wstring&, std::wstring&) {
        // A second start hands its set over while the question is up; the
        // event loop runs under the question as under the real dialog.
        asked = true;
        editor()->RequestOpen(dir().wfile("Second/scene.tvn"));
        Pump(300);
        EXPECT_EQ(editor()->GetScene(), first) << "the set being saved was replaced under the save";
        EXPECT_EQ(editor()->QueuedOpenCount(), 1u);
        return true;  // overwrite
    });
    editor()->RunCommand(ID_SAVE_AS_NATIVE);
    SetFolderChooser(nullptr);
    ASSERT_TRUE(asked);
    EXPECT_EQ(SceneLayerNames(dir().wfile("Elsewhere/First/scene.tvn")), std::vector<std::string>{"Saved name"});
    ASSERT_TRUE(WaitUntil([&] { return TitleNames(editor(), dir().file("Second")); })) << "the handed-over set never opened";
    EXPECT_EQ(editor()->QueuedOpenCount(), 0u);
    EXPECT_EQ(SceneLayerNames(dir().wfile("Elsewhere/First/scene.tvn")), std::vector<std::string>{"Saved name"});
    // Saved, so no question: only the save's own report.
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], Lang::LoadLangString(149) + L" " + Lang::LoadLangString(150));
}

TEST_F(EditorSessionTest, ASetHandedOverDuringAModalDialogWaitsAndAsksAboutUnsavedChanges)
{
    CMultiViewSource* first = OpenFirstSetChanged(L"Changed");
    ASSERT_NE(first, nullptr);

    QDialog dialog(editor());
    bool waited = false;
    QTimer::singleShot(50, &dialog, [&] {
        editor()->RequestOpen(dir().wfile("Second"));
        QTimer::singleShot(400, &dialog, [&] {
            waited = editor()->GetScene() == first && editor()->QueuedOpenCount() == 1 && editor()->IsBusy();
            dialog.reject();
        });
    });
    m_answers = {IDCANCEL};  // the unsaved-changes question, once the dialog has gone
    dialog.exec();
    EXPECT_TRUE(waited) << "the set did not wait for the dialog";
    ASSERT_TRUE(WaitUntil([&] { return !m_messages.empty(); }));
    EXPECT_EQ(m_messages[0], Lang::LoadLangString(901));
    Pump(200);
    EXPECT_EQ(editor()->GetScene(), first) << "Cancel keeps the edited set";
    EXPECT_EQ(editor()->QueuedOpenCount(), 0u);

    // Handed over again, with the changes dropped, it opens.
    m_answers = {IDNO};
    editor()->RequestOpen(dir().wfile("Second"));
    ASSERT_TRUE(WaitUntil([&] { return TitleNames(editor(), dir().file("Second")); }));
    EXPECT_EQ(SceneLayerNames(dir().wfile("First/scene.tvn")), std::vector<std::string>{"Red"});
}

TEST_F(EditorSessionTest, AnOpenThatCannotUnpackItsPicturesSaysWhyAndKeepsTheOpenSet)
{
    MakeNativeSet(dir().path(), "First", {TestLayer{"Red", Qt::red}}, {});
    MakeNativeSet(dir().path(), "Blocked", {TestLayer{"Blue", Qt::blue}}, {});
    // A folder stands where the first picture must be unpacked, in the set
    // folder and in the set's cache folder alike.
    std::filesystem::create_directories(dir().file("Blocked/s1.png/inside"));
    const std::string cache = platform::WideToUtf8(GetSetCacheFolder(dir().wfile("Blocked")));
    ASSERT_FALSE(cache.empty());
    std::filesystem::create_directories(cache + "/s1.png/inside");
    OpenEditor();
    ASSERT_EQ(SendOpen(dir().file("First"), kSetKindNative), 0);
    CMultiViewSource* first = editor()->GetScene();

    EXPECT_EQ(SendOpen(dir().file("Blocked"), kSetKindNative), -1);
    EXPECT_EQ(editor()->GetScene(), first);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], Lang::FormatLangString(946, dir().wfile("Blocked"), SystemErrorMessage(EEXIST)));
    EXPECT_NE(m_messages[0], Lang::LoadLangString(317));
}

TEST_F(EditorSessionTest, AnEngineThatDidNotStartIsShownOnceAndEveryOpenSaysSo)
{
    MakeNativeSet(dir().path(), "First", {TestLayer{"Red", Qt::red}}, {});
    struct RestoreWidth {
        int width = g_settings.Width;
        ~RestoreWidth() { g_settings.Width = width; }
    } restore;
    g_settings.Width = 0;  // the engine refuses a canvas without width
    OpenEditor();
    ASSERT_TRUE(WaitUntil([&] { return !m_messages.empty(); })) << "the failed engine was not shown";
    ASSERT_NE(g_obsMain, nullptr);
    EXPECT_EQ(g_obsMain->GetStartResult(), ObsBasic::StartResult::VideoFailed);
    EXPECT_EQ(m_messages[0],
              Lang::FormatLangString(940, Lang::FormatLangString(942, g_obsMain->GetVideoResult())));

    EXPECT_EQ(SendOpen(dir().file("First"), kSetKindNative), -1);
    EXPECT_EQ(SendOpen(dir().file("First"), kSetKindNative), -1);
    Pump(100);
    ASSERT_EQ(m_messages.size(), 3u) << "the engine's failure is shown once, each open says why it failed";
    EXPECT_EQ(m_messages[1], Lang::LoadLangString(944));
    EXPECT_EQ(m_messages[2], Lang::LoadLangString(944));
}

// Changing the language asks about the unsaved edits once, before anything
// starts: Cancel (or No to the restart) leaves the language, the window and
// the edited set as they were.
TEST_F(EditorSessionTest, ALanguageChangeAsksOnceAndCancelKeepsEverything)
{
    CMultiViewSource* first = OpenFirstSetChanged(L"Changed");
    ASSERT_NE(first, nullptr);
    QMenu frameMenu;
    editor()->OnMenuPopup(&frameMenu);
    const std::wstring before = Lang::GetCurLanguage();
    int other = 0;
    for (QAction* entry : frameMenu.actions()) {
        if (!entry->menu())
            continue;
        for (QAction* language : entry->menu()->actions()) {
            if (language->text().toStdWString() != before)
                other = lumora::GetControlId(language).value_or(0);
        }
    }
    ASSERT_NE(other, 0) << "the language menu offers no other language";

    m_answers = {IDYES, IDCANCEL};  // restart: yes; the unsaved edits: cancel
    editor()->RunCommand(other);
    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(m_messages[0], Lang::LoadLangString(321));
    EXPECT_EQ(m_messages[1], Lang::LoadLangString(901));
    EXPECT_EQ(Lang::GetCurLanguage(), before);
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->GetScene(), first);
    EXPECT_TRUE(editor()->HasUnsavedChanges());

    m_messages.clear();
    m_answers = {IDNO};  // no restart: nothing else is asked
    editor()->RunCommand(other);
    EXPECT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(Lang::GetCurLanguage(), before);
    EXPECT_TRUE(editor()->isVisible());
}
