// Work in forked copies of the test: each piece's output, exit status and
// signal reach the caller, and one crashing piece stops only itself.
#include "platform/ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <unistd.h>

namespace {

struct Seen {
    std::vector<size_t> started;
    std::map<size_t, platform::ChildOutcome> finished;
};

Seen RunBatch(size_t count, unsigned parallel, std::function<int(size_t)> work)
{
    Seen seen;
    platform::ForkedWork batch;
    batch.count = count;
    batch.parallel = parallel;
    batch.work = std::move(work);
    batch.started = [&](size_t i) { seen.started.push_back(i); };
    batch.finished = [&](size_t i, const platform::ChildOutcome& outcome) {
        EXPECT_EQ(seen.finished.count(i), 0u) << i << " finished twice";
        seen.finished[i] = outcome;
    };
    platform::RunForked(batch);
    return seen;
}

}  // namespace

TEST(ChildProcess, EachPieceReportsItsOutputStatusAndSignal)
{
    const Seen seen = RunBatch(6, 3, [](size_t i) {
        std::cout << "out " << i << "\n";
        std::cerr << "err " << i << std::endl;
        if (i == 2)
            std::raise(SIGKILL);
        if (i == 4)
            std::raise(SIGTERM);
        return static_cast<int>(i);
    });
    ASSERT_EQ(seen.started.size(), 6u);
    ASSERT_EQ(seen.finished.size(), 6u);
    for (const auto& [i, outcome] : seen.finished) {
        EXPECT_TRUE(outcome.started);
        EXPECT_NE(outcome.output.find("err " + std::to_string(i) + "\n"), std::string::npos) << outcome.output;
        if (i == 2) {
            EXPECT_EQ(outcome.signal, SIGKILL);
        } else if (i == 4) {
            EXPECT_EQ(outcome.signal, SIGTERM);
            EXPECT_EQ(platform::SignalDescription(outcome.signal), "Terminated");
        } else {
            EXPECT_EQ(outcome.exitCode, static_cast<int>(i));
            EXPECT_EQ(outcome.Succeeded(), i == 0);
            EXPECT_NE(outcome.output.find("out " + std::to_string(i) + "\n"), std::string::npos) << outcome.output;
        }
    }
}

TEST(ChildProcess, RunsAtMostTheAskedNumberAtOnceAndKeepsTheEndOfAFlood)
{
    // Each child holds a place in a pipe for a moment; the parent counts how
    // many hold one at the same time through the order of starts and ends.
    int order[2];
    ASSERT_EQ(::pipe(order), 0);
    const Seen seen = RunBatch(8, 2, [&](size_t i) {
        if (::write(order[1], "+", 1) != 1)
            return 1;
        ::usleep(50000);
        if (::write(order[1], "-", 1) != 1)
            return 1;
        if (i == 7) {
            const std::string line(1000, 'x');
            for (int n = 0; n < 200; ++n)
                std::cout << line;
            std::cout << "END" << std::endl;
        }
        return 0;
    });
    ::close(order[1]);
    std::string marks;
    char c;
    while (::read(order[0], &c, 1) == 1)
        marks += c;
    ::close(order[0]);
    int inside = 0, most = 0;
    for (char m : marks) {
        inside += m == '+' ? 1 : -1;
        most = std::max(most, inside);
    }
    EXPECT_EQ(marks.size(), 16u);
    EXPECT_EQ(most, 2) << marks;
    const platform::ChildOutcome& flood = seen.finished.at(7);
    EXPECT_TRUE(flood.Succeeded());
    EXPECT_LE(flood.output.size(), 64u * 1024u);
    EXPECT_TRUE(flood.output.ends_with("xEND\n"));
}

TEST(ChildProcess, StandardInputIsEmpty)
{
    const Seen seen = RunBatch(1, 1, [](size_t) {
        char c;
        return static_cast<int>(::read(STDIN_FILENO, &c, 1));
    });
    EXPECT_EQ(seen.finished.at(0).exitCode, 0) << "reading gives end of file, not the caller's input";
}
