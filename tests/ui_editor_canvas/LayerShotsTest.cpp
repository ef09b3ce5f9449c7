// Shots in the real editor: undo and redo in a layer-shot set, layer shots
// that never reach the layers' records, the camera after an undo, and the
// shot pictures that change the set folder only when the set is saved.
#include "CanvasFixture.h"

#include "formats/SceneFile.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "ui/DlgExist.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"
#include "ui/SliderChannel.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

using namespace settest;

namespace {

constexpr int32_t kLayerShotMode = 5;

class LayerShotsTest : public CanvasTest {
protected:
    // Anchor and Desk at half size left and right, Background behind:
    // the shots are All, Desk, Anchor.
    void OpenLayerShotSet()
    {
        std::vector<TestLayer> layers = SideBySide("Anchor", "Desk");
        layers.push_back(TestLayer{"Background", Qt::darkGray});
        MakeNativeSet(dir().path(), "Set", layers, {}, kLayerShotMode);
        WritePicture(dir().file("green.png"), 32, 18, Qt::green);
        OpenEditor();
        ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
    }
    int ShotNamed(const std::wstring& name)
    {
        for (size_t i = 0; i < scene()->GetShots().size(); ++i)
            if (GetRecordName(scene()->GetShots()[i].name) == name)
                return static_cast<int>(i);
        return -1;
    }
    void SelectShot(int row)
    {
        shots()->List()->setCurrentRow(row);
        Pump(100);
    }
};

}  // namespace

TEST_F(LayerShotsTest, UndoAndRedoWalkEveryStepOfALayerShotSet)
{
    OpenLayerShotSet();
    const SetContent opened = SetContent::Capture(*scene());
    const auto openedMap = scene()->GetShotToItemMap();
    ShowPage(1);
    CWndEditorPosition* page = layers();
    // 1. A slider step, 2. a drag on the preview, 3. a rename, 4. Down, 5. Add.
    page->Channel(0)->Slider()->setFocus();
    QTest::keyClick(page->Channel(0)->Slider(), Qt::Key_Right);
    EndGesture();
    DragOnPreview({480, 540}, {560, 600});
    auto* name = qobject_cast<QLineEdit*>(lumora::FindControl(page, 1075));
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Host"));
    QTest::keyClick(name, Qt::Key_Return);
    EndGesture();
    page->List()->SetCurSel(0);
    Pump(50);
    Click(page, 1102);
    m_fileAnswers = {dir().wfile("green.png")};
    Click(page, 1230);
    ASSERT_EQ(stack()->count(), 5);
    const SetContent edited = SetContent::Capture(*scene());
    const auto editedMap = scene()->GetShotToItemMap();
    // Layers Desk, green (added above the selected Host), Host, Background:
    // the shots follow them from the bottom up.
    EXPECT_EQ(ShotNamed(L"Host"), 1) << "the shots follow the renamed and moved layer";
    EXPECT_EQ(ShotNamed(L"green"), 2) << "the added layer's shot sits where the layer does";

    while (stack()->canUndo())
        editor()->Undo();
    Pump(100);
    EXPECT_TRUE(SetContent::Capture(*scene()) == opened) << "undo did not reach the opened set";
    EXPECT_EQ(scene()->GetShotToItemMap(), openedMap);
    // A gesture that edits nothing records nothing and keeps the redo steps.
    QTest::mouseClick(page->List()->viewport(), Qt::LeftButton, {}, QPoint(60, 10));
    EndGesture();
    EXPECT_EQ(stack()->index(), 0);
    EXPECT_EQ(stack()->count(), 5);

    while (stack()->canRedo())
        editor()->Redo();
    Pump(100);
    EXPECT_TRUE(SetContent::Capture(*scene()) == edited) << "redo did not reach the edited set";
    EXPECT_EQ(scene()->GetShotToItemMap(), editedMap);
    EXPECT_FALSE(editor()->GetHistory()->Record());
}

TEST_F(LayerShotsTest, LayerShotsNeverReachTheRecordsAndFollowTheLayers)
{
    OpenLayerShotSet();
    std::vector<float> opened;
    for (const LayerInfo& layer : scene()->GetLayers())
        opened.push_back(layer.zoomX);
    // The Desk shot brings Desk to full frame; the Layers page shows it at its own place.
    ShowPage(2);
    SelectShot(ShotNamed(L"Desk"));
    EXPECT_NEAR(PlacementOfItem(2).zoomX, 1.0f, 0.001f);
    ShowPage(1);
    EXPECT_NEAR(PlacementOfItem(2).zoomX, 0.5f, 0.001f);
    // Played, and the page left while it runs.
    ShowPage(2);
    SelectShot(ShotNamed(L"Anchor"));
    shots()->DurationField()->setValue(0.6);
    Click(shots(), 1499);
    ShowPage(1);
    Pump(800);
    for (size_t i = 0; i < opened.size(); ++i)
        EXPECT_FLOAT_EQ(scene()->GetLayers()[i].zoomX, opened[i]) << "layer " << i;

    // Anchor moved below Desk: its shot still shows Anchor.
    layers()->List()->SetCurSel(0);
    Pump(50);
    Click(layers(), 1102);
    ShowPage(2);
    SelectShot(ShotNamed(L"Anchor"));
    ASSERT_EQ(GetRecordName(scene()->GetLayers()[1].name), L"Anchor");
    EXPECT_NEAR(PlacementOfItem(2).zoomX, 1.0f, 0.001f) << "the Anchor shot shows another layer";
    EXPECT_NEAR(PlacementOfItem(1).zoomX, 0.5f, 0.001f);

    SetExistingTargetHandler([](const std::wstring&, std::wstring&) { return true; });
    editor()->RunCommand(ID_SAVE);
    LayerList saved;
    ShotList savedShots;
    std::vector<uint8_t> thumbnail;
    ASSERT_TRUE(ReadSceneFile(dir().wfile("Set/scene.tvn"), saved, savedShots, &thumbnail, nullptr, false));
    ASSERT_EQ(saved.size(), 3u);
    for (const LayerInfo& layer : saved) {
        const float expected = GetRecordName(layer.name) == L"Background" ? 1.0f : 0.5f;
        EXPECT_FLOAT_EQ(layer.zoomX, expected) << "a layer was saved at its shot's full frame";
    }
}

TEST_F(LayerShotsTest, UndoOnTheShotsPageMovesTheCameraAndPicturesWaitForTheSave)
{
    ShotInfo close = MakeShot("Close", 0.5f, 0.2f, 2.0f, 2.0f);
    close.rotateX = 0.3f;
    close.rotateY = 0.2f;
    MakeNativeSet(dir().path(), "Set", {TestLayer{"Red", Qt::red}}, {MakeShot("Wide", 0, 0, 1, 1), close});
    OpenEditor();
    ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
    const std::vector<std::string> folder = FolderTree(dir().file("Set"));
    ShowPage(2);
    SelectShot(1);
    shots()->Channel(0)->Slider()->setFocus();
    QTest::keyClick(shots()->Channel(0)->Slider(), Qt::Key_PageUp);
    EndGesture();
    ASSERT_EQ(stack()->count(), 1);
    editor()->Undo();
    Pump(100);
    EXPECT_NEAR(PlacementOfItem(0).x, 0.5f, 0.001f) << "the camera stayed where the undone edit left it";

    // A camera drag changes the place and keeps the shot's own rotations.
    DragOnPreview({960, 540}, {900, 500});
    const ShotInfo& dragged = scene()->GetShots()[1];
    EXPECT_LT(dragged.x, 0.49f);
    EXPECT_FLOAT_EQ(dragged.rotateX, 0.3f);
    EXPECT_FLOAT_EQ(dragged.rotateY, 0.2f);

    // Pictures while editing stay out of the set folder.
    Click(shots(), 1230);  // a third shot
    Pump(400);
    ASSERT_EQ(scene()->GetShots().size(), 3u);
    const std::wstring third = scene()->GetShotPicturePath(2);
    ASSERT_FALSE(third.empty());
    SelectShot(0);
    Click(shots(), 1138);  // remove Wide
    EXPECT_EQ(FolderTree(dir().file("Set")), folder);
    EXPECT_EQ(scene()->GetShotPicturePath(1), third) << "a picture must follow its shot";

    // Saved: numbered as the shots are; removing and saving again renumbers.
    SetExistingTargetHandler([](const std::wstring&, std::wstring&) { return true; });
    editor()->RunCommand(ID_SAVE);
    const std::string thirdBytes = testsupport::ReadFileBytes(dir().file("Set/1.bmp"));
    EXPECT_FALSE(thirdBytes.empty());
    SelectShot(0);
    Click(shots(), 1138);
    editor()->RunCommand(ID_SAVE);
    EXPECT_EQ(testsupport::ReadFileBytes(dir().file("Set/0.bmp")), thirdBytes);
    EXPECT_FALSE(platform::PathExists(dir().wfile("Set/1.bmp")));
    // Undoing the removal brings each picture back with its shot.
    editor()->Undo();
    Pump(100);
    ASSERT_EQ(scene()->GetShots().size(), 2u);
    EXPECT_EQ(testsupport::ReadFileBytes(platform::WideToUtf8(scene()->GetShotPicturePath(1))), thirdBytes);
}
