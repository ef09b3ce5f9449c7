#include "platform/FileUtil.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testsupport::TempDir;

TEST(FileUtil, PathParts)
{
    EXPECT_EQ(JoinPath(L"/a/", L"b"), L"/a/b");
    EXPECT_EQ(JoinPath(L"/a", L"/b"), L"/a/b");
    EXPECT_EQ(JoinPath(L"/", L"b"), L"/b");
    EXPECT_EQ(FileNamePart(L"/x/Desk.PNG"), L"Desk.PNG");
    EXPECT_EQ(StemPart(L"/x/Desk.PNG"), L"Desk");
    EXPECT_EQ(ExtensionPart(L"/x/Desk.PNG"), L".PNG");
    EXPECT_EQ(ExtensionPart(L"/x/.hidden"), L"");
    EXPECT_EQ(FolderPart(L"/x/Desk.PNG"), L"/x");
    EXPECT_EQ(FolderPart(L"/Desk.PNG"), L"/");
}

TEST(FileUtil, AtomicWriteReplacesWholeFileAndLeavesNoTemporary)
{
    TempDir dir;
    const std::wstring target = dir.wfile("scene.bin");
    ASSERT_TRUE(WriteFileAtomically(target, "first version"));
    ASSERT_TRUE(WriteFileAtomically(target, "second"));
    EXPECT_EQ(*ReadWholeFile(target), "second");
    EXPECT_EQ(ListFolder(dir.wpath()), std::vector<std::wstring>{L"scene.bin"});
}

TEST(FileUtil, FailedAtomicWriteKeepsTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    const std::wstring target = dir.wfile("keep.bin");
    ASSERT_TRUE(WriteFileAtomically(target, "good"));
    chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(WriteFileAtomically(target, "bad"));
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(*ReadWholeFile(target), "good");
}

TEST(FileUtil, FailedRenameLeavesTheTargetAndNoTemporary)
{
    // A folder in the target's place makes the final rename fail, even as root.
    TempDir dir;
    ASSERT_TRUE(CreateFolder(dir.wfile("scene.tvn")));
    ASSERT_TRUE(WriteFileAtomically(dir.wfile("scene.tvn/keep"), "kept"));
    EXPECT_FALSE(WriteFileAtomically(dir.wfile("scene.tvn"), "new"));
    EXPECT_EQ(*ReadWholeFile(dir.wfile("scene.tvn/keep")), "kept");
    EXPECT_EQ(ListFolder(dir.wpath()), std::vector<std::wstring>{L"scene.tvn"});
}

TEST(FileUtil, AtomicWriteIntoMissingFolderFails)
{
    TempDir dir;
    EXPECT_FALSE(WriteFileAtomically(dir.wfile("no/such/file"), "x"));
}

TEST(FileUtil, CopyOntoItselfNeverTruncates)
{
    TempDir dir;
    const std::wstring file = dir.wfile("a.png");
    ASSERT_TRUE(WriteFileAtomically(file, "pixels"));
    EXPECT_TRUE(CopyFileTo(file, file, true));
    EXPECT_EQ(*ReadWholeFile(file), "pixels");
    EXPECT_FALSE(CopyFileTo(file, dir.wfile("b.png"), true) && !FileExists(dir.wfile("b.png")));
    EXPECT_FALSE(CopyFileTo(file, dir.wfile("b.png"), false));  // exists now
}

TEST(FileUtil, FoldersAndSizes)
{
    TempDir dir;
    EXPECT_FALSE(CreateFolder(dir.wfile("a/b")));  // one level only
    EXPECT_TRUE(CreateFolderTree(dir.wfile("a/b")));
    EXPECT_TRUE(FolderExists(dir.wfile("a/b")));
    EXPECT_FALSE(FileExists(dir.wfile("a/b")));
    EXPECT_EQ(FileSize(dir.wfile("missing")), -1);
    ASSERT_TRUE(WriteFileAtomically(dir.wfile("f"), std::string(1000, 'x')));
    EXPECT_EQ(FileSize(dir.wfile("f")), 1000);
    EXPECT_FALSE(ReadWholeFile(dir.wfile("missing")).has_value());
}

TEST(FileUtil, TempFilesAreUnique)
{
    TempDir dir;
    const std::wstring a = MakeTempFile(dir.wpath(), L"upd");
    const std::wstring b = MakeTempFile(dir.wpath(), L"upd");
    EXPECT_NE(a, b);
    EXPECT_TRUE(FileExists(a));
    EXPECT_TRUE(FileNamePart(a).starts_with(L"upd"));
}
