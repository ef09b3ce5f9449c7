#include "EditorTestSupport.h"

#include "app/LanguageSetup.h"
#include "formats/SceneFile.h"
#include "model/MultiViewSource.h"
#include "preview/ObsQtWindow.h"
#include "ui/ClipInfo.h"
#include "ui/DlgExist.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"
#include "ui/ShellDialogs.h"
#include "ui/WndTop.h"
#include "lumora/ShellOpen.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <util/bmem.h>

QApplication& EditorApplication()
{
    static int argc = 1;
    static char name[] = "kelvane-tests";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "xcb");
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

bool BecomeActiveWindow(QWidget* window)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        window->raise();
        window->activateWindow();
        if (QTest::qWaitForWindowActive(window, 2000))
            return true;
    }
    return false;
}

std::vector<std::string> SceneLayerNames(const std::wstring& sceneFile)
{
    LayerList layers;
    ShotList shots;
    std::vector<uint8_t> thumbnail;
    std::vector<std::string> names;
    if (ReadSceneFile(sceneFile, layers, shots, &thumbnail, nullptr, false)) {
        for (const LayerInfo& layer : layers)
            names.push_back(layer.name);
    }
    return names;
}

void EditorWindowTest::SetUp()
{
    ASSERT_TRUE(qEnvironmentVariableIsSet("DISPLAY")) << "window tests need an X display (the test command starts Xvfb)";
    EditorApplication();
    InitLanguages();
    SetMessageBoxHandler([this](QWidget*, const std::wstring& text, int type) {
        m_messages.push_back(text);
        if (m_answers.empty())
            return type == MB_OK ? IDOK : IDCANCEL;
        const int answer = m_answers.front();
        m_answers.erase(m_answers.begin());
        return answer;
    });
    SetFileChooser([this](QWidget*, const FileDialogRequest&) {
        if (m_fileAnswers.empty())
            return std::wstring();
        std::wstring answer = m_fileAnswers.front();
        m_fileAnswers.erase(m_fileAnswers.begin());
        return answer;
    });
    SetFolderChooser([this](QWidget*, const std::wstring&) {
        if (m_folderAnswers.empty())
            return std::wstring();
        std::wstring answer = m_folderAnswers.front();
        m_folderAnswers.erase(m_folderAnswers.begin());
        return answer;
    });
    lumora::SetShellOpenHandler([](const QString&) { return true; });
}

void EditorWindowTest::TearDown()
{
    if (m_editor)
        CloseEditor();
    SetMessageBoxHandler({});
    SetFileChooser({});
    SetFolderChooser({});
    lumora::SetShellOpenHandler({});
    SetExistingTargetHandler({});
}

void EditorWindowTest::OpenEditor(int clientWidth, int clientHeight)
{
    m_editor = std::make_unique<CDlgEditor>();
    m_editor->SetAutoMaximize(false);
    // The automatic update check goes to a local port that refuses, never online.
    m_editor->GetTopBar()->SetManifestAddress(L"http://127.0.0.1:9/update.json");
    m_editor->show();
    m_editor->move(0, 0);
    m_editor->ResizeClientArea(clientWidth, clientHeight);
    Pump(100);
}

void EditorWindowTest::CloseEditor()
{
    m_editor.reset();
    EXPECT_EQ(bnum_allocs(), 0) << "libobs allocations left after the editor closed";
}

void EditorWindowTest::Pump(int ms)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    } while (timer.elapsed() < ms);
}

void EditorWindowTest::SettleGesture()
{
    int ms = 120;
#ifdef KELVANE_SANITIZE
    ms *= 4;  // instrumented code runs a few times slower, more so beside another test
#endif
    Pump(ms);
}

bool EditorWindowTest::WaitUntil(const std::function<bool()>& pred, int timeoutMs)
{
#ifdef KELVANE_SANITIZE
    timeoutMs *= 4;  // instrumented code runs a few times slower, more so beside another test
#endif
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (pred())
            return true;
        Pump(10);
    }
    return pred();
}

long long EditorWindowTest::SendOpen(const std::string& folder, int kind)
{
    const std::u16string path = QString::fromStdString(folder).toStdU16String();
    ClipInfo2_t entry{};
    std::copy(path.begin(), path.begin() + std::min<size_t>(path.size(), kClipPathLength - 1), entry.path);
    return SendMessage(m_editor->MessageWindow(), UM_OPEN_VIRTUAL_SET, reinterpret_cast<WPARAM>(&entry), kind);
}

QImage EditorWindowTest::GrabPreview()
{
    QWidget* preview = m_editor->GetPreview();
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen->grabWindow(preview->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

void EditorWindowTest::SaveScreenshot(const QString& name)
{
    const QString folder = QStringLiteral(KELVANE_BINARY_DIR "/test-screenshots");
    QDir().mkpath(folder);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QImage picture = screen->grabWindow(m_editor->winId()).toImage();
    EXPECT_TRUE(picture.save(folder + "/" + name + ".png"));
}
