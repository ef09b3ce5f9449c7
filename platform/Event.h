#pragma once
// A Windows-style event: set, reset and wait, with auto-reset (one waiter is
// released and the event clears) or manual reset.
#include <condition_variable>
#include <mutex>

namespace platform {

class CEvent {
public:
    explicit CEvent(bool manualReset = false, bool initiallySet = false)
        : m_manualReset(manualReset), m_set(initiallySet) {}
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    void Set();
    void Reset();
    // Waits up to timeoutMs (negative: forever); true when the event was set.
    bool Wait(int timeoutMs = -1);
    // True when set; an auto-reset event is consumed by a successful poll.
    bool Poll() { return Wait(0); }

private:
    std::mutex m_mutex;
    std::condition_variable m_cond;
    const bool m_manualReset;
    bool m_set;
};

}  // namespace platform
