#include "FolderSwap.h"

#include "FileUtil.h"
#include "TextConv.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

std::wstring MakeUniqueFolder(const std::wstring& parent, const std::wstring& prefix)
{
    std::string pattern = NativePath(JoinPath(parent, prefix)) + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return {};
    return Utf8ToWide(pattern);
}

bool SwapPaths(const std::wstring& a, const std::wstring& b)
{
    const std::string first = NativePath(a), second = NativePath(b);
    if (::renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // The file system cannot exchange: b steps aside under a third name.
    const std::wstring aside = MakeTempFile(FolderPart(b), L"." + FileNamePart(b) + L".old-");
    if (aside.empty())
        return false;
    const std::string third = NativePath(aside);
    ::unlink(third.c_str());
    if (::rename(second.c_str(), third.c_str()) != 0)
        return false;
    if (::rename(first.c_str(), second.c_str()) != 0) {
        const int saved = errno;
        ::rename(third.c_str(), second.c_str());
        errno = saved;
        return false;
    }
    // b holds a's entry now; should the last step fail, b's old entry stays
    // under the third name rather than be lost.
    ::rename(third.c_str(), first.c_str());
    return true;
}

}  // namespace platform
