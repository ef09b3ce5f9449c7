#include "FolderReplace.h"

#include "FileUtil.h"
#include "TextConv.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>

namespace platform {

namespace {

bool Rename(const std::wstring& from, const std::wstring& to, unsigned flags)
{
    return ::renameat2(AT_FDCWD, NativePath(from).c_str(), AT_FDCWD, NativePath(to).c_str(), flags) == 0;
}

// For file systems without an atomic exchange: the old folder steps aside
// under a hidden name first, and comes back if the new one cannot move in.
bool ReplaceInTwoSteps(const std::wstring& staged, const std::wstring& target)
{
    const std::wstring aside = MakeFolderBeside(target);
    if (aside.empty())
        return false;
    if (!Rename(target, aside, 0)) {
        const int error = errno;
        RemoveFolderTree(aside);
        errno = error;
        return false;
    }
    if (!Rename(staged, target, RENAME_NOREPLACE)) {
        const int error = errno;
        Rename(aside, target, RENAME_NOREPLACE);
        errno = error;
        return false;
    }
    RemoveFolderTree(aside);
    return true;
}

}  // namespace

// mkdir rather than mkdtemp: the folder becomes the set's own, so it gets the
// permissions the user's umask gives a new folder, not mkdtemp's 0700.
std::wstring MakeFolderBeside(const std::wstring& target)
{
    const std::string prefix = NativePath(JoinPath(FolderPart(target), L"." + FileNamePart(target) + L"."));
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof(suffix), "%08x", random());
        const std::string path = prefix + suffix;
        if (::mkdir(path.c_str(), 0777) == 0)
            return Utf8ToWide(path);
        if (errno != EEXIST)
            return {};
    }
    return {};
}

bool PutFolderInPlace(const std::wstring& staged, const std::wstring& target, bool replace)
{
    if (Rename(staged, target, RENAME_NOREPLACE))
        return true;
    if (errno != EEXIST || !replace)
        return false;
    if (!FolderExists(target)) {
        errno = ENOTDIR;  // a file of that name is not a set to replace
        return false;
    }
    if (Rename(staged, target, RENAME_EXCHANGE)) {
        RemoveFolderTree(staged);  // now the old folder
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    return ReplaceInTwoSteps(staged, target);
}

}  // namespace platform
