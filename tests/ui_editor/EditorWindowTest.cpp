// The editor window with the real engine: layout, opening sets, the file
// commands and the unsaved-changes question.
#include "EditorTestSupport.h"

#include "../model_set/SetTestData.h"
#include "../formats_psd/PsdTestData.h"
#include "engine/BitmapFile.h"
#include "lumora/CmdTarget.h"
#include "lumora/Lang.h"
#include "lumora/MyTabCtrl.h"
#include "model/MultiViewSource.h"
#include "model/SetSaving.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "app/ProjectSettings.h"
#include "app/UserFolders.h"
#include "formats/SceneFile.h"
#include "preview/ObsQtWindow.h"
#include "ui/DlgExist.h"
#include "ui/WndEditorBase.h"
#include "ui/WndSence.h"
#include "ui/EditorLayout.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"

#include <QAbstractButton>
#include <filesystem>
#include <QApplication>
#include <QTest>

using namespace settest;

namespace {

std::vector<TestLayer> BigRedLayer()
{
    TestLayer red{"Red", Qt::red, 64, 36};
    red.x = -0.5f;  // the left half of the canvas
    red.zoomX = 0.5f;
    return {red};
}

int CountNear(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            count += PixelIs(image, x, y, colour, 40) ? 1 : 0;
    return count;
}

}  // namespace

TEST_F(EditorWindowTest, LayoutFollowsTheClientSizeWithTheFixedFormulas)
{
    OpenEditor(1704, 1000);
    // The X server may still answer an earlier size under load: wait for the asked one.
    EXPECT_TRUE(WaitUntil([&] { return editor()->GetPreview()->geometry() == QRect(304, 263, 997, 563); }));
    const EditorLayout& layout = editor()->GetLayout();
    EXPECT_EQ(layout.previewLeft, 304);
    EXPECT_EQ(layout.previewTop, 263);
    EXPECT_EQ(layout.previewRight, 1300);
    EXPECT_EQ(layout.previewBottom, 825);
    EXPECT_EQ(editor()->GetPreview()->geometry(), QRect(304, 263, 997, 563));
    EXPECT_EQ(editor()->GetButton(IDC_STRETCH)->geometry(), QRect(304 + (996 - 152) / 2, 263 - 26, 16, 16));
    EXPECT_EQ(editor()->GetButton(IDC_SAVE)->geometry(), QRect(304 + (996 - 320) / 2 + 220, 60, 100, 28));

    // The splitter moved 50 px right: the scene tab widens, the preview gives up its left 50 px.
    NMSPLITWND moved{};
    moved.hdr.code = NM_SPLITMOVED;
    moved.delta = 50;
    lumora::SendNotifyToOwner(editor()->GetSplitter(), moved.hdr);
    EXPECT_EQ(editor()->GetSceneTab()->geometry().width(), 350);
    EXPECT_EQ(editor()->GetPreview()->geometry(), QRect(354, 263, 947, 563));
    EXPECT_EQ(editor()->GetButton(IDC_STRETCH)->geometry().left(), 354 + (946 - 152) / 2);

    // Asked narrower than its least size, the window stays at it: the library
    // gives way, the pages keep their column and nothing overlaps.
    editor()->ResizeClientArea(900, 700);
    Pump();
    const QSize least = EditorMinimumClientSize();
    const int w = least.width();
    EXPECT_EQ(editor()->GetLayout().splitterMin, static_cast<int>(w * 0.1));
    const EditorLayout& narrow = editor()->GetLayout();
    EXPECT_EQ(narrow.panel, QRect(w - 404, 74, 400, 700 - 74));
    EXPECT_GE(narrow.splitter.left(), 200);
    for (const QRect& button : narrow.textButtons)
        EXPECT_FALSE(button.intersects(narrow.panel) || button.intersects(narrow.sceneTab));
    EXPECT_FALSE(editor()->GetButton(IDC_STRETCH)->geometry().intersects(editor()->GetSceneTab()->geometry()));
}

TEST_F(EditorWindowTest, OpensNativeAndVmixSetsIntoThePreviewAndRefusesAnInvalidFolder)
{
    const std::wstring native = MakeNativeSet(dir().path(), "Native", BigRedLayer(), {});
    TestLayer blue{"Blue", Qt::blue, 64, 36};
    blue.x = 0.5f;
    blue.zoomX = 0.5f;
    const std::wstring vmix = MakeVmixSet(dir().path(), "Vmix", {blue}, {});
    OpenEditor();
    EXPECT_FALSE(editor()->GetButton(IDC_SAVE)->isEnabled());

    // A trailing separator opens the same folder.
    ASSERT_EQ(SendOpen(dir().file("Native") + "/", kSetKindNative), 0);
    ASSERT_NE(editor()->GetScene(), nullptr);
    EXPECT_EQ(editor()->windowTitle().toStdString(), "Zantrel  - " + dir().file("Native"));
    EXPECT_TRUE(editor()->GetButton(IDC_SAVE)->isEnabled());
    EXPECT_TRUE(editor()->GetPanel(0)->isEnabled());
    // The red layer fills the left half of the canvas; the right half stays black.
    EXPECT_TRUE(WaitUntil([&] {
        const QImage shown = GrabPreview();
        return PixelIs(shown, shown.width() / 4, shown.height() / 2, Qt::red, 40) &&
               PixelIs(shown, shown.width() * 3 / 4, shown.height() / 2, Qt::black, 40);
    })) << "the preview does not show the set's red layer in its place";
    Pump(300);
    SaveScreenshot("editor-native-set");

    // An invalid folder: message 317, the open set stays.
    CMultiViewSource* before = editor()->GetScene();
    EXPECT_EQ(SendOpen(dir().file("Nothing"), kSetKindAny), -1);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], Lang::LoadLangString(317));
    EXPECT_EQ(editor()->GetScene(), before);
    // A vMix folder asked for as native is invalid as well.
    EXPECT_EQ(SendOpen(dir().file("Vmix"), kSetKindNative), -1);
    EXPECT_EQ(editor()->GetScene(), before);

    // A set whose folder is too long for the open request's field is refused, not cut.
    std::string deep = dir().path();
    while (deep.size() < 300)
        deep += "/a-long-folder-name";
    platform::CreateFolderTree(platform::Utf8ToWide(deep));
    MakeNativeSet(deep, "Deep", BigRedLayer(), {});
    m_fileAnswers = {platform::Utf8ToWide(deep + "/Deep/scene.tvn")};
    m_messages.clear();
    editor()->RunCommand(ID_OPEN_NATIVE);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(platform::Utf8ToWide(deep)), std::wstring::npos);
    EXPECT_EQ(editor()->GetScene(), before);

    ASSERT_EQ(SendOpen(dir().file("Vmix"), kSetKindAny), 0);
    EXPECT_NE(editor()->GetScene(), before);
    // The preview may still hold a frame of the old set for a moment under load.
    EXPECT_TRUE(WaitUntil([&] {
        const QImage shown = GrabPreview();
        return CountNear(shown, Qt::blue) > 50 && CountNear(shown, Qt::red) == 0;
    })) << "the preview does not show the vMix set alone";
}

TEST_F(EditorWindowTest, FilesASetCannotShowAreNamedInTheMessages)
{
    MakeVmixSet(dir().path(), "Downloaded", {TestLayer{"Wall", Qt::darkRed}}, {});
    std::string xml = testsupport::ReadFileBytes(dir().file("Downloaded/config.xml"));
    xml.insert(xml.find("<input"), "<input name=\"Leak\" uvmap=\"gone.png\">..\\..\\secret.png</input>\r\n");
    testsupport::WriteFileBytes(dir().file("Downloaded/config.xml"), xml);
    MakeNativeSet(dir().path(), "Blocked", BigRedLayer(), {});
    std::filesystem::create_directories(dir().file("Blocked/thumbnail.jpg/in the way"));
    OpenEditor();

    ASSERT_EQ(SendOpen(dir().file("Downloaded"), kSetKindAny), 0);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], Lang::FormatLangString(1102, Lang::FormatLangString(1104, L"Leak", L"..\\..\\secret.png") +
                                                             L"\n" + Lang::FormatLangString(1105, L"Leak", L"gone.png")));
    ASSERT_NE(editor()->GetScene(), nullptr);
    EXPECT_EQ(editor()->GetScene()->GetLayers().size(), 2u);  // the layer stays, without its picture

    // The blocked set opens from the cache folder; with the cache blocked too it says why.
    m_messages.clear();
    ASSERT_EQ(SendOpen(dir().file("Blocked"), kSetKindAny), 0);
    EXPECT_TRUE(m_messages.empty());
    ASSERT_EQ(SendOpen(dir().file("Downloaded"), kSetKindAny), 0);
    platform::RemoveFolderTree(platform::JoinPath(GetUserDataFolder(), L"Cache"));
    testsupport::WriteFileBytes(platform::WideToUtf8(platform::JoinPath(GetUserDataFolder(), L"Cache")), "in the way");
    CMultiViewSource* before = editor()->GetScene();
    m_messages.clear();
    EXPECT_EQ(SendOpen(dir().file("Blocked"), kSetKindAny), -1);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], Lang::FormatLangString(946, platform::Utf8ToWide(dir().file("Blocked")), SystemErrorMessage(EEXIST)));
    EXPECT_EQ(editor()->GetScene(), before);
    platform::RemoveFile(platform::JoinPath(GetUserDataFolder(), L"Cache"));
}

TEST_F(EditorWindowTest, CommandLinePathsOpenBySetFileOrFolderAndRefuseOtherFiles)
{
    MakeNativeSet(dir().path(), "Native", BigRedLayer(), {});
    MakeVmixSet(dir().path(), "Vmix", {TestLayer{"Blue", Qt::blue}}, {});
    OpenEditor();
    EXPECT_EQ(editor()->OpenFromCommandLine(platform::Utf8ToWide(dir().file("Vmix") + "/config.xml")), 0);
    EXPECT_EQ(editor()->windowTitle().toStdString(), "Zantrel  - " + dir().file("Vmix"));
    EXPECT_EQ(editor()->OpenFromCommandLine(platform::Utf8ToWide(dir().file("Native"))), 0);
    EXPECT_EQ(editor()->windowTitle().toStdString(), "Zantrel  - " + dir().file("Native"));
    // A file that is neither set file, even beside one, and a missing path: 317, the set stays.
    CMultiViewSource* before = editor()->GetScene();
    WritePicture(dir().file("Native") + "/picture.png", 8, 8, Qt::green);
    EXPECT_EQ(editor()->OpenFromCommandLine(platform::Utf8ToWide(dir().file("Native") + "/picture.png")), -1);
    EXPECT_EQ(editor()->OpenFromCommandLine(platform::Utf8ToWide(dir().file("missing/scene.tvn"))), -1);
    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(m_messages[1], Lang::LoadLangString(317));
    EXPECT_EQ(editor()->GetScene(), before);
}

TEST_F(EditorWindowTest, APhotoshopFileOpensAsANewSetWithItsHiddenLayersHidden)
{
    const std::string psd = dir().file("Studio.psd");
    ASSERT_TRUE(psdtest::WriteLayeredPsd(psd, 400, 200,
                                         {{"Backdrop", "black", 400, 200, 0, 0},
                                          {"Desk", "red", 200, 200, 0, 0},
                                          {"Logo", "lime", 200, 200, 200, 0, true}},
                                         dir().path()));
    const std::string sets = platform::WideToUtf8(GetVirtualSetsFolder());
    for (const char* name : {"/Studio", "/Studio 2"})
        platform::RemoveFolderTree(platform::Utf8ToWide(sets + name));
    OpenEditor();
    ASSERT_EQ(editor()->ImportPsdFile(platform::Utf8ToWide(psd)), 0);
    EXPECT_EQ(editor()->windowTitle().toStdString(), "Zantrel  - " + sets + "/Studio");
    const LayerList& layers = editor()->GetScene()->GetLayers();
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(GetRecordName(layers[0].name), L"Logo");
    EXPECT_EQ(layers[0].visible, 0);
    EXPECT_EQ(layers[1].visible, 1);
    EXPECT_FALSE(editor()->HasUnsavedChanges());
    // The red desk fills the left half; the hidden green logo leaves the right half black.
    EXPECT_TRUE(WaitUntil([&] {
        const QImage shown = GrabPreview();
        return PixelIs(shown, shown.width() / 4, shown.height() / 2, Qt::red, 40) &&
               PixelIs(shown, shown.width() * 3 / 4, shown.height() / 2, Qt::black, 40);
    })) << "the preview does not show the imported layers as the file has them";

    // A second import takes a free name; a file that is no PSD gives message 906.
    ASSERT_EQ(editor()->ImportPsdFile(platform::Utf8ToWide(psd)), 0);
    EXPECT_EQ(editor()->windowTitle().toStdString(), "Zantrel  - " + sets + "/Studio 2");
    WritePicture(dir().file("fake.psd"), 8, 8, Qt::green);
    CMultiViewSource* before = editor()->GetScene();
    EXPECT_EQ(editor()->ImportPsdFile(platform::Utf8ToWide(dir().file("fake.psd"))), -1);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(L"fake.psd is no Photoshop file"), std::wstring::npos);
    EXPECT_EQ(editor()->GetScene(), before);
    EXPECT_FALSE(platform::PathExists(platform::Utf8ToWide(sets + "/fake")));
    platform::RemoveFolderTree(platform::Utf8ToWide(sets + "/Studio"));
    platform::RemoveFolderTree(platform::Utf8ToWide(sets + "/Studio 2"));
}

TEST_F(EditorWindowTest, AfterAPhotoshopImportTheEditorListsWhatTheSetShowsDifferently)
{
    const std::string sets = platform::WideToUtf8(GetVirtualSetsFolder());
    platform::RemoveFolderTree(platform::Utf8ToWide(sets + "/psdrb-example"));
    OpenEditor();
    ASSERT_EQ(editor()->ImportPsdFile(platform::Utf8ToWide(std::string(KELVANE_SOURCE_DIR) +
                                                           "/tests/formats_psd/data/psdrb-example.psd")),
              0);
    ASSERT_EQ(editor()->GetScene()->GetLayers().size(), 9u);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].rfind(Lang::LoadLangString(980) + L"\n", 0), 0u);
    EXPECT_NE(m_messages[0].find(Lang::FormatLangString(984, std::wstring(L"Matte"), std::wstring(L"Version A / Matte"))),
              std::wstring::npos);
    platform::RemoveFolderTree(platform::Utf8ToWide(sets + "/psdrb-example"));
}

TEST_F(EditorWindowTest, SavingWithoutASetDoesNothing)
{
    OpenEditor();
    for (int command : {ID_SAVE, ID_SAVE_AS_NATIVE, ID_SAVE_AS_VMIX, IDC_SNAPSHOT, IDC_STRETCH, IDC_FIT})
        editor()->RunCommand(command);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_FALSE(editor()->HasUnsavedChanges());
}

TEST_F(EditorWindowTest, UnsavedChangesAskBeforeTheSetIsReplacedOrClosed)
{
    MakeNativeSet(dir().path(), "First", BigRedLayer(), {});
    MakeNativeSet(dir().path(), "Second", BigRedLayer(), {});
    OpenEditor();
    ASSERT_EQ(SendOpen(dir().file("First"), kSetKindNative), 0);
    CMultiViewSource* first = editor()->GetScene();
    EXPECT_FALSE(editor()->HasUnsavedChanges());
    ASSERT_TRUE(first->RenameLayer(0, L"Renamed"));
    EXPECT_TRUE(editor()->HasUnsavedChanges());

    // Cancel keeps everything.
    m_answers = {IDCANCEL};
    EXPECT_EQ(SendOpen(dir().file("Second"), kSetKindNative), -1);
    EXPECT_EQ(editor()->GetScene(), first);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], Lang::LoadLangString(901));

    // Save writes the set into its own folder first, then the other opens.
    SetExistingTargetHandler([](const std::wstring&, std::wstring&) { return true; });  // overwrite
    m_answers = {IDYES};
    m_messages.clear();
    ASSERT_EQ(SendOpen(dir().file("Second"), kSetKindNative), 0);
    EXPECT_NE(editor()->GetScene(), first);
    EXPECT_EQ(SceneLayerNames(dir().wfile("First/scene.tvn")), std::vector<std::string>{"Renamed"});

    // Discard drops the change; closing asks the same way.
    ASSERT_TRUE(editor()->GetScene()->RenameLayer(0, L"Dropped"));
    m_answers = {IDCANCEL};
    editor()->close();
    Pump();
    EXPECT_TRUE(editor()->isVisible()) << "Cancel must keep the editor open";
    m_answers = {IDNO};
    editor()->close();
    Pump();
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(SceneLayerNames(dir().wfile("Second/scene.tvn")), std::vector<std::string>{"Red"});
}

TEST_F(EditorWindowTest, EnterAndEscapeDoNotEndTheEditor)
{
    OpenEditor();
    QTest::keyClick(editor(), Qt::Key_Escape);
    QTest::keyClick(editor(), Qt::Key_Return);
    Pump();
    EXPECT_TRUE(editor()->isVisible());
}

TEST_F(EditorWindowTest, SnapshotWritesA32BitBitmapOfTheSetAndRemembersItsFolder)
{
    MakeNativeSet(dir().path(), "Shot", BigRedLayer(), {});
    OpenEditor();
    ASSERT_EQ(SendOpen(dir().file("Shot"), kSetKindNative), 0);
    platform::CreateFolder(dir().wfile("captures"));
    m_fileAnswers = {dir().wfile("captures/picture.bmp")};
    editor()->RunCommand(IDC_SNAPSHOT);
    EXPECT_TRUE(m_messages.empty());
    const QImage picture(QString::fromStdString(dir().file("captures/picture.bmp")));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(1920, 1080));
    EXPECT_TRUE(PixelIs(picture, 480, 540, Qt::red));
    EXPECT_TRUE(PixelIs(picture, 1440, 540, Qt::black));
    const std::string bytes = testsupport::ReadFileBytes(dir().file("captures/picture.bmp"));
    ASSERT_GT(bytes.size(), 30u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 32u) << "bits per pixel";
    EXPECT_EQ(g_settings.LastCapturePath, dir().wfile("captures"));
}

TEST_F(EditorWindowTest, NewSetFromATemplateOpensTheUnnamedVmixSet)
{
    OpenEditor();
    // The unnamed folder cannot be made: the write's own error is shown, nothing opens.
    const std::wstring unnamed = GetUnnamedSetFolder();
    platform::RemoveFolderTree(unnamed);
    platform::CreateFolderTree(GetVirtualSetsFolder());
    ASSERT_TRUE(platform::WriteFileAtomically(unnamed, "not a folder"));
    editor()->OpenNewSet(3);
    EXPECT_EQ(editor()->GetScene(), nullptr);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0], Lang::LoadLangString(317));
    platform::RemoveFile(unnamed);
    m_messages.clear();

    editor()->OpenNewSet(3);
    ASSERT_NE(editor()->GetScene(), nullptr);
    EXPECT_EQ(editor()->GetLastTemplate(), 3);
    EXPECT_TRUE(m_messages.empty()) << "no error text after a write that worked";
    EXPECT_TRUE(platform::FileExists(platform::JoinPath(GetUnnamedSetFolder(), L"config.xml")));
}

// Ctrl+Tab and Ctrl+Shift+Tab step through the pages and wrap round, as
// clicking the tabs would.
TEST_F(EditorWindowTest, CtrlTabStepsThroughThePages)
{
    OpenEditor();
    ASSERT_TRUE(BecomeActiveWindow(editor()));
    CMyTabCtrl* tabs = editor()->GetTabControl();
    ASSERT_EQ(tabs->count(), 3);
    ASSERT_EQ(tabs->currentIndex(), 0);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : editor();
    QTest::keyClick(target, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    QTest::keyClick(target, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(target, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->currentIndex(), 2);
    QTest::keyClick(target, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
}
