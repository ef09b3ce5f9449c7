// Finding and ending other processes: only processes of the named
// executable are ever signalled.
#include "platform/Processes.h"

#include <csignal>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

pid_t StartSleeper()
{
    pid_t pid = -1;
    char program[] = "/bin/sleep";
    char seconds[] = "30";
    char* argv[] = {program, seconds, nullptr};
    posix_spawn(&pid, program, nullptr, nullptr, argv, environ);
    return pid;
}

}  // namespace

TEST(Processes, OnlyAProcessOfTheNamedExecutableIsEnded)
{
    const pid_t sleeper = StartSleeper();
    ASSERT_GT(sleeper, 0);
    const auto pid = static_cast<uint32_t>(sleeper);
    EXPECT_TRUE(platform::IsProcessAlive(pid));
    EXPECT_EQ(platform::ProcessExecutableName(pid), "sleep");

    // Not the editor: left running.
    EXPECT_FALSE(platform::TerminateProcessNamed(pid, "kelvane", 200));
    EXPECT_TRUE(platform::IsProcessAlive(pid));
    const std::vector<uint32_t> sleepers = platform::FindProcessesNamed("sleep");
    EXPECT_NE(std::find(sleepers.begin(), sleepers.end(), pid), sleepers.end());
    EXPECT_TRUE(platform::FindProcessesNamed("kelvane-no-such-program").empty());

    // Named right: ended, and a zombie child counts as gone.
    EXPECT_TRUE(platform::TerminateProcessNamed(pid, "sleep", 2000));
    EXPECT_FALSE(platform::IsProcessAlive(pid));
    waitpid(sleeper, nullptr, WNOHANG);
    EXPECT_TRUE(platform::TerminateProcessNamed(pid, "sleep", 100)) << "an ended process is gone";
}

TEST(Processes, TheCurrentProcessIsNeverEndedOrListed)
{
    const uint32_t self = platform::CurrentProcessId();
    const std::string name = platform::ProcessExecutableName(self);
    ASSERT_FALSE(name.empty());
    EXPECT_FALSE(platform::TerminateProcessNamed(self, name, 100));
    const std::vector<uint32_t> same = platform::FindProcessesNamed(name);
    EXPECT_EQ(std::find(same.begin(), same.end(), self), same.end());
    EXPECT_FALSE(platform::IsProcessAlive(0));
    EXPECT_FALSE(platform::IsProcessAlive(0xFFFFFFFFu));
}
