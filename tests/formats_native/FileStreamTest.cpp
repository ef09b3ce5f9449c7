// The streaming file pieces the scene file is written and unpacked with.
#include "support/TestSupport.h"

#include "platform/FileStream.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::FileStream;
using platform::ReplacementFile;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

TEST(FileStream, ReplacementAppearsOnlyWhenCommitted)
{
    TempDir dir;
    WriteFileBytes(dir.file("target"), "old");
    {
        ReplacementFile file;
        ASSERT_TRUE(file.Create(dir.wfile("target")));
        ASSERT_TRUE(file.stream().Write("new bytes", 9));
        EXPECT_EQ(ReadFileBytes(dir.file("target")), "old");
    }  // never committed
    EXPECT_EQ(ReadFileBytes(dir.file("target")), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    ReplacementFile file;
    ASSERT_TRUE(file.Create(dir.wfile("target")));
    ASSERT_TRUE(file.stream().Write("new bytes", 9));
    ASSERT_TRUE(file.Commit(true));
    EXPECT_EQ(ReadFileBytes(dir.file("target")), "new bytes");
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("target").c_str(), &st), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);  // not the private mode of a temporary file
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_FALSE(ReplacementFile().Create(dir.wfile("no folder/target")));
}

TEST(FileStream, CopyOfMoreThanTheSourceHoldsFails)
{
    TempDir dir;
    WriteFileBytes(dir.file("from"), std::string(3000, 'a'));
    FileStream from, to;
    ASSERT_TRUE(from.Open(dir.wfile("from"), FileStream::Mode::Read));
    ASSERT_TRUE(to.Open(dir.wfile("to"), FileStream::Mode::CreateNew));
    EXPECT_FALSE(to.Open(dir.wfile("from"), FileStream::Mode::CreateNew));  // the name is taken
    ASSERT_TRUE(to.Open(dir.wfile("to2"), FileStream::Mode::CreateNew));
    EXPECT_TRUE(platform::CopyStreamBytes(from, to, 1000));
    EXPECT_FALSE(platform::CopyStreamBytes(from, to, 2001));
    EXPECT_EQ(errno, EIO);
    EXPECT_FALSE(platform::CopyStreamBytes(from, to, -1));
    EXPECT_TRUE(from.Seek(0));
    EXPECT_TRUE(from.Skip(2990));
    char tail[20];
    EXPECT_EQ(from.Read(tail, sizeof(tail)), 10u);
    EXPECT_EQ(from.LastError(), 0);  // a plain end of file
}
