#include "lumora/LangFormat.h"

#include <gtest/gtest.h>
#include <vector>

using lumora::FormatArg;
using lumora::FormatPrintf;
using lumora::PrintfConversions;

namespace {

template <class... Values>
std::wstring Format(std::wstring_view format, const Values&... values)
{
    const std::vector<FormatArg> list{FormatArg(values)...};
    return FormatPrintf(format, list);
}

}  // namespace

TEST(LangFormat, WindowsWideConversions)
{
    EXPECT_EQ(Format(L"版本 : %.02f 文件大小 : %lld, 发布日期 : %s", 1.3, int64_t{5368709120}, L"2024-05-01"),
              L"版本 : 1.30 文件大小 : 5368709120, 发布日期 : 2024-05-01");
    EXPECT_EQ(Format(L"%s %s", std::wstring(L"Save"), L"Success"), L"Save Success");
    EXPECT_EQ(Format(L"%d x %d x %d", 1920, 1080, 64), L"1920 x 1080 x 64");
    EXPECT_EQ(Format(L"%I64d|%I64u", int64_t{-5}, uint64_t{18446744073709551615u}), L"-5|18446744073709551615");
    EXPECT_EQ(Format(L"100%% %x %X %o %c", 255, 255u, 8, L'中'), L"100% ff FF 10 中");
}

TEST(LangFormat, WidthsPrecisionsAndFlags)
{
    EXPECT_EQ(Format(L"[%5s][%-5s][%.2s]", L"ab", L"ab", L"abcd"), L"[   ab][ab   ][ab]");
    EXPECT_EQ(Format(L"[%05d][%-4d][%+d][%*d][%.*f]", 42, 7, 3, 6, 9, 1, 2.25), L"[00042][7   ][+3][     9][2.2]");
    EXPECT_EQ(Format(L"%.03f", -0.0005f), L"-0.001");
}

TEST(LangFormat, ThirtyTwoBitConversionsWrapLikeWindows)
{
    EXPECT_EQ(Format(L"%u", -1), L"4294967295");
    EXPECT_EQ(Format(L"%ld", int64_t{4294967297}), L"1");  // long is 32 bits there
    EXPECT_EQ(Format(L"%hd", 65535), L"-1");
}

TEST(LangFormat, MismatchedFormatsNeverReadBeyondTheValues)
{
    // A translator's slip: more conversions than values, wrong types, %n.
    EXPECT_EQ(Format(L"%s and %s", L"one"), L"one and %s");
    EXPECT_EQ(Format(L"%d", L"text"), L"text");
    EXPECT_EQ(Format(L"%s", 12), L"12");
    EXPECT_EQ(Format(L"%f", 2), L"2.000000");
    EXPECT_EQ(Format(L"a%nb", 1), L"ab");
    EXPECT_EQ(Format(L"tail %", 1), L"tail %");
    EXPECT_EQ(Format(L"%q"), L"%q");
    EXPECT_EQ(Format(L"%999999999d", 1).size(), 4096u);  // capped, not a gigabyte
}

TEST(LangFormat, ConversionListsCompareFormats)
{
    EXPECT_EQ(PrintfConversions(L"版本 : %.02f 文件大小 : %lld, 发布日期 : %s"),
              (std::vector<std::wstring>{L"f", L"lld", L"s"}));
    EXPECT_EQ(PrintfConversions(L"100%% done"), std::vector<std::wstring>{});
    EXPECT_EQ(PrintfConversions(L"%-10s %*d %I64u"), (std::vector<std::wstring>{L"s", L"*", L"d", L"I64u"}));
    EXPECT_NE(PrintfConversions(L"%s %d"), PrintfConversions(L"%d %s"));
    EXPECT_EQ(PrintfConversions(L"确信移除'%s'吗?"), PrintfConversions(L"Are you sure you want to remove '%5s'?"));
}
