// The scene tab and its library pages as real windows under X: scans of real
// set folders, the view toggle across restarts, removal from the recent
// list, the folder choice, the tooltip and the open request. Writes
// screenshots of the icon and row views.
#include "LibraryTestData.h"
#include "app/LanguageSetup.h"
#include "app/ProjectSettings.h"
#include "app/SettingsFiles.h"
#include "formats/SceneFile.h"
#include "lumora/Label.h"
#include "lumora/Lang.h"
#include "platform/TextConv.h"
#include "support/RecordingWindow.h"
#include "support/TestSupport.h"
#include "ui/ClipInfo.h"
#include "ui/EditorMessages.h"
#include "LibraryTestHooks.h"
#include "ui/MessageTarget.h"
#include "ui/VSetListView.h"
#include "ui/WndSence.h"
#include "ui/WndVSetLib.h"
#include "ui/library/LibraryFolders.h"
#include "ui/library/LibraryKinds.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTabBar>
#include <QTest>
#include <QToolTip>
#include <filesystem>
#include <gtest/gtest.h>

using namespace librarytest;

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "library_view_tests";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "xcb");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A studio-like thumbnail: floor, wall, a desk and a screen.
std::string StudioThumbnail(int seed)
{
    QImage picture(1280, 720, QImage::Format_RGB32);
    QPainter p(&picture);
    const QColor wall = QColor::fromHsv((seed * 47) % 360, 120, 150);
    QLinearGradient back(0, 0, 0, 720);
    back.setColorAt(0, wall.darker(200));
    back.setColorAt(0.62, wall);
    back.setColorAt(0.63, QColor(40, 42, 48));
    back.setColorAt(1, QColor(15, 15, 18));
    p.fillRect(picture.rect(), back);
    p.fillRect(QRect(760, 120, 420, 240), QColor(20, 24, 30));
    p.fillRect(QRect(772, 132, 396, 216), QColor::fromHsv((seed * 47 + 180) % 360, 90, 230));
    p.setBrush(QColor(200, 200, 205));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRect(220, 430, 840, 150), 30, 30);
    p.end();
    return PictureBytes(picture, "JPEG");
}

class LibraryViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(qEnvironmentVariableIsSet("DISPLAY"));
        App();
        setenv("LANG", "en_US.UTF-8", 1);
        InitLanguages(platform::Utf8ToWide(std::string(KELVANE_BINARY_DIR) + "/bin/Language"));
        g_settings = ProjectSettings{};
        g_recentSets = CRecentSetList{};
        AnswerDialogs(&m_answers);
    }
    void TearDown() override { AnswerDialogs(nullptr); }

    // Waits for the page's next scan to finish; the number of rows.
    int WaitForScan(CWndVSetLib* page, const std::function<void()>& start = {})
    {
        int rows = -1;
        page->SetScanFinishedHandler([&](int n) { rows = n; });
        if (start)
            start();
        for (int n = 0; n < 400 && rows < 0; ++n)
            QTest::qWait(25);
        page->SetScanFinishedHandler({});
        return rows;
    }

    std::string Screenshot(QWidget* widget, const std::string& name)
    {
        const std::string folder = std::string(KELVANE_BINARY_DIR) + "/screenshots";
        std::filesystem::create_directories(folder);
        const std::string path = folder + "/" + name;
        widget->grab().save(QString::fromStdString(path));
        return path;
    }

    // A Tolvenar library: "<root>/Scene/VirtualSets/<name>".
    std::wstring MakeTolvenarLibrary(int sets)
    {
        const std::string scene = m_dir.file("Scene");
        static const char* names[] = {"Evening News", "Morning Show", "Sports Desk", "Weather Wall",
                                      "Election Night Special Coverage Studio", "Talk Corner", "Panel"};
        for (int n = 0; n < sets; ++n)
            MakeNativeSet(scene + "/VirtualSets/" + names[n % 7] + (n >= 7 ? " " + std::to_string(n) : ""),
                          n == 3 ? std::string("\xFF\xD8 broken") : StudioThumbnail(n), n == 2 ? 5 : 0);
        std::filesystem::create_directories(scene + "/Others");
        return platform::Utf8ToWide(scene);
    }

    testsupport::FreshUserFolders m_folders;
    testsupport::TempDir m_dir;
    DialogAnswers m_answers;
};

}  // namespace

TEST_F(LibraryViewTest, TolvenarPageListsItsTabsFolderAndShowsIconsAndRows)
{
    ASSERT_TRUE(WriteLibraryFolder(kLibraryTolvenar, MakeTolvenarLibrary(7)));
    CWndVSetLib page(kLibraryTolvenar, nullptr, nullptr);
    page.resize(520, 680);
    EXPECT_EQ(WaitForScan(&page, [&] { page.show(); }), 7);
    ASSERT_EQ(page.List()->Model()->rowCount(), 7);
    EXPECT_EQ(page.List()->Model()->data(page.List()->Model()->index(1), Qt::DisplayRole).toString(),
              QStringLiteral("Evening News"));
    EXPECT_EQ(page.List()->Model()->data(page.List()->Model()->index(0), Qt::DisplayRole).toString(),
              QStringLiteral("Election Night Special Coverage..") );
    EXPECT_TRUE(page.FolderLabel()->text().endsWith(QStringLiteral("/Scene/VirtualSets")));
    EXPECT_TRUE(page.LinkLabel()->isHidden());
    // Pictures are really drawn: the first cell's centre is the studio's wall, not the list's background.
    QTest::qWait(100);
    const QImage shot = page.grab().toImage();
    const QRect first = page.List()->visualRect(page.List()->Model()->index(1));
    const QPoint centre = page.List()->mapTo(&page, first.topLeft() + QPoint(120, 40));
    EXPECT_NE(shot.pixelColor(centre), page.List()->palette().color(QPalette::Base));
    Screenshot(&page, "library_icons.png");

    page.ToggleView();
    EXPECT_TRUE(page.IsRowView());
    QTest::qWait(100);
    EXPECT_EQ(page.List()->visualRect(page.List()->Model()->index(1)).height(), CVSetListView::kReportRowHeight);
    Screenshot(&page, "library_rows.png");
    EXPECT_EQ(g_settings.VirtualSet, 1u);

    // A library without "MultiViews" lists nothing on that tab.
    EXPECT_EQ(WaitForScan(&page, [&] { page.SubTabs()->setCurrentIndex(1); }), 0);
    EXPECT_EQ(page.List()->Model()->rowCount(), 0);
    EXPECT_EQ(WaitForScan(&page, [&] { page.SubTabs()->setCurrentIndex(0); }), 7);
}

TEST_F(LibraryViewTest, EveryPagesViewModeSurvivesARestart)
{
    {
        CWndSence tab(nullptr, nullptr);
        tab.resize(520, 600);
        tab.show();
        for (int n = 0; n < 3; ++n) {
            EXPECT_FALSE(tab.Page(n)->IsRowView());
            tab.Page(n)->ToggleView();
        }
    }
    g_settings = ProjectSettings{};  // a new run
    CWndSence tab(nullptr, nullptr);
    EXPECT_EQ(tab.Tabs()->tabText(0), QString::fromStdWString(Lang::LoadLangString(421)));
    EXPECT_EQ(tab.Tabs()->tabText(1), QStringLiteral("vMix"));
    EXPECT_EQ(tab.Tabs()->tabText(2), QStringLiteral("Tolvenar"));
    EXPECT_EQ(tab.Page(1)->Kind(), kLibraryVmix);
    EXPECT_EQ(tab.Page(2)->Kind(), kLibraryTolvenar);
    for (int n = 0; n < 3; ++n)
        EXPECT_TRUE(tab.Page(n)->IsRowView()) << "page " << n;
}

TEST_F(LibraryViewTest, RecentPageShowsNewestFirstAndRemovesRowZerosEntryAfterAsking)
{
    int64_t time = 100;
    for (const char* name : {"oldest", "middle", "newest"}) {
        MakeNativeSet(m_dir.file(name), StudioThumbnail(static_cast<int>(time)));
        g_recentSets.TouchRecentEntry(m_dir.wfile(name), ++time);
    }
    g_recentSets.TouchRecentEntry(m_dir.wfile("deleted since"), ++time);
    ASSERT_TRUE(g_recentSets.WriteRecentList());

    CWndSence tab(nullptr, nullptr);
    tab.resize(520, 600);
    CWndVSetLib* page = tab.Page(0);
    EXPECT_EQ(WaitForScan(page, [&] { tab.show(); }), 3);
    ASSERT_EQ(page->List()->Model()->Entry(0)->Name(), L"newest");
    EXPECT_FALSE(page->List()->isHidden());

    page->List()->setCurrentIndex(page->List()->Model()->index(0));
    m_answers.yes = false;
    page->RemoveSelected();
    ASSERT_EQ(m_answers.questions.size(), 1u);
    EXPECT_EQ(m_answers.questions[0].first, Lang::FormatLangString(179, std::wstring(L"newest")));
    EXPECT_EQ(m_answers.questions[0].second, YesNoDefaultNoFlags());
    EXPECT_EQ(g_recentSets.FindInRecentList(m_dir.wfile("newest")), 2);

    m_answers.yes = true;
    EXPECT_EQ(WaitForScan(page, [&] { page->RemoveSelected(); }), 2);
    CRecentSetList saved;
    ASSERT_TRUE(saved.LoadRecentList());
    EXPECT_EQ(saved.FindInRecentList(m_dir.wfile("newest")), -1);
    EXPECT_EQ(saved.Entries().size(), 3u);  // "deleted since" stays: it had no row
    EXPECT_TRUE(std::filesystem::exists(m_dir.file("newest/scene.tvn")));
    EXPECT_EQ(page->List()->Model()->Entry(0)->Name(), L"middle");
}

TEST_F(LibraryViewTest, DoubleClickOrReturnSendsTheSetToTheEditorAndTheTooltipExplainsIt)
{
    ASSERT_TRUE(WriteLibraryFolder(kLibraryTolvenar, MakeTolvenarLibrary(3)));
    std::wstring openedPath;
    LPARAM openedKind = -1;
    CMessageTarget editor([&](unsigned message, WPARAM w, LPARAM l) -> LRESULT {
        if (message != UM_OPEN_VIRTUAL_SET)
            return 0;
        openedPath = platform::Utf16ToWide(reinterpret_cast<ClipInfo2_t*>(w)->path);
        openedKind = l;
        return IsSceneFile(openedPath + L"/scene.tvn") ? 0 : -1;
    });
    CWndVSetLib page(kLibraryTolvenar, &editor, nullptr);
    page.resize(520, 680);
    ASSERT_EQ(WaitForScan(&page, [&] { page.show(); }), 3);
    QTest::qWait(50);

    // Row 2 is "Sports Desk", a set with layer shots.
    const QRect cell = page.List()->visualRect(page.List()->Model()->index(2));
    QTest::mouseDClick(page.List()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(openedPath, m_dir.wfile("Scene/VirtualSets/Sports Desk"));
    EXPECT_EQ(openedKind, kLibraryTolvenar);

    // Return on the current row opens it as the double-click did.
    openedPath.clear();
    page.List()->setFocus();
    page.List()->setCurrentIndex(page.List()->Model()->index(1));
    QTest::keyClick(page.List(), Qt::Key_Return);
    EXPECT_FALSE(openedPath.empty());
    EXPECT_NE(openedPath, m_dir.wfile("Scene/VirtualSets/Sports Desk"));
    openedPath.clear();
    QTest::keyClick(page.List(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(openedPath.empty()) << "only a plain Return opens";

    QHelpEvent help(QEvent::ToolTip, cell.center(), page.List()->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(page.List()->viewport(), &help);
    const QString tip = QToolTip::text();
    EXPECT_TRUE(tip.startsWith(QString::fromStdWString(Lang::LoadLangString(270) + L" : " + Lang::LoadLangString(123))))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains(QString::fromStdWString(m_dir.wfile("Scene/VirtualSets/Sports Desk"))));
}

TEST_F(LibraryViewTest, WithoutAFolderThePageOffersTheDownloadAndTheFolderChoice)
{
    CWndVSetLib page(kLibraryVmix, nullptr, nullptr);
    page.resize(520, 400);
    EXPECT_EQ(WaitForScan(&page, [&] { page.show(); }), 0);
    EXPECT_FALSE(page.LinkLabel()->isHidden());
    EXPECT_EQ(page.FolderLabel()->text(), QString::fromStdWString(Lang::LoadLangString(180)));
    EXPECT_EQ(page.LinkLabel()->text(), QString::fromStdWString(Lang::LoadLangString(106)) + " vMix");
    QTest::mouseClick(page.LinkLabel(), Qt::LeftButton);
    ASSERT_EQ(m_answers.opened.size(), 1u);

    // A folder without sets is not kept.
    m_answers.folder = m_dir.wpath();
    EXPECT_EQ(WaitForScan(&page, [&] { QTest::mouseClick(page.FolderLabel(), Qt::LeftButton); }), 0);
    EXPECT_EQ(ReadLibraryFolder(kLibraryVmix), L"");
    EXPECT_TRUE(page.LibraryFolder().empty());

    MakeVmixSet(m_dir.file("Studio A"), StudioThumbnail(1));
    MakeVmixSet(m_dir.file("Studio B without thumbnail"), "");
    EXPECT_EQ(WaitForScan(&page, [&] { QTest::mouseClick(page.FolderLabel(), Qt::LeftButton); }), 1);
    EXPECT_EQ(ReadLibraryFolder(kLibraryVmix), m_dir.wpath());
    EXPECT_EQ(page.LibraryFolder(), m_dir.wpath());
    EXPECT_TRUE(page.LinkLabel()->isHidden());
}

// From the keyboard alone: Ctrl+PgDn and Ctrl+PgUp step through the kinds and
// wrap round; the download link and the folder choice act on Return and
// Space as on a click, and a screen reader's "press" does the same.
TEST_F(LibraryViewTest, KeysStepTheKindsAndWorkTheLinks)
{
    CWndSence tab(nullptr, nullptr);
    tab.resize(520, 400);
    tab.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tab));
    tab.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&tab));
    QTabBar* kinds = tab.Tabs();
    std::vector<int> stepped;
    for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp}) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &tab, key, Qt::ControlModifier);
        stepped.push_back(kinds->currentIndex());
    }
    EXPECT_EQ(stepped, (std::vector<int>{1, 2, 0, 2}));

    CWndVSetLib* vmix = tab.Page(1);
    EXPECT_EQ(WaitForScan(vmix, [&] { kinds->setCurrentIndex(1); }), 0);
    auto* link = qobject_cast<CLabel*>(vmix->LinkLabel());
    ASSERT_NE(link, nullptr);
    ASSERT_FALSE(link->isHidden());
    link->setFocus();
    ASSERT_TRUE(link->hasFocus()) << "a link takes the focus";
    QTest::keyClick(link, Qt::Key_Return);
    QTest::keyClick(link, Qt::Key_Space);
    EXPECT_EQ(m_answers.opened.size(), 2u);
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(link);
    EXPECT_EQ(access->role(), QAccessible::Link);
    EXPECT_EQ(access->text(QAccessible::Name), link->text());
    access->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_answers.opened.size() == 3u; }));

    m_answers.folder = m_dir.wpath();
    MakeVmixSet(m_dir.file("Studio A"), StudioThumbnail(1));
    QLabel* folder = vmix->FolderLabel();
    folder->setFocus();
    EXPECT_EQ(WaitForScan(vmix, [&] { QTest::keyClick(folder, Qt::Key_Return); }), 1);
    EXPECT_EQ(vmix->LibraryFolder(), m_dir.wpath());
}
