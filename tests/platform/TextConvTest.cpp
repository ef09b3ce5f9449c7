#include "platform/TextConv.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(TextConv, Utf8RoundTripsEveryPlane)
{
    const std::wstring text = L"Desk \u00e9\u4e2d\u6587 \U0001F3A5";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(WideToUtf8(L"\u4e2d"), "\xe4\xb8\xad");
}

TEST(TextConv, InvalidUtf8BecomesReplacementCharacters)
{
    EXPECT_EQ(Utf8ToWide("a\xff" "b"), L"a\uFFFDb");
    EXPECT_EQ(Utf8ToWide("\xe4\xb8"), L"\uFFFD\uFFFD");     // cut sequence
    EXPECT_EQ(Utf8ToWide("\xc0\xaf"), L"\uFFFD\uFFFD");     // overlong '/'
    EXPECT_EQ(Utf8ToWide("\xed\xa0\x80"), L"\uFFFD\uFFFD\uFFFD");  // surrogate
}

TEST(TextConv, Utf16UsesSurrogatePairs)
{
    const std::u16string u16 = WideToUtf16(L"A\U0001F3A5");
    ASSERT_EQ(u16.size(), 3u);
    EXPECT_EQ(u16[1], 0xD83C);
    EXPECT_EQ(u16[2], 0xDFA5);
    EXPECT_EQ(Utf16ToWide(u16), L"A\U0001F3A5");
    EXPECT_EQ(Utf16ToWide(std::u16string(1, char16_t(0xD800))), L"\uFFFD");  // lone surrogate
}

TEST(TextConv, CutNeverSplitsACharacter)
{
    // 21 three-byte characters are 63 bytes; one more must be dropped whole.
    std::wstring text(22, L'\u4e2d');
    const std::string cut = WideToAnsiLimited(text, 63);
    EXPECT_EQ(cut.size(), 63u);
    EXPECT_EQ(Utf8ToWide(cut), std::wstring(21, L'\u4e2d'));

    const std::string mixed = CutUtf8("ab\xe4\xb8\xad", 4);
    EXPECT_EQ(mixed, "ab");
    EXPECT_EQ(CutUtf8("abc", 10), "abc");
}

TEST(TextConv, ConvertsLegacyCharsets)
{
    std::string gbk;
    ASSERT_TRUE(ConvertCharset("\xe4\xb8\xad\xe6\x96\x87", "UTF-8", "GBK", gbk));
    EXPECT_EQ(gbk, "\xd6\xd0\xce\xc4");
    std::string back;
    ASSERT_TRUE(ConvertCharset(gbk, "GBK", "UTF-8", back));
    EXPECT_EQ(back, "\xe4\xb8\xad\xe6\x96\x87");
    std::string bad;
    EXPECT_FALSE(ConvertCharset("\xff\xfe", "UTF-8", "UTF-16LE", bad));
    EXPECT_FALSE(ConvertCharset("x", "NO-SUCH-CHARSET", "UTF-8", bad));
}

TEST(TextConv, UpperCaseForPathComparison)
{
    EXPECT_EQ(ToUpperWide(L"d:/sets/a"), L"D:/SETS/A");
}
