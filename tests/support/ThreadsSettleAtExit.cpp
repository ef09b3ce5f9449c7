// Linked into every test program. Qt ends some of its own threads from its
// static destructors at exit (the D-Bus connection's, the thread pools'): a
// thread's wait() returns before the thread has run its thread-local
// destructors, which free the thread's event data. The leak check runs right
// after the static destructors, so without a pause it can find that data
// still owned by a thread that is about to free it, and report it as a leak
// at random. This waits, at the very end, until the number of threads in the
// process has stopped falling (a second at most).
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

int ThreadsInProcess()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Threads:", 0) == 0)
            return std::atoi(line.c_str() + 8);
    }
    return 0;
}

void WaitForEndingThreads()
{
    constexpr int kQuietSteps = 4;
    constexpr int kMostSteps = 200;
    int last = ThreadsInProcess();
    for (int quiet = 0, step = 0; quiet < kQuietSteps && step < kMostSteps; ++step) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const int now = ThreadsInProcess();
        quiet = now == last ? quiet + 1 : 0;
        last = now;
    }
}

// Registered before main, so it runs after every handler and static
// destructor registered later: after Qt's, before the leak check.
struct Registration {
    Registration() { std::atexit(WaitForEndingThreads); }
} registration;

}  // namespace
