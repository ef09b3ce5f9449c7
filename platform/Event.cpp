#include "Event.h"

#include <chrono>

namespace platform {

void CEvent::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_set = true;
    }
    if (m_manualReset)
        m_cond.notify_all();
    else
        m_cond.notify_one();
}

void CEvent::Reset()
{
    std::lock_guard lock(m_mutex);
    m_set = false;
}

bool CEvent::Wait(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    auto isSet = [this] { return m_set; };
    if (timeoutMs < 0)
        m_cond.wait(lock, isSet);
    else if (!m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet))
        return false;
    if (!m_manualReset)
        m_set = false;
    return true;
}

}  // namespace platform
