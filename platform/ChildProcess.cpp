#include "ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

constexpr size_t kKeptOutput = 64 * 1024;

struct Running {
    size_t index = 0;
    pid_t pid = -1;
    int output = -1;  // read end of the child's output pipe
    ChildOutcome outcome;
};

[[noreturn]] void RunInChild(const ForkedWork& batch, size_t index, int outputPipe, const std::vector<Running>& siblings)
{
    for (const Running& sibling : siblings)
        ::close(sibling.output);
    const int input = ::open("/dev/null", O_RDONLY);
    if (input >= 0)
        ::dup2(input, STDIN_FILENO);
    ::dup2(outputPipe, STDOUT_FILENO);
    ::dup2(outputPipe, STDERR_FILENO);
    const int status = batch.work(index);
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    ::_exit(status);  // no exit handlers: they belong to the parent
}

bool Start(const ForkedWork& batch, size_t index, std::vector<Running>& running, ChildOutcome& failure)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        failure.startError = std::strerror(errno);
        return false;
    }
    std::cout.flush();
    std::fflush(nullptr);  // what this process has buffered must not be printed twice
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ends[0]);
        RunInChild(batch, index, ends[1], running);
    }
    ::close(ends[1]);
    if (pid < 0) {
        failure.startError = std::strerror(errno);
        ::close(ends[0]);
        return false;
    }
    Running child;
    child.index = index;
    child.pid = pid;
    child.output = ends[0];
    child.outcome.started = true;
    running.push_back(std::move(child));
    return true;
}

void KeepTail(std::string& output, const char* data, size_t size)
{
    output.append(data, size);
    if (output.size() > 2 * kKeptOutput)
        output.erase(0, output.size() - kKeptOutput);
}

// Reads what the child printed; true once it has closed its output.
bool ReadOutput(Running& child)
{
    char buffer[4096];
    const ssize_t n = ::read(child.output, buffer, sizeof(buffer));
    if (n > 0) {
        KeepTail(child.outcome.output, buffer, static_cast<size_t>(n));
        return false;
    }
    return n == 0 || (errno != EINTR && errno != EAGAIN);
}

void Reap(Running& child)
{
    ::close(child.output);
    int status = 0;
    while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        child.outcome.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        child.outcome.signal = WTERMSIG(status);
    if (child.outcome.output.size() > kKeptOutput)
        child.outcome.output.erase(0, child.outcome.output.size() - kKeptOutput);
}

}  // namespace

void RunForked(const ForkedWork& batch)
{
    std::vector<Running> running;
    size_t next = 0;
    while (next < batch.count || !running.empty()) {
        while (running.size() < std::max(batch.parallel, 1u) && next < batch.count) {
            const size_t index = next++;
            ChildOutcome failure;
            if (batch.started)
                batch.started(index);
            if (!Start(batch, index, running, failure) && batch.finished)
                batch.finished(index, failure);
        }
        std::vector<pollfd> watched;
        for (const Running& child : running)
            watched.push_back({child.output, POLLIN, 0});
        if (watched.empty())
            continue;
        // Should poll itself fail, each child is read to its end in turn.
        const bool polled = ::poll(watched.data(), watched.size(), -1) >= 0;
        if (!polled && errno == EINTR)
            continue;
        for (size_t i = running.size(); i-- > 0;) {
            if (polled && (!(watched[i].revents & (POLLIN | POLLHUP | POLLERR)) || !ReadOutput(running[i])))
                continue;
            while (!polled && !ReadOutput(running[i])) {
            }
            Reap(running[i]);
            Running ended = std::move(running[i]);
            running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
            if (batch.finished)
                batch.finished(ended.index, ended.outcome);
        }
    }
}

std::string SignalDescription(int signal)
{
    const char* text = ::sigdescr_np(signal);
    return text ? text : "signal " + std::to_string(signal);
}

}  // namespace platform
