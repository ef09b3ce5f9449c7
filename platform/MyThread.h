#pragma once
// Worker-thread wrapper at the root of the source objects, the top bar and the
// update checker. The thread body is the first virtual operation, ThreadMain;
// bodies poll the stop event to end early.
#include "Event.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class CMyThread {
public:
    CMyThread();
    virtual ~CMyThread();
    CMyThread(const CMyThread&) = delete;
    CMyThread& operator=(const CMyThread&) = delete;

    virtual int ThreadMain() = 0;

    // Starts the thread unless it still runs (then true at once). False when
    // the thread could not be created.
    bool Start(int priority = 0);
    // Sets the stop event and waits until the thread has ended.
    void Stop();

    // STILL_ACTIVE (259) while running, else the last result (0 before any run).
    int GetExitCode() const { return m_exitCode.load(); }
    bool IsRunning() const;

    platform::CEvent& StopEvent() { return m_stopEvent; }
    int Priority() const { return m_priority; }

    // The thread procedure: runs the object's ThreadMain, -1 without an object.
    static int ThreadProc(CMyThread* self);

protected:
    // Derived classes whose ThreadMain uses their own members call Stop() in
    // their destructor; the base destructor's Stop() is the last guard.
    platform::CEvent m_stopEvent;  // auto-reset, created non-signalled

private:
    std::unique_ptr<std::thread> m_thread;
    std::atomic<int> m_exitCode;
    int m_priority = 0;
    std::mutex m_startMutex;
};
