#include "XmlDocument.h"

#include "Charsets.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cerrno>
#include <cstring>
#include <unordered_map>

namespace {

// Larger files are refused rather than read: the program's XML files are a
// few kilobytes, and a set description of a few thousand layers a megabyte.
constexpr int64_t kMaxFileBytes = 64ll * 1024 * 1024;
// The first block of a file, where a declaration is looked for.
constexpr size_t kHeadLength = 1024;
// Records are added to the result text only while it is shorter than this.
constexpr size_t kResultLimit = 1000;

constexpr size_t kStop = std::string::npos;

// The document text is UTF-8; the helpers below serve it and the wide texts
// of the public interface alike. Every byte of a multi-byte UTF-8 character
// is 0x80 or above, so the ASCII syntax characters are found byte by byte.
template <typename C>
inline uint32_t Code(C c)
{
    if constexpr (sizeof(C) == 1)
        return static_cast<unsigned char>(c);
    else
        return static_cast<uint32_t>(c);
}

template <typename C>
inline bool IsSpace(C c)
{
    return c == C(' ') || c == C('\t') || c == C('\r') || c == C('\n');
}

template <typename C>
inline bool IsNameStart(C c)
{
    const uint32_t u = Code(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == ':' || u >= 0x80;
}

template <typename C>
inline bool IsNameChar(C c)
{
    const uint32_t u = Code(c);
    return IsNameStart(c) || (u >= '0' && u <= '9') || u == '-' || u == '.';
}

bool IsValidName(std::string_view name)
{
    if (name.empty() || !IsNameStart(name[0]))
        return false;
    for (char c : name) {
        if (!IsNameChar(c))
            return false;
    }
    return true;
}

template <typename C>
C LowerAscii(C c)
{
    return (c >= C('A') && c <= C('Z')) ? static_cast<C>(c + (C('a') - C('A'))) : c;
}

template <typename C>
bool EqualNames(std::basic_string_view<C> a, std::basic_string_view<C> b, bool ignoreCase)
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

template <typename C>
std::basic_string<C> LowerAsciiCopy(std::basic_string_view<C> text)
{
    std::basic_string<C> out(text);
    for (C& c : out)
        c = LowerAscii(c);
    return out;
}

template <typename C>
bool IsEndOfTag(std::basic_string_view<C> tag, size_t i)
{
    return tag[i] == C('>') || ((tag[i] == C('/') || tag[i] == C('?')) && i + 1 < tag.size() && tag[i + 1] == C('>'));
}

// A literal in the text's own character type (ASCII only).
template <typename C>
std::basic_string<C> Ascii(std::string_view text)
{
    return std::basic_string<C>(text.begin(), text.end());
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
template <typename C>
AttributeSpan FindAttribute(std::basic_string_view<C> tag, size_t from, std::basic_string_view<C> name, bool ignoreCase)
{
    constexpr auto npos = std::basic_string_view<C>::npos;
    const size_t n = tag.size();
    size_t i = from;
    while (i < n) {
        while (i < n && IsSpace(tag[i]))
            ++i;
        if (i >= n || tag[i] == C('>'))
            break;
        if (tag[i] == C('/') || tag[i] == C('?')) {
            ++i;
            continue;
        }
        if (tag[i] == C('"') || tag[i] == C('\'')) {  // a stray quoted run
            const size_t close = tag.find(tag[i], i + 1);
            i = close == npos ? n : close + 1;
            continue;
        }
        const size_t nameStart = i;
        while (i < n && !IsSpace(tag[i]) && tag[i] != C('=') && tag[i] != C('"') && tag[i] != C('\'') &&
               !IsEndOfTag(tag, i))
            ++i;
        AttributeSpan span;
        span.nameEnd = i;
        size_t j = i;
        while (j < n && IsSpace(tag[j]))
            ++j;
        if (j < n && tag[j] == C('=')) {
            ++j;
            while (j < n && IsSpace(tag[j]))
                ++j;
            span.hasValue = true;
            if (j < n && (tag[j] == C('"') || tag[j] == C('\''))) {
                const size_t close = tag.find(tag[j], j + 1);
                span.quoted = true;
                span.valueStart = j + 1;
                span.valueEnd = close == npos ? n : close;
                i = close == npos ? n : close + 1;
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

template <typename C>
size_t SkipSpace(std::basic_string_view<C> text, size_t i)
{
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    return i;
}

// The charset named in an HTML meta element of the head.
template <typename C>
std::basic_string<C> HtmlMetaCharset(std::basic_string_view<C> head)
{
    using View = std::basic_string_view<C>;
    constexpr auto npos = View::npos;
    const std::basic_string<C> lower = LowerAsciiCopy(head);
    const size_t html = lower.find(Ascii<C>("<html"));
    if (html == npos)
        return {};
    const size_t headTag = lower.find(Ascii<C>("<head"), html);
    if (headTag == npos)
        return {};
    const size_t stop = std::min(lower.find(Ascii<C>("</head"), headTag), lower.find(Ascii<C>("<body"), headTag));
    const std::basic_string<C> metaWord = Ascii<C>("<meta"), charsetWord = Ascii<C>("charset"),
                               contentWord = Ascii<C>("content");
    for (size_t meta = lower.find(metaWord, headTag); meta < stop; meta = lower.find(metaWord, meta + 5)) {
        const size_t close = lower.find(C('>'), meta);
        const View tag = head.substr(meta, close == npos ? npos : close + 1 - meta);
        const AttributeSpan charset = FindAttribute(tag, 5, View(charsetWord), true);
        if (charset.found && charset.valueEnd > charset.valueStart)
            return std::basic_string<C>(tag.substr(charset.valueStart, charset.valueEnd - charset.valueStart));
        const AttributeSpan content = FindAttribute(tag, 5, View(contentWord), true);
        if (!content.found)
            continue;
        const View value = tag.substr(content.valueStart, content.valueEnd - content.valueStart);
        const size_t at = LowerAsciiCopy(value).find(charsetWord);
        if (at == npos)
            continue;
        size_t i = SkipSpace(value, at + 7);
        if (i >= value.size() || value[i] != C('='))
            continue;
        i = SkipSpace(value, i + 1);
        size_t end = i;
        while (end < value.size() && !IsSpace(value[end]) && value[end] != C(';') && value[end] != C('"') &&
               value[end] != C('\''))
            ++end;
        if (end > i)
            return std::basic_string<C>(value.substr(i, end - i));
    }
    return {};
}

template <typename C>
std::basic_string<C> DeclaredEncodingIn(std::basic_string_view<C> head)
{
    using View = std::basic_string_view<C>;
    const size_t i = SkipSpace(head, 0);
    if (head.substr(i).starts_with(View(Ascii<C>("<?xml"))) && i + 5 < head.size() && IsSpace(head[i + 5])) {
        const size_t close = head.find(View(Ascii<C>("?>")), i);
        const View tag = head.substr(i, close == View::npos ? View::npos : close + 2 - i);
        const std::basic_string<C> encoding = Ascii<C>("encoding");
        const AttributeSpan span = FindAttribute(tag, 5, View(encoding), false);
        if (span.found && span.hasValue)
            return std::basic_string<C>(tag.substr(span.valueStart, span.valueEnd - span.valueStart));
        return {};
    }
    return HtmlMetaCharset(head);
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

// ---- escaping -------------------------------------------------------------

template <typename C>
void AppendCodePoint(std::basic_string<C>& out, uint32_t c)
{
    if constexpr (sizeof(C) == 1)
        charsets::AppendUtf8(out, c);
    else
        out += static_cast<C>(c);
}

template <typename C>
void AppendHexReference(std::basic_string<C>& out, uint32_t c)
{
    static const char kDigits[] = "0123456789ABCDEF";
    out += Ascii<C>("&#x");
    if (c >= 0x10)
        out += C(kDigits[(c >> 4) & 0xF]);
    out += C(kDigits[c & 0xF]);
    out += C(';');
}

// Markup characters become entities. Control characters, which no XML
// document may hold as they are, become character references; so do tab,
// line feed and carriage return in attribute values, where a reader would
// turn them into blanks, and a carriage return in text, where a reader would
// turn it into a line feed.
template <typename C>
std::basic_string<C> Escape(std::basic_string_view<C> text, bool attribute)
{
    std::basic_string<C> out;
    out.reserve(text.size() + text.size() / 8);
    for (C c : text) {
        const uint32_t u = Code(c);
        switch (u) {
        case '<': out += Ascii<C>("&lt;"); break;
        case '&': out += Ascii<C>("&amp;"); break;
        case '>': out += Ascii<C>("&gt;"); break;
        case '"':
            if (attribute)
                out += Ascii<C>("&quot;");
            else
                out += c;
            break;
        case '\'':
            if (attribute)
                out += Ascii<C>("&apos;");
            else
                out += c;
            break;
        default:
            // (NUL has no reference; it stays as it is, for callers to refuse.)
            if (u != 0 && u < 0x20 && (attribute || (u != '\t' && u != '\n')))
                AppendHexReference(out, u);
            else
                out += c;
        }
    }
    return out;
}

// A character reference "&#...;" at text[at]; its length, or 0.
template <typename C>
size_t CharacterReference(std::basic_string_view<C> text, size_t at, uint32_t& out)
{
    size_t i = at + 2;
    const bool hex = i < text.size() && (text[i] == C('x') || text[i] == C('X'));
    if (hex)
        ++i;
    const size_t digitsStart = i;
    uint32_t value = 0;
    bool tooLarge = false;
    for (; i < text.size(); ++i) {
        const uint32_t c = Code(text[i]);
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) {
            tooLarge = true;
            value = 0x110000;  // stays out of range however many digits follow
        }
    }
    if (i == digitsStart || i >= text.size() || text[i] != C(';') || tooLarge)
        return 0;
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    out = value;
    return i + 1 - at;
}

template <typename C>
std::basic_string<C> UnescapeText(std::basic_string_view<C> text)
{
    using View = std::basic_string_view<C>;
    static const std::pair<std::basic_string<C>, C> kEntities[] = {{Ascii<C>("&lt;"), C('<')},
                                                                   {Ascii<C>("&gt;"), C('>')},
                                                                   {Ascii<C>("&amp;"), C('&')},
                                                                   {Ascii<C>("&quot;"), C('"')},
                                                                   {Ascii<C>("&apos;"), C('\'')}};
    std::basic_string<C> out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t amp = text.find(C('&'), i);
        if (amp == View::npos) {
            out += text.substr(i);
            break;
        }
        out += text.substr(i, amp - i);
        const View rest = text.substr(amp);
        size_t length = 0;
        uint32_t c = '&';
        if (rest.size() > 1 && rest[1] == C('#')) {
            length = CharacterReference(text, amp, c);
        } else {
            for (const auto& [entity, character] : kEntities) {
                if (rest.starts_with(View(entity))) {
                    length = entity.size();
                    c = Code(character);
                    break;
                }
            }
        }
        if (length == 0)
            c = '&';  // an unknown reference keeps its '&' and reads on as text
        AppendCodePoint(out, c);
        i = amp + (length ? length : 1);
    }
    return out;
}

std::string Utf8(std::wstring_view text) { return platform::WideToUtf8(text); }
std::wstring Wide(std::string_view text) { return platform::Utf8ToWide(text); }

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
            const void* found = std::memchr(m_t + pos, '<', m_n - pos);
            if (!found)
                break;
            const size_t p = static_cast<size_t>(static_cast<const char*>(found) - m_t);
            if (p + 1 >= m_n) {
                Fault(L"unterminated_tag_syntax", p, L"start_tag");
                break;
            }
            const char c = m_t[p + 1];
            size_t next;
            if (IsNameStart(c))
                next = StartTag(p);
            else if (c == '/')
                next = EndTag(p);
            else if (c == '?')
                next = Instruction(p);
            else if (c == '!')
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
    std::string_view Text() const { return std::string_view(m_t, m_n); }

    bool StartsWith(size_t p, std::string_view s, bool ignoreCase = false) const
    {
        return m_n - p >= s.size() && EqualNames(Text().substr(p, s.size()), s, ignoreCase);
    }

    // Where the next quote character ch stands from i on, or m_n.
    size_t FindByte(size_t i, char ch) const
    {
        const void* found = i < m_n ? std::memchr(m_t + i, ch, m_n - i) : nullptr;
        return found ? static_cast<size_t>(static_cast<const char*>(found) - m_t) : m_n;
    }

    void Fault(std::wstring_view word, size_t offset, std::wstring_view type = {}, std::string_view name = {})
    {
        m_doc.m_illFormed = true;
        if (m_doc.m_result.size() >= kResultLimit)
            return;  // no room for the record: skip building it
        if (!name.empty())
            m_doc.AddResult(word, {{L"tagname", Wide(name)}, {L"offset", std::to_wstring(offset)}});
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
            const char ch = m_t[i];
            if (ch == '>')
                break;
            if (ch == '"' || ch == '\'') {
                const size_t close = FindByte(i + 1, ch);
                i = close >= m_n ? m_n : close + 1;
                continue;
            }
            if (ch == '<') {  // a new tag begins before this one ended
                Fault(L"unterminated_tag_syntax", p, L"start_tag");
                return i;
            }
            ++i;
        }
        if (i >= m_n) {
            Fault(L"unterminated_tag_syntax", p, L"start_tag");
            return kStop;
        }
        const bool empty = m_t[i - 1] == '/' && i - 1 >= nameEnd;
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
            m_doc.AddResult(L"root_has_sibling", {{L"tagname", Wide(Text().substr(p + 1, nameEnd - p - 1))},
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
        const std::string_view name = Text().substr(nameStart, i - nameStart);
        while (i < m_n && IsSpace(m_t[i]))
            ++i;
        if (i < m_n && m_t[i] != '>') {
            Fault(L"first_tag_syntax", p, L"end_tag");
            while (i < m_n && m_t[i] != '>' && m_t[i] != '<')
                ++i;
        }
        if (i >= m_n) {
            Fault(L"unterminated_tag_syntax", p, L"end_tag");
            return kStop;
        }
        if (m_t[i] == '<') {
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
        const size_t close = Text().find("?>", p + 2);
        if (close == std::string_view::npos) {
            Fault(L"unterminated_tag_syntax", p, L"processing_instruction");
            return kStop;
        }
        return close + 2;
    }

    size_t Exclamation(size_t p)
    {
        if (StartsWith(p, "<!--")) {
            const size_t close = Text().find("-->", p + 4);
            if (close == std::string_view::npos) {
                Fault(L"comment_tag_syntax", p, L"comment");
                return kStop;
            }
            return close + 3;
        }
        if (StartsWith(p, "<![CDATA[")) {
            const size_t close = Text().find("]]>", p + 9);
            if (close == std::string_view::npos) {
                Fault(L"cdata_section_syntax", p, L"cdata_section");
                return kStop;
            }
            return close + 3;
        }
        if (StartsWith(p, "<!DOCTYPE", true))
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
            const char ch = m_t[i];
            if (ch == '"' || ch == '\'') {
                const size_t close = FindByte(i + 1, ch);
                if (close >= m_n)
                    break;
                i = close + 1;
                continue;
            }
            if (ch == '<' && StartsWith(i, "<!--")) {
                const size_t close = Text().find("-->", i + 4);
                if (close == std::string_view::npos)
                    break;
                i = close + 3;
                continue;
            }
            if (ch == '[')
                ++depth;
            else if (ch == ']' && depth > 0)
                --depth;
            else if (ch == '>' && depth == 0)
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
    const char* m_t;
    size_t m_n;
    std::vector<uint32_t> m_open;  // open elements, the document node first
    bool m_counting = false;
    std::unordered_map<std::string_view, uint32_t> m_openNames;
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

bool CXmlDocument::NameIs(uint32_t element, std::string_view name) const
{
    const size_t at = Rec(element).start + 1;
    if (m_text.size() - at < name.size() || m_text.compare(at, name.size(), name) != 0)
        return false;
    return at + name.size() >= m_text.size() || !IsNameChar(m_text[at + name.size()]);
}

std::string_view CXmlDocument::NameOf(uint32_t element) const
{
    const size_t at = Rec(element).start + 1;
    size_t end = at;
    while (end < m_text.size() && IsNameChar(m_text[end]))
        ++end;
    return std::string_view(m_text).substr(at, end - at);
}

std::string_view CXmlDocument::StartTagOf(uint32_t element) const
{
    const ElementRecord& r = Rec(element);
    return std::string_view(m_text).substr(r.start, r.startTagLength);
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

void CXmlDocument::EditText(uint32_t element, size_t at, size_t removed, std::string_view inserted)
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
    m_text = Utf8(text);
    Parse();
    return IsWellFormed();
}

std::wstring CXmlDocument::GetDocumentText() const { return Wide(m_text); }

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
    return DecodeAndParse(std::move(*bytes));
}

bool CXmlDocument::LoadFromBytes(std::string_view bytes)
{
    ClearResult();
    m_bomFlags = 0;
    return DecodeAndParse(std::string(bytes));
}

bool CXmlDocument::DecodeAndParse(std::string&& bytes)
{
    const auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    charsets::Charset charset;
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
        const std::string declared = DeclaredEncodingIn(std::string_view(bytes).substr(0, kHeadLength));
        if (!declared.empty()) {
            const auto resolved = charsets::ResolveCharset(Widen(declared));
            // A UTF-16 or UTF-32 declaration in a text readable byte for byte
            // cannot be true; such a file is read like an undeclared one.
            if (resolved && !charsets::IsUtf16(*resolved) && !charsets::IsUtf32(*resolved)) {
                charset = *resolved;
                known = true;
            } else {
                AddResult(L"encoding_ignored", {{L"encoding", Widen(declared)}});
            }
        }
    }
    const size_t length = bytes.size();
    std::wstring encodingName;
    charsets::DecodeReport report;
    if (!known) {
        // Undeclared: UTF-8 when the bytes are valid UTF-8, else the charset
        // such files are written in.
        AddResult(L"utf8_detection");
        known = true;
        charset = charsets::IsValidUtf8(bytes) ? charsets::Utf8Charset() : charsets::LegacyTextCharset();
        encodingName = charset.codePage == charsets::kCodePageUtf8 ? L"UTF-8" : L"ANSI";
    } else {
        encodingName = Widen(charset.name);
    }
    if (charset.codePage == charsets::kCodePageUtf8) {
        // Taken over as it is: no copy of a large file.
        bytes.erase(0, skip);
        charsets::MakeValidUtf8(bytes, report);
        m_text = std::move(bytes);
    } else {
        std::string text;
        charsets::DecodeText(std::string_view(bytes).substr(skip), charset, text, report);
        std::string().swap(bytes);
        m_text = std::move(text);
    }
    AddResult(L"read", {{L"encoding", encodingName}, {L"length", std::to_wstring(length)}});
    if (report.swapped)
        AddResult(L"endian_swap");
    if (report.nullsRemoved > 0)
        AddResult(L"nulls_removed", {{L"count", std::to_wstring(report.nullsRemoved)}});
    if (report.truncated)
        AddResult(L"truncation_error", {{L"encoding", encodingName}});
    if (report.replaced > 0)
        AddResult(L"invalid_bytes", {{L"count", std::to_wstring(report.replaced)}});
    if (charset.codePage != charsets::kCodePageUtf8)
        AddResult(L"converted_to", {{L"encoding", L"UTF-8"}, {L"length", std::to_wstring(m_text.size())}});
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
        const std::string declared = DeclaredEncodingIn(std::string_view(m_text).substr(0, kHeadLength));
        if (!declared.empty()) {
            if (auto resolved = charsets::ResolveCharset(Widen(declared)))
                charset = *resolved;
            else
                AddResult(L"encoding_ignored", {{L"encoding", Widen(declared)}});
        }
    }
    charsets::EncodeReport report;
    bytes = mark;
    if (charset.codePage == charsets::kCodePageUtf8) {
        bytes += m_text;
    } else {
        std::string body;
        if (!charsets::EncodeText(m_text, charset, body, report)) {
            charset = charsets::Utf8Charset();
            body = m_text;
        }
        bytes += body;
        AddResult(L"converted_from", {{L"encoding", L"UTF-8"}, {L"length", std::to_wstring(m_text.size())}});
    }
    if (report.lost > 0)
        AddResult(L"conversion_loss", {{L"count", std::to_wstring(report.lost)}});
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
    const std::string wanted = Utf8(name);
    for (uint32_t i = m_main ? Rec(m_main).next : Rec(m_parent).firstChild; i; i = Rec(i).next) {
        if (wanted.empty() || NameIs(i, wanted)) {
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
    const std::string wanted = Utf8(name);
    for (uint32_t i = m_child ? Rec(m_child).next : Rec(m_main).firstChild; i; i = Rec(i).next) {
        if (wanted.empty() || NameIs(i, wanted)) {
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

bool CXmlDocument::AddElement(std::wstring_view wideName, std::wstring_view text)
{
    const std::string name = Utf8(wideName);
    if (!IsValidName(name))
        return false;
    std::string markup = "<" + name;
    const bool empty = text.empty();
    if (empty)
        markup += "/>";
    else
        markup += ">" + Utf8(EscapeText(text)) + "</" + name + ">";

    // Each element stands on a line of its own; lines end in CR LF.
    uint32_t parent;
    size_t start;
    if (m_main) {
        parent = Rec(m_main).parent;
        size_t at = Rec(m_main).start + Rec(m_main).length;
        if (m_text.compare(at, 2, "\r\n") == 0 || m_text.compare(at, 1, "\n") == 0) {
            at += m_text[at] == '\r' ? 2 : 1;
            start = at;
            EditText(parent, at, 0, markup + "\r\n");
        } else {
            start = at + 2;
            EditText(parent, at, 0, "\r\n" + markup);
        }
    } else if (m_parent == 0) {
        parent = 0;
        const size_t at = m_text.size();
        const bool newLine = !m_text.empty() && m_text.back() != '\n';
        start = at + (newLine ? 2 : 0);
        EditText(0, at, 0, (newLine ? "\r\n" : "") + markup + "\r\n");
    } else if (Rec(m_parent).flags & kEmptyElement) {
        // The first child turns "<p/>" into "<p>" ... "</p>".
        parent = m_parent;
        const size_t slash = Rec(parent).start + Rec(parent).startTagLength - 2;
        const std::string endTag = "</" + std::string(NameOf(parent)) + ">";
        // "<p//>" becomes "<p/ >", never the empty "<p/>".
        const std::string close = m_text[slash - 1] == '/' ? " >" : ">";
        start = slash + close.size() + 2;
        EditText(parent, slash, 2, close + "\r\n" + markup + "\r\n" + endTag);
        ElementRecord& p = Rec(parent);
        p.flags &= ~kEmptyElement;
        p.startTagLength = slash + close.size() - p.start;
        p.endTagLength = static_cast<uint32_t>(endTag.size());
    } else {
        parent = m_parent;
        const ElementRecord& p = Rec(parent);
        const size_t at = p.start + p.length - p.endTagLength;
        if (at > 0 && m_text[at - 1] == '\n') {
            start = at;
            EditText(parent, at, 0, markup + "\r\n");
        } else {
            start = at + 2;
            EditText(parent, at, 0, "\r\n" + markup + "\r\n");
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

std::wstring CXmlDocument::GetAttribute(std::wstring_view wideName) const
{
    if (!m_main || wideName.empty())
        return {};
    const std::string name = Utf8(wideName);
    const std::string_view tag = StartTagOf(m_main);
    const AttributeSpan span = FindAttribute(tag, 1 + NameOf(m_main).size(), std::string_view(name), false);
    if (!span.found || !span.hasValue)
        return {};
    return Wide(UnescapeText(tag.substr(span.valueStart, span.valueEnd - span.valueStart)));
}

bool CXmlDocument::SetAttribute(std::wstring_view wideName, std::wstring_view value)
{
    const std::string name = Utf8(wideName);
    if (!m_main || !IsValidName(name))
        return false;
    const std::string_view tag = StartTagOf(m_main);
    const size_t tagStart = Rec(m_main).start;
    const AttributeSpan span = FindAttribute(tag, 1 + NameOf(m_main).size(), std::string_view(name), false);
    const std::string quoted = "\"" + Utf8(EscapeAttribute(value)) + "\"";
    size_t at, removed = 0;
    std::string inserted;
    if (span.found && span.hasValue) {
        at = span.quoted ? span.valueStart - 1 : span.valueStart;
        const size_t end = span.quoted ? std::min(span.valueEnd + 1, tag.size()) : span.valueEnd;
        removed = end - at;
        inserted = quoted;
    } else if (span.found) {
        at = span.nameEnd;
        inserted = "=" + quoted;
    } else {
        // Appended at the end of the start tag, before "/>" or ">".
        at = tag.size() - ((tag.size() >= 2 && tag[tag.size() - 2] == '/') ? 2 : 1);
        inserted = " " + name + "=" + quoted;
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
    constexpr auto npos = std::string_view::npos;
    const std::string_view content =
        std::string_view(m_text).substr(r.start + r.startTagLength, r.length - r.startTagLength - r.endTagLength);
    std::string out;
    size_t i = 0;
    while (i < content.size()) {
        const size_t lt = content.find('<', i);
        out += UnescapeText(content.substr(i, lt == npos ? npos : lt - i));
        if (lt == npos)
            break;
        const std::string_view rest = content.substr(lt);
        const auto skipTo = [&](std::string_view closing, size_t from) {
            const size_t close = content.find(closing, lt + from);
            return close == npos ? content.size() : close + closing.size();
        };
        if (rest.starts_with("<![CDATA[")) {
            const size_t close = content.find("]]>", lt + 9);
            out += content.substr(lt + 9, close == npos ? npos : close - lt - 9);
            i = close == npos ? content.size() : close + 3;
        } else if (rest.starts_with("<!--")) {
            i = skipTo("-->", 4);
        } else if (rest.starts_with("<?")) {
            i = skipTo("?>", 2);
        } else {
            out += '<';  // a stray '<' in ill-formed text
            i = lt + 1;
        }
    }
    return Wide(out);
}

std::wstring CXmlDocument::GetTagName() const { return m_main ? Wide(NameOf(m_main)) : std::wstring(); }

std::wstring CXmlDocument::EscapeText(std::wstring_view text) { return Escape(text, false); }

std::wstring CXmlDocument::EscapeAttribute(std::wstring_view value) { return Escape(value, true); }

std::wstring CXmlDocument::Unescape(std::wstring_view text) { return UnescapeText(text); }

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

std::wstring CXmlDocument::DeclaredEncoding(std::wstring_view head) { return DeclaredEncodingIn(head); }
