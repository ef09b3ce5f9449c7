#include "LangTestSupport.h"

#include "app/LanguageFileMerge.h"
#include "app/LanguageSetup.h"
#include "app/UserFolders.h"
#include "platform/IniFile.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"

#include <gtest/gtest.h>

using langtest::Locale;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

const std::string kShipped = std::string(KELVANE_SOURCE_DIR) + "/data/Language";

// A language file as the program ships it: UTF-16LE with its byte-order mark.
void WriteLanguageFile(const std::string& path, const std::wstring& text)
{
    ASSERT_TRUE(platform::WriteUtf16LeTextFile(platform::Utf8ToWide(path), text));
}

std::wstring Text(const std::string& path, const wchar_t* section, const wchar_t* key)
{
    return platform::ReadProfileString(platform::Utf8ToWide(path), section, key, L"<absent>", 999);
}

}  // namespace

TEST(LanguageSetup, MissingLanguageFilesAreCopiedAndOthersLeftAlone)
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

TEST(LanguageSetup, AnUpgradeBringsNewAndChangedTextsAndKeepsTheUsersEdits)
{
    TempDir shipped;
    TempDir user;
    const std::wstring to = user.wfile("Language/Kelvane");
    const std::string mine = user.file("Language/Kelvane/English.ini");
    WriteLanguageFile(shipped.file("English.ini"), L"[String]\r\nIDS1=One\r\nIDS2=Two\r\nIDS3=Three\r\n");
    EXPECT_EQ(CopyMissingLanguageFiles(shipped.wpath(), to), 1);
    EXPECT_EQ(CopyMissingLanguageFiles(shipped.wpath(), to), 0) << "nothing new: nothing to do";

    // The user changes one text; the next program changes two and adds some.
    ASSERT_TRUE(platform::WriteProfileString(platform::Utf8ToWide(mine), L"String", L"IDS2", L"Deux"));
    WriteLanguageFile(shipped.file("English.ini"),
                      L"[String]\r\nIDS1=One!\r\nIDS2=Two!\r\nIDS3=Three\r\nIDS4=Four\r\n"
                      L"IDS5=\"  padded  \"\r\n[Dialog]\r\nIDD9_Title=Nine\r\n");
    EXPECT_EQ(CopyMissingLanguageFiles(shipped.wpath(), to), 1);
    EXPECT_EQ(Text(mine, L"String", L"IDS1"), L"One!") << "a text the user never changed follows the program";
    EXPECT_EQ(Text(mine, L"String", L"IDS2"), L"Deux") << "the user's own text stays";
    EXPECT_EQ(Text(mine, L"String", L"IDS3"), L"Three");
    EXPECT_EQ(Text(mine, L"String", L"IDS4"), L"Four");
    EXPECT_EQ(Text(mine, L"String", L"IDS5"), L"  padded  ");
    EXPECT_EQ(Text(mine, L"Dialog", L"IDD9_Title"), L"Nine");
    EXPECT_EQ(ReadFileBytes(mine).substr(0, 2), "\xFF\xFE") << "the file stays UTF-16LE";
    const std::string merged = ReadFileBytes(mine);
    EXPECT_EQ(CopyMissingLanguageFiles(shipped.wpath(), to), 0);
    EXPECT_EQ(ReadFileBytes(mine), merged) << "a second start changes nothing";

    // A key the user's file lost comes back even when nothing new shipped.
    ASSERT_TRUE(platform::DeleteProfileKey(platform::Utf8ToWide(mine), L"String", L"IDS4"));
    EXPECT_EQ(CopyMissingLanguageFiles(shipped.wpath(), to), 1);
    EXPECT_EQ(Text(mine, L"String", L"IDS4"), L"Four");
}

TEST(LanguageSetup, ACopyFromAnOlderProgramKeepsItsTextsAndGainsTheMissingOnes)
{
    // An older program copied its file without keeping what it shipped, so
    // no text can be told apart from an edit: all stay, missing ones come.
    TempDir shipped;
    TempDir user;
    const std::string mine = user.file("English.ini");
    WriteLanguageFile(mine, L"[String]\r\nIDS1=One (edited?)\r\n");
    WriteLanguageFile(shipped.file("English.ini"), L"[String]\r\nIDS1=One\r\nIDS2=Two\r\n");
    EXPECT_EQ(MergeShippedLanguageFile(shipped.wfile("English.ini"), platform::Utf8ToWide(mine)),
              LanguageMergeResult::Updated);
    EXPECT_EQ(Text(mine, L"String", L"IDS1"), L"One (edited?)");
    EXPECT_EQ(Text(mine, L"String", L"IDS2"), L"Two");

    // A user file that cannot be read is never replaced.
    const std::string folder = user.file("Blocked.ini");
    std::filesystem::create_directories(folder + "/inside");
    EXPECT_EQ(MergeShippedLanguageFile(shipped.wfile("English.ini"), platform::Utf8ToWide(folder)),
              LanguageMergeResult::Failed);
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/inside"));
}

TEST(LanguageSetup, AnEnglishUserKeepsEnglishAfterAnUpgradeAddsTexts)
{
    // The user's English file came from a program without text 901.
    testsupport::FreshUserFolders folders;
    Locale english("en_GB.UTF-8");
    const std::string language = folders.dataHome() + "/Kelvane/Language/Kelvane";
    std::filesystem::create_directories(language);
    std::filesystem::copy_file(kShipped + "/English.ini", language + "/English.ini");
    ASSERT_TRUE(platform::DeleteProfileKey(platform::Utf8ToWide(language + "/English.ini"), L"String", L"IDS901"));
    InitLanguages(platform::Utf8ToWide(kShipped));
    EXPECT_EQ(Lang::GetCurLanguage(), L"English");
    EXPECT_EQ(Lang::LoadLangString(901), L"The set has unsaved changes.\r\nSave them first?");
}
