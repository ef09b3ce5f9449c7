#include "platform/MyThread.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <functional>
#include <memory>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Counts how many times its body started and runs until the stop event.
class PollingThread : public CMyThread {
public:
    ~PollingThread() override { Stop(); }
    int ThreadMain() override
    {
        ++starts;
        running = true;
        while (!m_stopEvent.Wait(5)) {
        }
        running = false;
        return 7;
    }
    std::atomic<int> starts{0};
    std::atomic<bool> running{false};
};

class QuickThread : public CMyThread {
public:
    ~QuickThread() override { Stop(); }
    int ThreadMain() override { return 42; }
};

bool WaitUntil(const std::function<bool()>& pred)
{
    for (int i = 0; i < 2000 && !pred(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return pred();
}

}  // namespace

TEST(MyThread, StartWhileRunningMakesNoSecondThread)
{
    PollingThread t;
    ASSERT_TRUE(t.Start());
    ASSERT_TRUE(WaitUntil([&] { return t.running.load(); }));
    EXPECT_TRUE(t.Start());
    EXPECT_TRUE(t.Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(t.starts.load(), 1);
    EXPECT_EQ(t.GetExitCode(), STILL_ACTIVE);
    t.Stop();
    EXPECT_FALSE(t.running.load());
    EXPECT_EQ(t.GetExitCode(), 7);
}

TEST(MyThread, StopEndsAPollingThreadAndItCanRunAgain)
{
    PollingThread t;
    ASSERT_TRUE(t.Start());
    ASSERT_TRUE(WaitUntil([&] { return t.running.load(); }));
    t.Stop();
    EXPECT_FALSE(t.IsRunning());
    ASSERT_TRUE(t.Start());
    ASSERT_TRUE(WaitUntil([&] { return t.starts.load() == 2; }));
    t.Stop();
    EXPECT_EQ(t.starts.load(), 2);
}

std::atomic<bool> g_bodyRunning{false};
std::atomic<bool> g_bodyEnded{false};

// Leaves stopping to the base destructor; its body touches only base members.
class BaseStoppedThread : public CMyThread {
public:
    int ThreadMain() override
    {
        g_bodyRunning = true;
        while (!m_stopEvent.Wait(5)) {
        }
        g_bodyEnded = true;
        return 0;
    }
};

TEST(MyThread, DestructorStopsARunningThread)
{
    {
        BaseStoppedThread t;
        ASSERT_TRUE(t.Start());
        ASSERT_TRUE(WaitUntil([] { return g_bodyRunning.load(); }));
    }
    EXPECT_TRUE(g_bodyEnded.load());
}

TEST(MyThread, ResultOfTheBodyAndMinusOneWithoutObject)
{
    QuickThread t;
    ASSERT_TRUE(t.Start());
    ASSERT_TRUE(WaitUntil([&] { return !t.IsRunning(); }));
    EXPECT_EQ(t.GetExitCode(), 42);
    EXPECT_EQ(CMyThread::ThreadProc(nullptr), -1);
}

TEST(MyThread, StopEventIsAutoReset)
{
    platform::CEvent e(false, false);
    EXPECT_FALSE(e.Poll());
    e.Set();
    EXPECT_TRUE(e.Poll());
    EXPECT_FALSE(e.Poll());  // consumed
    platform::CEvent manual(true, false);
    manual.Set();
    EXPECT_TRUE(manual.Poll());
    EXPECT_TRUE(manual.Poll());
}
