// A folder made beside its place and put there in one step.
#include "platform/FileUtil.h"
#include "platform/FolderReplace.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

std::wstring Staged(const TempDir& dir, const std::string& target, const std::string& content)
{
    const std::wstring staged = platform::MakeFolderBeside(dir.wfile(target));
    EXPECT_FALSE(staged.empty());
    WriteFileBytes(platform::NativePath(staged) + "/set.txt", content);
    return staged;
}

}  // namespace

TEST(FolderReplace, PutsANewFolderInPlaceOnlyWhenAskedToReplace)
{
    TempDir dir;
    const std::wstring first = Staged(dir, "Set", "first");
    EXPECT_TRUE(platform::FileNamePart(first).starts_with(L".Set.")) << "hidden, beside the target";
    struct stat info {};
    ASSERT_EQ(::stat(platform::NativePath(first).c_str(), &info), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0777 & ~mask) << "the folder gets a new folder's permissions";
    ASSERT_TRUE(platform::PutFolderInPlace(first, dir.wfile("Set"), false));
    EXPECT_EQ(ReadFileBytes(dir.file("Set/set.txt")), "first");

    const std::wstring second = Staged(dir, "Set", "second");
    WriteFileBytes(dir.file("Set/stray.txt"), "old");
    errno = 0;
    EXPECT_FALSE(platform::PutFolderInPlace(second, dir.wfile("Set"), false));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(ReadFileBytes(dir.file("Set/set.txt")), "first") << "an existing folder stays unless replaced";

    ASSERT_TRUE(platform::PutFolderInPlace(second, dir.wfile("Set"), true));
    EXPECT_EQ(ReadFileBytes(dir.file("Set/set.txt")), "second");
    EXPECT_FALSE(testsupport::Exists(dir.file("Set/stray.txt"))) << "the old folder is replaced whole, not mixed in";
    EXPECT_FALSE(platform::PathExists(second));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "nothing is left beside it";

    WriteFileBytes(dir.file("File"), "a file");
    const std::wstring third = Staged(dir, "File", "third");
    EXPECT_FALSE(platform::PutFolderInPlace(third, dir.wfile("File"), true));
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_EQ(ReadFileBytes(dir.file("File")), "a file");
}
