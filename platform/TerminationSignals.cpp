#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <iterator>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's writing end for the handler; -1 while no object listens.
std::atomic<int> g_writeEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free descriptor");

struct sigaction g_previous[std::size(kSignals)];

// Runs in the signal's context: nothing but write(2) and errno.
extern "C" void OnTerminationSignal(int signal)
{
    const int saved = errno;
    const int fd = g_writeEnd.load();
    if (fd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &number, 1);
    }
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(Handler handler) : m_handler(std::move(handler))
{
    if (g_writeEnd.load() >= 0 || ::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { ReadSignals(); });
    g_writeEnd.store(m_pipe[1]);
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on; the second signal takes the default road.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &g_previous[i]);
    m_installed = true;
}

TerminationSignals::~TerminationSignals()
{
    if (m_installed) {
        for (size_t i = 0; i < std::size(kSignals); ++i)
            sigaction(kSignals[i], &g_previous[i], nullptr);
        g_writeEnd.store(-1);
    }
    m_notifier.reset();
    for (int fd : m_pipe) {
        if (fd >= 0)
            ::close(fd);
    }
}

void TerminationSignals::ReadSignals()
{
    unsigned char numbers[16];
    ssize_t count;
    while ((count = ::read(m_pipe[0], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            if (m_handler)
                m_handler(numbers[i]);
        }
    }
}

}  // namespace platform
