// The owner-drawn controls on real windows inside a frame's client area:
// what reaches the owner, the splitter's clamped drag, the list's drawn
// check boxes, button states, link labels and accessible names.
#include "WidgetTestSupport.h"

#include "lumora/ControlId.h"
#include "lumora/GdipButton.h"
#include "lumora/GdiplusButton.h"
#include "lumora/ImageList.h"
#include "lumora/Label.h"
#include "lumora/MyListCtrl.h"
#include "lumora/MyPopDialog.h"
#include "lumora/MySplitWnd.h"
#include "lumora/MyTabCtrl.h"
#include "lumora/ShellOpen.h"

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
    tabs->InsertItem(0, "General");
    tabs->InsertItem(1, "Layers");
    tabs->SetMinTabWidth(100);
    tabs->resize(tabs->sizeHint());
    EXPECT_GE(tabs->tabRect(0).width(), 100);
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
    EXPECT_EQ(tabs->GetCurSel(), 1);
    ASSERT_FALSE(owner.Of(TCN_SELCHANGE).empty());
    EXPECT_EQ(owner.Of(TCN_SELCHANGE).back().id, 1070u);
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

}  // namespace
