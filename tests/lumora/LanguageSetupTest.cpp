#include "LangTestSupport.h"

#include "app/LanguageSetup.h"
#include "app/UserFolders.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"

#include <gtest/gtest.h>

using langtest::Locale;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {
const std::string kShipped = std::string(KELVANE_SOURCE_DIR) + "/data/Language";
}

TEST(LanguageSetup, MissingLanguageFilesAreCopiedAndExistingOnesNeverReplaced)
{
    TempDir shipped;
    TempDir user;
    WriteFileBytes(shipped.file("English.ini"), "new english");
    WriteFileBytes(shipped.file("Deutsch.INI"), "deutsch");
    WriteFileBytes(shipped.file("Lang.ini"), "never shipped to users");
    WriteFileBytes(shipped.file("English.ini.utf8"), "source");
    std::filesystem::create_directories(shipped.file("Folder.ini"));
    const std::string target = user.file("Language/Kelvane");
    std::filesystem::create_directories(target);
    WriteFileBytes(target + "/English.ini", "the user's own english");

    EXPECT_EQ(CopyMissingLanguageFiles(shipped.wpath(), platform::Utf8ToWide(target)), 1);
    EXPECT_EQ(ReadFileBytes(target + "/English.ini"), "the user's own english");
    EXPECT_EQ(ReadFileBytes(target + "/Deutsch.INI"), "deutsch");
    EXPECT_FALSE(testsupport::Exists(target + "/Lang.ini"));
    EXPECT_FALSE(testsupport::Exists(target + "/English.ini.utf8"));
    EXPECT_FALSE(testsupport::Exists(target + "/Folder.ini"));
    EXPECT_EQ(CopyMissingLanguageFiles(shipped.wpath(), platform::Utf8ToWide(target)), 0);
    EXPECT_EQ(CopyMissingLanguageFiles(shipped.wfile("absent"), platform::Utf8ToWide(target)), 0);
}

TEST(LanguageSetup, AnEnglishUserSeesEnglishOnTheFirstRun)
{
    testsupport::FreshUserFolders folders;
    Locale english("en_GB.UTF-8");
    InitLanguages(platform::Utf8ToWide(kShipped));
    EXPECT_EQ(Lang::m_sLangPath, GetUserDataFolder());
    EXPECT_EQ(Lang::m_sAppName, L"Kelvane");
    EXPECT_TRUE(testsupport::Exists(folders.dataHome() + "/Kelvane/Language/Kelvane/English.ini"));
    EXPECT_EQ(Lang::m_aLanguageList, std::vector<std::wstring>{L"English"});
    EXPECT_EQ(Lang::GetCurLanguage(), L"English");
    EXPECT_EQ(Lang::LoadLangString(127), L"General");
    EXPECT_TRUE(testsupport::Exists(folders.dataHome() + "/Kelvane/Language/Lang.ini"));
}

TEST(LanguageSetup, AChineseUserKeepsTheProgramTexts)
{
    testsupport::FreshUserFolders folders;
    Locale chinese("zh_CN.UTF-8");
    InitLanguages(platform::Utf8ToWide(kShipped));
    EXPECT_EQ(Lang::m_aLanguageList, std::vector<std::wstring>{L"English"});
    EXPECT_EQ(Lang::GetCurLanguage(), L"简体中文");
    EXPECT_EQ(Lang::LoadLangString(127), L"通用");
}

TEST(LanguageSetup, TheProgramShipsItsLanguageFilesBesideItself)
{
    EXPECT_EQ(GetShippedLanguageFolder(), platform::GetProgramDataFolder() + L"/Language");
    EXPECT_EQ(ReadFileBytes(platform::WideToUtf8(GetShippedLanguageFolder()) + "/English.ini"),
              ReadFileBytes(kShipped + "/English.ini"));
}
