#include "HugePageBuffers.h"

#include "FileUtil.h"

#include <cstdlib>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* kTunablesVariable = "GLIBC_TUNABLES";
constexpr const char* kHugePagesTunable = "glibc.malloc.hugetlb";
constexpr const wchar_t* kKernelSettingFile = L"/sys/kernel/mm/transparent_hugepage/enabled";

}  // namespace

std::string ChosenKernelSetting(const std::string& text)
{
    const size_t open = text.find('[');
    const size_t close = open == std::string::npos ? std::string::npos : text.find(']', open);
    return close == std::string::npos ? std::string() : text.substr(open + 1, close - open - 1);
}

std::string TunablesAskingForHugePages(const char* current)
{
    const std::string tunables = current ? current : "";
    if (tunables.find(kHugePagesTunable) != std::string::npos)
        return {};
    return (tunables.empty() ? std::string() : tunables + ":") + kHugePagesTunable + "=1";
}

void RestartWithHugePageBuffers(char** argv)
{
    // "always" gives every large mapping huge pages already, "never" none at all.
    if (!argv || !argv[0] || ChosenKernelSetting(ReadWholeFile(kKernelSettingFile).value_or("")) != "madvise")
        return;
    const std::string tunables = TunablesAskingForHugePages(std::getenv(kTunablesVariable));
    if (tunables.empty())
        return;
    if (setenv(kTunablesVariable, tunables.c_str(), 1) != 0)
        return;
    execv("/proc/self/exe", argv);
    // Not restarted: the program runs on with ordinary pages. The variable
    // stays, so a program it starts asks for huge pages from the beginning.
}

}  // namespace platform
