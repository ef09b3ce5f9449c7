#include "formats/Charsets.h"
#include "platform/TextConv.h"

#include <gtest/gtest.h>

TEST(Charsets, NamesAndAliasesMapToTheirCodePages)
{
    const std::pair<const wchar_t*, int> cases[] = {
        {L"UTF-8", 65001},       {L" utf8 ", 65001},      {L"UTF-16", 1200},     {L"utf-16le", 1200},
        {L"UTF-16BE", 1201},     {L"UTF-32", 65005},      {L"windows-1252", 1252}, {L"CP1251", 1251},
        {L"iso-8859-1", 28591},  {L"Latin1", 28591},      {L"GB2312", 936},      {L"GBK", 936},
        {L"GB18030", 54936},     {L"big5", 950},          {L"Shift_JIS", 932},   {L"sjis", 932},
        {L"EUC-KR", 949},        {L"ks_c_5601-1987", 949}, {L"windows-874", 874}, {L"us-ascii", 20127},
    };
    for (const auto& [name, codePage] : cases) {
        const auto charset = charsets::FindCharset(name);
        ASSERT_TRUE(charset) << name;
        EXPECT_EQ(charset->codePage, codePage) << name;
    }
    EXPECT_FALSE(charsets::FindCharset(L"x-made-up"));
    EXPECT_FALSE(charsets::FindCharset(L""));
    EXPECT_FALSE(charsets::FindCharset(L"\u00E9"));
}

TEST(Charsets, NamesOutsideTheTableResolveThroughIconvOnlyWhenItKnowsThem)
{
    const auto known = charsets::ResolveCharset(L"ISO-8859-16");
    ASSERT_TRUE(known);
    EXPECT_EQ(known->codePage, 0);
    EXPECT_FALSE(charsets::ResolveCharset(L"x-made-up"));
    EXPECT_FALSE(charsets::ResolveCharset(L"UTF-8//TRANSLIT"));
}

TEST(Charsets, StrictUtf8RejectsOverlongSurrogateAndOutOfRangeForms)
{
    EXPECT_TRUE(charsets::IsValidUtf8("plain \xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80"));
    EXPECT_FALSE(charsets::IsValidUtf8("\xC0\xAF"));          // overlong '/'
    EXPECT_FALSE(charsets::IsValidUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(charsets::IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(charsets::IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(charsets::IsValidUtf8("abc\xE4\xB8"));       // cut short

    std::string out;
    charsets::DecodeReport report;
    charsets::DecodeUtf8("a\xFF" "b\xE4\xB8", out, report);
    EXPECT_EQ(out, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_EQ(report.replaced, 1u);
    EXPECT_TRUE(report.truncated);
}

TEST(Charsets, BadBytesInMultibyteTextAreReplacedOneByOne)
{
    std::string out;
    charsets::DecodeReport report;
    ASSERT_TRUE(charsets::DecodeText("\xD6\xD0\xFF\xCE\xC4", *charsets::FindCharset(L"GBK"), out, report));
    EXPECT_EQ(platform::Utf8ToWide(out), L"\u4E2D\uFFFD\u6587");
    EXPECT_EQ(report.replaced, 1u);
}

TEST(Charsets, StatefulEncodingsEndInTheirInitialState)
{
    std::string out;
    charsets::EncodeReport report;
    ASSERT_TRUE(charsets::EncodeText(platform::WideToUtf8(L"\u65E5\u4E2D\u00E9x"), *charsets::FindCharset(L"ISO-2022-JP"),
                                     out, report));
    EXPECT_EQ(report.lost, 1u);
    std::string back;
    charsets::DecodeReport decoded;
    charsets::DecodeText(out, *charsets::FindCharset(L"ISO-2022-JP"), back, decoded);
    EXPECT_EQ(platform::Utf8ToWide(back), L"\u65E5\u4E2D?x");
}
