#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace acceptance {

Environment CurrentEnvironment()
{
    Environment environment;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text(*entry);
        const size_t equals = text.find('=');
        if (equals != std::string::npos)
            environment[text.substr(0, equals)] = text.substr(equals + 1);
    }
    return environment;
}

ChildProcess::ChildProcess(const ChildOptions& options)
{
    // Everything the child needs is made before fork: after it, only
    // async-signal-safe calls are allowed.
    std::vector<std::string> envText;
    for (const auto& [name, value] : options.environment)
        envText.push_back(name + "=" + value);
    std::vector<char*> argv, envp;
    for (const std::string& arg : options.argv)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    for (std::string& entry : envText)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    const std::string log = options.logPath.empty() ? std::string("/dev/null") : options.logPath;
    const pid_t parent = getpid();

    const pid_t pid = fork();
    if (pid < 0)
        return;
    if (pid == 0) {
        setpgid(0, options.processGroup);
        // The session's programs never outlive a test that died.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        if (in >= 0)
            dup2(in, 0);
        if (options.passFd >= 0)
            fcntl(options.passFd, F_SETFD, 0);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    // Both sides set the group, so it is in place whichever runs first.
    setpgid(pid, options.processGroup ? options.processGroup : pid);
    m_pid = pid;
}

ChildProcess::~ChildProcess() { Stop(); }

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : m_pid(other.m_pid), m_exit(other.m_exit)
{
    other.m_pid = -1;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        Stop();
        m_pid = other.m_pid;
        m_exit = other.m_exit;
        other.m_pid = -1;
    }
    return *this;
}

void ChildProcess::Reap(int status)
{
    m_exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    m_pid = -1;
}

bool ChildProcess::Running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    const pid_t done = waitpid(m_pid, &status, WNOHANG);
    if (done == m_pid) {
        Reap(status);
        return false;
    }
    return done == 0;
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (Running()) {
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return m_exit;
}

std::optional<int> ChildProcess::Stop(std::chrono::milliseconds grace)
{
    if (!Running())
        return m_exit;
    kill(m_pid, SIGTERM);
    if (std::optional<int> code = WaitForExit(grace))
        return code;
    kill(m_pid, SIGKILL);
    return WaitForExit(std::chrono::milliseconds(5000));
}

}  // namespace acceptance
