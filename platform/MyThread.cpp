#include "MyThread.h"

#include "WinTypes.h"

#include <system_error>

CMyThread::CMyThread() : m_stopEvent(false, false), m_exitCode(0) {}

CMyThread::~CMyThread() { Stop(); }

bool CMyThread::IsRunning() const { return m_exitCode.load() == STILL_ACTIVE; }

int CMyThread::ThreadProc(CMyThread* self)
{
    if (!self)
        return -1;
    return self->ThreadMain();
}

bool CMyThread::Start(int priority)
{
    std::lock_guard lock(m_startMutex);
    if (IsRunning())
        return true;
    if (m_thread && m_thread->joinable())
        m_thread->join();  // the previous run has ended; collect it
    m_thread.reset();
    m_stopEvent.Reset();
    m_priority = priority;
    m_exitCode = STILL_ACTIVE;
    try {
        m_thread = std::make_unique<std::thread>([this] { m_exitCode = ThreadProc(this); });
    } catch (const std::system_error&) {
        m_exitCode = 0;
        return false;
    }
    return true;
}

void CMyThread::Stop()
{
    std::lock_guard lock(m_startMutex);
    if (!m_thread)
        return;
    if (IsRunning())
        m_stopEvent.Set();
    if (m_thread->joinable()) {
        if (m_thread->get_id() == std::this_thread::get_id())
            m_thread->detach();  // stopping from inside the body: cannot wait on itself
        else
            m_thread->join();
    }
    m_thread.reset();
}
