// Undo and redo in the real editor on the real engine: edits made through
// the pages' widgets and the preview, undone step by step back to the set as
// opened (records and engine items alike), redone to the edited set; the
// unsaved-changes question follows the history's clean state; arrow keys
// nudge the selection.
#include "../model_set/SetTestData.h"
#include "../ui_editor/EditorTestSupport.h"
#include "lumora/ControlId.h"
#include "lumora/Lang.h"
#include "lumora/MyListCtrl.h"
#include "lumora/MyTabCtrl.h"
#include "model/MultiViewSource.h"
#include "model/SetContent.h"
#include "preview/ObsQtWindow.h"
#include "ui/DlgExist.h"
#include "ui/EditHistory.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"
#include "ui/SliderChannel.h"
#include "ui/WndEditorPosition.h"
#include "ui/WndEditorShot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QDoubleSpinBox>
#include <QSlider>
#include <QTest>

#include <cstring>
#include <sstream>

using namespace settest;

namespace {

void Click(QWidget* parent, int id)
{
    auto* button = qobject_cast<QAbstractButton*>(lumora::FindControl(parent, id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

class EditorHistoryTest : public EditorWindowTest {
protected:
    void Open(const ShotList& shots = {})
    {
        TestLayer red{"Red", Qt::red, 64, 36};
        red.x = -0.5f;
        red.zoomX = 0.5f;
        TestLayer blue{"Blue", Qt::blue, 64, 36};
        blue.x = 0.5f;
        blue.zoomX = 0.5f;
        MakeNativeSet(dir().path(), "Set", {red, blue}, shots);
        WritePicture(dir().file("green.png"), 32, 18, Qt::green);
        OpenEditor();
        ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
    }
    void ShowPage(int page)
    {
        editor()->GetTabControl()->setCurrentIndex(page);
        Pump(100);
    }
    // Lets the gesture's step be taken.
    void EndGesture() { SettleGesture(); }
    CMultiViewSource* scene() { return editor()->GetScene(); }
    CWndEditorPosition* layers() { return static_cast<CWndEditorPosition*>(editor()->GetPanel(1)); }
    CWndEditorShot* shots() { return static_cast<CWndEditorShot*>(editor()->GetPanel(2)); }
    QUndoStack* stack() { return editor()->GetHistory()->Stack(); }
    void Type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        EndGesture();
    }

    // Every layer item as the engine has it: source file, place, scale, crop, visibility, order.
    std::string EngineState()
    {
        std::ostringstream out;
        const size_t count = scene()->GetLayers().size();
        for (size_t i = 0; i < count; ++i) {
            obs_sceneitem_t* item = scene()->GetItem(static_cast<int>(i) + 1);
            obs_source_t* source = obs_sceneitem_get_source(item);
            OBSDataAutoRelease settings = obs_source_get_settings(source);
            vec2 pos, scale;
            obs_sceneitem_get_pos(item, &pos);
            obs_sceneitem_get_scale(item, &scale);
            obs_sceneitem_crop crop;
            obs_sceneitem_get_crop(item, &crop);
            out << obs_data_get_string(settings, "file") << " " << pos.x << "," << pos.y << " " << scale.x << ","
                << scale.y << " " << obs_sceneitem_get_rot(item) << " " << crop.left << "," << crop.top << ","
                << crop.right << "," << crop.bottom << " " << obs_sceneitem_visible(item) << " "
                << obs_sceneitem_get_order_position(item) << "\n";
        }
        return out.str();
    }
};

}  // namespace

TEST_F(EditorHistoryTest, MixedEditsUndoStepByStepToTheOpenedSetAndRedoToTheEditedOne)
{
    Open({MakeShot("Wide", 0, 0, 1, 1)});
    const SetContent opened = SetContent::Capture(*scene());
    const std::string openedEngine = EngineState();
    ShowPage(1);
    CWndEditorPosition* page = layers();

    // 1. A slider moved with the keyboard.
    page->Channel(0)->Slider()->setFocus();
    QTest::keyClick(page->Channel(0)->Slider(), Qt::Key_Right);
    EndGesture();
    // 2. A slider dragged with the mouse: many values, one step.
    QSlider* zoom = page->Channel(2)->Slider();
    QTest::mousePress(zoom, Qt::LeftButton, {}, QPoint(zoom->width() / 2, zoom->height() / 2));
    for (int x = zoom->width() / 2; x < zoom->width() - 4; x += 6)
        QTest::mouseMove(zoom, QPoint(x, zoom->height() / 2));
    QTest::mouseRelease(zoom, Qt::LeftButton, {}, QPoint(zoom->width() - 4, zoom->height() / 2));
    EndGesture();
    ASSERT_EQ(stack()->count(), 2) << "a slider drag must be a single step";
    // 3. Renamed.
    Type(qobject_cast<QLineEdit*>(lumora::FindControl(page, 1075)), QStringLiteral("Crimson"));
    // 4. Hidden with the row's check box.
    QTest::mouseClick(page->List()->viewport(), Qt::LeftButton, {}, page->List()->CheckBoxRect(1).center());
    EndGesture();
    // 5. Replaceable (a box without text takes clicks on its mark).
    QWidget* replaceable = lumora::FindControl(page, 1116);
    QTest::mouseClick(replaceable, Qt::LeftButton, {}, QPoint(8, replaceable->height() / 2));
    EndGesture();
    // 6. A layer added from a file.
    m_fileAnswers = {dir().wfile("green.png")};
    Click(page, 1230);
    EndGesture();
    // 7. Crimson moved down (the added layer went in just above it).
    int crimson = -1;
    for (size_t i = 0; i < scene()->GetLayers().size(); ++i)
        if (GetRecordName(scene()->GetLayers()[i].name) == L"Crimson")
            crimson = static_cast<int>(i);
    ASSERT_GE(crimson, 0);
    page->List()->SetCurSel(crimson);
    Pump(50);
    Click(page, 1102);
    EndGesture();
    // 8.-10. A shot added, moved and renamed.
    ShowPage(2);
    Click(shots(), 1230);
    EndGesture();
    shots()->Channel(0)->Slider()->setFocus();
    QTest::keyClick(shots()->Channel(0)->Slider(), Qt::Key_Left);
    EndGesture();
    Type(qobject_cast<QLineEdit*>(lumora::FindControl(shots(), 1489)), QStringLiteral("Close"));
    // 11. The set's name on the General page.
    ShowPage(0);
    Type(qobject_cast<QLineEdit*>(lumora::FindControl(editor()->GetPanel(0), 1075)), QStringLiteral("Renamed"));

    ASSERT_EQ(stack()->count(), 11);
    // Each step is named after what it changed.
    const auto text = [](unsigned id, auto... values) { return QString::fromStdWString(Lang::FormatLangString(id, values...)); };
    const QString names[11] = {text(1417, L"Red"),        text(1417, L"Red"),         text(1416, L"Crimson"),
                               text(1420, L"Blue"),       text(1420, L"Crimson"),     text(1413, L"green"),
                               text(1415),                text(1421),                 text(1421),
                               text(1421),                text(1422)};
    for (int step = 0; step < 11; ++step)
        EXPECT_EQ(stack()->text(step), names[step]) << "step " << step + 1;
    const SetContent edited = SetContent::Capture(*scene());
    const std::string editedEngine = EngineState();
    ASSERT_EQ(scene()->GetLayers().size(), 3u);
    EXPECT_EQ(GetRecordName(scene()->GetLayers()[static_cast<size_t>(crimson) + 1].name), L"Crimson");
    EXPECT_EQ(scene()->GetShots().size(), 2u);
    EXPECT_TRUE(editor()->HasUnsavedChanges());

    for (int step = 11; step > 0; --step) {
        ASSERT_EQ(stack()->index(), step);
        editor()->Undo();
        Pump(20);
    }
    EXPECT_TRUE(SetContent::Capture(*scene()) == opened) << "undo did not return the records to the opened set";
    EXPECT_EQ(EngineState(), openedEngine);
    EXPECT_FALSE(editor()->HasUnsavedChanges());
    EXPECT_FALSE(stack()->canUndo());

    // Ctrl+Y and Ctrl+Shift+Z redo.
    QApplication::setActiveWindow(editor());
    QTest::keyClick(editor(), Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(stack()->index(), 2);
    while (stack()->canRedo())
        editor()->Redo();
    EXPECT_TRUE(SetContent::Capture(*scene()) == edited) << "redo did not reach the edited set";
    EXPECT_EQ(EngineState(), editedEngine);
    // The pages show the state they are in.
    ShowPage(1);
    EXPECT_EQ(layers()->List()->GetItemCount(), 3);
    EXPECT_EQ(layers()->List()->GetItemText(crimson + 1, 0), "Crimson");
    SaveScreenshot("editor-history");
}

TEST_F(EditorHistoryTest, SavingIsTheCleanStateAndAWholeDragIsOneStep)
{
    Open();
    ShowPage(1);
    ObsQtWindow* preview = editor()->GetPreview();
    preview->setFocus();
    Pump(50);
    // A drag of the red layer on the preview: press, many moves, release.
    const QPoint start(preview->width() / 4, preview->height() / 2);
    QTest::mousePress(preview, Qt::LeftButton, {}, start);
    for (int dx = 4; dx <= 80; dx += 4)
        QTest::mouseMove(preview, start + QPoint(dx, 0));
    QTest::mouseRelease(preview, Qt::LeftButton, {}, start + QPoint(80, 0));
    EndGesture();
    ASSERT_GT(scene()->GetLayers()[0].x, -0.45f) << "the drag did not move the layer";
    EXPECT_EQ(stack()->count(), 1);

    // Arrow keys move the selection by one canvas pixel, with Shift by ten.
    obs_sceneitem_t* red = scene()->GetItem(1);
    vec2 before;
    obs_sceneitem_get_pos(red, &before);
    // (The engine's moves reach the records through the event queue, as between a user's key presses.)
    QTest::keyClick(preview, Qt::Key_Right);
    EndGesture();
    QTest::keyClick(preview, Qt::Key_Down, Qt::ShiftModifier);
    EndGesture();
    vec2 after;
    obs_sceneitem_get_pos(red, &after);
    EXPECT_FLOAT_EQ(after.x - before.x, 1.0f);
    EXPECT_FLOAT_EQ(after.y - before.y, 10.0f);
    EXPECT_EQ(stack()->count(), 3);
    obs_source_t* redPicture = obs_sceneitem_get_source(red);
    editor()->Undo();
    obs_sceneitem_get_pos(scene()->GetItem(1), &after);
    EXPECT_FLOAT_EQ(after.y, before.y);
    // A step that only moved layers puts them back where they stand: the
    // same items and pictures, still selected for the next nudge.
    EXPECT_EQ(scene()->GetItem(1), red);
    EXPECT_EQ(obs_sceneitem_get_source(scene()->GetItem(1)), redPicture);
    EXPECT_TRUE(obs_sceneitem_selected(red));
    editor()->Redo();
    obs_sceneitem_get_pos(red, &after);
    EXPECT_FLOAT_EQ(after.y - before.y, 10.0f);
    editor()->Undo();

    // Saved: clean, no question on closing; one more edit asks again, and
    // undoing it back to the saved state does not.
    SetExistingTargetHandler([](const std::wstring&, std::wstring&) { return true; });  // overwrite
    editor()->RunCommand(ID_SAVE);
    Pump(100);
    EXPECT_TRUE(stack()->isClean());
    EXPECT_FALSE(editor()->HasUnsavedChanges());
    QTest::keyClick(preview, Qt::Key_Left);
    EndGesture();
    EXPECT_TRUE(editor()->HasUnsavedChanges());
    editor()->Undo();
    EXPECT_FALSE(editor()->HasUnsavedChanges());
    m_messages.clear();
    EXPECT_TRUE(editor()->ConfirmDiscardChanges());
    EXPECT_TRUE(m_messages.empty());

    // Delete on the preview asks before the selected layer goes.
    m_answers = {IDNO};
    QTest::keyClick(preview, Qt::Key_Delete);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(scene()->GetLayers().size(), 2u);
    m_answers = {IDYES};
    QTest::keyClick(preview, Qt::Key_Delete);
    EXPECT_EQ(scene()->GetLayers().size(), 1u);
    EndGesture();
    editor()->Undo();
    EXPECT_EQ(scene()->GetLayers().size(), 2u);

    // Opening another set starts an empty history.
    ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
    EXPECT_EQ(stack()->count(), 0);
}

TEST_F(EditorHistoryTest, PlayRunsTheTimedTransitionWithoutTouchingTheShots)
{
    Open({MakeShot("Wide", 0, 0, 1, 1), MakeShot("Close", 0.5f, 0.2f, 2, 2)});
    ShowPage(2);
    shots()->List()->setCurrentRow(1);
    Pump(300);
    const ShotList before = scene()->GetShots();
    shots()->DurationField()->setValue(0.4);
    Click(shots(), 1499);
    ASSERT_TRUE(shots()->IsPlaying());
    // Part way the camera is between the two shots.
    Pump(200);
    vec2 scale;
    obs_sceneitem_get_scale(scene()->GetItem(0), &scale);
    EXPECT_TRUE(WaitUntil([&] { return !shots()->IsPlaying(); }));
    vec2 end;
    obs_sceneitem_get_scale(scene()->GetItem(0), &end);
    EXPECT_GT(end.x, scale.x) << "the camera did not move over time";
    ASSERT_EQ(scene()->GetShots().size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(std::memcmp(&scene()->GetShots()[i], &before[i], sizeof(ShotInfo)), 0)
            << "shot " << i << " changed";
    EXPECT_EQ(stack()->count(), 0);
}
