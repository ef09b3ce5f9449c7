// The real program under the test's X display: its window, a second start
// that brings the first forward (also when it is not shown) and hands its set
// over, a hung editor replaced, and a clean end with every engine block freed.
#include "../model_set/SetTestData.h"
#include "../support/TestSupport.h"

// gtest before Xlib, whose macros (None, Bool) clash with gtest's names.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

class XConnection {
public:
    // Windows of other tests on the display come and go between two
    // requests; an error about one that is gone must not end the test.
    XConnection() : m_display(XOpenDisplay(nullptr)) { XSetErrorHandler([](Display*, XErrorEvent*) { return 0; }); }
    ~XConnection()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    Display* get() const { return m_display; }

    std::string Title(Window window) const
    {
        Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
        Atom name = XInternAtom(m_display, "_NET_WM_NAME", False);
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        std::string title;
        if (XGetWindowProperty(m_display, window, name, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
                Success &&
            data) {
            title.assign(reinterpret_cast<char*>(data), count);
            XFree(data);
        }
        return title;
    }

    bool Viewable(Window window) const
    {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(m_display, window, &attributes) && attributes.map_state == IsViewable;
    }

    // The root's children, bottom first.
    std::vector<Window> TopLevels() const
    {
        Window root, parent;
        Window* children = nullptr;
        unsigned count = 0;
        std::vector<Window> windows;
        if (XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count)) {
            windows.assign(children, children + count);
            XFree(children);
        }
        return windows;
    }

    long Pid(Window window) const
    {
        Atom atom = XInternAtom(m_display, "_NET_WM_PID", False);
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        long pid = 0;
        if (XGetWindowProperty(m_display, window, atom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
                Success &&
            data) {
            if (count == 1)
                pid = *reinterpret_cast<long*>(data);
            XFree(data);
        }
        return pid;
    }

    // Shown windows of the process whose title starts with the text (other
    // tests may show editor windows on the same display).
    std::vector<Window> ViewableTitled(const std::string& prefix, pid_t pid) const
    {
        std::vector<Window> found;
        for (Window window : TopLevels()) {
            if (Viewable(window) && Pid(window) == pid && Title(window).rfind(prefix, 0) == 0)
                found.push_back(window);
        }
        return found;
    }

    void RequestClose(Window window) const
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, window, False, NoEventMask, &event);
        XFlush(m_display);
    }

private:
    Display* m_display;
};

// The program with its standard error in a file.
class Program {
public:
    explicit Program(const std::string& logPath, const std::string& argument = {})
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        const std::string path = testsupport::BuiltProgram("kelvane");
        std::vector<char*> argv = {const_cast<char*>(path.c_str())};
        if (!argument.empty())
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program()
    {
        if (m_pid > 0 && !m_exit) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    pid_t pid() const { return m_pid; }
    // The exit code once the process ended within the time.
    std::optional<int> WaitForExit(int timeoutMs)
    {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!m_exit && Clock::now() < end) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid)
                m_exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return m_exit;
    }

private:
    pid_t m_pid = -1;
    std::optional<int> m_exit;
};

template <class Pred>
bool WaitFor(Pred pred, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        if (pred())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pred();
}

}  // namespace

TEST(EditorProgram, ShowsItsWindowRaisesItForASecondStartAndEndsCleanly)
{
    testsupport::FreshUserFolders folders;
    XConnection x;
    ASSERT_NE(x.get(), nullptr) << "needs an X display";
    const std::string firstLog = folders.root().file("first.log");
    Program first(firstLog);
    ASSERT_GT(first.pid(), 0);
    ASSERT_TRUE(WaitFor([&] { return x.ViewableTitled("Zantrel", first.pid()).size() == 1; }, 20000))
        << "no window titled Zantrel within 20 s\n" << testsupport::ReadFileBytes(firstLog);
    const Window editor = x.ViewableTitled("Zantrel", first.pid()).front();

    // Something else on top, then a second start.
    Window cover = XCreateSimpleWindow(x.get(), DefaultRootWindow(x.get()), 0, 0, 400, 300, 0, 0, 0);
    XMapRaised(x.get(), cover);
    XSync(x.get(), False);
    ASSERT_EQ(x.TopLevels().back(), cover);

    Program second(folders.root().file("second.log"));
    const std::optional<int> secondExit = second.WaitForExit(20000);
    ASSERT_TRUE(secondExit.has_value()) << "the second start did not end";
    EXPECT_EQ(*secondExit, 0);
    EXPECT_TRUE(x.ViewableTitled("", second.pid()).empty()) << "the second start opened a window";
    XSync(x.get(), False);
    const std::vector<Window> stack = x.TopLevels();
    const auto editorAt = std::find(stack.begin(), stack.end(), editor);
    const auto coverAt = std::find(stack.begin(), stack.end(), cover);
    EXPECT_GT(editorAt, coverAt) << "the running editor was not brought to the front";
    XDestroyWindow(x.get(), cover);
    XSync(x.get(), False);

    x.RequestClose(editor);
    const std::optional<int> firstExit = first.WaitForExit(20000);
    ASSERT_TRUE(firstExit.has_value()) << "closing the window did not end the editor";
    EXPECT_EQ(*firstExit, 0);
    const std::string log = testsupport::ReadFileBytes(firstLog);
    EXPECT_NE(log.find("Number of memory leaks: 0"), std::string::npos) << log;
}

TEST(EditorProgram, AnEditorNotShownSurvivesASecondStartAndShowsItsSet)
{
    // Minimised, or on another workspace, the editor's window is not viewable.
    testsupport::FreshUserFolders folders;
    XConnection x;
    ASSERT_NE(x.get(), nullptr) << "needs an X display";
    const std::string sets = folders.root().file("sets");
    settest::MakeNativeSet(sets, "Handed Over", {settest::TestLayer{"Blue", Qt::blue}}, {});
    const std::string firstLog = folders.root().file("first.log");
    Program first(firstLog);
    ASSERT_TRUE(WaitFor([&] { return x.ViewableTitled("Zantrel", first.pid()).size() == 1; }, 20000))
        << testsupport::ReadFileBytes(firstLog);
    const Window editor = x.ViewableTitled("Zantrel", first.pid()).front();
    XUnmapWindow(x.get(), editor);
    XSync(x.get(), False);
    ASSERT_TRUE(WaitFor([&] { return !x.Viewable(editor); }, 5000));

    Program second(folders.root().file("second.log"), sets + "/Handed Over/scene.tvn");
    const std::optional<int> secondExit = second.WaitForExit(20000);
    ASSERT_TRUE(secondExit.has_value()) << "the second start did not end";
    EXPECT_EQ(*secondExit, 0);
    EXPECT_FALSE(first.WaitForExit(300).has_value()) << "the running editor was ended";
    EXPECT_TRUE(WaitFor([&] { return x.Viewable(editor) && x.Title(editor).find("Handed Over") != std::string::npos; },
                        20000))
        << "the editor did not come back with the set: " << x.Title(editor);

    x.RequestClose(editor);
    ASSERT_TRUE(first.WaitForExit(20000).has_value());
}

TEST(EditorProgram, AHungEditorOfTheSameDataFolderIsReplaced)
{
    testsupport::FreshUserFolders folders;
    XConnection x;
    ASSERT_NE(x.get(), nullptr) << "needs an X display";
    Program first(folders.root().file("first.log"));
    ASSERT_TRUE(WaitFor([&] { return x.ViewableTitled("Zantrel", first.pid()).size() == 1; }, 20000));
    ASSERT_EQ(kill(first.pid(), SIGSTOP), 0);  // it answers nothing from now on

    const std::string secondLog = folders.root().file("second.log");
    Program second(secondLog);
    const std::optional<int> firstExit = first.WaitForExit(30000);
    ASSERT_TRUE(firstExit.has_value()) << "the hung editor was left running";
    EXPECT_EQ(*firstExit, 128 + SIGKILL) << "a stopped editor ends only by SIGKILL";
    ASSERT_TRUE(WaitFor([&] { return x.ViewableTitled("Zantrel", second.pid()).size() == 1; }, 20000))
        << testsupport::ReadFileBytes(secondLog);
    x.RequestClose(x.ViewableTitled("Zantrel", second.pid()).front());
    const std::optional<int> secondExit = second.WaitForExit(20000);
    ASSERT_TRUE(secondExit.has_value());
    EXPECT_EQ(*secondExit, 0);
}
