#include "formats/XmlDocument.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

bool ResultHas(const CXmlDocument& doc, const std::wstring& word)
{
    return doc.GetResult().find(L"<" + word + L" ") != std::wstring::npos ||
           doc.GetResult().find(L"<" + word + L"/>") != std::wstring::npos;
}

// Names of every element in document order, indented by depth with dots.
std::vector<std::wstring> Outline(CXmlDocument& doc)
{
    std::vector<std::wstring> out;
    doc.Rewind();
    int depth = 0;
    for (;;) {
        if (doc.FindElement()) {
            out.push_back(std::wstring(depth, L'.') + doc.GetTagName());
            doc.EnterElement();
            ++depth;
        } else if (depth > 0) {
            doc.LeaveElement();
            --depth;
        } else {
            return out;
        }
    }
}

}  // namespace

TEST(XmlParse, WellFormedDocumentWithEveryTokenKindLoads)
{
    CXmlDocument doc;
    EXPECT_TRUE(doc.SetDocumentText(
        L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [<!ENTITY e \"a>b\">]>\r\n<!-- before -->\r\n"
        L"<r a='1' b=\"x>y\"><p/><q>t<![CDATA[<x>]]></q><?pi data?></r>\r\n<!-- after -->"));
    EXPECT_EQ(Outline(doc), (std::vector<std::wstring>{L"r", L".p", L".q"}));
}

TEST(XmlParse, TwoTopLevelElementsAreNotWellFormed)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(L"<a/>\r\n<b/>\r\n"));
    EXPECT_TRUE(ResultHas(doc, L"root_has_sibling"));
    // Both stay reachable for a caller that wants them.
    EXPECT_EQ(Outline(doc), (std::vector<std::wstring>{L"a", L"b"}));
}

TEST(XmlParse, ChildStartTagNeverClosedIsUnended)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(L"<root><child></root>"));
    EXPECT_TRUE(ResultHas(doc, L"unended_start_tag"));
    // The root's end tag still closes the root.
    EXPECT_EQ(Outline(doc), (std::vector<std::wstring>{L"root", L".child"}));
}

TEST(XmlParse, EmptyTextHasNoRootElement)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(L""));
    EXPECT_TRUE(ResultHas(doc, L"no_root_element"));
    EXPECT_FALSE(doc.SetDocumentText(L"<?xml version=\"1.0\"?>\r\n<!-- only a comment -->"));
    EXPECT_TRUE(ResultHas(doc, L"no_root_element"));
}

TEST(XmlParse, MalformedTokensAreNamedAndMakeTheDocumentIllFormed)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"<a></b></a>", L"lone_end_tag"},
        {L"<a><b c=\"x></a>", L"unterminated_tag_syntax"},
        {L"<a><b</a>", L"unterminated_tag_syntax"},
        {L"<a><!-- open</a>", L"comment_tag_syntax"},
        {L"<a><![CDATA[ open</a>", L"cdata_section_syntax"},
        {L"<a><?pi open</a>", L"unterminated_tag_syntax"},
        {L"<!DOCTYPE a [ <a/>", L"doctype_tag_syntax"},
        {L"<a><!x></a>", L"exclamation_tag_syntax"},
        {L"<a>< b></a>", L"first_tag_syntax"},
        {L"<a>1 <2</a>", L"first_tag_syntax"},
        {L"<a>text<", L"unterminated_tag_syntax"},
    };
    for (const auto& [text, word] : cases) {
        CXmlDocument doc;
        EXPECT_FALSE(doc.SetDocumentText(text)) << text;
        EXPECT_TRUE(ResultHas(doc, word)) << text << " gave " << doc.GetResult();
    }
}

TEST(XmlParse, LoneEndTagInsideDeepNestingDoesNotCloseAnything)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(L"<a><b><c></x></c></b></a>"));
    EXPECT_TRUE(ResultHas(doc, L"lone_end_tag"));
    EXPECT_FALSE(ResultHas(doc, L"unended_start_tag"));
    EXPECT_EQ(Outline(doc), (std::vector<std::wstring>{L"a", L".b", L"..c"}));
}

TEST(XmlParse, PathologicalNestingStaysFast)
{
    // A parse that walked the open elements for every stray end tag would take
    // minutes here; the test's timeout catches that.
    std::wstring text;
    const int n = 60000;
    for (int i = 0; i < n; ++i)
        text += L"<a>";
    for (int i = 0; i < n; ++i)
        text += L"</b>";
    text += L"<a b=\"";  // and a quote that never ends
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocumentText(text));
    doc.Rewind();
    int depth = 0;
    while (doc.FindElement() && doc.EnterElement())
        ++depth;
    EXPECT_EQ(depth, n);
}

TEST(XmlNavigate, FindChildElementAfterRewindLooksInsideTheRootWhateverItsName)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<set><input/><zoom name=\"one\"/><zoom name=\"two\"/></set>"));
    doc.Rewind();
    ASSERT_TRUE(doc.FindChildElement(L"zoom"));
    EXPECT_EQ(doc.GetTagName(), L"set");
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetAttribute(L"name"), L"one");
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.FindChildElement(L"zoom"));
    doc.EnterElement();
    EXPECT_EQ(doc.GetAttribute(L"name"), L"two");
    doc.LeaveElement();
    EXPECT_FALSE(doc.FindChildElement(L"zoom"));
}

TEST(XmlNavigate, FailedSearchesLeaveThePositionsAlone)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r><a id=\"1\"/><b id=\"2\"/><a id=\"3\"/></r>"));
    doc.Rewind();
    EXPECT_FALSE(doc.FindElement(L"missing"));
    EXPECT_EQ(doc.GetTagName(), L"");
    ASSERT_TRUE(doc.FindElement(L"r"));
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"a"));
    ASSERT_TRUE(doc.FindElement(L"a"));  // skips b
    EXPECT_EQ(doc.GetAttribute(L"id"), L"3");
    EXPECT_FALSE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetAttribute(L"id"), L"3");
    EXPECT_FALSE(doc.FindElement(L"A")) << "names are compared with case";
}

TEST(XmlNavigate, EnterAndLeaveNeedAPosition)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r><c/></r>"));
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_FALSE(doc.LeaveElement());
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"c"));
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), L"r");
    EXPECT_FALSE(doc.LeaveElement());
}

TEST(XmlNavigate, NamePrefixIsNotAMatch)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r><zoomX/><zoom/></r>"));
    doc.Rewind();
    ASSERT_TRUE(doc.FindChildElement(L"zoom"));
    doc.EnterElement();
    EXPECT_EQ(doc.GetTagName(), L"zoom");
}

TEST(XmlWrite, NewDocumentLayoutIsOneElementPerLineWithCrLf)
{
    CXmlDocument doc;
    doc.SetDocumentText(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    ASSERT_TRUE(doc.AddElement(L"Root"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"Empty"));
    ASSERT_TRUE(doc.AddElement(L"Text", L"a<b & c>d \"q\""));
    ASSERT_TRUE(doc.AddElement(L"Group"));
    doc.EnterElement();
    doc.AddElement(L"Inner", L"1");
    doc.LeaveElement();
    doc.AddElement(L"Tail");
    doc.SetAttribute(L"k", L"v");
    doc.LeaveElement();
    EXPECT_EQ(doc.GetDocumentText(),
              L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              L"<Root>\r\n"
              L"<Empty/>\r\n"
              L"<Text>a&lt;b &amp; c&gt;d \"q\"</Text>\r\n"
              L"<Group>\r\n"
              L"<Inner>1</Inner>\r\n"
              L"</Group>\r\n"
              L"<Tail k=\"v\"/>\r\n"
              L"</Root>\r\n");
    EXPECT_TRUE(doc.IsWellFormed());
}

TEST(XmlWrite, DocumentWithoutDeclarationStartsWithTheRoot)
{
    CXmlDocument doc;
    doc.SetDocumentText();
    doc.AddElement(L"virtualSet");
    EXPECT_EQ(doc.GetDocumentText(), L"<virtualSet/>\r\n");
}

TEST(XmlWrite, AttributeWithLessThanAndQuotesRoundTrips)
{
    const std::wstring value = L"a<b \"quoted\" & 'single'";
    CXmlDocument doc;
    doc.SetDocumentText();
    doc.AddElement(L"input");
    ASSERT_TRUE(doc.SetAttribute(L"name", value));
    const std::wstring& text = doc.GetDocumentText();
    EXPECT_NE(text.find(L"name=\"a&lt;b &quot;quoted&quot; &amp; &apos;single&apos;\""), std::wstring::npos) << text;
    EXPECT_EQ(doc.GetAttribute(L"name"), value);

    CXmlDocument again;
    ASSERT_TRUE(again.SetDocumentText(text));
    ASSERT_TRUE(again.FindElement(L"input"));
    EXPECT_EQ(again.GetAttribute(L"name"), value);
}

TEST(XmlWrite, SetAttributeReplacesInPlaceAndKeepsTheRestReachable)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r><a x=\"1\" y='2' z=3 w><c t=\"in\"/></a><b t=\"after\"/></r>"));
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"a"));
    ASSERT_TRUE(doc.SetAttribute(L"x", L"a much longer value"));
    ASSERT_TRUE(doc.SetAttribute(L"y", L""));
    ASSERT_TRUE(doc.SetAttribute(L"z", L"4"));
    ASSERT_TRUE(doc.SetAttribute(L"w", L"5"));
    EXPECT_EQ(doc.GetAttribute(L"x"), L"a much longer value");
    EXPECT_EQ(doc.GetAttribute(L"y"), L"");
    EXPECT_EQ(doc.GetAttribute(L"z"), L"4");
    EXPECT_EQ(doc.GetAttribute(L"w"), L"5");
    EXPECT_EQ(doc.GetDocumentText(),
              L"<r><a x=\"a much longer value\" y=\"\" z=\"4\" w=\"5\"><c t=\"in\"/></a><b t=\"after\"/></r>");
    // The child and the next sibling moved with the edit.
    ASSERT_TRUE(doc.FindChildElement(L"c"));
    doc.EnterElement();
    EXPECT_EQ(doc.GetAttribute(L"t"), L"in");
    doc.LeaveElement();
    ASSERT_TRUE(doc.FindElement(L"b"));
    EXPECT_EQ(doc.GetAttribute(L"t"), L"after");
}

TEST(XmlWrite, AddingInTheMiddleOfALoadedDocumentKeepsTheIndexInStep)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r>\n<a/>\n<b><c/></b>\n<d>text</d>\n</r>\n"));
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"a"));
    ASSERT_TRUE(doc.AddElement(L"after_a", L"x"));
    ASSERT_TRUE(doc.FindElement(L"b"));
    doc.EnterElement();
    ASSERT_TRUE(doc.AddElement(L"last_in_b"));  // no main position: last child of b
    doc.LeaveElement();
    ASSERT_TRUE(doc.FindElement(L"d"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"in_d"));  // an element with text gets its first child
    doc.LeaveElement();

    EXPECT_EQ(Outline(doc), (std::vector<std::wstring>{L"r", L".a", L".after_a", L".b", L"..c", L"..last_in_b", L".d",
                                                       L"..in_d"}));
    // A fresh parse of the edited text sees the same document.
    CXmlDocument fresh;
    ASSERT_TRUE(fresh.SetDocumentText(doc.GetDocumentText())) << fresh.GetResult();
    EXPECT_EQ(Outline(fresh), Outline(doc));
}

TEST(XmlWrite, FirstChildOfAnEmptyElementAddsTheEndTag)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r a=\"1\" />"));
    doc.FindElement();
    doc.EnterElement();
    doc.AddElement(L"c");
    EXPECT_EQ(doc.GetDocumentText(), L"<r a=\"1\" >\r\n<c/>\r\n</r>");
    doc.LeaveElement();
    EXPECT_EQ(doc.GetAttribute(L"a"), L"1");
    EXPECT_TRUE(doc.IsWellFormed());
}

TEST(XmlWrite, BadNamesAreRefusedWithoutChange)
{
    CXmlDocument doc;
    doc.SetDocumentText(L"<r/>");
    EXPECT_FALSE(doc.SetAttribute(L"a", L"1")) << "no main position yet";
    doc.FindElement();
    EXPECT_FALSE(doc.AddElement(L""));
    EXPECT_FALSE(doc.AddElement(L"1abc"));
    EXPECT_FALSE(doc.AddElement(L"a b"));
    EXPECT_FALSE(doc.SetAttribute(L"x=\"y\"", L"1"));
    EXPECT_EQ(doc.GetDocumentText(), L"<r/>");
}

TEST(XmlText, ElementTextIsUnescapedWithCdataRaw)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(
        L"<r><t>a&lt;b&gt;&amp;&quot;&apos;&#65;&#x42;&#X43;<!-- c --><![CDATA[&lt;raw<>]]>z</t><p><q/></p></r>"));
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"t"));
    EXPECT_EQ(doc.GetElementText(), L"a<b>&\"'ABC&lt;raw<>z");
    ASSERT_TRUE(doc.FindElement(L"p"));
    EXPECT_EQ(doc.GetElementText(), L"") << "an element with children has no text of its own";
}

TEST(XmlText, UnknownAndInvalidReferencesStayAsWritten)
{
    EXPECT_EQ(CXmlDocument::Unescape(L"&bogus; &#; &#x; &#0; &#xD800; &#1114112; &#99999999999999999999; &amp"),
              L"&bogus; &#; &#x; &#0; &#xD800; &#1114112; &#99999999999999999999; &amp");
    EXPECT_EQ(CXmlDocument::Unescape(L"&#x10FFFF;&#20013;"), std::wstring(L"\U0010FFFF") + L"\u4E2D");
    EXPECT_EQ(CXmlDocument::Unescape(L"&amp;lt;"), L"&lt;");
}

TEST(XmlText, CdataSectionSplitsAroundItsEndMarker)
{
    EXPECT_EQ(CXmlDocument::MakeCdataSection(L"a]]>b"), L"<![CDATA[a]]]]><![CDATA[>b]]>");
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocumentText(L"<r>" + CXmlDocument::MakeCdataSection(L"x]]>y]]>") + L"</r>"));
    doc.FindElement();
    EXPECT_EQ(doc.GetElementText(), L"x]]>y]]>");
}

TEST(XmlText, TextEscapingLeavesQuotesAlone)
{
    EXPECT_EQ(CXmlDocument::EscapeText(L"<a href=\"x\">'&'"), L"&lt;a href=\"x\"&gt;'&amp;'");
    EXPECT_EQ(CXmlDocument::EscapeAttribute(L"\"'"), L"&quot;&apos;");
}

TEST(XmlText, ControlCharactersAreWrittenAsReferencesAndReadBack)
{
    EXPECT_EQ(CXmlDocument::EscapeAttribute(L"a\x01\tb\nc\r\x1F"), L"a&#x1;&#x9;b&#xA;c&#xD;&#x1F;");
    EXPECT_EQ(CXmlDocument::EscapeText(L"a\x01\tb\nc\r"), L"a&#x1;\tb\nc&#xD;");
    CXmlDocument doc;
    doc.SetDocumentText(L"");
    doc.AddElement(L"r", L"line\x02\r\nnext");
    doc.SetAttribute(L"name", L"Cam\x01\t1\n");
    for (wchar_t c : doc.GetDocumentText())
        EXPECT_TRUE(c >= 0x20 || c == L'\r' || c == L'\n') << int(c);
    CXmlDocument again;
    ASSERT_TRUE(again.SetDocumentText(doc.GetDocumentText()));
    ASSERT_TRUE(again.FindElement(L"r"));
    EXPECT_EQ(again.GetAttribute(L"name"), L"Cam\x01\t1\n");
    EXPECT_EQ(again.GetElementText(), L"line\x02\r\nnext");
}

TEST(XmlDeclaration, EncodingIsReadFromTheDeclarationOrAnHtmlHead)
{
    EXPECT_EQ(CXmlDocument::DeclaredEncoding(L"<?xml version=\"1.0\" encoding=\"GBK\"?><a/>"), L"GBK");
    EXPECT_EQ(CXmlDocument::DeclaredEncoding(L"  <?xml version='1.0' encoding='Shift_JIS' ?>"), L"Shift_JIS");
    EXPECT_EQ(CXmlDocument::DeclaredEncoding(L"<?xml version=\"1.0\"?><a encoding=\"x\"/>"), L"");
    EXPECT_EQ(CXmlDocument::DeclaredEncoding(L"<a/>"), L"");
    EXPECT_EQ(CXmlDocument::DeclaredEncoding(
                  L"<!DOCTYPE html><HTML><Head><META http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">"),
              L"big5");
    EXPECT_EQ(CXmlDocument::DeclaredEncoding(L"<html><head><title>t</title><meta charset=\"euc-kr\"></head>"), L"euc-kr");
    EXPECT_EQ(CXmlDocument::DeclaredEncoding(L"<html><head></head><body><meta charset=\"x\"></body>"), L"");
}
