// The dialog frames on real windows: title buttons by flags and what each
// does, moving and resizing by the frame, the translated title-bar menu, and
// child dialogs that Enter and Escape leave alone.
#include "WidgetTestSupport.h"

#include "app/ResourceTexts.h"
#include "lumora/ControlId.h"
#include "lumora/FocusRing.h"
#include "lumora/LangTestSupport.h"
#include "lumora/MyDialog.h"
#include "lumora/MyPopDialog.h"
#include "lumora/TitleButtonControl.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <gtest/gtest.h>

using widgettest::App;
using widgettest::Click;

namespace {

class RecordingPopDialog : public CMyPopDialog {
public:
    explicit RecordingPopDialog(unsigned flags) : CMyPopDialog(392, 128, 128, nullptr, flags) { resize(640, 400); }
    void OnMenuPopup(QMenu* menu) override
    {
        popupTexts.clear();
        for (QAction* action : menu->actions())
            popupTexts << action->text();
    }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back(LOWORD(wParam));
        return CMyPopDialog::OnCommand(wParam, lParam);
    }
    QPoint ButtonCentre(size_t index) const { return TitleButtons().at(index).rect.center(); }

    QStringList popupTexts;
    std::vector<unsigned> commands;
};

// Menu 128 as the program builds it: its Chinese defaults and command ids.
std::unique_ptr<QMenu> FrameMenu(int menuId)
{
    auto top = std::make_unique<QMenu>();
    QMenu* items = top->addMenu(QStringLiteral("menu"));
    for (int command : {32874, 32877, 32878, 0, 32816}) {
        if (!command) {
            items->addSeparator();
            continue;
        }
        QAction* action = items->addAction(QString::fromStdWString(ResourceMenuText(menuId, command)));
        lumora::SetControlId(action, command);
    }
    return top;
}

std::vector<int> ButtonIds(const CMyPopDialog& dialog)
{
    std::vector<int> ids;
    for (const TitleButton_t& button : dialog.TitleButtons())
        ids.push_back(button.nID);
    return ids;
}

TEST(PopDialog, CloseOnlyFrameHasOneButtonAtTheRightAndClosesOnClick)
{
    App();
    RecordingPopDialog dialog(TB_CLOSE);
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    ASSERT_EQ(dialog.TitleButtons().size(), 1u);
    const TitleButton_t& close = dialog.TitleButtons()[0];
    EXPECT_EQ(close.nID, TB_CLOSE);
    EXPECT_EQ(close.rect.width(), 45);
    EXPECT_EQ(close.rect.height(), 23);
    EXPECT_EQ(close.rect.right(), dialog.width() - dialog.BorderWidth() - 1);
    EXPECT_EQ(close.rect.top(), (28 - 23) / 2);
    EXPECT_EQ(dialog.GetClientRect(), QRect(2, 28, 636, 370));
    EXPECT_EQ(dialog.ClientWidget()->geometry(), dialog.GetClientRect());

    Click(&dialog, dialog.ButtonCentre(0));
    QTRY_VERIFY(!dialog.isVisible());
}

TEST(PopDialog, MainWindowFlagsGiveCloseMaximizeMinimizeMenuAndMaximizeBecomesRestore)
{
    App();
    RecordingPopDialog dialog(27);
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    EXPECT_EQ(ButtonIds(dialog), (std::vector<int>{TB_CLOSE, TB_MAXIMIZE, TB_MINIMIZE, TB_MENU}));
    const auto& b = dialog.TitleButtons();
    EXPECT_EQ(b[1].rect.right() + 1, b[0].rect.left());
    EXPECT_EQ(b[1].rect.width(), 31);

    Click(&dialog, dialog.ButtonCentre(1));
    QTRY_VERIFY(dialog.isMaximized());
    EXPECT_EQ(dialog.TitleButtons()[1].nID, TB_RESTORE);
    EXPECT_EQ(dialog.TitleButtons()[1].nNormal, 468);

    Click(&dialog, dialog.ButtonCentre(1));
    QTRY_VERIFY(!dialog.isMaximized());
    EXPECT_EQ(dialog.TitleButtons()[1].nID, TB_MAXIMIZE);

    Click(&dialog, dialog.ButtonCentre(2));
    QTRY_VERIFY(dialog.isMinimized());
}

TEST(PopDialog, DoubleClickOnTheTitleMaximizesAndRestores)
{
    App();
    RecordingPopDialog dialog(27);
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    QTest::mouseDClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(200, 14));
    QTRY_VERIFY(dialog.isMaximized());
    QTest::mouseDClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(200, 14));
    QTRY_VERIFY(!dialog.isMaximized());
}

TEST(PopDialog, PressOnAButtonAndReleaseOutsideDoesNothing)
{
    App();
    RecordingPopDialog dialog(TB_CLOSE | TB_MAXIMIZE);
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, dialog.ButtonCentre(0));
    EXPECT_EQ(dialog.TitleButtons()[0].nState, 2);
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, dialog.ButtonCentre(1));
    QTest::qWait(50);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isMaximized());
    EXPECT_EQ(dialog.TitleButtons()[0].nState, 0);
}

TEST(PopDialog, HoverMarksTheButtonUnderThePointer)
{
    App();
    RecordingPopDialog dialog(27);
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    QTest::mouseMove(&dialog, dialog.ButtonCentre(2));
    QTRY_COMPARE(dialog.HoveredButton(), 2);
    EXPECT_EQ(dialog.TitleButtons()[2].nState, 1);
    QTest::mouseMove(&dialog, QPoint(300, 200));
    QTRY_COMPARE(dialog.HoveredButton(), -1);
}

TEST(PopDialog, DraggingTheTitleMovesAndTheCornerResizes)
{
    App();
    RecordingPopDialog dialog(27);
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    const QPoint start = dialog.pos();
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(200, 14));
    QTest::mouseMove(&dialog, QPoint(260, 44));
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(260, 44));
    QTRY_COMPARE(dialog.pos(), start + QPoint(60, 30));

    const QSize size = dialog.size();
    const QPoint corner(dialog.width() - 1, dialog.height() - 1);
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, corner);
    QTest::mouseMove(&dialog, corner + QPoint(40, 20));
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, corner + QPoint(40, 20));
    QTRY_COMPARE(dialog.size(), size + QSize(40, 20));
    EXPECT_EQ(dialog.ClientWidget()->size(), size + QSize(40, 20) - QSize(4, 30));
}

TEST(PopDialog, NarrowWindowDropsButtonsThatDoNotFitAndKeepsItsClientArea)
{
    App();
    RecordingPopDialog dialog(27);
    dialog.resize(60, 20);
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    const auto& b = dialog.TitleButtons();
    EXPECT_FALSE(b[0].rect.isEmpty());
    EXPECT_TRUE(b[1].rect.isEmpty() && b[2].rect.isEmpty() && b[3].rect.isEmpty());
    EXPECT_GE(b[0].rect.left(), dialog.BorderWidth());
    EXPECT_EQ(dialog.GetClientRect().height(), 0);
    EXPECT_GE(dialog.GetClientRect().width(), 0);
    Click(&dialog, QPoint(20, 14));  // where a dropped button would be: nothing
    EXPECT_FALSE(dialog.isMaximized());
}

// The main window's way: controls made in OnInitDialog, placed in OnSize.
class LaidOutDialog : public CMyPopDialog {
public:
    LaidOutDialog() : CMyPopDialog(392, 128, 128, nullptr, 27) { resize(800, 600); }
    bool OnInitDialog() override
    {
        bar = new QLabel("top bar", ClientWidget());
        return true;
    }
    void OnSize(int width, int height) override
    {
        if (bar)
            bar->setGeometry(0, 0, width, 50);
        lastSize = QSize(width, height);
    }
    QLabel* bar = nullptr;
    QSize lastSize;
};

TEST(PopDialog, ControlsMadeAtInitialisationAreLaidOutInTheClientArea)
{
    App();
    LaidOutDialog dialog;
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    ASSERT_NE(dialog.bar, nullptr);
    EXPECT_EQ(dialog.lastSize, QSize(796, 570));
    EXPECT_EQ(dialog.bar->geometry(), QRect(0, 0, 796, 50));
    EXPECT_EQ(dialog.bar->mapTo(&dialog, QPoint(0, 0)), QPoint(2, 28));
    dialog.resize(900, 700);
    QTRY_COMPARE(dialog.bar->width(), 896);
}

class PopMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        CMyPopDialog::SetMenuLoader(FrameMenu);
    }
    void TearDown() override { CMyPopDialog::SetMenuLoader(nullptr); }

    QStringList ShowMenu(RecordingPopDialog& dialog)
    {
        EXPECT_TRUE(widgettest::ShowAndWait(dialog));
        Click(&dialog, dialog.ButtonCentre(3));
        QMenu* menu = dialog.ShownMenu();
        EXPECT_NE(menu, nullptr);
        if (menu) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
            // Shown below the menu button, at its left edge.
            EXPECT_EQ(menu->pos(), dialog.mapToGlobal(dialog.TitleButtons()[3].rect.bottomLeft() + QPoint(0, 1)));
        }
        return dialog.popupTexts;
    }

    langtest::LangRoot m_root;
};

TEST_F(PopMenu, MenuButtonShowsTheMenuInEnglish)
{
    m_root.writeLanguage("English", u"[Menu]\r\nID128_32874=Home page\r\nID128_32877=Check for updates\r\n"
                                    u"ID128_32878=Recent updates\r\nID128_32816=About\r\n");
    Lang::SetCurLanguage(L"English");
    RecordingPopDialog dialog(27);
    EXPECT_EQ(ShowMenu(dialog), (QStringList{"Home page", "Check for updates", "Recent updates", "", "About"}));

    QMenu* menu = dialog.ShownMenu();
    ASSERT_NE(menu, nullptr);
    menu->actions().last()->trigger();
    EXPECT_EQ(dialog.commands, (std::vector<unsigned>{32816}));
}

TEST_F(PopMenu, F10OpensTheMenuWhichTheKeysWork)
{
    m_root.writeLanguage("English", u"[Menu]\r\nID128_32874=Home page\r\nID128_32877=Check for updates\r\n"
                                    u"ID128_32878=Recent updates\r\nID128_32816=About\r\n");
    Lang::SetCurLanguage(L"English");
    RecordingPopDialog dialog(27);
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_F10);
    QMenu* menu = dialog.ShownMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    EXPECT_EQ(dialog.popupTexts, (QStringList{"Home page", "Check for updates", "Recent updates", "", "About"}));
    // Up from the top wraps to the last item, About; Return chooses it.
    QTest::keyClick(menu, Qt::Key_Up);
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_COMPARE(dialog.commands, (std::vector<unsigned>{32816}));
}

TEST_F(PopMenu, MenuButtonShowsTheChineseDefaults)
{
    Lang::SetCurLanguage(kChineseLanguageName);
    RecordingPopDialog dialog(27);
    EXPECT_EQ(ShowMenu(dialog), (QStringList{"软件主页", "检查更新", "最近更新", "", "关于"}));
}

TEST_F(PopMenu, SystemCommandsFromTheMenuActOnTheWindow)
{
    RecordingPopDialog dialog(27);
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    dialog.WindowProc(WM_COMMAND, MAKEWPARAM(SC_MAXIMIZE, 0), 0);
    QTRY_VERIFY(dialog.isMaximized());
    dialog.WindowProc(WM_COMMAND, MAKEWPARAM(SC_CLOSE, 0), 0);
    QTRY_VERIFY(!dialog.isVisible());
}

// The window's own controls come first on Tab, then the title buttons from
// left to right; each is a named button that Space, Return and "press" work.
TEST(PopDialog, TitleButtonsAreNamedFocusableControlsThatTheKeysWork)
{
    App();
    RecordingPopDialog dialog(27);
    auto* edit = new QLineEdit(dialog.ClientWidget());
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == edit; })) << "the first focus is the window's own";

    const auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    QStringList onTab;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(focused);
        EXPECT_EQ(access->role(), QAccessible::Button);
        EXPECT_TRUE(access->state().focusable && access->state().focused);
        onTab << name(focused);
    }
    EXPECT_EQ(onTab, (QStringList{"Menu", "Minimise", "Maximise", "Close"}));
    // Each lies over the button it stands for.
    const auto controls = dialog.TitleButtonControls();
    for (size_t i = 0; i < controls.size(); ++i)
        EXPECT_EQ(controls[i]->geometry(), dialog.TitleButtons()[i].rect);

    CTitleButtonControl* maximise = controls[1];
    maximise->setFocus();
    QTest::keyClick(maximise, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isMaximized(); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return name(maximise) == QStringLiteral("Restore Down"); }));
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(maximise);
    access->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isMaximized(); }));
    EXPECT_EQ(name(maximise), QStringLiteral("Maximise"));

    controls[0]->setFocus();
    QTest::keyClick(controls[0], Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }));
}

// The focus ring shows on the focused title button and only there.
TEST(PopDialog, FocusedTitleButtonShowsTheRing)
{
    App();
    RecordingPopDialog dialog(TB_CLOSE);
    new QLineEdit(dialog.ClientWidget());
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const QRect button = dialog.TitleButtons()[0].rect;
    const auto ringPixels = [&] {
        const QImage image = dialog.grab(button).toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == lumora::FocusRingColor() ? 1 : 0;
        }
        return count;
    };
    const int before = ringPixels();
    dialog.TitleButtonControls()[0]->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ringPixels() > before + 2 * button.width(); }));
}

TEST_F(PopMenu, AltAloneOpensTheMenuAltWithAKeyDoesNot)
{
    RecordingPopDialog dialog(27);
    auto* edit = new QLineEdit(dialog.ClientWidget());
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    edit->setFocus();
    QTest::keyPress(edit, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyClick(edit, Qt::Key_X, Qt::AltModifier);
    QTest::keyRelease(edit, Qt::Key_Alt, Qt::NoModifier);
    EXPECT_EQ(dialog.ShownMenu(), nullptr);

    QTest::keyPress(edit, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(edit, Qt::Key_Alt, Qt::NoModifier);
    QMenu* menu = dialog.ShownMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    EXPECT_EQ(dialog.popupTexts.size(), 5);
    menu->close();
}

TEST(PopDialog, ShiftF10OpensTheFocusedControlsContextMenu)
{
    App();
    RecordingPopDialog dialog(TB_CLOSE);
    auto* edit = new QLineEdit(QStringLiteral("text"), dialog.ClientWidget());
    ASSERT_TRUE(widgettest::ShowAndWait(dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() != nullptr; }));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    // Opened over the field, at its text cursor.
    EXPECT_TRUE(edit->rect().translated(edit->mapToGlobal(QPoint())).adjusted(-2, -2, 2, 2).contains(menu->pos()));
    menu->close();
}

TEST(ChildDialog, EnterAndEscapeDoNotCloseIt)
{
    App();
    QWidget window;
    window.resize(400, 300);
    auto* panel = new CMyDialog(393, &window);
    auto* edit = new QLineEdit(panel);
    panel->setGeometry(0, 0, 400, 300);
    ASSERT_TRUE(widgettest::ShowAndWait(window));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::qWait(20);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isWindow());
}

TEST(ChildDialog, StaticTextsTakeTheSkinColourUnlessExcluded)
{
    App();
    CMyDialog panel(393);
    auto* plain = new QLabel("a", &panel);
    auto* own = new QLabel("b", &panel);
    QPalette red = own->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    own->setPalette(red);
    plain->setPalette(red);
    panel.AddExcludeControl(own);
    ASSERT_TRUE(widgettest::ShowAndWait(panel));
    EXPECT_EQ(own->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(plain->palette().color(QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(lumora::GetTemplateId(&panel), 393);
}

}  // namespace
