#pragma once
// Work done in forked copies of this process: a piece of work that crashes,
// hangs on to memory or leaves state behind ends with its own process, and
// what it printed is kept for the caller.
#include <cstddef>
#include <functional>
#include <string>

namespace platform {

struct ChildOutcome {
    bool started = false;  // false: no process could be made (startError says why)
    int exitCode = -1;     // its exit status, when it exited
    int signal = 0;        // the signal that ended it, or 0
    std::string output;    // standard output and standard error as they came (the last 64 KiB)
    std::string startError;
    bool Succeeded() const { return started && signal == 0 && exitCode == 0; }
};

struct ForkedWork {
    size_t count = 0;     // pieces of work, numbered from 0
    unsigned parallel = 1;  // processes at once
    // Runs in the child, with standard input from /dev/null and standard
    // output and error going to the caller; returns the exit status.
    std::function<int(size_t index)> work;
    std::function<void(size_t index)> started;                               // in this process
    std::function<void(size_t index, const ChildOutcome& outcome)> finished;  // in this process
};

// Runs every piece of work, each in a child forked from this process, and
// returns when all have ended. Call it only while this process runs one
// thread: a forked child gets no copy of the others (nor of the locks they
// may hold).
void RunForked(const ForkedWork& batch);

// "Segmentation fault" for SIGSEGV.
std::string SignalDescription(int signal);

}  // namespace platform
