// Starts build/bin/kelvane as separate processes under the test's X display,
// each with its own user folders, and reads their windows through X11.
#include "model_set/SetTestData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <filesystem>
#include <functional>
#include <string>

using namespace settest;

namespace {

// Windows come and go between listing them and reading them; an X error about
// a window already gone means only that it is no longer there, and must not
// end the test process through Xlib's default handler.
int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}

struct DisplayHolder {
    Display* display = XOpenDisplay(nullptr);
    DisplayHolder() { XSetErrorHandler(IgnoreXError); }
    ~DisplayHolder()
    {
        if (display)
            XCloseDisplay(display);
    }
};

std::string WindowProperty(Display* display, Window window, const char* name, Atom type)
{
    Atom atom = XInternAtom(display, name, False);
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, atom, 0, 4096, False, type, &actualType, &format, &count, &after,
                           &data) == Success &&
        data) {
        if (format == 8)
            text.assign(reinterpret_cast<char*>(data), count);
        else if (format == 32 && count > 0)
            text = std::to_string(*reinterpret_cast<unsigned long*>(data));
        XFree(data);
    }
    return text;
}

// The mapped top-level windows of a process.
std::vector<Window> WindowsOf(Display* display, qint64 pid)
{
    std::vector<Window> windows;
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count))
        return windows;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        if (WindowProperty(display, children[i], "_NET_WM_PID", XA_CARDINAL) == std::to_string(pid))
            windows.push_back(children[i]);
    }
    if (children)
        XFree(children);
    return windows;
}

std::vector<std::string> WindowTitlesOf(Display* display, qint64 pid)
{
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    std::vector<std::string> titles;
    for (Window window : WindowsOf(display, pid))
        titles.push_back(WindowProperty(display, window, "_NET_WM_NAME", utf8));
    return titles;
}

Window MainWindowOf(Display* display, qint64 pid, const std::string& titlePart)
{
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr, found = 0;
    unsigned int count = 0;
    XQueryTree(display, root, &root, &parent, &children, &count);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    for (unsigned int i = 0; i < count && !found; ++i) {
        if (WindowProperty(display, children[i], "_NET_WM_PID", XA_CARDINAL) == std::to_string(pid) &&
            WindowProperty(display, children[i], "_NET_WM_NAME", utf8).find(titlePart) != std::string::npos)
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(100);
    }
    return true;
}

// Asks the window to close, as a window manager's close button does.
void CloseWindow(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// Presses and releases a key as the keyboard would, for the focused window.
void PressKey(Display* display, KeySym key)
{
    const KeyCode code = XKeysymToKeycode(display, key);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

// Answers the message a process shows beside its main window with Return, as
// a user does after clicking into it: the message gets the keyboard first, so
// the key cannot reach the main window when no window manager has moved the
// focus yet.
void AnswerMessageWithReturn(Display* display, qint64 pid, Window mainWindow)
{
    for (Window window : WindowsOf(display, pid)) {
        if (window == mainWindow)
            continue;
        XRaiseWindow(display, window);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
    }
    PressKey(display, XK_Return);
}

class EditorLaunchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        ASSERT_NE(m_x.display, nullptr) << "no X display";
        m_environment = QProcessEnvironment::systemEnvironment();
        const QString home = m_home.path();
        m_environment.insert(QStringLiteral("HOME"), home + QStringLiteral("/home"));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        m_environment.insert(QStringLiteral("XDG_DATA_DIRS"), home + QStringLiteral("/common"));
        for (const char* folder : {"/home", "/data", "/config", "/common", "/sets"})
            QDir().mkpath(home + QString::fromLatin1(folder));
    }

    void TearDown() override
    {
        for (QProcess* process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
            delete process;
        }
    }

    QProcess* StartEditor(const QString& argument)
    {
        auto* process = new QProcess;
        m_processes.push_back(process);
        process->setProcessEnvironment(m_environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->start(QStringLiteral(KELVANE_BINARY_DIR "/bin/kelvane"), {argument});
        return process;
    }

    std::string Sets() const { return m_home.path().toStdString() + "/sets"; }

    QTemporaryDir m_home;
    DisplayHolder m_x;
    QProcessEnvironment m_environment;
    std::vector<QProcess*> m_processes;
};

TEST_F(EditorLaunchTest, OpensTheGivenSetAndASecondStartHandsItsSetOver)
{
    MakeNativeSet(Sets(), "First Set", {TestLayer{"Back", Qt::darkBlue}}, {MakeShot("Wide", 0, 0, 1, 1)});
    MakeVmixSet(Sets(), "Other Set", {TestLayer{"Wall", Qt::darkRed}}, {});
    const std::string first = Sets() + "/First Set";
    const std::string other = Sets() + "/Other Set";

    QProcess* editor = StartEditor(QString::fromStdString(first + "/scene.tvn"));
    ASSERT_TRUE(editor->waitForStarted(10000));
    Window window = 0;
    ASSERT_TRUE(WaitFor([&] { return (window = MainWindowOf(m_x.display, editor->processId(), first)) != 0; }, 90000))
        << "no editor window names " << first;

    // A second start with the vMix set's config: it hands the set over and ends.
    QProcess* second = StartEditor(QString::fromStdString(other + "/config.xml"));
    ASSERT_TRUE(second->waitForFinished(60000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(WaitFor([&] { return MainWindowOf(m_x.display, editor->processId(), other) == window; }, 30000))
        << "the running window did not switch to " << other;
    EXPECT_EQ(editor->state(), QProcess::Running);

    // The first run put the sample studio among the user's sets and on the recent list.
    const std::string data = m_home.path().toStdString() + "/data/Kelvane";
    EXPECT_TRUE(std::filesystem::exists(data + "/VirtualSets/Sample Studio/scene.tvn"));
    std::string workspace;
    if (FILE* f = std::fopen((data + "/workspace.xml").c_str(), "rb")) {
        char buffer[4096];
        workspace.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
        std::fclose(f);
    }
    EXPECT_NE(workspace.find("Sample Studio"), std::string::npos) << workspace;

    CloseWindow(m_x.display, window);
    ASSERT_TRUE(editor->waitForFinished(60000));
    EXPECT_EQ(editor->exitCode(), 0);
}

// A set downloaded from elsewhere names a private file outside its folder and
// a UV map it lacks; a native set's pictures cannot be unpacked anywhere.
// Each says so in a message the user answers with the keyboard.
TEST_F(EditorLaunchTest, SetsWithFilesThatCannotBeReadOpenWithAMessageOrSayWhyNot)
{
    MakeVmixSet(Sets(), "Downloaded", {TestLayer{"Wall", Qt::darkRed}}, {});
    const std::string vmix = Sets() + "/Downloaded";
    std::string xml = testsupport::ReadFileBytes(vmix + "/config.xml");
    xml.insert(xml.find("<input"), "<input name=\"Leak\" uvmap=\"screen_uv.png\">../../../../../../../../etc/passwd</input>\r\n");
    testsupport::WriteFileBytes(vmix + "/config.xml", xml);
    MakeNativeSet(Sets(), "Blocked", {TestLayer{"Back", Qt::darkBlue}}, {});
    const std::string native = Sets() + "/Blocked";
    std::filesystem::create_directories(native + "/thumbnail.jpg/in the way");
    std::filesystem::create_directories(m_home.path().toStdString() + "/data/Kelvane");
    testsupport::WriteFileBytes(m_home.path().toStdString() + "/data/Kelvane/Cache", "no folder can be made here");

    QProcess* editor = StartEditor(QString::fromStdString(vmix));
    ASSERT_TRUE(editor->waitForStarted(10000));
    const auto windows = [&] { return WindowTitlesOf(m_x.display, editor->processId()).size(); };
    ASSERT_TRUE(WaitFor([&] { return MainWindowOf(m_x.display, editor->processId(), vmix) != 0 && windows() == 2; }, 90000))
        << "the set did not open with a message of its own";
    AnswerMessageWithReturn(m_x.display, editor->processId(), MainWindowOf(m_x.display, editor->processId(), vmix));
    ASSERT_TRUE(WaitFor([&] { return windows() == 1; }, 30000)) << "the message did not close on Return";
    const Window window = MainWindowOf(m_x.display, editor->processId(), vmix);
    ASSERT_NE(window, 0u);

    // The native set is handed over to the running editor: it does not open and says why.
    QProcess* second = StartEditor(QString::fromStdString(native));
    ASSERT_TRUE(second->waitForFinished(60000));
    ASSERT_TRUE(WaitFor([&] { return windows() == 2; }, 60000)) << "no message for the set that cannot be unpacked";
    AnswerMessageWithReturn(m_x.display, editor->processId(), window);
    ASSERT_TRUE(WaitFor([&] { return windows() == 1; }, 30000));
    EXPECT_EQ(MainWindowOf(m_x.display, editor->processId(), vmix), window);  // the open set stays

    CloseWindow(m_x.display, window);
    ASSERT_TRUE(editor->waitForFinished(60000));
    EXPECT_EQ(editor->exitCode(), 0);
}

TEST_F(EditorLaunchTest, APathThatIsNoSetStillStartsTheEditor)
{
    QProcess* editor = StartEditor(m_home.path() + QStringLiteral("/sets/nothing-here"));
    ASSERT_TRUE(editor->waitForStarted(10000));
    // The editor comes up with its message (317) in a window of its own.
    ASSERT_TRUE(WaitFor([&] { return WindowTitlesOf(m_x.display, editor->processId()).size() >= 2; }, 90000));
    EXPECT_EQ(editor->state(), QProcess::Running);
}

}  // namespace
