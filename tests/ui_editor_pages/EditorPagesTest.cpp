// The General and Layers pages in the real editor on the real engine: what
// the user does on a page reaches the set and the engine, what happens on the
// preview reaches the page, and the checks before saving point at the right
// page and row.
#include "../model_set/SetTestData.h"
#include "../ui_editor/EditorTestSupport.h"
#include "formats/SceneRecords.h"
#include "lumora/ControlId.h"
#include "lumora/Lang.h"
#include "lumora/MyListCtrl.h"
#include "lumora/MyTabCtrl.h"
#include "model/MultiViewSource.h"
#include "platform/TextConv.h"
#include "ui/DlgExist.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"
#include "ui/PicturePreview.h"
#include "ui/SliderChannel.h"
#include "ui/WndEditorGeneral.h"
#include "ui/WndEditorPosition.h"
#include "ui/WndEditorShot.h"
#include "platform/FileUtil.h"

#include <QListWidget>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <lodepng.h>

using namespace settest;

namespace {

std::vector<TestLayer> RedAndBlue()
{
    TestLayer red{"Red", Qt::red, 64, 36};
    red.x = -0.5f;
    red.zoomX = 0.5f;
    TestLayer blue{"Blue", Qt::blue, 64, 36};
    blue.x = 0.5f;
    blue.zoomX = 0.5f;
    return {red, blue};
}

void WriteExactPng(const std::string& path, LodePNGColorType type, unsigned depth)
{
    lodepng::State state;
    state.info_raw.colortype = state.info_png.color.colortype = type;
    state.info_raw.bitdepth = state.info_png.color.bitdepth = depth;
    state.encoder.auto_convert = 0;
    std::vector<unsigned char> pixels(lodepng_get_raw_size(8, 8, &state.info_raw), 0x80);
    std::vector<unsigned char> png;
    ASSERT_EQ(lodepng::encode(png, pixels.data(), 8, 8, state), 0u);
    testsupport::WriteFileBytes(path, std::string(png.begin(), png.end()));
}

void Click(QWidget* page, int id)
{
    auto* button = qobject_cast<QAbstractButton*>(lumora::FindControl(page, id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

vec2 ItemPos(obs_sceneitem_t* item)
{
    vec2 pos;
    obs_sceneitem_get_pos(item, &pos);
    return pos;
}

class EditorPagesTest : public EditorWindowTest {
protected:
    void OpenOnPage(const std::vector<TestLayer>& layers, int page)
    {
        MakeNativeSet(dir().path(), "Set", layers, {});
        OpenEditor();
        ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
        editor()->GetTabControl()->setCurrentIndex(page);
        Pump(100);
        ASSERT_TRUE(editor()->GetPanel(page)->isVisible());
    }
    CMultiViewSource* scene() { return editor()->GetScene(); }
    LayerInfo& layer(int i) { return scene()->GetLayers()[static_cast<size_t>(i)]; }
    CWndEditorPosition* layers() { return static_cast<CWndEditorPosition*>(editor()->GetPanel(1)); }
    CWndEditorGeneral* general() { return static_cast<CWndEditorGeneral*>(editor()->GetPanel(0)); }
    void Type(QLineEdit* edit, const QString& text)
    {
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

}  // namespace

TEST_F(EditorPagesTest, LayerRowsDriveTheEngineAndFollowThePreview)
{
    OpenOnPage(RedAndBlue(), 1);
    CWndEditorPosition* page = layers();
    ASSERT_EQ(page->List()->GetItemCount(), 2);
    EXPECT_EQ(page->List()->GetItemText(1, 0), "Blue");
    EXPECT_TRUE(page->List()->GetCheck(0));
    EXPECT_EQ(page->CurrentRow(), 0);
    EXPECT_EQ(page->Channel(0)->Edit()->text(), "-0.500");
    EXPECT_EQ(page->Channel(2)->Value(), 500);

    // A slider move is in the record and on the engine item at once.
    obs_sceneitem_t* red = scene()->GetItem(1);
    const vec2 before = ItemPos(red);
    page->Channel(0)->Slider()->setValue(250);
    EXPECT_FLOAT_EQ(layer(0).x, 0.25f);
    EXPECT_NEAR(ItemPos(red).x - before.x, 0.75f * 960.0f, 1.0f);
    // XY drives both zooms; typed text is the shown value, refused or clamped.
    page->Channel(4)->Slider()->setValue(1500);
    EXPECT_FLOAT_EQ(layer(0).zoomX, 3.0f);
    EXPECT_FLOAT_EQ(layer(0).zoomY, 3.0f);
    EXPECT_EQ(page->Channel(2)->Value(), 1500);
    Type(page->Channel(2)->Edit(), "2.5");
    EXPECT_FLOAT_EQ(layer(0).zoomX, 2.5f);
    EXPECT_EQ(page->Channel(2)->Slider()->value(), 1375);
    Type(page->Channel(2)->Edit(), "nan");
    EXPECT_FLOAT_EQ(layer(0).zoomX, 2.5f);
    EXPECT_EQ(page->Channel(2)->Edit()->text(), "2.500");
    Type(page->Channel(2)->Edit(), "1e30");
    EXPECT_FLOAT_EQ(layer(0).zoomX, 5.0f);
    // Keyboard steps of a thousandth.
    page->Channel(1)->Slider()->setFocus();
    QTest::keyClick(page->Channel(1)->Slider(), Qt::Key_Right);
    EXPECT_FLOAT_EQ(layer(0).y, 0.001f);
    // A crop row moves only the crop.
    page->Channel(8)->Slider()->setValue(100);
    EXPECT_FLOAT_EQ(layer(0).cropLeft, 0.1f);
    EXPECT_FLOAT_EQ(layer(0).cropRight, 0.0f);

    // Selection: page to engine, engine to page.
    page->List()->SetCurSel(1);
    Pump(100);
    EXPECT_EQ(page->CurrentRow(), 1);
    EXPECT_EQ(scene()->GetSelectedIndex(), 2);
    EXPECT_TRUE(obs_sceneitem_selected(scene()->GetItem(2)));
    obs_sceneitem_select(red, true);
    ASSERT_TRUE(WaitUntil([&] { return page->CurrentRow() == 0; }));
    EXPECT_EQ(page->Channel(0)->Value(), 250);

    // The blue layer moved on the canvas while red is selected: its own row
    // takes the move, red's record is untouched.
    obs_sceneitem_t* blue = scene()->GetItem(2);
    vec2 moved = ItemPos(blue);
    moved.x -= 480.0f;
    obs_sceneitem_set_pos(blue, &moved);
    ASSERT_TRUE(WaitUntil([&] { return std::fabs(layer(1).x) < 0.01f; })) << layer(1).x;
    EXPECT_EQ(page->CurrentRow(), 1);
    EXPECT_NEAR(page->Channel(0)->Value(), 0, 10);
    EXPECT_FLOAT_EQ(layer(0).x, 0.25f);

    // Events of items that are no layer of this set change nothing.
    const float x = layer(1).x;
    SendMessage(page->MessageWindow(), UM_ITEM_EVENT, kItemTransformed, reinterpret_cast<LPARAM>(scene()->GetItem(0)));
    SendMessage(page->MessageWindow(), UM_ITEM_EVENT, kItemTransformed, 0x1234);
    EXPECT_FLOAT_EQ(layer(1).x, x);
    EXPECT_EQ(page->CurrentRow(), 1);

    // The row's check box is the layer's visible flag.
    QTest::mouseClick(page->List()->viewport(), Qt::LeftButton, {}, page->List()->CheckBoxRect(0).center());
    EXPECT_EQ(layer(0).visible, 0);
    EXPECT_FALSE(obs_sceneitem_visible(red));

    page->Tabs()->setCurrentIndex(1);
    Pump(300);
    SaveScreenshot("editor-layers-page");
}

TEST_F(EditorPagesTest, ASetOpenedBehindAnotherPageReadsTheLayerPictureOnceThePageShows)
{
    OpenOnPage(RedAndBlue(), 0);
    CPicturePreview* preview = layers()->ImagePreview();
    EXPECT_EQ(preview->DecodeCount(), 0) << "the hidden layers page decoded a picture the engine had just decoded";
    editor()->GetTabControl()->setCurrentIndex(1);
    Pump(100);
    ASSERT_TRUE(layers()->isVisible());
    EXPECT_EQ(preview->DecodeCount(), 1);
    EXPECT_EQ(preview->Caption(), "64 x 36 x 32");
    EXPECT_EQ(preview->DecodeCount(), 1);
}

TEST_F(EditorPagesTest, LayerFilesChosenOnThePageSurviveANativeSaveAndReopen)
{
    OpenOnPage(RedAndBlue(), 1);
    CWndEditorPosition* page = layers();
    WritePicture(dir().file("green.png"), 40, 30, Qt::green);
    WriteUvMap(dir().file("uv.png"), 64, 36);
    WriteExactPng(dir().file("uv8.png"), LCT_RGBA, 8);
    WriteExactPng(dir().file("uv16rgb.png"), LCT_RGB, 16);

    auto* name = qobject_cast<QLineEdit*>(lumora::FindControl(page, 1075));
    name->setText(QStringLiteral("Desk Front"));
    EXPECT_EQ(page->List()->GetItemText(0, 0), "Desk Front");
    m_fileAnswers = {dir().wfile("green.png")};
    Click(page, 1099);
    EXPECT_EQ(page->ImagePreview()->Caption(), "40 x 30 x 32");

    // Maps that are not 16-bit RGBA: message 112, nothing stored.
    for (const char* bad : {"uv8.png", "uv16rgb.png"}) {
        m_messages.clear();
        m_fileAnswers = {dir().wfile(bad)};
        Click(page, 1100);
        ASSERT_EQ(m_messages.size(), 1u) << bad;
        EXPECT_EQ(m_messages[0], Lang::LoadLangString(112));
        EXPECT_TRUE(LayerUvPath(layer(0)).empty());
    }
    m_messages.clear();
    m_fileAnswers = {dir().wfile("uv.png")};
    Click(page, 1100);
    EXPECT_TRUE(m_messages.empty()) << platform::WideToUtf8(m_messages[0]);
    EXPECT_EQ(page->UvPreview()->Caption(), "64 x 36 x 64");
    EXPECT_NE(layer(0).uvFilter, nullptr);
    qobject_cast<QCheckBox*>(lumora::FindControl(page, 1116))->setChecked(true);

    SetExistingTargetHandler([](const std::wstring&, std::wstring&) { return true; });
    m_messages.clear();
    editor()->RunCommand(ID_SAVE);
    ASSERT_FALSE(editor()->HasUnsavedChanges()) << (m_messages.empty() ? "" : platform::WideToUtf8(m_messages[0]));
    m_answers = {IDNO};
    ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
    ASSERT_EQ(scene()->GetLayers().size(), 2u);
    EXPECT_EQ(GetRecordName(layer(0).name), L"Desk Front");
    EXPECT_EQ(layer(0).dynamic, 1);
    EXPECT_TRUE(PixelIs(QImage(QString::fromStdWString(platform::AnsiToWide(LayerImagePath(layer(0))))), 5, 5, Qt::green));
    EXPECT_EQ(PngBitsPerPixel(platform::AnsiToWide(LayerUvPath(layer(0)))), 64);
}

TEST_F(EditorPagesTest, ChecksBeforeSavingPointAtTheFailingPageAndRow)
{
    OpenOnPage(RedAndBlue(), 1);
    CWndEditorPosition* page = layers();
    // Clearing a map keeps a good layer good; clearing its picture does not.
    page->List()->SetCurSel(1);
    Pump();
    Click(page, 1107);
    std::wstring message;
    int index = -1;
    EXPECT_TRUE(page->Validate(message, index));
    Click(page, 1101);
    EXPECT_TRUE(page->Validate(message, index)) << "a layer without a picture is no missing file";
    SetLayerImagePath(layer(1), platform::WideToAnsi(dir().wfile("gone.png")));
    EXPECT_FALSE(page->Validate(message, index));
    EXPECT_EQ(index, 1);
    EXPECT_NE(message.find(L"[Blue]:" + Lang::LoadLangString(418)), std::wstring::npos);

    // The main window switches to the failing page and points at the row.
    editor()->GetTabControl()->setCurrentIndex(0);
    Pump();
    m_messages.clear();
    EXPECT_FALSE(editor()->ValidatePanels());
    EXPECT_EQ(editor()->GetTabControl()->currentIndex(), 1);
    ASSERT_TRUE(WaitUntil([&] { return !m_messages.empty(); }));
    EXPECT_EQ(page->CurrentRow(), 1);

    // Removing asks; No keeps the layer. An empty list cannot be saved.
    m_answers = {IDNO};
    Click(page, 1138);
    EXPECT_EQ(scene()->GetLayers().size(), 2u);
    m_answers = {IDYES, IDYES};
    Click(page, 1138);
    Click(page, 1138);
    EXPECT_EQ(page->List()->GetItemCount(), 0);
    EXPECT_FALSE(page->Channel(0)->Slider()->isEnabled());
    page->Channel(0)->Slider()->setValue(500);  // a disabled row writes nowhere
    EXPECT_FALSE(page->Validate(message, index));
    EXPECT_EQ(message, Lang::LoadLangString(419));
}

TEST_F(EditorPagesTest, GeneralPageRefusesNamesThatCannotBeAFolderAndBadThumbnails)
{
    OpenOnPage(RedAndBlue(), 0);
    CWndEditorGeneral* page = general();
    auto* name = qobject_cast<QLineEdit*>(lumora::FindControl(page, 1075));
    EXPECT_EQ(qobject_cast<QLineEdit*>(lumora::FindControl(page, 1076))->text().toStdWString(),
              scene()->GetInfo()->path);
    std::wstring message;
    int index = -1;
    for (const char* bad : {"", "unnamed", "a/b", "..", " lead", "tail ", "tab\there"}) {
        name->setText(QString::fromUtf8(bad));
        EXPECT_FALSE(page->Validate(message, index)) << bad;
        EXPECT_EQ(index, 0);
    }
    EXPECT_EQ(message, Lang::LoadLangString(417) + L":\r\n\r\n'tab\there'");
    name->setText(QStringLiteral("Studio 1"));
    EXPECT_EQ(scene()->GetSetName(), L"Studio 1");
    EXPECT_TRUE(page->Validate(message, index)) << platform::WideToUtf8(message);

    // A folder or a file that is no picture blocks saving; a capture works.
    page->UseThumbnail(dir().wfile("Set"));
    EXPECT_FALSE(page->Validate(message, index));
    EXPECT_EQ(index, 1);
    testsupport::WriteFileBytes(dir().file("notes.png"), "not a picture");
    page->UseThumbnail(dir().wfile("notes.png"));
    EXPECT_FALSE(page->Validate(message, index));
    m_messages.clear();
    EXPECT_FALSE(editor()->ValidatePanels());
    ASSERT_TRUE(WaitUntil([&] { return !m_messages.empty(); }));
    EXPECT_EQ(m_messages[0], Lang::LoadLangString(418) + L":\r\n\r\n'" + dir().wfile("notes.png") + L"'");
    Click(page, 1608);
    EXPECT_NE(scene()->GetThumbnailPath(), dir().wfile("notes.png"));
    EXPECT_FALSE(QImage(QString::fromStdWString(scene()->GetThumbnailPath())).isNull());
    EXPECT_TRUE(page->Validate(message, index));
    Pump(300);
    SaveScreenshot("editor-general-page");
}

TEST_F(EditorPagesTest, ShotsPageAddsAppliesRemovesAndRebuildsShotPictures)
{
    MakeNativeSet(dir().path(), "Set", RedAndBlue(),
                  {MakeShot("Wide", 0, 0, 1, 1), MakeShot("Left", -0.5f, 0, 2, 2), MakeShot("Right", 0.5f, 0, 2, 2)});
    OpenEditor();
    ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
    editor()->GetTabControl()->setCurrentIndex(2);
    Pump(100);
    auto* page = static_cast<CWndEditorShot*>(editor()->GetPanel(2));
    ASSERT_EQ(page->List()->count(), 3);
    EXPECT_EQ(page->List()->item(1)->text(), "Left");
    EXPECT_EQ(page->CurrentShot(), 0);

    // Selecting a shot moves the camera; a zoom row drives it too.
    obs_sceneitem_t* camera = scene()->GetItem(0);
    const vec2 wide = ItemPos(camera);
    page->List()->setCurrentRow(1);
    EXPECT_EQ(page->CurrentShot(), 1);
    EXPECT_GT(std::fabs(ItemPos(camera).x - wide.x), 100.0f);
    EXPECT_EQ(page->Channel(2)->Value(), 1250);
    page->Channel(4)->Slider()->setValue(2000);
    EXPECT_FLOAT_EQ(scene()->GetShots()[1].zoomX, 5.0f);
    EXPECT_FLOAT_EQ(scene()->GetShots()[1].zoomY, 5.0f);
    // Events of other items (a stale one, a layer) leave the shot alone.
    SendMessage(page->MessageWindow(), UM_ITEM_EVENT, kItemTransformed, reinterpret_cast<LPARAM>(scene()->GetItem(1)));
    SendMessage(page->MessageWindow(), UM_ITEM_EVENT, kItemTransformed, 0x1234);
    EXPECT_FLOAT_EQ(scene()->GetShots()[1].zoomX, 5.0f);

    page->RebuildThumbnails();
    ASSERT_TRUE(WaitUntil([&] { return !page->IsRebuilding(); }, 10000));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(QImage(QString::fromStdWString(scene()->GetShotPicturePath(i))).isNull()) << i;
    Pump(200);
    SaveScreenshot("editor-shots-page");

    // Adding takes the camera and a picture; the eleventh is refused.
    Click(page, 1230);
    EXPECT_EQ(page->List()->item(3)->text(), "Shot 4");
    EXPECT_TRUE(platform::FileExists(scene()->GetShotPicturePath(3)));
    while (scene()->GetShots().size() < 10)
        page->AddShot();
    page->AddShot();
    EXPECT_EQ(scene()->GetShots().size(), 10u);
    EXPECT_FALSE(platform::FileExists(scene()->GetShotPicturePath(10)));

    // Removing the second shot: the others keep their names and pictures.
    const std::string thirdPicture = testsupport::ReadFileBytes(platform::WideToUtf8(scene()->GetShotPicturePath(2)));
    page->List()->setCurrentRow(1);
    Click(page, 1138);
    ASSERT_EQ(scene()->GetShots().size(), 9u);
    EXPECT_EQ(GetRecordName(scene()->GetShots()[1].name), L"Right");
    EXPECT_EQ(testsupport::ReadFileBytes(platform::WideToUtf8(scene()->GetShotPicturePath(1))), thirdPicture);
    EXPECT_FALSE(platform::FileExists(scene()->GetShotPicturePath(9)));

    // Down to none: empty list, rows disabled, nothing reads a shot.
    while (!scene()->GetShots().empty())
        page->RemoveShot();
    EXPECT_EQ(page->CurrentShot(), -1);
    EXPECT_EQ(page->List()->count(), 0);
    EXPECT_FALSE(page->Channel(0)->Slider()->isEnabled());
    page->RemoveShot();
    page->RebuildThumbnails();
    page->Channel(0)->Slider()->setValue(300);
    SendMessage(page->MessageWindow(), UM_ITEM_EVENT, kItemTransformed, reinterpret_cast<LPARAM>(camera));
    EXPECT_TRUE(scene()->GetShots().empty());
    page->AddShot();
    EXPECT_EQ(page->List()->item(0)->text(), "Shot 1");
}

// The layer list's own actions: a copy sits above its original with the same
// place, a row moves to any place of the stack, a placement part goes back
// as a new layer has it, a name is edited in its row, and every row gets the
// small picture of its image.
TEST_F(EditorPagesTest, LayerListDuplicatesMovesResetsAndRenamesInItsRows)
{
    OpenOnPage(RedAndBlue(), 1);
    CWndEditorPosition* page = layers();
    CMyListCtrl* list = page->List();
    ASSERT_TRUE(WaitUntil([&] { return list->HasItemPicture(0) && list->HasItemPicture(1); }));

    list->SetCurSel(1);
    Pump(50);
    layer(1).rotateZ = 0.25f;
    scene()->ApplyLayerTransform(1);
    ASSERT_TRUE(page->DuplicateLayer());
    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(page->CurrentRow(), 1);
    EXPECT_EQ(GetRecordName(layer(1).name), L"Blue 2");
    EXPECT_EQ(GetRecordName(layer(2).name), L"Blue");
    EXPECT_FLOAT_EQ(layer(1).x, 0.5f);
    EXPECT_FLOAT_EQ(layer(1).zoomX, 0.5f);
    EXPECT_FLOAT_EQ(layer(1).rotateZ, 0.25f);
    EXPECT_EQ(LayerImagePath(layer(1)), LayerImagePath(layer(2)));
    const vec2 copy = ItemPos(scene()->GetItem(2)), original = ItemPos(scene()->GetItem(3));
    EXPECT_FLOAT_EQ(copy.x, original.x);
    EXPECT_FLOAT_EQ(copy.y, original.y);
    EXPECT_TRUE(obs_sceneitem_selected(scene()->GetItem(2)));

    // To the back and to the front; the engine's items follow the records.
    ASSERT_TRUE(page->MoveLayerTo(1, 2));
    EXPECT_EQ(GetRecordName(layer(2).name), L"Blue 2");
    EXPECT_EQ(page->CurrentRow(), 2);
    EXPECT_EQ(obs_sceneitem_get_source(scene()->GetItem(3)), layer(2).imageSource);
    ASSERT_TRUE(page->MoveLayerTo(2, 0));
    EXPECT_EQ(GetRecordName(layer(0).name), L"Blue 2");
    EXPECT_EQ(GetRecordName(layer(1).name), L"Red");
    EXPECT_FALSE(page->MoveLayerTo(0, 3)) << "no such place";

    page->ResetLayer(CWndEditorPosition::LayerReset::Position);
    EXPECT_FLOAT_EQ(layer(0).x, 0.0f);
    EXPECT_FLOAT_EQ(layer(0).zoomX, 0.5f) << "only the position";
    EXPECT_EQ(page->Channel(0)->Edit()->text(), "0.000");
    page->ResetLayer(CWndEditorPosition::LayerReset::Rotation);
    EXPECT_FLOAT_EQ(layer(0).rotateZ, 0.0f);
    page->ResetLayer(CWndEditorPosition::LayerReset::Size);
    EXPECT_FLOAT_EQ(layer(0).zoomX, 1.0f);

    page->StartRenameInList();
    Pump(20);
    auto* editor = list->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "  Wall  ");
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([&] { return GetRecordName(layer(0).name) == L"Wall"; }));
    EXPECT_EQ(list->GetItemText(0, 0), "Wall");

    // Two layers picked on the preview are two rows of the list; hiding
    // takes both, and a row picked in the list alone is the only one again.
    obs_sceneitem_select(scene()->GetItem(1), true);
    obs_sceneitem_select(scene()->GetItem(3), true);
    page->FollowEngineSelection();
    EXPECT_EQ(page->SelectedRows(), (std::vector<int>{0, 2}));
    SaveScreenshot("editor-layer-list-pictures");
    page->SetLayerShown(false);
    EXPECT_EQ(layer(0).visible, 0);
    EXPECT_EQ(layer(1).visible, 1);
    EXPECT_EQ(layer(2).visible, 0);
    EXPECT_FALSE(list->GetCheck(2));
    EXPECT_FALSE(obs_sceneitem_visible(scene()->GetItem(3)));
    list->SetCurSel(1);
    Pump(50);
    EXPECT_EQ(page->SelectedRows(), (std::vector<int>{1}));
    EXPECT_FALSE(obs_sceneitem_selected(scene()->GetItem(1)));
    EXPECT_TRUE(obs_sceneitem_selected(scene()->GetItem(2)));
}
