#include "XmlFuzzEntry.h"

#include "formats/XmlDocument.h"
#include "platform/TextConv.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

// Every element in document order with what the accessors say about it.
std::vector<std::wstring> Walk(CXmlDocument& doc)
{
    std::vector<std::wstring> out;
    doc.Rewind();
    int depth = 0;
    for (;;) {
        if (doc.FindElement()) {
            out.push_back(std::to_wstring(depth) + L"|" + doc.GetTagName() + L"|" + doc.GetElementText() + L"|" +
                          doc.GetAttribute(L"fz") + L"|" + doc.GetAttribute(L"a"));
            doc.EnterElement();
            ++depth;
        } else {
            if (depth == 0)
                break;
            doc.LeaveElement();
            --depth;
        }
    }
    return out;
}

// Edits spread over the document, chosen by the input's first byte.
void Edit(CXmlDocument& doc, unsigned choice)
{
    const unsigned stride = 1 + choice % 4;
    doc.Rewind();
    int depth = 0;
    unsigned n = 0;
    for (;;) {
        if (doc.FindElement()) {
            ++n;
            if (n % stride == 0)
                doc.SetAttribute(L"fz", L"v<\"&'" + std::to_wstring(n));
            if (depth > 0 && n % (stride + 1) == 0) {
                doc.AddElement(L"added", n % 2 ? L"t&<]]>" : L"");  // becomes the main position
            } else if (n % (stride + 2) == 0) {
                doc.EnterElement();
                doc.AddElement(L"child");  // last child of the element
                doc.LeaveElement();
            }
            doc.EnterElement();
            ++depth;
        } else {
            if (depth == 0)
                break;
            doc.LeaveElement();
            --depth;
        }
    }
}

bool RoundTripsThroughEscaping(const std::wstring& text)
{
    if (CXmlDocument::Unescape(CXmlDocument::EscapeAttribute(text)) != text)
        return false;
    CXmlDocument doc;
    doc.SetDocumentText(L"<r>" + CXmlDocument::MakeCdataSection(text) + L"</r>");
    doc.FindElement();
    if (doc.GetElementText() != text)
        return false;
    doc.SetDocumentText(L"<r/>");
    doc.FindElement();
    doc.SetAttribute(L"a", text);
    doc.AddElement(L"e", text);
    if (doc.GetElementText() != text)
        return false;
    CXmlDocument again;
    again.SetDocumentText(doc.GetDocumentText());
    again.FindElement();
    return again.GetAttribute(L"a") == text;
}

}  // namespace

bool CheckXmlDocumentInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring text = platform::Utf8ToWide(bytes);

    CXmlDocument loaded;
    loaded.LoadFromBytes(bytes);
    Walk(loaded);
    std::string saved;
    loaded.SaveToBytes(saved);
    CXmlDocument reloaded;
    reloaded.LoadFromBytes(saved);
    Walk(reloaded);
    CXmlDocument::DeclaredEncoding(text);

    CXmlDocument doc;
    const bool wellFormed = doc.SetDocumentText(text);
    Walk(doc);
    Edit(doc, size ? data[0] : 0);
    const std::vector<std::wstring> edited = Walk(doc);
    if (wellFormed) {
        // The index kept up by the edits must match a parse of the new text.
        CXmlDocument fresh;
        if (!fresh.SetDocumentText(doc.GetDocumentText()) || Walk(fresh) != edited)
            return false;
    }
    return RoundTripsThroughEscaping(text.substr(0, 256));
}
