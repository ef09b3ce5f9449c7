#include "LangTestSupport.h"

#include "platform/IniFile.h"
#include "platform/TextConv.h"

#include <gtest/gtest.h>

#include <algorithm>

using langtest::LangRoot;
using langtest::Locale;
using langtest::Utf16Le;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

TEST(LangStart, WithoutLanguageFolderAChineseSystemUsesTheResourceTexts)
{
    Locale chinese("zh_CN.UTF-8");
    LangRoot root;
    ASSERT_FALSE(testsupport::Exists(root.path("Language")));
    EXPECT_EQ(Lang::LoadLanguage(), 1);
    EXPECT_TRUE(std::filesystem::is_directory(root.path("Language/Kelvane")));
    EXPECT_TRUE(Lang::m_aLanguageList.empty());
    EXPECT_EQ(Lang::GetCurLanguage(), L"简体中文");
    EXPECT_TRUE(Lang::m_sCurLanguagePath.empty());
    EXPECT_EQ(Lang::LoadLangString(127), L"通用");
    EXPECT_EQ(Lang::LoadLangString(321), L"此操作需要重新启动软件才能生效。\r\n现在重新启动吗？");
    EXPECT_FALSE(testsupport::Exists(root.path("Language/Lang.ini")));  // nothing made current
}

TEST(LangStart, OnlyPrcAndSingaporeChineseCountAsTheChineseCodePage)
{
    LangRoot root;
    for (const char* lang : {"zh_CN.UTF-8", "zh_SG", "zh", "zh_CN.GB18030@pinyin"}) {
        Locale locale(lang);
        EXPECT_EQ(Lang::GetCurLanguage(), L"简体中文") << lang;
    }
    for (const char* lang : {"zh_TW.UTF-8", "zh_HK", "en_US.UTF-8", "C", "ja_JP"}) {
        Locale locale(lang);
        EXPECT_EQ(Lang::GetCurLanguage(), L"English") << lang;
    }
    {
        Locale english("en_US.UTF-8");
        testsupport::ScopedEnv all("LC_ALL", "zh_CN.UTF-8");  // LC_ALL overrides LANG
        EXPECT_EQ(Lang::GetCurLanguage(), L"简体中文");
    }
}

TEST(LangList, LanguageFilesAreListedButNeverLangIni)
{
    LangRoot root;
    root.writeLanguage("English", u"[String]\r\n");
    root.writeLanguage("Deutsch", u"[String]\r\n");
    root.writeLanguage("Lang", u"[Setting]\r\n");
    WriteFileBytes(root.path("Language/Kelvane/LANG.INI"), "");
    WriteFileBytes(root.path("Language/Kelvane/Español.INI"), "");
    WriteFileBytes(root.path("Language/Kelvane/notes.txt"), "");
    std::filesystem::create_directories(root.path("Language/Kelvane/Folder.ini"));
    const std::vector<std::wstring>* list = Lang::LoadLanguageList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(*list, (std::vector<std::wstring>{L"Deutsch", L"English", L"Español"}));
}

// The program's own texts are a language without a file: after switching to
// another one the user can always come back.
TEST(LangList, TheStringTablesLanguageIsAlwaysListedOnce)
{
    LangRoot root;
    root.writeLanguage("English", u"[String]\r\n");
    Lang::SetStringTableLoader(+[](unsigned) { return std::wstring(L"默认"); });
    const std::vector<std::wstring> withoutFile = Lang::SelectableLanguages();
    root.writeLanguage("简体中文", u"[String]\r\n");
    const std::vector<std::wstring> withFile = Lang::SelectableLanguages();
    Lang::SetStringTableLoader(nullptr);
    EXPECT_EQ(withoutFile, (std::vector<std::wstring>{L"简体中文", L"English"}));
    EXPECT_EQ(withFile.size(), 2u);
    EXPECT_EQ(std::count(withFile.begin(), withFile.end(), L"简体中文"), 1);
}

TEST(LangList, NoAppNameNoList)
{
    LangRoot root;
    Lang::SetAppName(L"");
    EXPECT_EQ(Lang::LoadLanguageList(), nullptr);
    EXPECT_FALSE(testsupport::Exists(root.path("Language")));
}

TEST(LangCurrent, SetCurLanguageWritesLangIniAsUtf16LeWithItsComment)
{
    LangRoot root;
    EXPECT_EQ(Lang::SetCurLanguage(L"English"), 1);
    const std::string bytes = ReadFileBytes(root.path("Language/Lang.ini"));
    EXPECT_EQ(bytes, Utf16Le(u"; Encoding must be UTF-16LE\r\n[Setting]\r\nLanguage=English\r\n"));
    EXPECT_EQ(platform::ReadProfileString(platform::Utf8ToWide(root.path("Language/Lang.ini")), L"Setting",
                                          L"Language", L"", 999),
              L"English");
    EXPECT_EQ(Lang::m_sCurLanguagePath, platform::Utf8ToWide(root.languageFile("English")));

    // An old 8-bit Lang.ini with other content is replaced whole.
    WriteFileBytes(root.path("Language/Lang.ini"), "[Setting]\r\nLanguage=Deutsch\r\nOther=1\r\n");
    Lang::SetCurLanguage(L"简体中文");
    EXPECT_EQ(ReadFileBytes(root.path("Language/Lang.ini")),
              Utf16Le(u"; Encoding must be UTF-16LE\r\n[Setting]\r\nLanguage=简体中文\r\n"));
}

TEST(LangCurrent, TheRecordedLanguageIsUsedOnlyWhenItsFileIsOnDisk)
{
    Locale chinese("zh_CN.UTF-8");
    LangRoot root;
    root.writeLanguage("English", u"[String]\r\nIDS127=General\r\n");
    std::filesystem::create_directories(root.path("Language"));
    WriteFileBytes(root.path("Language/Lang.ini"), Utf16Le(u"[Setting]\r\nLanguage=english\r\n"));
    Lang::LoadLanguage();
    EXPECT_EQ(Lang::GetCurLanguage(), L"简体中文");  // the list is compared with case
    EXPECT_EQ(Lang::LoadLangString(127), L"通用");

    WriteFileBytes(root.path("Language/Lang.ini"), Utf16Le(u"[Setting]\r\nLanguage=English\r\n"));
    EXPECT_EQ(Lang::GetCurLanguage(), L"English");
    EXPECT_EQ(Lang::m_sCurLanguage, L"English");
    EXPECT_EQ(Lang::LoadLangString(127), L"General");
    EXPECT_EQ(ReadFileBytes(root.path("Language/Lang.ini")),
              Utf16Le(u"; Encoding must be UTF-16LE\r\n[Setting]\r\nLanguage=English\r\n"));
}

TEST(LangStrings, TranslationOverridesEntryByEntryAndHashesBecomeCrLf)
{
    LangRoot root;
    root.writeLanguage("English", u"[String]\r\nIDS127=General\r\nIDS500=one##two\r\nIDS129=\r\n"
                                  u"[Text]\r\nhello=Hi##there\r\n");
    Lang::SetCurLanguage(L"English");
    EXPECT_EQ(Lang::LoadLangString(127), L"General");
    EXPECT_EQ(Lang::LoadLangString(500), L"one\r\ntwo");
    EXPECT_EQ(Lang::LoadLangString(129), L"图层");  // empty translation: the program's text
    EXPECT_EQ(Lang::LoadLangString(256), L"镜头");  // absent key
    EXPECT_EQ(Lang::LoadLangString(99999), L"");   // in neither
    EXPECT_EQ(Lang::LoadLangText(L"hello"), L"Hi\r\nthere");
    EXPECT_EQ(Lang::LoadLangText(L"absent"), L"absent");
    EXPECT_EQ(Lang::LoadLangString(L"string", L"ids127"), L"General");
}

TEST(LangStrings, MissingLanguageFileFallsBackToTheProgramTexts)
{
    LangRoot root;
    Lang::SetCurLanguage(L"Klingon");
    EXPECT_EQ(Lang::LoadLangString(420), L"请用管理员权限运行本程序！");
    EXPECT_EQ(Lang::LoadLangText(L"key"), L"key");
}

TEST(LangStrings, LongTranslationsAreCutAt1999Characters)
{
    LangRoot root;
    const std::u16string longText(2500, u'x');
    root.writeLanguage("English", u"[String]\r\nIDS127=" + longText + u"\r\n");
    Lang::SetCurLanguage(L"English");
    EXPECT_EQ(Lang::LoadLangString(127).size(), 1999u);
}

TEST(LangFormatString, TranslatedFormatsTakeTheValues)
{
    LangRoot root;
    root.writeLanguage("English", u"[String]\r\nIDS179=Are you sure you want to remove '%s'?\r\n"
                                  u"IDS115=Version %.02f, %lld bytes, %s\r\n");
    EXPECT_EQ(Lang::FormatLangString(179, L"Desk"), L"确信移除'Desk'吗?");
    Lang::SetCurLanguage(L"English");
    EXPECT_EQ(Lang::FormatLangString(179, std::wstring(L"Desk")), L"Are you sure you want to remove 'Desk'?");
    EXPECT_EQ(Lang::FormatLangString(115, 130 / 100.0, int64_t{1024}, L"2024-05-01"),
              L"Version 1.30, 1024 bytes, 2024-05-01");
}

TEST(LangFormatString, TranslationAskingForOtherValuesIsNotUsed)
{
    LangRoot root;
    root.writeLanguage("English", u"[String]\r\nIDS179=Remove %d of %s?\r\nIDS127=100%% General\r\n");
    Lang::SetCurLanguage(L"English");
    EXPECT_EQ(Lang::FormatLangString(179, L"Desk"), L"确信移除'Desk'吗?");
    EXPECT_EQ(Lang::FormatLangString(127), L"100% General");
}

TEST(LangSaveMode, OnlyTheChineseLanguageCanBeSaved)
{
    LangRoot root;
    Lang::SetCurLanguage(L"English");
    Lang::SetSaveFlag(1);
    EXPECT_EQ(Lang::m_bSave, 0);
    Lang::SetCurLanguage(L"简体中文");
    Lang::SetSaveFlag(1);
    EXPECT_EQ(Lang::m_bSave, 1);
    Lang::SetCurLanguage(L"English");
    EXPECT_EQ(Lang::m_bSave, 0);
}

TEST(LangSaveMode, ProgramTextsAreWrittenIntoANewUtf16LeLanguageFile)
{
    LangRoot root;
    Lang::LoadLanguageList();
    Lang::SetCurLanguage(L"简体中文");
    Lang::SetSaveFlag(1);
    EXPECT_EQ(Lang::LoadLangString(321), L"此操作需要重新启动软件才能生效。\r\n现在重新启动吗？");
    EXPECT_EQ(Lang::LoadLangString(127), L"通用");
    EXPECT_EQ(Lang::LoadLangString(99999), L"");
    EXPECT_EQ(Lang::LoadLangString(L"Text", L"key"), L"");
    EXPECT_EQ(ReadFileBytes(root.languageFile("简体中文")),
              Utf16Le(u"; Encoding must be UTF-16LE\r\n[String]\r\nIDS321=此操作需要重新启动软件才能生效。##现在重新启动吗？\r\n"
                      u"IDS127=通用\r\n"));
}
