#pragma once
// The requests to end the program that the system sends (SIGTERM from
// `kill` or a logout, SIGINT from Ctrl+C, SIGHUP from a closed terminal),
// turned into a call on the thread of the event loop: the signal handler
// itself only writes the signal's number into a pipe, which the loop reads.
// A second signal of the same kind ends the program the system's way, so a
// program stuck in its shutdown can still be ended.
#include <functional>
#include <memory>

class QSocketNotifier;

namespace platform {

class TerminationSignals {
public:
    using Handler = std::function<void(int signal)>;
    // One object at a time; the handler runs on the creating thread.
    explicit TerminationSignals(Handler handler);
    // Gives the signals back to their previous handlers.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool IsInstalled() const { return m_installed; }

private:
    void ReadSignals();

    Handler m_handler;
    int m_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_installed = false;
};

}  // namespace platform
