#include "platform/IniFile.h"

#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace platform;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

// UTF-16LE bytes of a literal, with the byte-order mark, the way Notepad and
// the Windows profile functions store a Unicode ini file.
std::string Utf16Le(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

ino_t Inode(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

}  // namespace

TEST(IniFileRead, Utf16LeFileWrittenByWindowsIsReadWithoutCase)
{
    TempDir dir;
    // "; c\r\n[Setting]\r\nLanguage=English\r\n" spelled out byte by byte.
    const char raw[] =
        "\xFF\xFE;\0 \0c\0\r\0\n\0[\0S\0e\0t\0t\0i\0n\0g\0]\0\r\0\n\0"
        "L\0a\0n\0g\0u\0a\0g\0e\0=\0E\0n\0g\0l\0i\0s\0h\0\r\0\n\0";
    const std::string literal(raw, sizeof(raw) - 1);
    WriteFileBytes(dir.file("Lang.ini"), literal);
    EXPECT_EQ(ReadProfileString(dir.wfile("Lang.ini"), L"setting", L"LANGUAGE", L"", 999), L"English");
    EXPECT_EQ(ReadProfileString(dir.wfile("Lang.ini"), L"SETTING", L"language", L"", 999), L"English");

    WriteFileBytes(dir.file("zh.ini"), Utf16Le(u"[String]\r\nIDS127=通用\r\nids129 = 图层 \r\n"));
    EXPECT_EQ(ReadProfileString(dir.wfile("zh.ini"), L"string", L"IDS127", L"", 1999), L"通用");
    EXPECT_EQ(ReadProfileString(dir.wfile("zh.ini"), L"String", L"IDS129", L"", 1999), L"图层");
}

TEST(IniFileRead, ValuesAreTrimmedAndLoseOnePairOfQuotes)
{
    TempDir dir;
    WriteFileBytes(dir.file("a.ini"),
                   "  [ Path ]  \r\n"
                   "  Tolvenar  =  /mnt/c/Sets  \r\n"
                   "quoted=\"  spaced  \"\r\n"
                   "single='x'\r\n"
                   "inner=a \"b\" c\r\n"
                   "lonely=\"\r\n"
                   "empty=\r\n"
                   "; commented=1\r\n"
                   "novalue\r\n");
    const std::wstring path = dir.wfile("a.ini");
    EXPECT_EQ(ReadProfileString(path, L"Path", L"Tolvenar", L"", 259), L"/mnt/c/Sets");
    EXPECT_EQ(ReadProfileString(path, L"Path", L"quoted", L"", 259), L"  spaced  ");
    EXPECT_EQ(ReadProfileString(path, L"Path", L"single", L"", 259), L"x");
    EXPECT_EQ(ReadProfileString(path, L"Path", L"inner", L"", 259), L"a \"b\" c");
    EXPECT_EQ(ReadProfileString(path, L"Path", L"lonely", L"", 259), L"\"");
    EXPECT_EQ(ReadProfileString(path, L"Path", L"empty", L"dflt", 259), L"");  // present, so not the default
    EXPECT_EQ(ReadProfileString(path, L"Path", L"; commented", L"dflt", 259), L"dflt");
    EXPECT_EQ(ReadProfileString(path, L"Path", L"novalue", L"dflt", 259), L"dflt");
    EXPECT_EQ(ReadProfileKeyNames(path, L"path"), (std::vector<std::wstring>{L"Tolvenar", L"quoted", L"single",
                                                                            L"inner", L"lonely", L"empty"}));
}

TEST(IniFileRead, ValuesAndDefaultsAreCutToTheStatedLength)
{
    TempDir dir;
    const std::wstring longValue(2100, L'长');
    ASSERT_TRUE(WriteProfileString(dir.wfile("a.ini"), L"String", L"IDS1", longValue));
    EXPECT_EQ(ReadProfileString(dir.wfile("a.ini"), L"String", L"IDS1", L"", 1999), longValue.substr(0, 1999));
    EXPECT_EQ(ReadProfileString(dir.wfile("a.ini"), L"String", L"IDS1", L"", 259), longValue.substr(0, 259));
    EXPECT_EQ(ReadProfileString(dir.wfile("a.ini"), L"String", L"IDS2", L"default  ", 999), L"default");
    EXPECT_EQ(ReadProfileString(dir.wfile("a.ini"), L"String", L"IDS2", L"abcdef", 3), L"abc");
    EXPECT_EQ(ReadProfileString(dir.wfile("missing.ini"), L"String", L"IDS1", L"none", 999), L"none");
}

TEST(IniFileRead, FirstOfRepeatedSectionsAndKeysWins)
{
    TempDir dir;
    WriteFileBytes(dir.file("a.ini"), "[A]\nk=1\nk=2\n[B]\nk=3\n[a]\nk=4\nonly=5\n");
    EXPECT_EQ(ReadProfileString(dir.wfile("a.ini"), L"A", L"k", L"", 9), L"1");
    EXPECT_EQ(ReadProfileString(dir.wfile("a.ini"), L"A", L"only", L"", 9), L"5");
    EXPECT_EQ(ReadProfileSectionNames(dir.wfile("a.ini")), (std::vector<std::wstring>{L"A", L"B"}));
}

TEST(IniFileRead, OtherByteOrderMarksAreHonoured)
{
    TempDir dir;
    WriteFileBytes(dir.file("be.ini"), std::string("\xFE\xFF\0[\0S\0]\0\n\0k\0=\x4E\x2D", 16));
    EXPECT_EQ(ReadProfileString(dir.wfile("be.ini"), L"S", L"k", L"", 9), L"中");
    WriteFileBytes(dir.file("u8.ini"), "\xEF\xBB\xBF[S]\r\nk=中\r\n");
    EXPECT_EQ(ReadProfileString(dir.wfile("u8.ini"), L"S", L"k", L"", 9), L"中");
    ASSERT_TRUE(WriteProfileString(dir.wfile("u8.ini"), L"S", L"j", L"文"));
    EXPECT_EQ(ReadFileBytes(dir.file("u8.ini")), "\xEF\xBB\xBF[S]\r\nk=中\r\nj=文\r\n");
}

TEST(IniFileRead, IntegersAsTheProfileFunctionsParseThem)
{
    TempDir dir;
    WriteFileBytes(dir.file("a.ini"),
                   "[N]\ndec=42\nhex=0x292929\nHEX=0X1f\nneg=-1\nlead=  12abc\nbin=0b101\noct=0o17\n"
                   "junk=abc\nempty=\nsign=+7\n");
    const std::wstring path = dir.wfile("a.ini");
    EXPECT_EQ(ReadProfileInt(path, L"N", L"dec", 5), 42u);
    EXPECT_EQ(ReadProfileInt(path, L"N", L"hex", 5), 0x292929u);
    EXPECT_EQ(ReadProfileInt(path, L"n", L"hex", 5), 0x292929u);
    EXPECT_EQ(ReadProfileInt(path, L"N", L"neg", 5), 0xFFFFFFFFu);
    EXPECT_EQ(ReadProfileInt(path, L"N", L"lead", 5), 12u);
    EXPECT_EQ(ReadProfileInt(path, L"N", L"bin", 5), 5u);
    EXPECT_EQ(ReadProfileInt(path, L"N", L"oct", 5), 15u);
    EXPECT_EQ(ReadProfileInt(path, L"N", L"junk", 5), 0u);
    EXPECT_EQ(ReadProfileInt(path, L"N", L"empty", 5), 5u);
    EXPECT_EQ(ReadProfileInt(path, L"N", L"absent", -3), static_cast<uint32_t>(-3));
    EXPECT_EQ(ReadProfileInt(path, L"N", L"sign", 5), 7u);
    EXPECT_EQ(ParseProfileInt(L"4294967297"), 1u);  // wraps like the 32-bit original
}

TEST(IniFileWrite, MissingFileIsCreatedAsEightBitTextWithCrLf)
{
    TempDir dir;
    ASSERT_TRUE(WriteProfileString(dir.wfile("system.ini"), L"Path", L"vMix", L"/mnt/c/vMix/VirtualSets"));
    ASSERT_TRUE(WriteProfileString(dir.wfile("system.ini"), L"Path", L"Tolvenar", L"/mnt/d/演播室"));
    EXPECT_EQ(ReadFileBytes(dir.file("system.ini")),
              "[Path]\r\nvMix=/mnt/c/vMix/VirtualSets\r\nTolvenar=/mnt/d/演播室\r\n");
}

TEST(IniFileWrite, Utf16LeFileStaysUtf16LeAndOtherLinesStayAsTheyWere)
{
    TempDir dir;
    WriteFileBytes(dir.file("English.ini"),
                   Utf16Le(u"; Encoding must be UTF-16LE\r\n[String]\r\n  ids127 = General\r\n\r\n[Menu]\r\n"
                           u"ID128_32816=About\r\n"));
    const std::wstring path = dir.wfile("English.ini");
    ASSERT_TRUE(WriteProfileString(path, L"STRING", L"IDS127", L"Général"));  // keeps the key's own spelling
    ASSERT_TRUE(WriteProfileString(path, L"String", L"IDS129", L"Layers"));   // before the blank separator
    ASSERT_TRUE(WriteProfileString(path, L"Dialog", L"IDD392_1603", L"New"));  // a new section at the end
    EXPECT_EQ(ReadFileBytes(dir.file("English.ini")),
              Utf16Le(u"; Encoding must be UTF-16LE\r\n[String]\r\nids127=Général\r\nIDS129=Layers\r\n\r\n"
                      u"[Menu]\r\nID128_32816=About\r\n[Dialog]\r\nIDD392_1603=New\r\n"));
}

TEST(IniFileWrite, LineBreaksOfTheFileAreKept)
{
    TempDir dir;
    WriteFileBytes(dir.file("a.ini"), "[A]\nx=1");  // LF breaks, no break at the end
    ASSERT_TRUE(WriteProfileString(dir.wfile("a.ini"), L"A", L"y", L"2"));
    EXPECT_EQ(ReadFileBytes(dir.file("a.ini")), "[A]\nx=1\ny=2\n");
}

TEST(IniFileWrite, TextTheFormatCannotHoldIsRefusedAndNothingIsWritten)
{
    TempDir dir;
    WriteFileBytes(dir.file("a.ini"), "[A]\r\nx=1\r\n");
    const std::wstring path = dir.wfile("a.ini");
    EXPECT_FALSE(WriteProfileString(path, L"A", L"x", L"two\r\nlines"));
    EXPECT_FALSE(WriteProfileString(path, L"A", L"k=v", L"1"));
    EXPECT_FALSE(WriteProfileString(path, L"A", L"", L"1"));
    EXPECT_FALSE(WriteProfileString(path, L"A]", L"k", L"1"));
    EXPECT_FALSE(WriteProfileStrings(path, {{L"A", L"ok", L"1"}, {L"A", L"bad", L"\n"}}));
    EXPECT_EQ(ReadFileBytes(dir.file("a.ini")), "[A]\r\nx=1\r\n");
}

TEST(IniFileWrite, FileThatDoesNotDecodeCleanlyIsNeverRewritten)
{
    TempDir dir;
    // A lone high surrogate cannot be kept through a rewrite.
    const std::string broken = Utf16Le(u"[A]\r\nx=") + std::string("\x00\xD8", 2) + Utf16Le(u"\r\n").substr(2);
    WriteFileBytes(dir.file("a.ini"), broken);
    EXPECT_FALSE(WriteProfileString(dir.wfile("a.ini"), L"A", L"y", L"2"));
    EXPECT_EQ(ReadFileBytes(dir.file("a.ini")), broken);
    EXPECT_EQ(ReadProfileString(dir.wfile("a.ini"), L"A", L"x", L"", 9), L"\uFFFD");
}

TEST(IniFileWrite, FolderInPlaceOrMissingFolderFails)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("folder.ini"));
    EXPECT_FALSE(WriteProfileString(dir.wfile("folder.ini"), L"A", L"x", L"1"));
    EXPECT_EQ(ReadProfileString(dir.wfile("folder.ini"), L"A", L"x", L"d", 9), L"d");
    EXPECT_FALSE(WriteProfileString(dir.wfile("nowhere/a.ini"), L"A", L"x", L"1"));
    EXPECT_FALSE(testsupport::Exists(dir.file("nowhere")));
}

TEST(IniFileWrite, UnchangedContentLeavesTheFileAlone)
{
    TempDir dir;
    ASSERT_TRUE(WriteProfileString(dir.wfile("a.ini"), L"A", L"x", L"1"));
    const ino_t before = Inode(dir.file("a.ini"));
    ASSERT_TRUE(WriteProfileString(dir.wfile("a.ini"), L"a", L"X", L"1"));
    EXPECT_EQ(Inode(dir.file("a.ini")), before);
    ASSERT_TRUE(WriteProfileString(dir.wfile("a.ini"), L"A", L"x", L"2"));
    EXPECT_NE(Inode(dir.file("a.ini")), before);  // replaced whole, never edited in place
}

TEST(IniFileWrite, DeletingKeysAndSections)
{
    TempDir dir;
    WriteFileBytes(dir.file("a.ini"), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[a]\r\nw=4\r\n");
    const std::wstring path = dir.wfile("a.ini");
    ASSERT_TRUE(DeleteProfileKey(path, L"a", L"X"));
    EXPECT_EQ(ReadFileBytes(dir.file("a.ini")), "[A]\r\ny=2\r\n[B]\r\nz=3\r\n[a]\r\nw=4\r\n");
    ASSERT_TRUE(DeleteProfileSection(path, L"A"));
    EXPECT_EQ(ReadFileBytes(dir.file("a.ini")), "[B]\r\nz=3\r\n");
    EXPECT_TRUE(DeleteProfileKey(dir.wfile("missing.ini"), L"A", L"x"));
    EXPECT_FALSE(testsupport::Exists(dir.file("missing.ini")));
}

TEST(IniFileWrite, Utf16LeTextFileThenProfileWrites)
{
    TempDir dir;
    ASSERT_TRUE(WriteUtf16LeTextFile(dir.wfile("Lang.ini"), L"; Encoding must be UTF-16LE\r\n"));
    ASSERT_TRUE(WriteProfileString(dir.wfile("Lang.ini"), L"Setting", L"Language", L"简体中文"));
    EXPECT_EQ(ReadFileBytes(dir.file("Lang.ini")),
              Utf16Le(u"; Encoding must be UTF-16LE\r\n[Setting]\r\nLanguage=简体中文\r\n"));
}
