// The system's requests to end reach the event loop as calls, in order, and
// the previous handlers come back afterwards.
#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <vector>

namespace {

void Pump(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

TEST(TerminationSignalsTest, SignalsArriveOnTheEventLoop)
{
    int argc = 1;
    char name[] = "recovery_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);

    std::vector<int> received;
    {
        platform::TerminationSignals listener([&](int signal) { received.push_back(signal); });
        ASSERT_TRUE(listener.IsInstalled());
        // A second object would take the pipe from the first.
        platform::TerminationSignals second([](int) {});
        EXPECT_FALSE(second.IsInstalled());

        std::raise(SIGTERM);
        std::raise(SIGHUP);
        std::raise(SIGINT);
        EXPECT_TRUE(received.empty());  // nothing runs inside the handler
        Pump([&] { return received.size() == 3; });
        EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP, SIGINT}));
        // The handler is for one signal only: the second takes the default road.
        struct sigaction now {};
        sigaction(SIGTERM, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL);
    }
    struct sigaction after {};
    sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_DFL);

    // A new listener works again once the first is gone.
    platform::TerminationSignals again([&](int signal) { received.push_back(signal); });
    ASSERT_TRUE(again.IsInstalled());
    std::raise(SIGTERM);
    Pump([&] { return received.size() == 4; });
    EXPECT_EQ(received.back(), SIGTERM);
}
