#pragma once
// A program the road starts (the X server, the window manager, the buses,
// the editor): started with its own environment and log file, in the
// session's process group, and ended when the holder goes.
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace acceptance {

using Environment = std::map<std::string, std::string>;

// The test's own environment as a map, to start from.
Environment CurrentEnvironment();

struct ChildOptions {
    std::vector<std::string> argv;
    Environment environment;
    std::string logPath;        // standard output and error; /dev/null when empty
    pid_t processGroup = 0;     // 0: the child leads a new group
    int passFd = -1;            // a descriptor the child keeps (a pipe's write end)
};

class ChildProcess {
public:
    ChildProcess() = default;
    explicit ChildProcess(const ChildOptions& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;

    pid_t Pid() const { return m_pid; }
    bool Started() const { return m_pid > 0; }
    bool Running();
    // The exit code once it ended (128 + n for a signal n), waiting up to timeout.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    // SIGTERM, then SIGKILL after the grace time; the exit code.
    std::optional<int> Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));
    // Forgets the process without ending it (it ended some other way).
    void Release() { m_pid = -1; }

private:
    void Reap(int status);

    pid_t m_pid = -1;
    std::optional<int> m_exit;
};

}  // namespace acceptance
