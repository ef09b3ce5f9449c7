#include "DesktopSession.h"

#include "Waiting.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <unistd.h>

namespace acceptance {

namespace {

std::unique_ptr<DesktopSession>& SharedSession()
{
    static std::unique_ptr<DesktopSession> session;
    return session;
}

// Reads one line from a pipe the child writes into, waiting up to timeout.
std::string ReadLine(int fd, std::chrono::milliseconds timeout)
{
    std::string line;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        pollfd poller{fd, POLLIN, 0};
        if (poll(&poller, 1, 50) <= 0)
            continue;
        char c = 0;
        const ssize_t n = read(fd, &c, 1);
        if (n <= 0)
            break;
        if (c == '\n')
            return line;
        line += c;
    }
    return line;
}

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() { (void)pipe2(fds, O_CLOEXEC); }
    ~Pipe()
    {
        for (int fd : fds) {
            if (fd >= 0)
                close(fd);
        }
    }
    void CloseWriteEnd()
    {
        close(fds[1]);
        fds[1] = -1;
    }
};

bool RootHasProperty(const std::string& display, const char* name)
{
    ::Display* x = XOpenDisplay(display.c_str());
    if (!x)
        return false;
    const Atom atom = XInternAtom(x, name, True);
    bool found = false;
    if (atom != 0) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x, DefaultRootWindow(x), atom, 0, 1024, False, AnyPropertyType, &type, &format, &count,
                               &after, &data) == Success) {
            found = data && count > 0;
            if (data)
                XFree(data);
        }
    }
    XCloseDisplay(x);
    return found;
}

}  // namespace

DesktopSession* DesktopSession::Shared(std::string& error)
{
    std::unique_ptr<DesktopSession>& session = SharedSession();
    if (!session) {
        std::unique_ptr<DesktopSession> fresh(new DesktopSession);
        if (!fresh->Start(error))
            return nullptr;
        session = std::move(fresh);
    }
    return session.get();
}

void DesktopSession::EndShared() { SharedSession().reset(); }

DesktopSession::~DesktopSession()
{
    m_windowManager.Stop();
    m_accessibilityLauncher.Stop();
    m_sessionBusDaemon.Stop();
    // What the buses started themselves (the registry daemon, the
    // accessibility bus) is in the group too.
    if (m_group > 0)
        kill(-m_group, SIGTERM);
    m_xserver.Stop();
    if (m_group > 0)
        kill(-m_group, SIGKILL);
    std::error_code ec;
    if (!m_folder.empty())
        std::filesystem::remove_all(m_folder, ec);
}

ChildOptions DesktopSession::Options(std::vector<std::string> argv, const std::string& log) const
{
    ChildOptions options;
    options.argv = std::move(argv);
    options.environment = BaseEnvironment();
    // The desktop's own programs find their themes and settings schemas in
    // the system's folders; only the editor gets a private one.
    options.environment["XDG_DATA_DIRS"] = "/usr/local/share:/usr/share";
    options.logPath = m_folder + "/" + log;
    options.processGroup = m_group;
    return options;
}

Environment DesktopSession::BaseEnvironment() const
{
    Environment environment = CurrentEnvironment();
    // Nothing of the caller's desktop or user folders reaches the session.
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                             "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "XAUTHORITY",
                             "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR", "LC_ALL",
                             "LC_MESSAGES", "LANGUAGE", "AT_SPI_BUS_ADDRESS", "no_proxy", "NO_PROXY"})
        environment.erase(name);
    environment["HOME"] = m_folder + "/home";
    environment["XDG_RUNTIME_DIR"] = m_folder + "/runtime";
    environment["XDG_DATA_DIRS"] = m_folder + "/common";
    environment["LANG"] = "C.UTF-8";
    environment["LIBGL_ALWAYS_SOFTWARE"] = "1";
    environment["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1";
    environment["QT_ACCESSIBILITY"] = "1";
    // An address nothing listens on: the update check fails at once, as
    // it does for a user without network.
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
        environment[name] = "http://127.0.0.1:9";
    if (!m_display.empty())
        environment["DISPLAY"] = m_display;
    if (!m_sessionBus.empty())
        environment["DBUS_SESSION_BUS_ADDRESS"] = m_sessionBus;
    return environment;
}

bool DesktopSession::Start(std::string& error)
{
    char pattern[] = "/tmp/kelvane-desktop-XXXXXX";
    if (!mkdtemp(pattern)) {
        error = "cannot make the session folder";
        return false;
    }
    m_folder = pattern;
    for (const char* sub : {"/home", "/runtime", "/common"})
        std::filesystem::create_directories(m_folder + sub);
    std::filesystem::permissions(m_folder + "/runtime", std::filesystem::perms::owner_all);
    return StartXServer(error) && StartSessionBus(error) && StartAccessibilityBus(error) &&
           StartWindowManager(error);
}

bool DesktopSession::StartXServer(std::string& error)
{
    Pipe ready;
    ChildOptions options = Options({"/usr/bin/Xvfb", "-displayfd", std::to_string(ready.fds[1]), "-screen", "0",
                                    "1920x1200x24", "-nolisten", "tcp", "-noreset"},
                                   "xvfb.log");
    options.processGroup = 0;  // the X server leads the session's group
    options.passFd = ready.fds[1];
    m_xserver = ChildProcess(options);
    ready.CloseWriteEnd();
    if (!m_xserver.Started()) {
        error = "cannot start Xvfb";
        return false;
    }
    m_group = m_xserver.Pid();
    const std::string number = ReadLine(ready.fds[0], std::chrono::seconds(20));
    if (number.empty()) {
        error = "Xvfb did not report its display (see " + m_folder + "/xvfb.log)";
        return false;
    }
    m_display = ":" + number;
    return true;
}

bool DesktopSession::StartSessionBus(std::string& error)
{
    Pipe address;
    ChildOptions options = Options({"/usr/bin/dbus-daemon", "--session", "--nofork",
                                    "--print-address=" + std::to_string(address.fds[1])},
                                   "session-bus.log");
    options.passFd = address.fds[1];
    m_sessionBusDaemon = ChildProcess(options);
    address.CloseWriteEnd();
    m_sessionBus = ReadLine(address.fds[0], std::chrono::seconds(10));
    if (m_sessionBus.empty()) {
        error = "the session bus did not start (dbus-daemon)";
        return false;
    }
    return true;
}

bool DesktopSession::StartAccessibilityBus(std::string& error)
{
    m_accessibilityLauncher =
        ChildProcess(Options({"/usr/libexec/at-spi-bus-launcher", "--launch-immediately"}, "a11y-bus.log"));
    // The launcher publishes the bus on the X server's root window.
    if (!WaitUntil([&] { return RootHasProperty(m_display, "AT_SPI_BUS"); }, std::chrono::seconds(10))) {
        error = "the accessibility bus did not start (at-spi-bus-launcher, package at-spi2-core)";
        return false;
    }
    return true;
}

bool DesktopSession::StartWindowManager(std::string& error)
{
    m_windowManager = ChildProcess(Options({"/usr/bin/openbox", "--sm-disable"}, "openbox.log"));
    if (!WaitUntil([&] { return RootHasProperty(m_display, "_NET_SUPPORTING_WM_CHECK"); }, std::chrono::seconds(10))) {
        error = "the window manager did not start (openbox)";
        return false;
    }
    return true;
}

}  // namespace acceptance
