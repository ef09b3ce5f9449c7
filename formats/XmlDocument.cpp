#include "XmlDocument.h"

#include "Charsets.h"
#include "platform/FileUtil.h"

#include <cerrno>
#include <cwchar>
#include <unordered_map>

namespace {

// Larger files are refused rather than read: the program's XML files are a
// few kilobytes, and the wide text takes four times the file's size.
constexpr int64_t kMaxFileBytes = 64ll * 1024 * 1024;
// The first block of a file, where a declaration is looked for.
constexpr size_t kHeadLength = 1024;
// Records are added to the result text only while it is shorter than this.
constexpr size_t kResultLimit = 1000;

constexpr size_t kStop = std::wstring::npos;

inline bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

inline bool IsNameStart(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c == L':' || c >= 0x80;
}

inline bool IsNameChar(wchar_t c)
{
    return IsNameStart(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.';
}

bool IsValidName(std::wstring_view name)
{
    if (name.empty() || !IsNameStart(name[0]))
        return false;
    for (wchar_t c : name) {
        if (!IsNameChar(c))
            return false;
    }
    return true;
}

wchar_t LowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c; }

bool EqualNames(std::wstring_view a, std::wstring_view b, bool ignoreCase)
{
    if (a.size() != b.size())
        return false;
    if (!ignoreCase)
        return a == b;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

std::wstring LowerAsciiCopy(std::wstring_view text)
{
    std::wstring out(text);
    for (wchar_t& c : out)
        c = LowerAscii(c);
    return out;
}

bool IsEndOfTag(std::wstring_view tag, size_t i)
{
    return tag[i] == L'>' || ((tag[i] == L'/' || tag[i] == L'?') && i + 1 < tag.size() && tag[i + 1] == L'>');
}

// Where one attribute stands in a start tag (offsets within the tag).
struct AttributeSpan {
    bool found = false;
    size_t nameEnd = 0;
    size_t valueStart = 0;
    size_t valueEnd = 0;
    bool hasValue = false;
    bool quoted = false;
};

// Looks for attribute name in a tag, from offset from (just after the tag's
// name). Accepts the lenient forms found in the wild: single quotes, values
// without quotes and attributes without a value.
AttributeSpan FindAttribute(std::wstring_view tag, size_t from, std::wstring_view name, bool ignoreCase)
{
    const size_t n = tag.size();
    size_t i = from;
    while (i < n) {
        while (i < n && IsSpace(tag[i]))
            ++i;
        if (i >= n || tag[i] == L'>')
            break;
        if (tag[i] == L'/' || tag[i] == L'?') {
            ++i;
            continue;
        }
        if (tag[i] == L'"' || tag[i] == L'\'') {  // a stray quoted run
            const size_t close = tag.find(tag[i], i + 1);
            i = close == std::wstring_view::npos ? n : close + 1;
            continue;
        }
        const size_t nameStart = i;
        while (i < n && !IsSpace(tag[i]) && tag[i] != L'=' && tag[i] != L'"' && tag[i] != L'\'' && !IsEndOfTag(tag, i))
            ++i;
        AttributeSpan span;
        span.nameEnd = i;
        size_t j = i;
        while (j < n && IsSpace(tag[j]))
            ++j;
        if (j < n && tag[j] == L'=') {
            ++j;
            while (j < n && IsSpace(tag[j]))
                ++j;
            span.hasValue = true;
            if (j < n && (tag[j] == L'"' || tag[j] == L'\'')) {
                const size_t close = tag.find(tag[j], j + 1);
                span.quoted = true;
                span.valueStart = j + 1;
                span.valueEnd = close == std::wstring_view::npos ? n : close;
                i = close == std::wstring_view::npos ? n : close + 1;
            } else {
                span.valueStart = j;
                while (j < n && !IsSpace(tag[j]) && !IsEndOfTag(tag, j))
                    ++j;
                span.valueEnd = j;
                i = j;
            }
        } else if (i == nameStart) {
            ++i;  // nothing recognisable here; step over it
        }
        if (span.nameEnd > nameStart && EqualNames(tag.substr(nameStart, span.nameEnd - nameStart), name, ignoreCase)) {
            span.found = true;
            return span;
        }
    }
    return {};
}

size_t SkipSpace(std::wstring_view text, size_t i)
{
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    return i;
}

// The charset named in an HTML meta element of the head.
std::wstring HtmlMetaCharset(std::wstring_view head)
{
    const std::wstring lower = LowerAsciiCopy(head);
    const size_t html = lower.find(L"<html");
    if (html == std::wstring::npos)
        return {};
    const size_t headTag = lower.find(L"<head", html);
    if (headTag == std::wstring::npos)
        return {};
    const size_t stop = std::min(lower.find(L"</head", headTag), lower.find(L"<body", headTag));
    for (size_t meta = lower.find(L"<meta", headTag); meta < stop; meta = lower.find(L"<meta", meta + 5)) {
        const size_t close = lower.find(L'>', meta);
        const std::wstring_view tag = head.substr(meta, close == std::wstring::npos ? std::wstring::npos : close + 1 - meta);
        const AttributeSpan charset = FindAttribute(tag, 5, L"charset", true);
        if (charset.found && charset.valueEnd > charset.valueStart)
            return std::wstring(tag.substr(charset.valueStart, charset.valueEnd - charset.valueStart));
        const AttributeSpan content = FindAttribute(tag, 5, L"content", true);
        if (!content.found)
            continue;
        const std::wstring_view value = tag.substr(content.valueStart, content.valueEnd - content.valueStart);
        const size_t at = LowerAsciiCopy(value).find(L"charset");
        if (at == std::wstring::npos)
            continue;
        size_t i = SkipSpace(value, at + 7);
        if (i >= value.size() || value[i] != L'=')
            continue;
        i = SkipSpace(value, i + 1);
        size_t end = i;
        while (end < value.size() && !IsSpace(value[end]) && value[end] != L';' && value[end] != L'"' && value[end] != L'\'')
            ++end;
        if (end > i)
            return std::wstring(value.substr(i, end - i));
    }
    return {};
}

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// A file without a mark that starts with '<' in 16- or 32-bit units.
bool DetectUnmarkedWideText(std::string_view bytes, charsets::Charset& charset)
{
    if (bytes.size() < 4)
        return false;
    const auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const char* name = nullptr;
    if (b(0) == '<' && b(1) == 0 && b(2) == 0 && b(3) == 0)
        name = "UTF-32";
    else if (b(0) == 0 && b(1) == 0 && b(2) == 0 && b(3) == '<')
        name = "UTF-32BE";
    else if (b(0) == '<' && b(1) == 0 && b(2) != 0 && b(3) == 0)
        name = "UTF-16";
    else if (b(0) == 0 && b(1) == '<' && b(2) == 0 && b(3) != 0)
        name = "UTF-16BE";
    if (!name)
        return false;
    charset = *charsets::FindCharset(Widen(name));
    return true;
}

}  // namespace

// One pass over the document text that builds the element index. Every
// character is looked at a bounded number of times, so parsing is linear
// whatever the input.
class CXmlDocument::Parser {
public:
    explicit Parser(CXmlDocument& doc) : m_doc(doc), m_t(doc.m_text.data()), m_n(doc.m_text.size())
    {
        m_open.push_back(0);
    }

    void Run()
    {
        size_t pos = 0;
        while (pos < m_n) {
            const wchar_t* lt = std::wmemchr(m_t + pos, L'<', m_n - pos);
            if (!lt)
                break;
            const size_t p = static_cast<size_t>(lt - m_t);
            if (p + 1 >= m_n) {
                Fault(L"unterminated_tag_syntax", p, L"start_tag");
                break;
            }
            const wchar_t c = m_t[p + 1];
            size_t next;
            if (IsNameStart(c))
                next = StartTag(p);
            else if (c == L'/')
                next = EndTag(p);
            else if (c == L'?')
                next = Instruction(p);
            else if (c == L'!')
                next = Exclamation(p);
            else {
                Fault(L"first_tag_syntax", p);
                next = p + 1;
            }
            if (next == kStop)
                break;
            pos = next;
        }
        while (m_open.size() > 1)
            Abandon(m_n);
        if (m_doc.m_topLevelCount == 0)
            m_doc.AddResult(L"no_root_element");
    }

private:
    std::wstring_view Text() const { return std::wstring_view(m_t, m_n); }

    bool StartsWith(size_t p, std::wstring_view s, bool ignoreCase = false) const
    {
        return m_n - p >= s.size() && EqualNames(Text().substr(p, s.size()), s, ignoreCase);
    }

    void Fault(std::wstring_view word, size_t offset, std::wstring_view type = {}, std::wstring_view name = {})
    {
        m_doc.m_illFormed = true;
        if (m_doc.m_result.size() >= kResultLimit)
            return;  // no room for the record: skip building it
        if (!name.empty())
            m_doc.AddResult(word, {{L"tagname", std::wstring(name)}, {L"offset", std::to_wstring(offset)}});
        else if (!type.empty())
            m_doc.AddResult(word, {{L"type", std::wstring(type)}, {L"offset", std::to_wstring(offset)}});
        else
            m_doc.AddResult(word, {{L"offset", std::to_wstring(offset)}});
    }

    size_t StartTag(size_t p)
    {
        if (m_doc.m_count >= 0xFFFFFFF0u) {
            Fault(L"too_many_elements", p);
            return kStop;
        }
        size_t i = p + 1;
        while (i < m_n && IsNameChar(m_t[i]))
            ++i;
        const size_t nameEnd = i;
        // The tag ends at the first '>' outside quotes.
        while (i < m_n) {
            const wchar_t ch = m_t[i];
            if (ch == L'>')
                break;
            if (ch == L'"' || ch == L'\'') {
                const wchar_t* close = std::wmemchr(m_t + i + 1, ch, m_n - i - 1);
                if (!close) {
                    i = m_n;
                    break;
                }
                i = static_cast<size_t>(close - m_t) + 1;
                continue;
            }
            if (ch == L'<') {  // a new tag begins before this one ended
                Fault(L"unterminated_tag_syntax", p, L"start_tag");
                return i;
            }
            ++i;
        }
        if (i >= m_n) {
            Fault(L"unterminated_tag_syntax", p, L"start_tag");
            return kStop;
        }
        const bool empty = m_t[i - 1] == L'/' && i - 1 >= nameEnd;
        const uint32_t parent = m_open.back();
        const uint32_t e = m_doc.NewRecord();
        ElementRecord& r = m_doc.Rec(e);
        r.start = p;
        r.startTagLength = i + 1 - p;
        r.length = empty ? r.startTagLength : 0;
        r.flags = empty ? static_cast<uint32_t>(kEmptyElement) : 0u;
        r.level = static_cast<uint32_t>(m_open.size() - 1);
        r.parent = parent;
        m_doc.LinkAsLastChild(parent, e);
        if (parent == 0 && ++m_doc.m_topLevelCount > 1)
            m_doc.AddResult(L"root_has_sibling", {{L"tagname", std::wstring(Text().substr(p + 1, nameEnd - p - 1))},
                                                  {L"offset", std::to_wstring(p)}});
        if (!empty) {
            m_open.push_back(e);
            if (m_counting)
                ++m_openNames[Text().substr(p + 1, nameEnd - p - 1)];
        }
        return i + 1;
    }

    size_t EndTag(size_t p)
    {
        size_t i = p + 2;
        const size_t nameStart = i;
        while (i < m_n && IsNameChar(m_t[i]))
            ++i;
        const std::wstring_view name = Text().substr(nameStart, i - nameStart);
        while (i < m_n && IsSpace(m_t[i]))
            ++i;
        if (i < m_n && m_t[i] != L'>') {
            Fault(L"first_tag_syntax", p, L"end_tag");
            while (i < m_n && m_t[i] != L'>' && m_t[i] != L'<')
                ++i;
        }
        if (i >= m_n) {
            Fault(L"unterminated_tag_syntax", p, L"end_tag");
            return kStop;
        }
        if (m_t[i] == L'<') {
            Fault(L"unterminated_tag_syntax", p, L"end_tag");
            return i;
        }
        const size_t end = i + 1;
        if (name.empty()) {
            Fault(L"lone_end_tag", p, L"end_tag");
            return end;
        }
        const uint32_t top = m_open.back();
        if (top != 0 && m_doc.NameIs(top, name)) {
            Close(end, end - p);
            return end;
        }
        // A mismatch: from here on open names are counted, so telling a lone
        // end tag from one that closes an outer element costs no stack walk.
        StartCounting();
        const auto it = m_openNames.find(name);
        if (it == m_openNames.end() || it->second == 0) {
            Fault(L"lone_end_tag", p, {}, name);
            return end;
        }
        while (!m_doc.NameIs(m_open.back(), name))
            Abandon(p);
        Close(end, end - p);
        return end;
    }

    size_t Instruction(size_t p)
    {
        const size_t close = Text().find(L"?>", p + 2);
        if (close == std::wstring_view::npos) {
            Fault(L"unterminated_tag_syntax", p, L"processing_instruction");
            return kStop;
        }
        return close + 2;
    }

    size_t Exclamation(size_t p)
    {
        if (StartsWith(p, L"<!--")) {
            const size_t close = Text().find(L"-->", p + 4);
            if (close == std::wstring_view::npos) {
                Fault(L"comment_tag_syntax", p, L"comment");
                return kStop;
            }
            return close + 3;
        }
        if (StartsWith(p, L"<![CDATA[")) {
            const size_t close = Text().find(L"]]>", p + 9);
            if (close == std::wstring_view::npos) {
                Fault(L"cdata_section_syntax", p, L"cdata_section");
                return kStop;
            }
            return close + 3;
        }
        if (StartsWith(p, L"<!DOCTYPE", true))
            return DocumentType(p);
        Fault(L"exclamation_tag_syntax", p);
        return p + 1;
    }

    // A document type declaration, with its internal subset in brackets.
    size_t DocumentType(size_t p)
    {
        size_t i = p + 9;
        int depth = 0;
        while (i < m_n) {
            const wchar_t ch = m_t[i];
            if (ch == L'"' || ch == L'\'') {
                const wchar_t* close = std::wmemchr(m_t + i + 1, ch, m_n - i - 1);
                if (!close)
                    break;
                i = static_cast<size_t>(close - m_t) + 1;
                continue;
            }
            if (ch == L'<' && StartsWith(i, L"<!--")) {
                const size_t close = Text().find(L"-->", i + 4);
                if (close == std::wstring_view::npos)
                    break;
                i = close + 3;
                continue;
            }
            if (ch == L'[')
                ++depth;
            else if (ch == L']' && depth > 0)
                --depth;
            else if (ch == L'>' && depth == 0)
                return i + 1;
            ++i;
        }
        Fault(L"doctype_tag_syntax", p, L"document_type");
        return kStop;
    }

    void Close(size_t end, size_t endTagLength)
    {
        const uint32_t e = m_open.back();
        ElementRecord& r = m_doc.Rec(e);
        r.length = end - r.start;
        r.endTagLength = static_cast<uint32_t>(endTagLength);
        Pop();
    }

    // An element whose end tag never came: it ends where its parent did.
    void Abandon(size_t at)
    {
        const uint32_t e = m_open.back();
        ElementRecord& r = m_doc.Rec(e);
        r.length = at - r.start;
        r.flags |= kIllFormed;
        Fault(L"unended_start_tag", r.start, {}, m_doc.NameOf(e));
        Pop();
    }

    void Pop()
    {
        if (m_counting)
            --m_openNames[m_doc.NameOf(m_open.back())];
        m_open.pop_back();
    }

    void StartCounting()
    {
        if (m_counting)
            return;
        m_counting = true;
        for (size_t k = 1; k < m_open.size(); ++k)
            ++m_openNames[m_doc.NameOf(m_open[k])];
    }

    CXmlDocument& m_doc;
    const wchar_t* m_t;
    size_t m_n;
    std::vector<uint32_t> m_open;  // open elements, the document node first
    bool m_counting = false;
    std::unordered_map<std::wstring_view, uint32_t> m_openNames;
};

CXmlDocument::CXmlDocument() { ResetIndex(); }

CXmlDocument::~CXmlDocument() = default;

uint32_t CXmlDocument::NewRecord()
{
    if (m_blocks.empty() || m_blocks.back().size() == kBlockSize) {
        m_blocks.emplace_back();
        if (m_blocks.size() > 1)
            m_blocks.back().reserve(kBlockSize);
    }
    m_blocks.back().emplace_back();
    return m_count++;
}

void CXmlDocument::ResetIndex()
{
    m_blocks.resize(1);
    m_blocks[0].clear();
    m_count = 0;
    NewRecord();  // the document node
    Rec(0).length = m_text.size();
    m_topLevelCount = 0;
    m_illFormed = false;
    m_parent = m_main = m_child = 0;
}

void CXmlDocument::LinkAsLastChild(uint32_t parent, uint32_t child)
{
    ElementRecord& p = Rec(parent);
    ElementRecord& c = Rec(child);
    c.parent = parent;
    c.prev = p.lastChild;
    c.next = 0;
    if (p.lastChild)
        Rec(p.lastChild).next = child;
    else
        p.firstChild = child;
    p.lastChild = child;
}

void CXmlDocument::LinkAfter(uint32_t sibling, uint32_t child)
{
    ElementRecord& s = Rec(sibling);
    ElementRecord& c = Rec(child);
    c.parent = s.parent;
    c.prev = sibling;
    c.next = s.next;
    if (s.next)
        Rec(s.next).prev = child;
    else
        Rec(s.parent).lastChild = child;
    s.next = child;
}

void CXmlDocument::Parse()
{
    ResetIndex();
    Parser(*this).Run();
}

bool CXmlDocument::NameIs(uint32_t element, std::wstring_view name) const
{
    const size_t at = Rec(element).start + 1;
    if (m_text.size() - at < name.size() || m_text.compare(at, name.size(), name) != 0)
        return false;
    return at + name.size() >= m_text.size() || !IsNameChar(m_text[at + name.size()]);
}

std::wstring_view CXmlDocument::NameOf(uint32_t element) const
{
    const size_t at = Rec(element).start + 1;
    size_t end = at;
    while (end < m_text.size() && IsNameChar(m_text[end]))
        ++end;
    return std::wstring_view(m_text).substr(at, end - at);
}

std::wstring_view CXmlDocument::StartTagOf(uint32_t element) const
{
    const ElementRecord& r = Rec(element);
    return std::wstring_view(m_text).substr(r.start, r.startTagLength);
}

void CXmlDocument::ShiftSubtree(uint32_t element, ptrdiff_t delta)
{
    // Pre-order walk over the subtree by its links, without a stack.
    uint32_t cur = element;
    for (;;) {
        Rec(cur).start += delta;
        if (Rec(cur).firstChild) {
            cur = Rec(cur).firstChild;
            continue;
        }
        while (cur != element && !Rec(cur).next)
            cur = Rec(cur).parent;
        if (cur == element)
            return;
        cur = Rec(cur).next;
    }
}

void CXmlDocument::EditText(uint32_t element, size_t at, size_t removed, std::wstring_view inserted)
{
    m_text.replace(at, removed, inserted);
    const ptrdiff_t delta = static_cast<ptrdiff_t>(inserted.size()) - static_cast<ptrdiff_t>(removed);
    if (delta == 0)
        return;
    // Children that start after the edit move; walk back from the last one so
    // appending at the end touches none.
    const size_t after = at + removed;
    for (uint32_t c = Rec(element).lastChild; c && Rec(c).start >= after; c = Rec(c).prev)
        ShiftSubtree(c, delta);
    // The element and its ancestors grow; everything after them moves.
    for (uint32_t a = element;; a = Rec(a).parent) {
        Rec(a).length += delta;
        if (a == 0)
            break;
        for (uint32_t s = Rec(a).next; s; s = Rec(s).next)
            ShiftSubtree(s, delta);
    }
}

void CXmlDocument::AddResult(std::wstring_view word,
                             std::initializer_list<std::pair<std::wstring_view, std::wstring>> attributes)
{
    if (m_result.size() >= kResultLimit)
        return;
    m_result += L'<';
    m_result += word;
    for (const auto& [name, value] : attributes) {
        m_result += L' ';
        m_result += name;
        m_result += L"=\"";
        m_result += EscapeAttribute(value);
        m_result += L'"';
    }
    m_result += L"/>";
}

bool CXmlDocument::SetDocumentText(std::wstring_view text)
{
    ClearResult();
    m_bomFlags = 0;
    m_text.assign(text);
    Parse();
    return IsWellFormed();
}

bool CXmlDocument::IsWellFormed() const { return !m_illFormed && m_topLevelCount == 1; }

bool CXmlDocument::LoadFile(const std::wstring& path)
{
    ClearResult();
    m_bomFlags = 0;
    const auto fail = [&](const std::wstring& message) {
        AddResult(L"file_error", {{L"msg", message}});
        m_text.clear();
        Parse();
        return false;
    };
    if (!platform::FileExists(path)) {
        const int error = errno;
        return fail(platform::PathExists(path) ? L"not a regular file" : platform::SystemErrorText(error));
    }
    const int64_t size = platform::FileSize(path);
    if (size > kMaxFileBytes)
        return fail(L"file too large");
    auto bytes = platform::ReadWholeFile(path);
    if (!bytes)
        return fail(platform::SystemErrorText(errno));
    if (static_cast<int64_t>(bytes->size()) > kMaxFileBytes)
        return fail(L"file too large");  // it grew while being read
    return DecodeAndParse(*bytes);
}

bool CXmlDocument::LoadFromBytes(std::string_view bytes)
{
    ClearResult();
    m_bomFlags = 0;
    return DecodeAndParse(bytes);
}

bool CXmlDocument::DecodeAndParse(std::string_view bytes)
{
    const auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    charsets::Charset charset;
    std::wstring encodingName;
    bool known = false;
    size_t skip = 0;
    if (bytes.size() >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) {
        charset = charsets::Utf8Charset();
        m_bomFlags = kBomUtf8;
        skip = 3;
        known = true;
    } else if (bytes.size() >= 2 && b(0) == 0xFF && b(1) == 0xFE) {
        charset = *charsets::FindCharset(L"UTF-16LE");
        m_bomFlags = kBomUtf16Le;
        skip = 2;
        known = true;
    } else if (bytes.size() >= 2 && b(0) == 0xFE && b(1) == 0xFF) {
        charset = *charsets::FindCharset(L"UTF-16BE");
        m_bomFlags = kBomUtf16Be;
        skip = 2;
        known = true;
    } else if (DetectUnmarkedWideText(bytes, charset)) {
        known = true;
    } else {
        // The declaration is ASCII in every charset a document can declare
        // this way, so the first block read byte for byte is enough to find it.
        const std::string_view head = bytes.substr(0, kHeadLength);
        std::wstring headText(head.size(), L'\0');
        for (size_t i = 0; i < head.size(); ++i)
            headText[i] = static_cast<wchar_t>(static_cast<unsigned char>(head[i]));
        const std::wstring declared = DeclaredEncoding(headText);
        if (!declared.empty()) {
            const auto resolved = charsets::ResolveCharset(declared);
            // A UTF-16 or UTF-32 declaration in a text readable byte for byte
            // cannot be true; such a file is read like an undeclared one.
            if (resolved && !charsets::IsUtf16(*resolved) && !charsets::IsUtf32(*resolved)) {
                charset = *resolved;
                known = true;
            } else {
                AddResult(L"encoding_ignored", {{L"encoding", declared}});
            }
        }
    }
    const std::string_view body = bytes.substr(skip);
    std::wstring text;
    charsets::DecodeReport report;
    if (known) {
        encodingName = Widen(charset.name);
        charsets::DecodeText(body, charset, text, report);
    } else {
        // Undeclared: UTF-8 when the bytes are valid UTF-8, else the locale's charset.
        AddResult(L"utf8_detection");
        charsets::DecodeUtf8(body, text, report);
        encodingName = L"UTF-8";
        if (report.replaced > 0 || report.truncated) {
            charsets::DecodeReport ansiReport;
            std::wstring ansiText;
            if (charsets::DecodeText(body, charsets::AnsiCharset(), ansiText, ansiReport)) {
                text = std::move(ansiText);
                report = ansiReport;
                encodingName = L"ANSI";
            }
        }
    }
    AddResult(L"read", {{L"encoding", encodingName}, {L"length", std::to_wstring(bytes.size())}});
    if (report.swapped)
        AddResult(L"endian_swap");
    if (report.nullsRemoved > 0)
        AddResult(L"nulls_removed", {{L"count", std::to_wstring(report.nullsRemoved)}});
    if (report.truncated)
        AddResult(L"truncation_error", {{L"encoding", encodingName}});
    if (report.replaced > 0)
        AddResult(L"invalid_bytes", {{L"count", std::to_wstring(report.replaced)}});
    AddResult(L"converted_to", {{L"encoding", L"wide"}, {L"length", std::to_wstring(text.size())}});
    m_text = std::move(text);
    Parse();
    return IsWellFormed();
}

bool CXmlDocument::SaveToBytes(std::string& bytes)
{
    ClearResult();
    bytes.clear();
    charsets::Charset charset = charsets::Utf8Charset();
    std::string mark;
    // A document read with a mark is written in the mark's encoding, as it
    // was read; otherwise in the declared one.
    if (m_bomFlags & kBomUtf16Le) {
        charset = *charsets::FindCharset(L"UTF-16LE");
        mark = "\xFF\xFE";
    } else if (m_bomFlags & kBomUtf16Be) {
        charset = *charsets::FindCharset(L"UTF-16BE");
        mark = "\xFE\xFF";
    } else if (m_bomFlags & kBomUtf8) {
        mark = "\xEF\xBB\xBF";
    } else {
        const std::wstring declared = DeclaredEncoding(std::wstring_view(m_text).substr(0, kHeadLength));
        if (!declared.empty()) {
            if (auto resolved = charsets::ResolveCharset(declared))
                charset = *resolved;
            else
                AddResult(L"encoding_ignored", {{L"encoding", declared}});
        }
    }
    std::string body;
    charsets::EncodeReport report;
    if (!charsets::EncodeText(m_text, charset, body, report)) {
        charset = charsets::Utf8Charset();
        charsets::EncodeText(m_text, charset, body, report);
    }
    bytes = mark + body;
    if (report.lost > 0)
        AddResult(L"conversion_loss", {{L"count", std::to_wstring(report.lost)}});
    AddResult(L"converted_from", {{L"encoding", L"wide"}, {L"length", std::to_wstring(m_text.size())}});
    if (report.swapped)
        AddResult(L"endian_swap");
    AddResult(L"write", {{L"encoding", Widen(charset.name)}, {L"length", std::to_wstring(bytes.size())}});
    return true;
}

bool CXmlDocument::SaveFile(const std::wstring& path)
{
    std::string bytes;
    if (!SaveToBytes(bytes))
        return false;
    if (!platform::WriteFileAtomically(path, bytes)) {
        AddResult(L"file_error", {{L"msg", platform::SystemErrorText(errno)}});
        return false;
    }
    return true;
}

void CXmlDocument::Rewind() { m_parent = m_main = m_child = 0; }

bool CXmlDocument::FindElement(std::wstring_view name)
{
    for (uint32_t i = m_main ? Rec(m_main).next : Rec(m_parent).firstChild; i; i = Rec(i).next) {
        if (name.empty() || NameIs(i, name)) {
            m_main = i;
            m_child = 0;
            return true;
        }
    }
    return false;
}

bool CXmlDocument::FindChildElement(std::wstring_view name)
{
    if (!m_main && !FindElement())
        return false;
    for (uint32_t i = m_child ? Rec(m_child).next : Rec(m_main).firstChild; i; i = Rec(i).next) {
        if (name.empty() || NameIs(i, name)) {
            m_child = i;
            return true;
        }
    }
    return false;
}

bool CXmlDocument::EnterElement()
{
    if (!m_main)
        return false;
    m_parent = m_main;
    m_main = m_child;
    m_child = 0;
    return true;
}

bool CXmlDocument::LeaveElement()
{
    if (!m_parent)
        return false;
    m_child = m_main;
    m_main = m_parent;
    m_parent = Rec(m_parent).parent;
    return true;
}

bool CXmlDocument::AddElement(std::wstring_view name, std::wstring_view text)
{
    if (!IsValidName(name))
        return false;
    std::wstring markup = L"<" + std::wstring(name);
    const bool empty = text.empty();
    if (empty)
        markup += L"/>";
    else
        markup += L">" + EscapeText(text) + L"</" + std::wstring(name) + L">";

    // Each element stands on a line of its own; lines end in CR LF.
    uint32_t parent;
    size_t start;
    if (m_main) {
        parent = Rec(m_main).parent;
        size_t at = Rec(m_main).start + Rec(m_main).length;
        if (m_text.compare(at, 2, L"\r\n") == 0 || m_text.compare(at, 1, L"\n") == 0) {
            at += m_text[at] == L'\r' ? 2 : 1;
            start = at;
            EditText(parent, at, 0, markup + L"\r\n");
        } else {
            start = at + 2;
            EditText(parent, at, 0, L"\r\n" + markup);
        }
    } else if (m_parent == 0) {
        parent = 0;
        const size_t at = m_text.size();
        const bool newLine = !m_text.empty() && m_text.back() != L'\n';
        start = at + (newLine ? 2 : 0);
        EditText(0, at, 0, (newLine ? L"\r\n" : L"") + markup + L"\r\n");
    } else if (Rec(m_parent).flags & kEmptyElement) {
        // The first child turns "<p/>" into "<p>" ... "</p>".
        parent = m_parent;
        const size_t slash = Rec(parent).start + Rec(parent).startTagLength - 2;
        const std::wstring endTag = L"</" + std::wstring(NameOf(parent)) + L">";
        // "<p//>" becomes "<p/ >", never the empty "<p/>".
        const std::wstring close = m_text[slash - 1] == L'/' ? L" >" : L">";
        start = slash + close.size() + 2;
        EditText(parent, slash, 2, close + L"\r\n" + markup + L"\r\n" + endTag);
        ElementRecord& p = Rec(parent);
        p.flags &= ~kEmptyElement;
        p.startTagLength = slash + close.size() - p.start;
        p.endTagLength = static_cast<uint32_t>(endTag.size());
    } else {
        parent = m_parent;
        const ElementRecord& p = Rec(parent);
        const size_t at = p.start + p.length - p.endTagLength;
        if (at > 0 && m_text[at - 1] == L'\n') {
            start = at;
            EditText(parent, at, 0, markup + L"\r\n");
        } else {
            start = at + 2;
            EditText(parent, at, 0, L"\r\n" + markup + L"\r\n");
        }
    }

    const uint32_t e = NewRecord();
    ElementRecord& r = Rec(e);
    r.start = start;
    r.length = markup.size();
    r.startTagLength = empty ? markup.size() : name.size() + 2;
    r.endTagLength = empty ? 0 : static_cast<uint32_t>(name.size() + 3);
    r.flags = empty ? static_cast<uint32_t>(kEmptyElement) : 0u;
    r.level = parent ? Rec(parent).level + 1 : 0;
    if (m_main)
        LinkAfter(m_main, e);
    else
        LinkAsLastChild(parent, e);
    if (parent == 0)
        ++m_topLevelCount;
    m_main = e;
    m_child = 0;
    return true;
}

std::wstring CXmlDocument::GetAttribute(std::wstring_view name) const
{
    if (!m_main || name.empty())
        return {};
    const std::wstring_view tag = StartTagOf(m_main);
    const AttributeSpan span = FindAttribute(tag, 1 + NameOf(m_main).size(), name, false);
    if (!span.found || !span.hasValue)
        return {};
    return Unescape(tag.substr(span.valueStart, span.valueEnd - span.valueStart));
}

bool CXmlDocument::SetAttribute(std::wstring_view name, std::wstring_view value)
{
    if (!m_main || !IsValidName(name))
        return false;
    const std::wstring_view tag = StartTagOf(m_main);
    const size_t tagStart = Rec(m_main).start;
    const AttributeSpan span = FindAttribute(tag, 1 + NameOf(m_main).size(), name, false);
    const std::wstring quoted = L"\"" + EscapeAttribute(value) + L"\"";
    size_t at, removed = 0;
    std::wstring inserted;
    if (span.found && span.hasValue) {
        at = span.quoted ? span.valueStart - 1 : span.valueStart;
        const size_t end = span.quoted ? std::min(span.valueEnd + 1, tag.size()) : span.valueEnd;
        removed = end - at;
        inserted = quoted;
    } else if (span.found) {
        at = span.nameEnd;
        inserted = L"=" + quoted;
    } else {
        // Appended at the end of the start tag, before "/>" or ">".
        at = tag.size() - ((tag.size() >= 2 && tag[tag.size() - 2] == L'/') ? 2 : 1);
        inserted = L" " + std::wstring(name) + L"=" + quoted;
    }
    Rec(m_main).startTagLength += inserted.size() - removed;
    EditText(m_main, tagStart + at, removed, inserted);
    return true;
}

std::wstring CXmlDocument::GetElementText() const
{
    if (!m_main)
        return {};
    const ElementRecord& r = Rec(m_main);
    if ((r.flags & kEmptyElement) || r.firstChild)
        return {};
    const std::wstring_view content =
        std::wstring_view(m_text).substr(r.start + r.startTagLength, r.length - r.startTagLength - r.endTagLength);
    std::wstring out;
    size_t i = 0;
    while (i < content.size()) {
        const size_t lt = content.find(L'<', i);
        out += Unescape(content.substr(i, lt == std::wstring_view::npos ? std::wstring_view::npos : lt - i));
        if (lt == std::wstring_view::npos)
            break;
        const std::wstring_view rest = content.substr(lt);
        const auto skipTo = [&](std::wstring_view closing, size_t from) {
            const size_t close = content.find(closing, lt + from);
            return close == std::wstring_view::npos ? content.size() : close + closing.size();
        };
        if (rest.starts_with(L"<![CDATA[")) {
            const size_t close = content.find(L"]]>", lt + 9);
            out += content.substr(lt + 9, close == std::wstring_view::npos ? std::wstring_view::npos : close - lt - 9);
            i = close == std::wstring_view::npos ? content.size() : close + 3;
        } else if (rest.starts_with(L"<!--")) {
            i = skipTo(L"-->", 4);
        } else if (rest.starts_with(L"<?")) {
            i = skipTo(L"?>", 2);
        } else {
            out += L'<';  // a stray '<' in ill-formed text
            i = lt + 1;
        }
    }
    return out;
}

std::wstring CXmlDocument::GetTagName() const { return m_main ? std::wstring(NameOf(m_main)) : std::wstring(); }

namespace {

std::wstring Escape(std::wstring_view text, bool attribute)
{
    std::wstring out;
    out.reserve(text.size() + text.size() / 8);
    for (wchar_t c : text) {
        switch (c) {
        case L'<': out += L"&lt;"; break;
        case L'&': out += L"&amp;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"':
            if (attribute)
                out += L"&quot;";
            else
                out += c;
            break;
        case L'\'':
            if (attribute)
                out += L"&apos;";
            else
                out += c;
            break;
        default: out += c;
        }
    }
    return out;
}

// A character reference "&#...;" at text[at]; its character and length, or 0.
size_t CharacterReference(std::wstring_view text, size_t at, wchar_t& out)
{
    size_t i = at + 2;
    const bool hex = i < text.size() && (text[i] == L'x' || text[i] == L'X');
    if (hex)
        ++i;
    const size_t digitsStart = i;
    uint32_t value = 0;
    bool tooLarge = false;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        uint32_t digit;
        if (c >= L'0' && c <= L'9')
            digit = static_cast<uint32_t>(c - L'0');
        else if (hex && c >= L'a' && c <= L'f')
            digit = static_cast<uint32_t>(c - L'a' + 10);
        else if (hex && c >= L'A' && c <= L'F')
            digit = static_cast<uint32_t>(c - L'A' + 10);
        else
            break;
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) {
            tooLarge = true;
            value = 0x110000;  // stays out of range however many digits follow
        }
    }
    if (i == digitsStart || i >= text.size() || text[i] != L';' || tooLarge)
        return 0;
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    out = static_cast<wchar_t>(value);
    return i + 1 - at;
}

}  // namespace

std::wstring CXmlDocument::EscapeText(std::wstring_view text) { return Escape(text, false); }

std::wstring CXmlDocument::EscapeAttribute(std::wstring_view value) { return Escape(value, true); }

std::wstring CXmlDocument::Unescape(std::wstring_view text)
{
    static const std::pair<std::wstring_view, wchar_t> kEntities[] = {
        {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&amp;", L'&'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}};
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t amp = text.find(L'&', i);
        if (amp == std::wstring_view::npos) {
            out += text.substr(i);
            break;
        }
        out += text.substr(i, amp - i);
        const std::wstring_view rest = text.substr(amp);
        size_t length = 0;
        wchar_t c = L'&';
        if (rest.size() > 1 && rest[1] == L'#') {
            length = CharacterReference(text, amp, c);
        } else {
            for (const auto& [entity, character] : kEntities) {
                if (rest.starts_with(entity)) {
                    length = entity.size();
                    c = character;
                    break;
                }
            }
        }
        out += c;  // an unknown reference keeps its '&' and reads on as text
        i = amp + (length ? length : 1);
    }
    return out;
}

std::wstring CXmlDocument::MakeCdataSection(std::wstring_view text)
{
    std::wstring out = L"<![CDATA[";
    size_t i = 0;
    for (size_t at = text.find(L"]]>"); at != std::wstring_view::npos; at = text.find(L"]]>", i)) {
        out += text.substr(i, at - i);
        out += L"]]]]><![CDATA[>";
        i = at + 3;
    }
    out += text.substr(i);
    out += L"]]>";
    return out;
}

std::wstring CXmlDocument::DeclaredEncoding(std::wstring_view head)
{
    const size_t i = SkipSpace(head, 0);
    if (head.substr(i).starts_with(L"<?xml") && i + 5 < head.size() && IsSpace(head[i + 5])) {
        const size_t close = head.find(L"?>", i);
        const std::wstring_view tag = head.substr(i, close == std::wstring_view::npos ? std::wstring_view::npos : close + 2 - i);
        const AttributeSpan span = FindAttribute(tag, 5, L"encoding", false);
        if (span.found && span.hasValue)
            return std::wstring(tag.substr(span.valueStart, span.valueEnd - span.valueStart));
        return {};
    }
    return HtmlMetaCharset(head);
}
