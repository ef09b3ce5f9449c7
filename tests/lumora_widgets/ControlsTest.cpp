// The owner-drawn controls on real windows inside a frame's client area:
// what reaches the owner, the splitter's clamped drag, the list's drawn
// check boxes, button states, link labels, accessible names, and buttons
// worked from the keyboard and by a screen reader's press.
#include "WidgetTestSupport.h"

#include "lumora/AccessibleName.h"
#include "lumora/ControlId.h"
#include "lumora/FocusRing.h"
#include "lumora/GdipButton.h"
#include "lumora/GdiplusButton.h"
#include "lumora/ImageList.h"
#include "lumora/Label.h"
#include "lumora/MyListCtrl.h"
#include "lumora/MyPopDialog.h"
#include "lumora/MySplitWnd.h"
#include "lumora/MyTabCtrl.h"
#include "lumora/ResourceImage.h"
#include "lumora/ShellOpen.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QSignalSpy>
#include <gtest/gtest.h>

using widgettest::App;

namespace {

struct Notified {
    unsigned id;
    unsigned code;
    int delta = 0;      // NM_SPLITMOVED
    int item = -1;      // list notifications
    unsigned newState = 0, oldState = 0;
};

// A frame that records what its controls send it.
class Owner : public CMyPopDialog {
public:
    Owner() : CMyPopDialog(392, 128, 128, nullptr, 27) { resize(1200, 700); }
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT*) override
    {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        Notified n{static_cast<unsigned>(wParam), header->code};
        if (header->code == NM_SPLITMOVED)
            n.delta = reinterpret_cast<const NMSPLITWND*>(lParam)->delta;
        if (header->code == LVN_ITEMCHANGED) {
            const auto* list = reinterpret_cast<const NMLISTVIEW*>(lParam);
            n.item = list->iItem;
            n.newState = list->uNewState;
            n.oldState = list->uOldState;
        }
        notifications.push_back(n);
        return true;
    }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back(LOWORD(wParam));
        return CMyPopDialog::OnCommand(wParam, lParam);
    }
    std::vector<Notified> Of(unsigned code) const
    {
        std::vector<Notified> found;
        for (const Notified& n : notifications)
            if (n.code == code)
                found.push_back(n);
        return found;
    }
    std::vector<Notified> notifications;
    std::vector<unsigned> commands;
};

void Drag(QWidget* widget, QPoint from, QPoint to)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(widget, (from + to) / 2);
    QTest::mouseMove(widget, to);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to);
}

class Controls : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(widgettest::ShowAndWait(owner)); }
    template <class T>
    T* Add(int id)
    {
        auto* control = new T(owner.ClientWidget());
        lumora::SetControlId(control, id);
        control->show();
        return control;
    }
    QApplication& app = App();  // before any widget
    Owner owner;
};

TEST_F(Controls, SplitterDragStopsAtItsMaximumAndReportsTheDisplacement)
{
    auto* split = new CMySplitWnd();
    ASSERT_TRUE(split->Create(0, QRect(300, 50, 4, 600), owner.ClientWidget(), 110));
    EXPECT_EQ(split->Orientation(), CMySplitWnd::Vertical);
    EXPECT_EQ(split->width(), 5);
    split->SetRange(120, 400);
    QSignalSpy moved(split, &CMySplitWnd::Moved);

    Drag(split, QPoint(2, 100), QPoint(2 + 600, 100));
    EXPECT_EQ(split->x(), 400);
    ASSERT_EQ(owner.Of(NM_SPLITMOVED).size(), 1u);
    EXPECT_EQ(owner.Of(NM_SPLITMOVED)[0].id, 110u);
    EXPECT_EQ(owner.Of(NM_SPLITMOVED)[0].delta, 100);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0][0].toInt(), 100);

    Drag(split, QPoint(2, 100), QPoint(2 - 500, 100));
    EXPECT_EQ(split->x(), 120);
    EXPECT_EQ(owner.Of(NM_SPLITMOVED).back().delta, -280);
}

TEST_F(Controls, SplitterWithAnInvertedRangeStaysInsideTheWindow)
{
    // A 1000-pixel window gives the range 100 .. 0.
    auto* split = new CMySplitWnd();
    ASSERT_TRUE(split->Create(0, QRect(300, 50, 4, 600), owner.ClientWidget(), 110));
    split->SetRange(100, 0);
    Drag(split, QPoint(2, 100), QPoint(900, 100));
    EXPECT_EQ(split->x(), 300);
    EXPECT_EQ(owner.Of(NM_SPLITMOVED).back().delta, 0);

    // A range past the window's edge is cut to the window.
    split->SetRange(0, 5000);
    Drag(split, QPoint(2, 100), QPoint(3000, 100));
    EXPECT_EQ(split->geometry().right(), owner.ClientWidget()->width() - 1);
}

TEST_F(Controls, ChangeWidthMovesTheEdgesOfTheSidesItIsGiven)
{
    QWidget* left = new QWidget(owner.ClientWidget());
    left->setGeometry(0, 50, 300, 100);
    CMySplitWnd::ChangeWidth(left, 40, CMySplitWnd::SideRight);
    EXPECT_EQ(left->geometry(), QRect(0, 50, 340, 100));
    CMySplitWnd::ChangeWidth(left, 10, CMySplitWnd::SideLeft);
    EXPECT_EQ(left->geometry(), QRect(-10, 50, 350, 100));
    CMySplitWnd::ChangeWidth(left, 5, CMySplitWnd::SideBoth);
    EXPECT_EQ(left->geometry(), QRect(-15, 50, 350, 100));
    CMySplitWnd::ChangeWidth(left, -1000, CMySplitWnd::SideRight);
    EXPECT_EQ(left->width(), 0);
    CMySplitWnd::ChangeWidth(left, 7, 3);
    EXPECT_EQ(left->width(), 0);
}

TEST_F(Controls, ListCheckBoxesToggleOnClickAndNotifyTheOwner)
{
    auto* list = Add<CMyListCtrl>(1133);
    list->setGeometry(10, 10, 400, 300);
    list->SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    list->InsertColumn(0, "Name", LVCFMT_LEFT, 200);
    list->InsertColumn(1, "Size", LVCFMT_RIGHT, 100);
    for (int i = 0; i < 3; ++i)
        list->InsertItem(i, QString("layer %1").arg(i));
    QSignalSpy changed(list, &CMyListCtrl::CheckChanged);
    QTest::qWait(20);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->CheckBoxRect(1).center());
    EXPECT_TRUE(list->GetCheck(1));
    ASSERT_EQ(owner.Of(LVN_ITEMCHANGED).size(), 1u);
    const Notified n = owner.Of(LVN_ITEMCHANGED)[0];
    EXPECT_EQ(n.id, 1133u);
    EXPECT_EQ(n.item, 1);
    EXPECT_EQ(n.newState, INDEXTOSTATEIMAGEMASK(2));
    EXPECT_EQ(n.oldState, INDEXTOSTATEIMAGEMASK(1));
    ASSERT_EQ(changed.count(), 1);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->CheckBoxRect(1).center());
    EXPECT_FALSE(list->GetCheck(1));
    EXPECT_EQ(owner.Of(LVN_ITEMCHANGED).back().newState, INDEXTOSTATEIMAGEMASK(1));

    // A click on the text selects the row and leaves the box alone.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->CheckBoxRect(2).center() + QPoint(120, 0));
    EXPECT_FALSE(list->GetCheck(2));
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(owner.Of(LVN_ITEMCHANGED).back().newState, LVIS_SELECTED | LVIS_FOCUSED);
}

// A dragged row is reported with the place it would take; let go in its own
// gap or dropped with Escape, nothing is. An edited row's text is reported
// when the editor is accepted, never when Escape drops it.
TEST_F(Controls, ListRowsDragToTheGapUnderThePointerAndEditsReportOnlyWhenAccepted)
{
    auto* list = Add<CMyListCtrl>(1133);
    list->setGeometry(10, 10, 400, 300);
    list->SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    list->InsertColumn(0, "Name", LVCFMT_LEFT, 380);
    list->SetPictureSize(QSize(48, 27));
    list->SetItemHeight(34);
    list->EnableRowDrag(true);
    for (int i = 0; i < 4; ++i)
        list->InsertItem(i, QString("layer %1").arg(i));
    QSignalSpy dragged(list, &CMyListCtrl::RowDragged);
    QSignalSpy edited(list, &CMyListCtrl::RowTextEdited);
    QTest::qWait(20);
    const auto row = [&](int index) { return list->visualItemRect(list->topLevelItem(index)); };
    const QPoint inText(200, 0);

    Drag(list->viewport(), QPoint(inText.x(), row(3).center().y()), QPoint(inText.x(), row(0).top() + 3));
    ASSERT_EQ(dragged.count(), 1);
    EXPECT_EQ(dragged[0][0].toInt(), 3);
    EXPECT_EQ(dragged[0][1].toInt(), 0);
    Drag(list->viewport(), QPoint(inText.x(), row(0).center().y()), QPoint(inText.x(), row(1).bottom() - 3));
    ASSERT_EQ(dragged.count(), 2);
    EXPECT_EQ(dragged[1][0].toInt(), 0);
    EXPECT_EQ(dragged[1][1].toInt(), 1) << "below the second row: the row takes its place";
    Drag(list->viewport(), QPoint(inText.x(), row(2).center().y()), QPoint(inText.x(), row(2).bottom() - 2));
    EXPECT_EQ(dragged.count(), 2) << "let go in its own gap, the row stays";

    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(inText.x(), row(3).center().y()));
    QTest::mouseMove(list->viewport(), QPoint(inText.x(), row(0).top() + 2));
    EXPECT_TRUE(list->IsDraggingRow());
    QTest::keyClick(list, Qt::Key_Escape);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(inText.x(), row(0).top() + 2));
    EXPECT_EQ(dragged.count(), 2) << "Escape drops the drag";
    EXPECT_FALSE(list->IsDraggingRow());

    ASSERT_TRUE(list->EditRowText(1));
    QTest::qWait(20);
    auto* editor = list->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_GE(editor->geometry().left(), 20 + 48) << "the editor leaves the box and the picture visible";
    QTest::keyClicks(editor, "renamed");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(20);  // the item view closes its editor from the event queue
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited[0][0].toInt(), 1);
    EXPECT_EQ(edited[0][1].toString(), "renamed");

    ASSERT_TRUE(list->EditRowText(2));
    QTest::qWait(20);
    editor = list->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "dropped");
    QTest::keyClick(editor, Qt::Key_Escape);
    QTest::qWait(20);
    EXPECT_EQ(edited.count(), 1);
    EXPECT_EQ(list->GetItemText(2, 0), "layer 2");
}

// A screen reader reads each row's box as the row's checked state; a click
// on the box changes it once, as the list's own flag.
TEST_F(Controls, ListRowsExposeTheirCheckState)
{
    auto* list = Add<CMyListCtrl>(1133);
    list->setGeometry(10, 10, 400, 300);
    list->InsertColumn(0, "Name", LVCFMT_LEFT, 200);
    list->InsertItem(0, "before the boxes");
    list->SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    list->InsertItem(1, "layer");
    list->SetCheck(0, 1);
    QTest::qWait(20);
    const auto checked = [&](int row) {
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
        QAccessibleInterface* cell = table->tableInterface()->cellAt(row, 0);
        return cell && cell->state().checked;
    };
    EXPECT_TRUE(checked(0));
    EXPECT_FALSE(checked(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->CheckBoxRect(1).center());
    EXPECT_TRUE(list->GetCheck(1));
    EXPECT_TRUE(checked(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->CheckBoxRect(1).center());
    EXPECT_FALSE(list->GetCheck(1));
    EXPECT_FALSE(checked(1));
}

TEST_F(Controls, ListCheckFlagsFollowTheRows)
{
    auto* list = Add<CMyListCtrl>(1133);
    list->SetExtendedStyle(LVS_EX_CHECKBOXES);
    EXPECT_EQ(list->InsertItem(0, "no column"), -1);
    list->InsertColumn(0, "Name");
    list->InsertItem(0, "a");
    list->InsertItem(1, "b");
    EXPECT_FALSE(list->SetCheck(-1, 1));
    EXPECT_FALSE(list->SetCheck(2, 1));
    EXPECT_TRUE(list->SetCheck(1, 1));
    list->InsertItem(0, "first");
    EXPECT_TRUE(list->GetCheck(2));
    EXPECT_TRUE(list->DeleteItem(0));
    EXPECT_TRUE(list->GetCheck(1));

    list->DeleteAllItems();
    for (int i = 0; i < 3; ++i)
        list->InsertItem(i, "row");
    EXPECT_FALSE(list->GetCheck(0) || list->GetCheck(1) || list->GetCheck(2));

    CImageList images(QSize(32, 32));
    QPixmap picture(32, 32);
    picture.fill(Qt::green);
    images.Add(picture);
    EXPECT_EQ(list->SetImageList(&images, LVSIL_SMALL), nullptr);
    EXPECT_EQ(list->GetItemHeight(), 34);
    QTest::qWait(10);
    EXPECT_EQ(list->visualItemRect(list->topLevelItem(0)).height(), 34);
}

TEST_F(Controls, PictureButtonClicksReachTheOwnerUnlessDisabled)
{
    auto* button = Add<CGdipButton>(1124);
    ASSERT_TRUE(button->LoadStdImage(427));
    EXPECT_EQ(button->size(), QSize(16, 16));
    EXPECT_FALSE(button->LoadStdImage(99999));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(owner.commands, (std::vector<unsigned>{1124}));

    button->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(owner.commands.size(), 1u);

    button->SetCheck(true);
    EXPECT_TRUE(button->GetCheck());
    EXPECT_FALSE(button->grab().toImage().isNull());  // the disabled, checked look paints
}

TEST_F(Controls, ToggleNeedsTheAlternatePicture)
{
    auto* button = Add<CGdipButton>(1591);
    button->LoadStdImage(588);
    button->EnableToggle(true);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(button->IsToggled());

    ASSERT_TRUE(button->LoadAltImage(587));
    button->EnableToggle(true);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(button->IsToggled());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(button->IsToggled());
}

TEST_F(Controls, TextButtonAndTabsReachTheOwner)
{
    auto* save = Add<CGdiplusButton>(1605);
    save->setText("Save");
    save->resize(100, 28);
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(owner.commands, (std::vector<unsigned>{1605}));

    auto* tabs = Add<CMyTabCtrl>(1070);
    tabs->window()->show();  // a shown bar lays its tabs out on each resize
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tabs->window()));
    tabs->InsertItem(0, "General");
    tabs->InsertItem(1, "Layers");
    tabs->SetMinTabWidth(100);
    tabs->setFixedSize(tabs->sizeHint());
    EXPECT_GE(tabs->tabRect(0).width(), 100);
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
    EXPECT_EQ(tabs->GetCurSel(), 1);
    ASSERT_FALSE(owner.Of(TCN_SELCHANGE).empty());
    EXPECT_EQ(owner.Of(TCN_SELCHANGE).back().id, 1070u);

    // A bar narrower than its tabs: they share it, the last still inside
    // and still a click away.
    tabs->InsertItem(2, "Tolvenar");
    tabs->setFixedSize(tabs->sizeHint().width() * 2 / 3, tabs->sizeHint().height());
    EXPECT_LE(tabs->tabRect(2).right(), tabs->width() - 1);
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(2).center());
    EXPECT_EQ(tabs->GetCurSel(), 2);
}

// Each tab is a named page tab, read as selected while it shows; press on
// one turns to it as a click does.
TEST_F(Controls, TabsExposeWhichIsSelectedAndTurnOnPress)
{
    auto* tabs = Add<CMyTabCtrl>(1070);
    tabs->InsertItem(0, "&General");
    tabs->InsertItem(1, "Layers");
    tabs->resize(tabs->sizeHint());
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(tabs);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_EQ(list->childCount(), 2);
    QAccessibleInterface* general = list->child(0);
    QAccessibleInterface* layers = list->child(1);
    EXPECT_EQ(general->role(), QAccessible::PageTab);
    EXPECT_EQ(general->text(QAccessible::Name), "General");
    EXPECT_EQ(list->indexOfChild(layers), 1);
    EXPECT_EQ(layers->parent(), list);
    EXPECT_TRUE(general->state().selected);
    EXPECT_FALSE(layers->state().selected);

    const size_t changes = owner.Of(TCN_SELCHANGE).size();
    layers->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_TRUE(layers->state().selected);
    EXPECT_FALSE(general->state().selected);
    EXPECT_EQ(owner.Of(TCN_SELCHANGE).size(), changes + 1);
    EXPECT_EQ(list->childAt(layers->rect().center().x(), layers->rect().center().y()), layers);
}

TEST_F(Controls, LinkLabelOpensItsTargetOrItsOwnTextThroughTheOpenHandler)
{
    QStringList opened;
    const lumora::ShellOpenHandler previous = lumora::SetShellOpenHandler([&](const QString& target) {
        opened << target;
        return true;
    });
    auto* label = Add<CLabel>(1149);
    label->SetText("https://example.org/home").SetLink(true, {});
    label->resize(300, 20);
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(label, Qt::LeftButton);
    label->SetLink(true, "mailto:help@example.org");
    QTest::mouseClick(label, Qt::LeftButton);
    label->SetLink(false);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(opened, (QStringList{"https://example.org/home", "mailto:help@example.org"}));
    EXPECT_EQ(owner.commands, (std::vector<unsigned>{1149, 1149}));
    lumora::SetShellOpenHandler(previous);
}

TEST_F(Controls, ControlsAreNamedForScreenReadersByTextOrTooltip)
{
    auto* snapshot = Add<CGdipButton>(1077);
    snapshot->LoadStdImage(295);
    snapshot->SetToolTipText("Screenshot");
    auto* label = Add<CLabel>(1137);
    label->SetText("Zantrel 1.0");
    label->resize(200, 20);
    label->repaint();
    EXPECT_EQ(snapshot->accessibleName(), "Screenshot");
    EXPECT_EQ(label->accessibleName(), "Zantrel 1.0");
    label->setText("Translated");
    label->repaint();
    EXPECT_EQ(label->accessibleName(), "Translated");
}

// What a screen reader's "press" does: the click is played a moment later.
void PressForScreenReader(QWidget* button)
{
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(access, nullptr);
    ASSERT_NE(access->actionInterface(), nullptr);
    ASSERT_TRUE(access->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    access->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

QAccessible::State AccessibleState(QWidget* control) { return QAccessible::queryAccessibleInterface(control)->state(); }

// Focus goes only to a widget of the active window.
bool Activate(QWidget& window)
{
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

TEST_F(Controls, ButtonsActOnSpaceReturnAndPressExactlyAsOnAClick)
{
    auto* add = Add<CGdiplusButton>(1605);
    add->setText("Add");
    add->resize(100, 28);
    auto* snapshot = Add<CGdipButton>(1077);
    snapshot->LoadStdImage(295);
    snapshot->move(120, 0);
    ASSERT_TRUE(Activate(owner));
    for (QWidget* button : std::initializer_list<QWidget*>{add, snapshot}) {
        owner.commands.clear();
        const auto id = static_cast<unsigned>(lumora::GetControlId(button).value_or(0));
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(button->hasFocus()) << "a click gives the button the focus";
        QTest::keyClick(button, Qt::Key_Space);
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);  // not a click
        PressForScreenReader(button);
        EXPECT_TRUE(QTest::qWaitFor([&] { return owner.commands.size() == 5; }, 2000));
        EXPECT_EQ(owner.commands, std::vector<unsigned>(5, id));
    }
    // Tab reaches both kinds.
    add->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(add, Qt::Key_Tab);
    EXPECT_TRUE(snapshot->hasFocus());

    owner.commands.clear();
    add->setEnabled(false);
    QTest::keyClick(add, Qt::Key_Return);
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(add);
    EXPECT_FALSE(access->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    access->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTest::qWait(300);
    EXPECT_TRUE(owner.commands.empty()) << "a disabled button does nothing";
}

TEST_F(Controls, OnOffButtonsExposeTheirStateAndPressTogglesAsAClickDoes)
{
    auto* keepRatio = Add<CGdipButton>(1103);
    keepRatio->LoadStdImage(427);
    keepRatio->SetToolTipText("Keep ratio");
    EXPECT_FALSE(AccessibleState(keepRatio).checkable) << "a plain picture button has no on/off state";
    keepRatio->SetCheck(true);
    EXPECT_TRUE(AccessibleState(keepRatio).checkable);
    EXPECT_TRUE(AccessibleState(keepRatio).checked);
    keepRatio->SetCheck(false);
    EXPECT_FALSE(AccessibleState(keepRatio).checked);
    EXPECT_TRUE(AccessibleState(keepRatio).focusable);

    auto* play = Add<CGdipButton>(1591);
    play->LoadStdImage(588);
    ASSERT_TRUE(play->LoadAltImage(587));
    play->EnableToggle(true);
    EXPECT_FALSE(AccessibleState(play).checked);
    PressForScreenReader(play);
    EXPECT_TRUE(QTest::qWaitFor([&] { return play->IsToggled(); }, 2000));
    EXPECT_TRUE(AccessibleState(play).checked);
    QTest::keyClick(play, Qt::Key_Space);
    EXPECT_FALSE(play->IsToggled());
    EXPECT_EQ(owner.commands, (std::vector<unsigned>{1591, 1591}));
}

TEST_F(Controls, ButtonsAreNamedByWhatTheyDoAndShowTheirFocus)
{
    const auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    const auto description = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
    };
    auto* view = Add<CGdiplusButton>(1201);
    view->setText("V");
    view->SetToolTipText("Change the view");
    auto* choose = Add<CGdiplusButton>(1202);
    choose->setText("..");
    choose->SetToolTipText("Choose path");
    auto* save = Add<CGdiplusButton>(1203);
    save->setText("&Save");
    save->SetToolTipText("Save the set");
    auto* chinese = Add<CGdiplusButton>(1204);
    chinese->setText(QString::fromUtf8("存"));
    chinese->SetToolTipText("Keep");
    EXPECT_EQ(name(view), "Change the view");
    EXPECT_EQ(description(view), "");
    EXPECT_EQ(name(choose), "Choose path");
    EXPECT_EQ(name(save), "Save");
    EXPECT_EQ(description(save), "Save the set");
    EXPECT_EQ(name(chinese), QString::fromUtf8("存"));
    EXPECT_EQ(lumora::AccessibleNameFor("R", QString()), "R") << "without a tooltip the text stays";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(view)->role(), QAccessible::Button);

    save->resize(100, 28);
    ASSERT_TRUE(Activate(owner));
    save->clearFocus();
    const QImage unfocused = save->grab().toImage();
    save->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(save->hasFocus());
    const QImage focused = save->grab().toImage();
    EXPECT_NE(unfocused, focused) << "focus changes the button's look";
    // The ring is drawn in its own colour at the edge.
    EXPECT_EQ(focused.pixelColor(focused.width() / 2, 1).rgb(), lumora::FocusRingColor().rgb());
}

}  // namespace

namespace {

TEST(ResourcePictures, DrawnAtTheirSizeForEachPixelRatioAndAbsentIdsGiveNothing)
{
    App();
    for (int id : {465, 479, 478, 1006, 477, 468, 471, 474}) {
        const QSize size = lumora::ResourceImageSize(id);
        ASSERT_EQ(size.height(), 23) << id;
        const QPixmap twice = lumora::LoadResourceImage(id, "PNG", size, 2.0);
        EXPECT_EQ(twice.size(), size * 2) << id;
        EXPECT_EQ(twice.deviceIndependentSize().toSize(), size) << id;
    }
    EXPECT_EQ(lumora::ResourceImageSize(465).width(), 45);
    EXPECT_EQ(lumora::ResourceImageSize(474).width(), 31);
    // The close button's hover picture is red under its cross.
    EXPECT_GT(lumora::LoadResourceImage(479).toImage().pixelColor(2, 2).red(), 200);
    EXPECT_TRUE(lumora::LoadResourceImage(424242).isNull());
    EXPECT_FALSE(lumora::HasResourceImage(424242));
}

}  // namespace
