#include "app/UserFolders.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using testsupport::FreshUserFolders;

TEST(UserFolders, FirstCallCreatesTheDataFolder)
{
    FreshUserFolders folders;
    const std::string expected = folders.dataHome() + "/Kelvane";
    ASSERT_FALSE(testsupport::Exists(expected));
    EXPECT_EQ(GetVirtualSetsFolder(), platform::Utf8ToWide(expected + "/VirtualSets"));
    EXPECT_TRUE(std::filesystem::is_directory(expected));
    EXPECT_FALSE(testsupport::Exists(expected + "/VirtualSets"));  // only the data folder is made
}

TEST(UserFolders, FixedPathsInsideTheDataFolder)
{
    FreshUserFolders folders;
    const std::wstring data = platform::Utf8ToWide(folders.dataHome() + "/Kelvane");
    EXPECT_EQ(GetUserDataFolder(), data);
    EXPECT_EQ(GetUnnamedSetFolder(), data + L"/VirtualSets/unnamed");
    EXPECT_EQ(GetUpdateFolder(), data + L"/Update");
    EXPECT_EQ(GetRtcServerConfigPath(), data + L"/rtcserver.json");
}

TEST(UserFolders, WithoutXdgDataHomeTheHomeFolderIsUsed)
{
    FreshUserFolders folders;
    testsupport::ScopedEnv noXdg("XDG_DATA_HOME", nullptr);
    const std::string home = folders.root().file("home");
    std::filesystem::create_directories(home + "/.local/share");
    EXPECT_EQ(GetUserDataFolder(), platform::Utf8ToWide(home + "/.local/share/Kelvane"));
}

TEST(UserFolders, ProgramFolderIsTheExecutablesFolder)
{
    const std::wstring folder = GetProgramFolder();
    EXPECT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'/');
    EXPECT_TRUE(platform::FileExists(folder + L"/app_tests"));
}

TEST(UserFolders, MakerProgramFolderEmptyWhenEitherFolderIsMissing)
{
    FreshUserFolders folders;
    EXPECT_EQ(FindMakerProgramFolder(L"Tolvenar"), L"");
    std::filesystem::create_directories(folders.commonData() + "/Merokai");
    EXPECT_EQ(FindMakerProgramFolder(L"Tolvenar"), L"");
    std::filesystem::create_directories(folders.commonData() + "/Merokai/Tolvenar");
    EXPECT_EQ(FindMakerProgramFolder(L"Tolvenar"), platform::Utf8ToWide(folders.commonData() + "/Merokai/Tolvenar"));
}

// A fresh account has no ~/.local/share: the folder comes with its parents.
TEST(UserFolders, DataFolderIsMadeWithItsParents)
{
    testsupport::TempDir root;
    testsupport::ScopedEnv home("HOME", (root.path() + "/home").c_str());
    testsupport::ScopedEnv data("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(GetUserDataFolder(), platform::Utf8ToWide(root.path() + "/home/.local/share/Kelvane"));
    EXPECT_TRUE(std::filesystem::is_directory(root.path() + "/home/.local/share/Kelvane"));
}
