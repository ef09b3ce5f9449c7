// The per-set cache folder: one stable private folder per set folder, under
// the user data folder of the (temporary) user.
#include "model/SetCache.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class SetCache : public ::testing::Test {
protected:
    testsupport::FreshUserFolders m_user;
    testsupport::TempDir m_sets;
};

mode_t ModeOf(const std::wstring& folder)
{
    struct stat st {};
    EXPECT_EQ(::stat(platform::NativePath(folder).c_str(), &st), 0);
    return st.st_mode & 0777;
}

}  // namespace

TEST_F(SetCache, OneStablePrivateFolderPerSetUnderTheUserData)
{
    const std::wstring studio = m_sets.wfile("Studio");
    ASSERT_TRUE(platform::CreateFolder(studio));
    const std::wstring cache = GetSetCacheFolder(studio);
    ASSERT_FALSE(cache.empty());
    EXPECT_TRUE(platform::FolderExists(cache));
    const std::wstring root = platform::Utf8ToWide(m_user.dataHome()) + L"/Kelvane/Cache/";
    EXPECT_EQ(cache.rfind(root, 0), 0u) << platform::WideToUtf8(cache);
    EXPECT_EQ(ModeOf(cache), 0700u);
    EXPECT_EQ(ModeOf(platform::FolderPart(cache)), 0700u);

    // Other spellings of the same folder, and a folder not made yet.
    EXPECT_EQ(GetSetCacheFolder(studio + L"/"), cache);
    EXPECT_EQ(GetSetCacheFolder(m_sets.wpath() + L"/x/../Studio"), cache);
    std::filesystem::current_path(m_sets.path());
    EXPECT_EQ(GetSetCacheFolder(L"Studio"), cache);
    const std::wstring other = GetSetCacheFolder(m_sets.wfile("Other"));
    EXPECT_FALSE(other.empty());
    EXPECT_NE(other, cache);
    EXPECT_EQ(GetSetCacheFolder(L""), L"");
}

TEST_F(SetCache, AFolderThatExistsIsKeptAndMadePrivate)
{
    const std::wstring cache = GetSetCacheFolder(m_sets.wpath());
    ASSERT_FALSE(cache.empty());
    testsupport::WriteFileBytes(platform::WideToUtf8(cache) + "/kept.png", "png");
    ::chmod(platform::NativePath(cache).c_str(), 0755);
    EXPECT_EQ(GetSetCacheFolder(m_sets.wpath()), cache);
    EXPECT_TRUE(testsupport::Exists(platform::WideToUtf8(cache) + "/kept.png"));
    EXPECT_EQ(ModeOf(cache), 0700u);
}
