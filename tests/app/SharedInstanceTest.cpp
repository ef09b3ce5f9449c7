#include "app/SharedInstance.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string UniqueName(const char* tag) { return "kelvane-test-" + std::string(tag) + "-" + std::to_string(getpid()); }

struct RecordName {
    explicit RecordName(const char* tag) : name(UniqueName(tag)) { SharedInstanceRecord::Remove(name); }
    ~RecordName() { SharedInstanceRecord::Remove(name); }
    std::string name;
};

}  // namespace

TEST(SharedInstance, FreshRecordHasTheInitialValues)
{
    RecordName n("fresh");
    SharedInstanceRecord record;
    ASSERT_TRUE(record.Open(n.name));
    EXPECT_EQ(record.Data()->restartPending.load(), 0);
    EXPECT_EQ(record.Data()->instanceCount.load(), 0);
    EXPECT_EQ(record.Data()->lastProcessId.load(), 0xFFFFFFFFu);
    EXPECT_EQ(record.Data()->mainWindow.load(), 0u);
}

TEST(SharedInstance, TwoOpenersSeeTheSameRecord)
{
    RecordName n("same");
    SharedInstanceRecord a, b;
    ASSERT_TRUE(a.Open(n.name));
    EXPECT_EQ(a.Enter(100), 1);
    ASSERT_TRUE(b.Open(n.name));
    EXPECT_EQ(b.Data()->instanceCount.load(), 1);
    EXPECT_EQ(b.Data()->lastProcessId.load(), 100u);
    b.Data()->mainWindow = 0x1234;
    EXPECT_EQ(a.Data()->mainWindow.load(), 0x1234u);
    EXPECT_EQ(b.Leave(), 0);
    EXPECT_EQ(a.Leave(), 0);  // never below zero
}

TEST(SharedInstance, ConcurrentProcessesKeepTheCountExact)
{
    RecordName n("race");
    constexpr int kProcesses = 8;
    constexpr int kRounds = 2000;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            SharedInstanceRecord record;
            if (!record.Open(n.name))
                _exit(3);
            for (int i = 0; i < kRounds; ++i)
                record.Enter(static_cast<uint32_t>(getpid()));
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    SharedInstanceRecord record;
    ASSERT_TRUE(record.Open(n.name));
    EXPECT_EQ(record.Data()->instanceCount.load(), kProcesses * kRounds);
    EXPECT_EQ(record.Data()->restartPending.load(), 0);
}
