#include "platform/FileUtil.h"
#include "platform/HugePageBuffers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* kReportVariable = "KELVANE_TEST_TUNABLES_REPORT";

}  // namespace

TEST(HugePageBuffers, ReadsTheKernelsChoiceAndAddsTheTunableOnlyWhereNoneIsSet)
{
    EXPECT_EQ(platform::ChosenKernelSetting("always [madvise] never\n"), "madvise");
    EXPECT_EQ(platform::ChosenKernelSetting("always [madvise"), "");

    EXPECT_EQ(platform::TunablesAskingForHugePages(nullptr), "glibc.malloc.hugetlb=1");
    EXPECT_EQ(platform::TunablesAskingForHugePages("glibc.malloc.arena_max=2"),
              "glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1");
    // The user's own choice, either way, stands: no restart.
    EXPECT_EQ(platform::TunablesAskingForHugePages("glibc.malloc.arena_max=2:glibc.malloc.hugetlb=0"), "");
}

// Run by the next test in a restarted copy of this program: writes what the
// restart left in the environment.
TEST(HugePageBuffers, ReportsTheTunablesOfARestartedProgram)
{
    const char* report = std::getenv(kReportVariable);
    if (!report)
        GTEST_SKIP() << "run by the restart test only";
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    std::ofstream(report) << (tunables ? tunables : "(none)");
}

TEST(HugePageBuffers, TheProgramStartsAgainAskingForHugePagesAndKeepsItsArguments)
{
    const auto kernel = platform::ReadWholeFile(L"/sys/kernel/mm/transparent_hugepage/enabled");
    if (platform::ChosenKernelSetting(kernel.value_or("")) != "madvise")
        GTEST_SKIP() << "the system gives huge pages without asking, or never";
    const std::filesystem::path report =
        std::filesystem::temp_directory_path() / ("kelvane-tunables-" + std::to_string(getpid()));
    std::filesystem::remove(report);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv(kReportVariable, report.c_str(), 1);
        setenv("GLIBC_TUNABLES", "glibc.malloc.arena_max=4", 1);
        std::string self = std::filesystem::read_symlink("/proc/self/exe");
        std::string filter = "--gtest_filter=HugePageBuffers.ReportsTheTunablesOfARestartedProgram";
        char* argv[] = {self.data(), filter.data(), nullptr};
        platform::RestartWithHugePageBuffers(argv);
        _exit(3);  // not restarted
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(platform::ReadWholeFile(report.wstring()).value_or("(not written)"),
              "glibc.malloc.arena_max=4:glibc.malloc.hugetlb=1");
    std::filesystem::remove(report);
}
