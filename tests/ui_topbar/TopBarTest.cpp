// The top bar's update checks and the update dialog in the real editor window,
// against the update tests' HTTP server on 127.0.0.1.
#include "../ui_editor/EditorTestSupport.h"
#include "../update/HttpTestServer.h"

#include "app/UserFolders.h"
#include "lumora/ControlId.h"
#include "lumora/Label.h"
#include "lumora/Lang.h"
#include "lumora/ShellOpen.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "ui/EditorAddresses.h"
#include "ui/DlgEditor.h"
#include "ui/MessageBox.h"
#include "ui/DlgUpdate.h"
#include "ui/WndTop.h"
#include "update/FileVersion.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::string Manifest(const std::string& version, const std::string& notes = "Faster preview.",
    const std::string& source = "https://dl.example.com/kelvane-setup.exe")
{
    return R"({"Application":"Kelvane","Version":)" + version + R"(,"Platform":"linux","ReleaseDate":"2026-11-30",)"
        + R"("ReleaseNotes":")" + notes + R"(","Source":")" + source + R"(","Hash":"ab12","Size":52428800})";
}

QString ScreenshotPath(const char* name)
{
    const QString folder = QStringLiteral(KELVANE_BINARY_DIR "/test-screenshots");
    QDir().mkpath(folder);
    return folder + u'/' + QString::fromUtf8(name);
}

std::wstring LangText(unsigned id) { return Lang::LoadLangString(id); }


// Watches for the update dialog to run modally, hands it to the check and
// closes it with Cancel unless the check ended it.
class UpdateDialogWatch {
public:
    explicit UpdateDialogWatch(std::function<void(CDlgUpdate&)> check = {}) : m_check(std::move(check))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start(20);
    }
    int Seen() const { return m_seen; }

private:
    void Poll()
    {
        auto* dialog = dynamic_cast<CDlgUpdate*>(QApplication::activeModalWidget());
        if (!dialog || dialog == m_last)
            return;
        m_last = dialog;
        ++m_seen;
        if (m_check)
            m_check(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    }

    std::function<void(CDlgUpdate&)> m_check;
    QTimer m_timer;
    CDlgUpdate* m_last = nullptr;
    int m_seen = 0;
};

void Click(QWidget* widget)
{
    const QPointF centre = QRectF(widget->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, widget->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, centre, widget->mapToGlobal(centre), Qt::LeftButton, {}, {});
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// The real editor window; the top bar fetches from the test server.
class TopBarTest : public EditorWindowTest {
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        ASSERT_TRUE(server.Running()) << "the test HTTP server did not start";
        lumora::SetShellOpenHandler([this](const QString& target) {
            m_opened.push_back(target.toStdWString());
            return true;
        });
    }

    void OpenHost()
    {
        OpenEditor();
        // Nothing goes online unless a test says where.
        top()->SetManifestAddress(platform::Utf8ToWide(m_refusing.Url("/update.json")));
    }
    CWndTop* OpenWith(const std::string& path)
    {
        OpenEditor();
        top()->SetManifestAddress(server.WideUrl(path));
        return top();
    }
    CWndTop* top() const { return editor()->GetTopBar(); }
    // Timer 2 starts it two seconds after the window opened.
    void AutomaticCheck() {}
    void ManualCheck() { editor()->OnCommand(MAKEWPARAM(ID_CHECK_UPDATES, 0), 0); }
    void RecentUpdates() { editor()->OnCommand(MAKEWPARAM(ID_RECENT_UPDATES, 0), 0); }
    void CloseHost() { CloseEditor(); }

    void Serve(const std::string& name, const std::string& text) { testsupport::WriteFileBytes(served.file(name), text); }
    bool WaitForState(CWndTop* bar, int state, int timeoutMs = 8000)
    {
        return WaitUntil([&] { return bar->LastState() == state; }, timeoutMs);
    }
    std::string StoredManifestPath() const
    {
        return platform::WideToUtf8(platform::JoinPath(GetUpdateFolder(), L"update.json"));
    }

    RefusingPort m_refusing;
    testsupport::TempDir served;
    HttpTestServer server{served.path()};
    std::vector<std::wstring> m_opened;
};

// Version numbers around the build's own (1.0.0.0 gives 100).
const std::string kNewer = "1.3", kEqual = "1.0", kOlder = "0.9";

TEST_F(TopBarTest, AutomaticCheckWithNewerVersionShowsTheUpdateAndOpensNothing)
{
    ASSERT_EQ(GetOwnVersionNumber(), 100);
    Serve("m.json", Manifest(kNewer));
    CWndTop* top = OpenWith("/files/m.json");
    UpdateDialogWatch watch;
    AutomaticCheck();
    ASSERT_TRUE(WaitForState(top, kUpdateAvailable));
    Pump(200);
    CLabel* status = top->StatusLabel();
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->text().toStdWString(), LangText(121));
    EXPECT_EQ(status->TextColor(), 0x00FF00u);
    EXPECT_EQ(status->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(top->LastUpdateInfo().version, 130);
    EXPECT_EQ(watch.Seen(), 0);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(m_opened.empty());
    top->grab().save(ScreenshotPath("topbar-update-available.png"));

    // The labels sit in one row inside the bar, in the order of their ids.
    int right = -1;
    for (int id : {IDC_TOP_SLOGAN, IDC_TOP_VMIX, IDC_TOP_TOLVENAR, IDC_TOP_SUPPORT, IDC_TOP_STATUS}) {
        QWidget* label = lumora::FindControl(top, id);
        ASSERT_NE(label, nullptr) << id;
        EXPECT_GT(label->x(), right) << id;
        EXPECT_TRUE(top->rect().contains(label->geometry())) << id;
        right = label->geometry().right();
    }

    // A click on the status opens the dialog; the links open their addresses.
    Click(status);
    ASSERT_TRUE(WaitUntil([&] { return watch.Seen() == 1; }));
    Click(lumora::FindControl(top, IDC_TOP_VMIX));
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(m_opened[0], GetVmixPageAddress());
}

TEST_F(TopBarTest, ManualCheckWithNewerVersionOpensTheDialogWithVersionAndNotes)
{
    // Server text must stay text: markup in the notes is never run or followed.
    const std::string notes = "Faster preview.\\n<a href='file:///etc/passwd'>link</a> <b>bold</b>";
    Serve("m.json", Manifest(kNewer, notes));
    CWndTop* top = OpenWith("/files/m.json");
    std::wstring versionLine, notesShown, action;
    UpdateDialogWatch watch([&](CDlgUpdate& dialog) {
        versionLine = static_cast<QLabel*>(lumora::FindControl(&dialog, IDC_UPDATE_VERSION))->text().toStdWString();
        auto* browser = static_cast<QTextBrowser*>(lumora::FindControl(&dialog, IDC_UPDATE_NOTES));
        notesShown = browser->toPlainText().toStdWString();
        auto* button = static_cast<QPushButton*>(lumora::FindControl(&dialog, IDC_UPDATE_ACTION));
        action = button->text().toStdWString();
        dialog.grab().save(ScreenshotPath("update-dialog.png"));
        button->click();
    });
    ManualCheck();
    ASSERT_TRUE(WaitUntil([&] { return watch.Seen() == 1; }, 8000));
    EXPECT_NE(versionLine.find(L"1.30"), std::wstring::npos) << platform::WideToUtf8(versionLine);
    EXPECT_NE(versionLine.find(L"52428800"), std::wstring::npos);
    EXPECT_NE(versionLine.find(L"2026-11-30"), std::wstring::npos);
    EXPECT_EQ(notesShown, L"Faster preview.\n<a href='file:///etc/passwd'>link</a> <b>bold</b>");
    EXPECT_EQ(action, LangText(116));
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(m_opened[0], L"https://dl.example.com/kelvane-setup.exe");
    EXPECT_EQ(top->StatusLabel()->text().toStdWString(), LangText(121));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(TopBarTest, EqualOrOlderVersionIsSilentAutomaticallyAndSaidWhenAsked)
{
    Serve("equal.json", Manifest(kEqual));
    Serve("older.json", Manifest(kOlder));
    CWndTop* top = OpenWith("/files/equal.json");
    UpdateDialogWatch watch;
    AutomaticCheck();
    ASSERT_TRUE(WaitForState(top, kUpdateNone));
    Pump(100);
    EXPECT_FALSE(top->StatusLabel()->isVisible());
    EXPECT_TRUE(m_messages.empty());

    top->SetManifestAddress(server.WideUrl("/files/older.json"));
    ManualCheck();
    ASSERT_TRUE(WaitUntil([&] { return m_messages.size() == 1; }));
    EXPECT_EQ(m_messages[0], LangText(120));
    EXPECT_TRUE(top->StatusLabel()->isVisible());
    EXPECT_EQ(top->StatusLabel()->text().toStdWString(), LangText(120));
    EXPECT_EQ(top->StatusLabel()->TextColor(), 0x00C000u);
    EXPECT_EQ(watch.Seen(), 0);
}

TEST_F(TopBarTest, ManifestOfWrongTypesMeansNoUpdate)
{
    Serve("string.json", R"({"Version":"9.9","Source":"https://dl.example.com/x.exe"})");
    Serve("array.json", R"([{"Version":9.9}])");
    CWndTop* top = OpenWith("/files/string.json");
    ManualCheck();
    ASSERT_TRUE(WaitUntil([&] { return m_messages.size() == 1; }));
    top->SetManifestAddress(server.WideUrl("/files/array.json"));
    ManualCheck();
    ASSERT_TRUE(WaitUntil([&] { return m_messages.size() == 2; }));
    EXPECT_EQ(m_messages[0], LangText(120));
    EXPECT_EQ(m_messages[1], LangText(120));
}

TEST_F(TopBarTest, UnreachableServerInManualModeSaysTheCheckFailed)
{
    OpenHost();  // the address is a port that refuses
    CWndTop* bar = top();
    UpdateDialogWatch watch;
    ManualCheck();
    ASSERT_TRUE(WaitUntil([&] { return m_messages.size() == 1; }));
    EXPECT_EQ(m_messages[0], LangText(119));
    EXPECT_EQ(bar->LastState(), kUpdateFailed);
    CLabel* status = bar->StatusLabel();
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->text().toStdWString(), LangText(119));
    EXPECT_EQ(status->TextColor(), 0xA8A8A8u);  // a quiet grey note, 5:1 on the bar
    EXPECT_NE(status->cursor().shape(), Qt::PointingHandCursor);
    // Its text is no address: a click opens nothing.
    Click(status);
    Pump(150);
    EXPECT_TRUE(m_opened.empty());
    EXPECT_EQ(watch.Seen(), 0);
}

TEST_F(TopBarTest, RecentUpdatesShowsTheStoredManifestOfflineAndNothingWithoutOne)
{
    OpenHost();  // nothing answers: the command must not go online
    int shown = 0;
    {
        UpdateDialogWatch watch;
        RecentUpdates();
        shown = watch.Seen();
    }
    EXPECT_EQ(shown, 0);

    ASSERT_TRUE(platform::CreateFolderTree(GetUpdateFolder()));
    testsupport::WriteFileBytes(StoredManifestPath(), Manifest(kOlder, "Older notes."));
    std::wstring notes, action;
    UpdateDialogWatch watch([&](CDlgUpdate& dialog) {
        notes = static_cast<QTextBrowser*>(lumora::FindControl(&dialog, IDC_UPDATE_NOTES))->toPlainText().toStdWString();
        auto* button = static_cast<QPushButton*>(lumora::FindControl(&dialog, IDC_UPDATE_ACTION));
        action = button->text().toStdWString();
        button->click();
    });
    RecentUpdates();
    EXPECT_EQ(watch.Seen(), 1);
    EXPECT_EQ(notes, L"Older notes.");
    EXPECT_EQ(action, LangText(117));  // no update: the button only closes
    EXPECT_TRUE(m_opened.empty());
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(TopBarTest, ActionButtonOpensOnlyHttpAddresses)
{
    EditorApplication();
    const char* sources[] = {"https://dl.example.com/a.exe", "http://dl.example.com/b.exe", "file:///etc/passwd",
        "javascript:alert(1)", "/usr/bin/xterm", "ftp://dl.example.com/c.exe", ""};
    for (const char* source : sources) {
        UpdateInfo info;
        info.valid = 1;
        info.version = 130;
        info.source = platform::Utf8ToWide(source);
        CDlgUpdate dialog(true, info);
        dialog.show();
        QApplication::processEvents();
        const bool http = std::string(source).starts_with("http");
        auto* button = static_cast<QPushButton*>(lumora::FindControl(&dialog, IDC_UPDATE_ACTION));
        EXPECT_EQ(button->text().toStdWString(), LangText(http ? 116 : 117)) << source;
        if (!http && *source) {
            // Shown as text for the user to judge, never opened.
            const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
            EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                [&](QLabel* l) { return l->isVisible() && l->text() == QString::fromUtf8(source); }))
                << source;
        }
        m_opened.clear();
        button->click();
        EXPECT_EQ(dialog.result(), IDOK) << source;
        EXPECT_EQ(m_opened.size(), http ? 1u : 0u) << source;
    }
}

TEST_F(TopBarTest, VersionLineUsesAPointInACommaLocale)
{
    EditorApplication();
    testsupport::TempDir localeDir;
    if (!testsupport::UseDecimalCommaLocale(localeDir))
        GTEST_SKIP() << "no locale with a decimal comma can be built here";
    UpdateInfo info;
    info.version = 112;
    info.size = 7;
    info.releaseDate = L"d";
    const std::wstring line = CDlgUpdate::VersionLine(info);
    EXPECT_NE(line.find(L"1.12"), std::wstring::npos) << platform::WideToUtf8(line);
    EXPECT_EQ(line.find(L"1,12"), std::wstring::npos);
}

TEST_F(TopBarTest, ClosingDuringASlowCheckEndsPromptlyAndKeepsTheStoredManifest)
{
    CWndTop* top = OpenWith("/hang");
    ASSERT_TRUE(platform::CreateFolderTree(GetUpdateFolder()));
    const std::string stored = Manifest(kOlder, "Kept.");
    testsupport::WriteFileBytes(StoredManifestPath(), stored);
    ManualCheck();
    Pump(300);
    ASSERT_TRUE(top->IsRunning());
    QElapsedTimer timer;
    timer.start();
    this->top()->StopUpdateCheck();  // what shutdown does first
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(this->top()->IsRunning());
    CloseHost();  // also: no libobs allocation left
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(testsupport::ReadFileBytes(StoredManifestPath()), stored);
}

}  // namespace
