// Every text the program asks for exists in both languages: the program's
// string table (Simplified Chinese) and the shipped English file, with the
// same printf conversions; the source tree is scanned so later code is
// covered as it is written.
#include "LangCallScanner.h"
#include "LangTestSupport.h"

#include "lumora/LangFormat.h"
#include "platform/IniFile.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

using langtest::LangCall;
using langtest::ScanLangCalls;

namespace {

const std::string kSource = KELVANE_SOURCE_DIR;

platform::IniFile EnglishFile()
{
    std::optional<platform::IniFile> file =
        platform::IniFile::Load(platform::Utf8ToWide(kSource + "/data/Language/English.ini"));
    EXPECT_TRUE(file.has_value());
    return file.value_or(platform::IniFile());
}

std::set<std::wstring> Upper(const std::vector<std::wstring>& keys)
{
    std::set<std::wstring> out;
    for (const std::wstring& key : keys)
        out.insert(platform::ToUpperWide(key));
    return out;
}

std::string Utf8(const std::wstring& text) { return platform::WideToUtf8(text); }

}  // namespace

TEST(LangCallScan, FindsIdsMarkersAndUnresolvedCalls)
{
    const std::string source = R"src(
        void f() {
            a = Lang::LoadLangString(127);
            b = Lang::FormatLangString(179, name.c_str());
            c = Lang::LoadLangString( 420u );
            // Lang::LoadLangString(999) in a comment is no call
            d = L"Lang::LoadLangString(998)";
            e = Lang::LoadLangString(L"Text", key);
            f = Lang::LoadLangString(tabIds[i]);  // lang-ids: 108, 109 110
            // lang-ids: 104 123
            g = Lang::LoadLangString(kind == 4 ? 104 : 123);
            h = Lang::FormatLangString(id, 1);
            i = Lang::LoadLangString(
                    256);
        }
        static std::wstring LoadLangString(unsigned id);
    )src";
    const std::vector<LangCall> calls = ScanLangCalls(source);
    ASSERT_EQ(calls.size(), 8u);
    EXPECT_EQ(calls[0].ids, std::vector<unsigned>{127});
    EXPECT_EQ(calls[0].line, 3);
    EXPECT_EQ(calls[1].function, "FormatLangString");
    EXPECT_EQ(calls[1].ids, std::vector<unsigned>{179});
    EXPECT_EQ(calls[2].ids, std::vector<unsigned>{420});
    EXPECT_TRUE(calls[3].sectionForm);
    EXPECT_EQ(calls[4].ids, (std::vector<unsigned>{108, 109, 110}));
    EXPECT_EQ(calls[5].ids, (std::vector<unsigned>{104, 123}));
    EXPECT_TRUE(calls[6].unresolved);
    EXPECT_EQ(calls[7].ids, std::vector<unsigned>{256});
}

TEST(LangCoverage, EveryIdTheCodeUsesHasAChineseAndAnEnglishText)
{
    const platform::IniFile english = EnglishFile();
    const std::vector<std::string> files = langtest::SourceFiles(kSource, {"tests"});
    ASSERT_FALSE(files.empty());
    int checked = 0;
    for (const std::string& file : files) {
        if (file == "lumora/Lang.h" || file == "lumora/Lang.cpp")
            continue;  // the implementation hands ids through
        for (const LangCall& call : ScanLangCalls(testsupport::ReadFileBytes(kSource + "/" + file))) {
            const std::string where = file + ":" + std::to_string(call.line) + " " + call.function;
            EXPECT_FALSE(call.unresolved) << where << ": pass the id as a number or name it in a lang-ids comment";
            for (unsigned id : call.ids) {
                ++checked;
                EXPECT_FALSE(LoadResourceString(id).empty()) << where << ": no Chinese default for string " << id;
                EXPECT_FALSE(english.Get(L"String", L"IDS" + std::to_wstring(id)).value_or(L"").empty())
                    << where << ": no English text for string " << id;
            }
        }
    }
    RecordProperty("ids_checked", checked);
}

TEST(LangCoverage, EnglishFileHasExactlyTheProgramsEntries)
{
    const platform::IniFile english = EnglishFile();
    EXPECT_EQ(english.Encoding(), platform::IniEncoding::Utf16LE);
    for (const wchar_t* section : {L"String", L"Menu", L"Dialog"}) {
        const std::vector<std::wstring> own = ResourceTextKeys(section);
        EXPECT_FALSE(own.empty()) << Utf8(section);
        EXPECT_EQ(Upper(own), Upper(english.KeyNames(section))) << Utf8(section);
        for (const std::wstring& key : own) {
            EXPECT_FALSE(ResourceTextByKey(section, key).empty()) << Utf8(key);
            EXPECT_FALSE(english.Get(section, key).value_or(L"").empty()) << Utf8(key);
        }
    }
}

TEST(LangCoverage, FormatsTakeTheSameValuesInBothLanguages)
{
    const platform::IniFile english = EnglishFile();
    int formats = 0;
    for (const std::wstring& key : ResourceTextKeys(L"String")) {
        const std::wstring chinese = ResourceTextByKey(L"String", key);
        const std::wstring translated = english.Get(L"String", key).value_or(L"");
        EXPECT_EQ(lumora::PrintfConversions(chinese), lumora::PrintfConversions(translated)) << Utf8(key);
        formats += lumora::PrintfConversions(chinese).empty() ? 0 : 1;
    }
    EXPECT_GE(formats, 2);  // 115 and 179 at least
}

TEST(LangCoverage, NoStringFallsThroughToAnEmptyTextInEitherLanguage)
{
    langtest::LangRoot root;
    std::filesystem::create_directories(root.path("Language/Kelvane"));
    std::filesystem::copy_file(kSource + "/data/Language/English.ini", root.languageFile("English"));
    std::vector<unsigned> ids;
    for (const std::wstring& key : ResourceTextKeys(L"String"))
        ids.push_back(static_cast<unsigned>(std::stoul(key.substr(3))));
    ASSERT_GE(ids.size(), 40u);

    for (unsigned id : ids)
        EXPECT_FALSE(Lang::LoadLangString(id).empty()) << id;  // no language file: the Chinese table

    Lang::LoadLanguageList();
    Lang::SetCurLanguage(L"English");
    for (unsigned id : ids) {
        const std::wstring text = Lang::LoadLangString(id);
        EXPECT_FALSE(text.empty()) << id;
        EXPECT_NE(text, LoadResourceString(id)) << id << " is not translated";
        EXPECT_EQ(text.find(L"##"), std::wstring::npos) << id;
    }
    EXPECT_EQ(Lang::LoadLangString(321),
              L"This operation needs a restart of the software to take effect.\r\nRestart now?");
}

TEST(LangCoverage, ShippedEnglishFileIsItsReadableSourceInUtf16Le)
{
    std::string source = testsupport::ReadFileBytes(kSource + "/data/Language/English.ini.utf8");
    ASSERT_FALSE(source.empty());
    std::wstring text;
    for (wchar_t c : platform::Utf8ToWide(source)) {
        if (c == L'\n')
            text += L'\r';
        text += c;
    }
    EXPECT_TRUE(text.starts_with(L"; Encoding must be UTF-16LE\r\n"));
    std::string expected = "\xFF\xFE";
    for (char16_t u : platform::WideToUtf16(text)) {
        expected += static_cast<char>(u & 0xFF);
        expected += static_cast<char>(u >> 8);
    }
    EXPECT_TRUE(testsupport::ReadFileBytes(kSource + "/data/Language/English.ini") == expected)
        << "English.ini is out of date: run data/Language/make_language_files.sh";
}
