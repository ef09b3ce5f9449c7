// Loading and saving files: marks, declarations, the UTF-8 test, the locale
// charset fallback and conversion through iconv.
#include "formats/XmlDocument.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

std::string Utf16Le(const std::wstring& text)
{
    std::string out;
    for (char16_t u : platform::WideToUtf16(text)) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

std::string Utf16Be(const std::wstring& text)
{
    std::string out;
    for (char16_t u : platform::WideToUtf16(text)) {
        out += static_cast<char>(u >> 8);
        out += static_cast<char>(u & 0xFF);
    }
    return out;
}

std::wstring RootText(CXmlDocument& doc)
{
    doc.Rewind();
    doc.FindElement();
    return doc.GetElementText();
}

}  // namespace

TEST(XmlFile, EmptyFileDoesNotLoad)
{
    TempDir dir;
    WriteFileBytes(dir.file("empty.xml"), "");
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(dir.wfile("empty.xml")));
    EXPECT_NE(doc.GetResult().find(L"no_root_element"), std::wstring::npos);
}

TEST(XmlFile, TwoRootsAndUnendedStartTagDoNotLoad)
{
    TempDir dir;
    WriteFileBytes(dir.file("two.xml"), "<a/><b/>");
    WriteFileBytes(dir.file("unended.xml"), "<root><child></root>");
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(dir.wfile("two.xml")));
    EXPECT_FALSE(doc.LoadFile(dir.wfile("unended.xml")));
    // Positions are at the top and the text read is kept.
    EXPECT_EQ(doc.GetTagName(), L"");
    EXPECT_EQ(doc.GetDocumentText(), L"<root><child></root>");
}

TEST(XmlFile, MissingFileAndFolderAreFileErrors)
{
    TempDir dir;
    CXmlDocument doc;
    doc.SetDocumentText(L"<old/>");
    EXPECT_FALSE(doc.LoadFile(dir.wfile("missing.xml")));
    EXPECT_NE(doc.GetResult().find(L"<file_error msg=\""), std::wstring::npos);
    EXPECT_EQ(doc.GetDocumentText(), L"");
    EXPECT_FALSE(doc.LoadFile(dir.wpath()));
    EXPECT_NE(doc.GetResult().find(L"not a regular file"), std::wstring::npos);
}

TEST(XmlFile, DevicesAndPipesAreNotReadForever)
{
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(dir.wfile("pipe")));
    EXPECT_FALSE(doc.LoadFile(L"/dev/zero"));
}

TEST(XmlFile, SaveFailureLeavesTheOldFileAndTheDocument)
{
    TempDir dir;
    CXmlDocument doc;
    doc.SetDocumentText();
    doc.AddElement(L"r");
    EXPECT_FALSE(doc.SaveFile(dir.wfile("no/such/folder/x.xml")));
    EXPECT_NE(doc.GetResult().find(L"file_error"), std::wstring::npos);
    EXPECT_EQ(doc.GetDocumentText(), L"<r/>\r\n");
}

TEST(XmlFile, Utf16LeFileWithMarkKeepsItsMarkOnSave)
{
    TempDir dir;
    const std::wstring text = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a b=\"\u4E2D\U0001F600\">t</a>\r\n";
    WriteFileBytes(dir.file("in.xml"), "\xFF\xFE" + Utf16Le(text));
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(dir.wfile("in.xml"))) << doc.GetResult();
    EXPECT_EQ(doc.GetDocumentText(), text);
    EXPECT_EQ(doc.GetBomFlags(), CXmlDocument::kBomUtf16Le);
    doc.FindElement();
    EXPECT_EQ(doc.GetAttribute(L"b"), L"\u4E2D\U0001F600");
    doc.SetAttribute(L"c", L"1");
    ASSERT_TRUE(doc.SaveFile(dir.wfile("out.xml")));
    EXPECT_EQ(ReadFileBytes(dir.file("out.xml")), "\xFF\xFE" + Utf16Le(doc.GetDocumentText()));
}

TEST(XmlFile, Utf16LeMarkWinsOverAMissingDeclaration)
{
    // Without a declaration the save would otherwise fall back to UTF-8 after
    // writing a UTF-16 mark.
    TempDir dir;
    WriteFileBytes(dir.file("in.xml"), "\xFF\xFE" + Utf16Le(L"<a>\u00E9</a>"));
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(dir.wfile("in.xml")));
    ASSERT_TRUE(doc.SaveFile(dir.wfile("out.xml")));
    EXPECT_EQ(ReadFileBytes(dir.file("out.xml")), "\xFF\xFE" + Utf16Le(L"<a>\u00E9</a>"));
}

TEST(XmlFile, Utf16BeIsSwappedAndNulCharactersRemoved)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("\xFE\xFF" + Utf16Be(L"<a>x") + std::string("\0\0", 2) + Utf16Be(L"y</a>")));
    EXPECT_EQ(RootText(doc), L"xy");
    EXPECT_NE(doc.GetResult().find(L"endian_swap"), std::wstring::npos);
    EXPECT_NE(doc.GetResult().find(L"nulls_removed"), std::wstring::npos);
    std::string saved;
    doc.SaveToBytes(saved);
    EXPECT_EQ(saved, "\xFE\xFF" + Utf16Be(L"<a>xy</a>"));
}

TEST(XmlFile, Utf16WithoutMarkIsRecognisedByItsFirstCharacter)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes(Utf16Le(L"<a>\u4E2D</a>")));
    EXPECT_EQ(RootText(doc), L"\u4E2D");
    ASSERT_TRUE(doc.LoadFromBytes(Utf16Be(L"<a>\u4E2D</a>")));
    EXPECT_EQ(RootText(doc), L"\u4E2D");
}

TEST(XmlFile, Utf8MarkIsKeptAndNewDocumentsHaveNone)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("\xEF\xBB\xBF<a>\xC3\xA9</a>"));
    EXPECT_EQ(RootText(doc), L"\u00E9");
    std::string saved;
    doc.SaveToBytes(saved);
    EXPECT_EQ(saved, "\xEF\xBB\xBF<a>\xC3\xA9</a>");

    doc.SetDocumentText(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    doc.AddElement(L"b", L"\u00E9");
    doc.SaveToBytes(saved);
    EXPECT_EQ(saved, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<b>\xC3\xA9</b>\r\n");
}

TEST(XmlFile, GbkDeclaredFileReadsAndSavesInGbk)
{
    // "中文" in GBK is D6 D0 CE C4.
    const std::string bytes = "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<r n=\"\xD6\xD0\">\xD6\xD0\xCE\xC4</r>\r\n";
    TempDir dir;
    WriteFileBytes(dir.file("gbk.xml"), bytes);
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(dir.wfile("gbk.xml"))) << doc.GetResult();
    doc.FindElement();
    EXPECT_EQ(doc.GetElementText(), L"\u4E2D\u6587");
    EXPECT_EQ(doc.GetAttribute(L"n"), L"\u4E2D");
    ASSERT_TRUE(doc.SaveFile(dir.wfile("again.xml")));
    EXPECT_EQ(ReadFileBytes(dir.file("again.xml")), bytes);
}

TEST(XmlFile, Gb2312DeclarationReadsGbkCharacters)
{
    // 0x81 0x40 (丂) is GBK only; files labelled gb2312 often hold such.
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"gb2312\"?><r>\x81\x40</r>"));
    EXPECT_EQ(RootText(doc), L"\u4E02");
}

TEST(XmlFile, EastAsianAndWindowsCodePagesDecode)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Shift_JIS", "\x93\xFA\x96\x7B"},  // 日本
        {"Big5", "\xA4\xA4\xA4\xE5"},       // 中文
        {"EUC-KR", "\xC7\xD1\xB1\xB9"},     // 한국
        {"windows-1252", "\x80"},           // €
        {"GB18030", "\x81\x30\x81\x30"},    // U+0080
    };
    const std::wstring expected[] = {L"\u65E5\u672C", L"\u4E2D\u6587", L"\uD55C\uAD6D", L"\u20AC", L"\u0080"};
    for (size_t i = 0; i < std::size(cases); ++i) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"" + cases[i].first + "\"?><r>" + cases[i].second +
                                      "</r>"))
            << cases[i].first;
        EXPECT_EQ(RootText(doc), expected[i]) << cases[i].first;
        std::string saved;
        doc.SaveToBytes(saved);
        EXPECT_NE(saved.find(cases[i].second), std::string::npos) << cases[i].first << " is written back in kind";
    }
}

TEST(XmlFile, CharactersTheDeclaredEncodingLacksAreCountedAsLoss)
{
    CXmlDocument doc;
    doc.SetDocumentText(L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n");
    doc.AddElement(L"r", L"\u00E9\u4E2D!");
    std::string saved;
    ASSERT_TRUE(doc.SaveToBytes(saved));
    EXPECT_NE(saved.find("<r>\xE9?!</r>"), std::string::npos);
    EXPECT_NE(doc.GetResult().find(L"<conversion_loss count=\"1\"/>"), std::string::npos);
}

TEST(XmlFile, UnknownDeclaredEncodingFallsBackToDetection)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"x-made-up\"?><r>\xC3\xA9</r>"));
    EXPECT_EQ(RootText(doc), L"\u00E9");
    std::string saved;
    doc.SaveToBytes(saved);
    EXPECT_NE(saved.find("<r>\xC3\xA9</r>"), std::string::npos) << "written as UTF-8, which reads back the same";
}

TEST(XmlFile, TruncatedMultibyteCharacterAtTheEndIsRecorded)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xE4\xB8"));
    EXPECT_NE(doc.GetResult().find(L"truncation_error"), std::wstring::npos);
}

TEST(XmlFile, UndeclaredValidUtf8IsUtf8)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("<r>\xE4\xB8\xAD</r>"));
    EXPECT_EQ(RootText(doc), L"\u4E2D");
    EXPECT_NE(doc.GetResult().find(L"utf8_detection"), std::wstring::npos);
}

// Runs in its own process (one per test case), so the locale set here is the
// one the program's charset code sees first.
TEST(XmlFile, UndeclaredNonUtf8BytesReadInTheLocaleCharset)
{
    TempDir locales;
    const std::string command = "localedef -c -i en_US -f ISO-8859-1 " + locales.file("en_US.ISO-8859-1") +
                                " >/dev/null 2>&1";
    testsupport::RunCommand(command);
    if (!testsupport::Exists(locales.file("en_US.ISO-8859-1")))
        GTEST_SKIP() << "localedef or the en_US locale source is not installed";
    setenv("LOCPATH", locales.path().c_str(), 1);
    setenv("LC_ALL", "en_US.ISO-8859-1", 1);
    ASSERT_EQ(platform::LocaleCharset(), "ISO-8859-1");

    TempDir dir;
    WriteFileBytes(dir.file("latin1.xml"), "<r t=\"caf\xE9\">na\xEFve</r>");
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(dir.wfile("latin1.xml"))) << doc.GetResult();
    doc.FindElement();
    EXPECT_EQ(doc.GetElementText(), L"na\u00EFve");
    EXPECT_EQ(doc.GetAttribute(L"t"), L"caf\u00E9");
    EXPECT_NE(doc.GetResult().find(L"encoding=\"ANSI\""), std::wstring::npos);
}

// Such files come from Western Windows machines, which write Windows-1252.
TEST(XmlFile, UndeclaredNonUtf8BytesInAUtf8LocaleReadAsWindows1252)
{
    setenv("LC_ALL", "C.UTF-8", 1);
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("<r n=\"Caf\xE9 \x93Live\x94\">a\xE9z \x80 \x81</r>"));
    EXPECT_EQ(RootText(doc), L"a\u00E9z \u20AC \u0081");
    EXPECT_EQ(doc.GetAttribute(L"n"), L"Caf\u00E9 \u201CLive\u201D");
    EXPECT_EQ(doc.GetResult().find(L"invalid_bytes"), std::wstring::npos);
}

TEST(XmlFile, DeclaredUtf16InAByteTextIsNotBelieved)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>ok</r>"));
    EXPECT_EQ(RootText(doc), L"ok");
}
