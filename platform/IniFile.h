#pragma once
// Ini files read and written the way the Windows profile functions
// (GetPrivateProfileStringW and friends) do it: sections and keys match
// without case, values are trimmed and lose one pair of enclosing quotes,
// files with a UTF-16 byte-order mark stay UTF-16, every other file is 8-bit
// text in the locale charset, and a write creates the file, the section and
// the key as needed while keeping every other line as it was.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

enum class IniEncoding {
    Ansi,     // 8-bit text in the locale charset, no byte-order mark
    Utf8Bom,  // UTF-8 with its byte-order mark
    Utf16LE,  // UTF-16 little endian with its byte-order mark
    Utf16BE,  // UTF-16 big endian with its byte-order mark
};

// Files larger than this are not read; a write to one is refused, so a file
// that cannot be read whole is never replaced by a shorter one.
inline constexpr int64_t kMaxIniFileBytes = 32 * 1024 * 1024;

// One ini file's text, kept line by line so that a write changes only the
// line it must.
class IniFile {
public:
    IniFile() = default;

    // The parsed file; an empty document when the file does not exist, and
    // nothing when it exists but cannot be read whole.
    static std::optional<IniFile> Load(const std::wstring& path);
    // Decodes file bytes by their byte-order mark (8-bit text without one).
    static IniFile FromBytes(std::string_view bytes);
    static IniFile FromText(std::wstring_view text, IniEncoding encoding = IniEncoding::Ansi);

    // The value of the first matching key, trimmed and without enclosing quotes.
    std::optional<std::wstring> Get(std::wstring_view section, std::wstring_view key) const;
    // Replaces the value or adds the key (and the section) at the end.
    // Refuses text the file format cannot hold: line breaks anywhere, an
    // empty key, '=' in a key, ']' in a section name.
    bool Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    bool Remove(std::wstring_view section, std::wstring_view key);
    bool RemoveSection(std::wstring_view section);

    std::vector<std::wstring> SectionNames() const;
    std::vector<std::wstring> KeyNames(std::wstring_view section) const;

    IniEncoding Encoding() const { return m_encoding; }
    void SetEncoding(IniEncoding encoding) { m_encoding = encoding; }

    std::wstring ToText() const;
    std::string ToBytes() const;
    // Writes the whole file atomically; a file that already holds exactly
    // these bytes is left alone. Refused for a document whose file did not
    // decode losslessly, so untouched lines are never damaged.
    bool Save(const std::wstring& path) const;

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        std::wstring text;       // as in the file, without its line break
        std::wstring lineBreak;  // the break that ended it ("" for a last line without one)
        LineKind kind = LineKind::Other;
        std::wstring name;  // section name or key name, trimmed
        std::wstring value; // key value, trimmed (quotes still on)
    };

    static Line ParseLine(std::wstring text, std::wstring lineBreak);
    // Indices of the lines from each matching section header up to the next
    // header, in file order.
    std::vector<std::pair<size_t, size_t>> SectionRanges(std::wstring_view section) const;
    std::optional<size_t> FindKeyLine(std::wstring_view section, std::wstring_view key) const;

    std::vector<Line> m_lines;
    IniEncoding m_encoding = IniEncoding::Ansi;
    std::wstring m_lineBreak = L"\r\n";  // for new lines: the file's own, else CR LF
    bool m_writable = true;              // false when the text did not decode losslessly
};

// Section and key names compare like this (without case).
bool IniNamesEqual(std::wstring_view a, std::wstring_view b);

// GetPrivateProfileStringW: the value cut to maxChars characters, or the
// default (without trailing blanks, cut the same way) when the key is absent
// or the file cannot be read.
std::wstring ReadProfileString(const std::wstring& path, std::wstring_view section, std::wstring_view key,
                               std::wstring_view defaultValue, size_t maxChars);

// GetPrivateProfileIntW: the value's leading integer (decimal; "0x" hex,
// "0o" octal and "0b" binary prefixes as Windows accepts them; a sign
// allowed) wrapped to 32 bits; the default when the key is absent or empty.
uint32_t ReadProfileInt(const std::wstring& path, std::wstring_view section, std::wstring_view key,
                        int32_t defaultValue);
// The number parsing of ReadProfileInt, for values read otherwise.
uint32_t ParseProfileInt(std::wstring_view text);

// WritePrivateProfileStringW: creates what is missing; false when the file
// cannot be read or written or the text cannot be stored.
bool WriteProfileString(const std::wstring& path, std::wstring_view section, std::wstring_view key,
                        std::wstring_view value);
// Several keys of one file in one write; nothing is written when any entry
// cannot be stored.
struct IniEntry {
    std::wstring section;
    std::wstring key;
    std::wstring value;
};
bool WriteProfileStrings(const std::wstring& path, const std::vector<IniEntry>& entries);
bool DeleteProfileKey(const std::wstring& path, std::wstring_view section, std::wstring_view key);
bool DeleteProfileSection(const std::wstring& path, std::wstring_view section);

std::vector<std::wstring> ReadProfileSectionNames(const std::wstring& path);
std::vector<std::wstring> ReadProfileKeyNames(const std::wstring& path, std::wstring_view section);

// Writes the text as a UTF-16LE file with its byte-order mark, replacing the
// file atomically. Later profile writes keep it UTF-16LE.
bool WriteUtf16LeTextFile(const std::wstring& path, std::wstring_view text);

}  // namespace platform
