#include "IniFile.h"

#include "FileUtil.h"
#include "TextConv.h"

#include <algorithm>
#include <cwctype>

namespace platform {

namespace {

bool IsBlank(wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; }

std::wstring_view Trim(std::wstring_view text)
{
    size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin]))
        ++begin;
    size_t end = text.size();
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::wstring_view TrimEnd(std::wstring_view text)
{
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

bool HasLineBreak(std::wstring_view text) { return text.find_first_of(L"\r\n") != std::wstring_view::npos; }

// The profile functions hand out a value without one pair of enclosing quotes.
std::wstring Unquote(std::wstring_view value)
{
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
        return std::wstring(value.substr(1, value.size() - 2));
    return std::wstring(value);
}

std::string EncodeUtf16(std::wstring_view text, bool littleEndian)
{
    const std::u16string units = WideToUtf16(text);
    std::string bytes;
    bytes.reserve(units.size() * 2 + 2);
    const auto put = [&](char16_t u) {
        const char lo = static_cast<char>(u & 0xFF);
        const char hi = static_cast<char>(u >> 8);
        bytes += littleEndian ? lo : hi;
        bytes += littleEndian ? hi : lo;
    };
    put(0xFEFF);
    for (char16_t u : units)
        put(u);
    return bytes;
}

std::wstring DecodeUtf16(std::string_view bytes, bool littleEndian)
{
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(littleEndian ? (a | (b << 8)) : ((a << 8) | b));
    }
    return Utf16ToWide(units);
}

std::string EncodeText(std::wstring_view text, IniEncoding encoding)
{
    switch (encoding) {
    case IniEncoding::Utf16LE:
        return EncodeUtf16(text, true);
    case IniEncoding::Utf16BE:
        return EncodeUtf16(text, false);
    case IniEncoding::Utf8Bom:
        return "\xEF\xBB\xBF" + WideToUtf8(text);
    case IniEncoding::Ansi:
        break;
    }
    return WideToAnsi(text);
}

}  // namespace

bool IniNamesEqual(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
            return false;
    }
    return true;
}

IniFile::Line IniFile::ParseLine(std::wstring text, std::wstring lineBreak)
{
    Line line;
    line.text = std::move(text);
    line.lineBreak = std::move(lineBreak);
    const std::wstring_view t = Trim(line.text);
    if (t.empty() || t.front() == L';')
        return line;
    if (t.front() == L'[') {
        const size_t close = t.rfind(L']');
        if (close != std::wstring_view::npos) {
            line.kind = LineKind::Section;
            line.name = Trim(t.substr(1, close - 1));
        }
        return line;
    }
    const size_t equals = t.find(L'=');
    if (equals == std::wstring_view::npos)
        return line;
    const std::wstring_view name = Trim(t.substr(0, equals));
    if (name.empty())
        return line;
    line.kind = LineKind::Key;
    line.name = name;
    line.value = Trim(t.substr(equals + 1));
    return line;
}

IniFile IniFile::FromText(std::wstring_view text, IniEncoding encoding)
{
    IniFile file;
    file.m_encoding = encoding;
    bool breakKnown = false;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos) {
            file.m_lines.push_back(ParseLine(std::wstring(text.substr(start)), L""));
            break;
        }
        const size_t breakLength = (text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ? 2 : 1;
        std::wstring lineBreak(text.substr(end, breakLength));
        if (!breakKnown) {
            file.m_lineBreak = lineBreak;
            breakKnown = true;
        }
        file.m_lines.push_back(ParseLine(std::wstring(text.substr(start, end - start)), std::move(lineBreak)));
        start = end + breakLength;
    }
    return file;
}

IniFile IniFile::FromBytes(std::string_view bytes)
{
    IniFile file;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
        file = FromText(DecodeUtf16(bytes.substr(2), true), IniEncoding::Utf16LE);
    else if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF')
        file = FromText(DecodeUtf16(bytes.substr(2), false), IniEncoding::Utf16BE);
    else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        file = FromText(Utf8ToWide(bytes.substr(3)), IniEncoding::Utf8Bom);
    else
        file = FromText(AnsiToWide(bytes), IniEncoding::Ansi);
    // Text that does not decode cleanly (a stray byte, a broken surrogate)
    // would come back changed: such a file is read but never rewritten.
    file.m_writable = file.ToBytes() == bytes;
    return file;
}

std::optional<IniFile> IniFile::Load(const std::wstring& path)
{
    if (!PathExists(path))
        return IniFile();
    const int64_t size = FileSize(path);
    if (size < 0 || size > kMaxIniFileBytes)
        return std::nullopt;
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes || static_cast<int64_t>(bytes->size()) > kMaxIniFileBytes)
        return std::nullopt;
    return FromBytes(*bytes);
}

std::vector<std::pair<size_t, size_t>> IniFile::SectionRanges(std::wstring_view section) const
{
    const std::wstring_view wanted = Trim(section);
    std::vector<std::pair<size_t, size_t>> ranges;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != LineKind::Section || !IniNamesEqual(m_lines[i].name, wanted))
            continue;
        size_t end = i + 1;
        while (end < m_lines.size() && m_lines[end].kind != LineKind::Section)
            ++end;
        ranges.emplace_back(i, end);
    }
    return ranges;
}

std::optional<size_t> IniFile::FindKeyLine(std::wstring_view section, std::wstring_view key) const
{
    const std::wstring_view wanted = Trim(key);
    for (const auto& [begin, end] : SectionRanges(section)) {
        for (size_t i = begin + 1; i < end; ++i) {
            if (m_lines[i].kind == LineKind::Key && IniNamesEqual(m_lines[i].name, wanted))
                return i;
        }
    }
    return std::nullopt;
}

std::optional<std::wstring> IniFile::Get(std::wstring_view section, std::wstring_view key) const
{
    const std::optional<size_t> line = FindKeyLine(section, key);
    if (!line)
        return std::nullopt;
    return Unquote(m_lines[*line].value);
}

bool IniFile::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value)
{
    const std::wstring_view sectionName = Trim(section);
    const std::wstring_view keyName = Trim(key);
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return false;
    if (keyName.empty() || keyName.find(L'=') != std::wstring_view::npos || keyName.front() == L'[' ||
        keyName.front() == L';')
        return false;
    if (sectionName.find(L']') != std::wstring_view::npos)
        return false;

    if (const std::optional<size_t> found = FindKeyLine(sectionName, keyName)) {
        Line& line = m_lines[*found];
        line = ParseLine(line.name + L"=" + std::wstring(value), line.lineBreak);
        return true;
    }

    Line keyLine = ParseLine(std::wstring(keyName) + L"=" + std::wstring(value), m_lineBreak);
    const auto ranges = SectionRanges(sectionName);
    if (!ranges.empty()) {
        // After the section's last non-blank line, so blank lines that
        // separate it from the next section stay where they are.
        const auto [begin, end] = ranges.front();
        size_t at = end;
        while (at > begin + 1 && Trim(m_lines[at - 1].text).empty())
            --at;
        if (m_lines[at - 1].lineBreak.empty())
            m_lines[at - 1].lineBreak = m_lineBreak;
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(keyLine));
        return true;
    }
    if (!m_lines.empty() && m_lines.back().lineBreak.empty())
        m_lines.back().lineBreak = m_lineBreak;
    m_lines.push_back(ParseLine(L"[" + std::wstring(sectionName) + L"]", m_lineBreak));
    m_lines.push_back(std::move(keyLine));
    return true;
}

bool IniFile::Remove(std::wstring_view section, std::wstring_view key)
{
    const std::optional<size_t> found = FindKeyLine(section, key);
    if (!found)
        return false;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*found));
    return true;
}

bool IniFile::RemoveSection(std::wstring_view section)
{
    auto ranges = SectionRanges(section);
    if (ranges.empty())
        return false;
    std::reverse(ranges.begin(), ranges.end());
    for (const auto& [begin, end] : ranges)
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(begin),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(end));
    return true;
}

std::vector<std::wstring> IniFile::SectionNames() const
{
    std::vector<std::wstring> names;
    for (const Line& line : m_lines) {
        if (line.kind != LineKind::Section)
            continue;
        const bool known = std::any_of(names.begin(), names.end(),
                                       [&](const std::wstring& n) { return IniNamesEqual(n, line.name); });
        if (!known)
            names.push_back(line.name);
    }
    return names;
}

std::vector<std::wstring> IniFile::KeyNames(std::wstring_view section) const
{
    std::vector<std::wstring> names;
    for (const auto& [begin, end] : SectionRanges(section)) {
        for (size_t i = begin + 1; i < end; ++i) {
            if (m_lines[i].kind != LineKind::Key)
                continue;
            const bool known = std::any_of(names.begin(), names.end(),
                                           [&](const std::wstring& n) { return IniNamesEqual(n, m_lines[i].name); });
            if (!known)
                names.push_back(m_lines[i].name);
        }
    }
    return names;
}

std::wstring IniFile::ToText() const
{
    std::wstring text;
    for (const Line& line : m_lines) {
        text += line.text;
        text += line.lineBreak;
    }
    return text;
}

std::string IniFile::ToBytes() const
{
    return EncodeText(ToText(), m_encoding);
}

bool IniFile::Save(const std::wstring& path) const
{
    if (!m_writable)
        return false;
    const std::string bytes = ToBytes();
    if (FileExists(path)) {
        const std::optional<std::string> current = ReadWholeFile(path);
        if (current && *current == bytes)
            return true;
    }
    return WriteFileAtomically(path, bytes);
}

std::wstring ReadProfileString(const std::wstring& path, std::wstring_view section, std::wstring_view key,
                               std::wstring_view defaultValue, size_t maxChars)
{
    std::wstring value;
    std::optional<std::wstring> found;
    if (const std::optional<IniFile> file = IniFile::Load(path))
        found = file->Get(section, key);
    value = found ? *found : std::wstring(TrimEnd(defaultValue));
    if (value.size() > maxChars)
        value.resize(maxChars);
    return value;
}

uint32_t ParseProfileInt(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == L'0') {
        const wchar_t p = text[i + 1];
        if (p == L'x' || p == L'X')
            base = 16;
        else if (p == L'o' || p == L'O')
            base = 8;
        else if (p == L'b' || p == L'B')
            base = 2;
        if (base != 10)
            i += 2;
    }
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        unsigned digit;
        if (c >= L'0' && c <= L'9')
            digit = static_cast<unsigned>(c - L'0');
        else if (c >= L'a' && c <= L'f')
            digit = static_cast<unsigned>(c - L'a' + 10);
        else if (c >= L'A' && c <= L'F')
            digit = static_cast<unsigned>(c - L'A' + 10);
        else
            break;
        if (digit >= base)
            break;
        value = value * base + digit;  // wraps like the 32-bit original
    }
    return negative ? 0u - value : value;
}

uint32_t ReadProfileInt(const std::wstring& path, std::wstring_view section, std::wstring_view key,
                        int32_t defaultValue)
{
    const std::wstring text = ReadProfileString(path, section, key, L"", 29);
    if (text.empty())
        return static_cast<uint32_t>(defaultValue);
    return ParseProfileInt(text);
}

namespace {

template <class Change>
bool ChangeProfile(const std::wstring& path, Change change)
{
    std::optional<IniFile> file = IniFile::Load(path);
    if (!file || !change(*file))
        return false;
    return file->Save(path);
}

}  // namespace

bool WriteProfileString(const std::wstring& path, std::wstring_view section, std::wstring_view key,
                        std::wstring_view value)
{
    return ChangeProfile(path, [&](IniFile& file) { return file.Set(section, key, value); });
}

bool WriteProfileStrings(const std::wstring& path, const std::vector<IniEntry>& entries)
{
    return ChangeProfile(path, [&](IniFile& file) {
        for (const IniEntry& entry : entries) {
            if (!file.Set(entry.section, entry.key, entry.value))
                return false;
        }
        return true;
    });
}

// Deleting what is not there succeeds without touching (or creating) the file.
bool DeleteProfileKey(const std::wstring& path, std::wstring_view section, std::wstring_view key)
{
    std::optional<IniFile> file = IniFile::Load(path);
    if (!file)
        return false;
    return !file->Remove(section, key) || file->Save(path);
}

bool DeleteProfileSection(const std::wstring& path, std::wstring_view section)
{
    std::optional<IniFile> file = IniFile::Load(path);
    if (!file)
        return false;
    return !file->RemoveSection(section) || file->Save(path);
}

std::vector<std::wstring> ReadProfileSectionNames(const std::wstring& path)
{
    const std::optional<IniFile> file = IniFile::Load(path);
    return file ? file->SectionNames() : std::vector<std::wstring>();
}

std::vector<std::wstring> ReadProfileKeyNames(const std::wstring& path, std::wstring_view section)
{
    const std::optional<IniFile> file = IniFile::Load(path);
    return file ? file->KeyNames(section) : std::vector<std::wstring>();
}

bool WriteUtf16LeTextFile(const std::wstring& path, std::wstring_view text)
{
    return WriteFileAtomically(path, EncodeUtf16(text, true));
}

}  // namespace platform
