#include "Processes.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <string_view>
#include <algorithm>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

std::string ProcPath(uint32_t pid, const char* entry) { return "/proc/" + std::to_string(pid) + "/" + entry; }

// A zombie still has a /proc entry; it counts as gone.
bool IsZombie(uint32_t pid)
{
    FILE* file = std::fopen(ProcPath(pid, "stat").c_str(), "r");
    if (!file)
        return true;
    char buffer[512] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, file);
    std::fclose(file);
    std::string_view stat(buffer, n);
    const size_t close = stat.rfind(')');
    return close == std::string_view::npos || close + 2 >= stat.size() || stat[close + 2] == 'Z';
}

bool WaitUntilGone(uint32_t pid, int waitMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (IsProcessAlive(pid)) {
        // Our own child would stay a zombie until reaped.
        waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG);
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }

bool IsProcessAlive(uint32_t pid)
{
    if (pid == 0 || pid > static_cast<uint32_t>(INT_MAX))
        return false;
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return false;
    return !IsZombie(pid);
}

std::string ProcessExecutableName(uint32_t pid)
{
    if (pid == 0 || pid > static_cast<uint32_t>(INT_MAX))
        return {};
    char target[PATH_MAX + 1];
    const ssize_t n = readlink(ProcPath(pid, "exe").c_str(), target, PATH_MAX);
    if (n <= 0)
        return {};
    std::string path(target, static_cast<size_t>(n));
    // A replaced executable reads "<path> (deleted)".
    constexpr std::string_view deleted = " (deleted)";
    if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
        path.resize(path.size() - deleted.size());
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsProcessOfCurrentUser(uint32_t pid)
{
    if (pid == 0 || pid > static_cast<uint32_t>(INT_MAX))
        return false;
    struct stat st {};
    return ::stat(("/proc/" + std::to_string(pid)).c_str(), &st) == 0 && st.st_uid == getuid();
}

std::optional<std::map<std::string, std::string>> ReadProcessEnvironment(uint32_t pid,
                                                                         const std::vector<std::string>& names)
{
    if (pid == 0 || pid > static_cast<uint32_t>(INT_MAX))
        return std::nullopt;
    FILE* file = std::fopen(ProcPath(pid, "environ").c_str(), "rb");
    if (!file)
        return std::nullopt;
    std::string text;
    char chunk[16384];
    size_t n = 0;
    while (text.size() < kMaxEnvironmentBytes && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, std::min(n, kMaxEnvironmentBytes - text.size()));
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return std::nullopt;
    std::map<std::string, std::string> values;
    // Every entry ends with a zero byte; an entry cut by the limit has none
    // and is left out.
    for (size_t start = 0, end = 0; (end = text.find('\0', start)) != std::string::npos; start = end + 1) {
        const std::string_view entry(text.data() + start, end - start);
        const size_t equals = entry.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string name(entry.substr(0, equals));
        if (std::find(names.begin(), names.end(), name) != names.end())
            values.try_emplace(name, entry.substr(equals + 1));
    }
    return values;
}

std::vector<uint32_t> FindProcessesNamed(const std::string& executableName)
{
    std::vector<uint32_t> found;
    DIR* dir = opendir("/proc");
    if (!dir)
        return found;
    const uint32_t self = CurrentProcessId();
    while (dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const unsigned long pid = std::strtoul(entry->d_name, &end, 10);
        if (!end || *end != '\0' || pid == 0 || pid == self || pid > static_cast<unsigned long>(INT_MAX))
            continue;
        if (ProcessExecutableName(static_cast<uint32_t>(pid)) == executableName && !IsZombie(static_cast<uint32_t>(pid)))
            found.push_back(static_cast<uint32_t>(pid));
    }
    closedir(dir);
    return found;
}

bool TerminateProcessNamed(uint32_t pid, const std::string& executableName, int waitMs)
{
    if (!IsProcessAlive(pid))
        return true;
    if (pid == CurrentProcessId() || ProcessExecutableName(pid) != executableName)
        return false;
    if (kill(static_cast<pid_t>(pid), SIGTERM) != 0)
        return errno == ESRCH;
    if (WaitUntilGone(pid, waitMs))
        return true;
    kill(static_cast<pid_t>(pid), SIGKILL);
    return WaitUntilGone(pid, 1000);
}

}  // namespace platform
