#pragma once
// A private desktop for the roads: an X server (1920 x 1200), a window
// manager (openbox), a session bus and the accessibility bus, all in one
// process group that ends with the session. One session serves every road of
// a test program; each road brings its own user folders and editor.
#include "ChildProcess.h"

#include <memory>
#include <string>

namespace acceptance {

class DesktopSession {
public:
    // The session of this test program, started on first use; null with a
    // message in `error` when a part could not start.
    static DesktopSession* Shared(std::string& error);
    // Ends the shared session (the test program's end).
    static void EndShared();

    ~DesktopSession();

    const std::string& Display() const { return m_display; }
    const std::string& SessionBus() const { return m_sessionBus; }
    pid_t ProcessGroup() const { return m_group; }
    // The folder for the session's own files (logs, the buses' home).
    const std::string& Folder() const { return m_folder; }
    // The environment every program of the session gets: display, buses,
    // accessibility on, English, software rendering, no network.
    Environment BaseEnvironment() const;

private:
    DesktopSession() = default;
    bool Start(std::string& error);
    bool StartXServer(std::string& error);
    bool StartSessionBus(std::string& error);
    bool StartAccessibilityBus(std::string& error);
    bool StartWindowManager(std::string& error);
    ChildOptions Options(std::vector<std::string> argv, const std::string& log) const;

    std::string m_folder;
    std::string m_display;
    std::string m_sessionBus;
    pid_t m_group = 0;
    ChildProcess m_xserver;
    ChildProcess m_sessionBusDaemon;
    ChildProcess m_accessibilityLauncher;
    ChildProcess m_windowManager;
};

}  // namespace acceptance
