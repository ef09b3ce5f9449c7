#pragma once
// Charset names as documents declare them, and conversion of document bytes
// to and from UTF-8 text. Names resolve through a table of charsets and their
// aliases, each with its Windows code page number; conversion goes through
// iconv, with UTF-8, UTF-16 and UTF-32 done directly.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace charsets {

// Code pages with special handling.
inline constexpr int kCodePageUtf16Le = 1200;
inline constexpr int kCodePageUtf16Be = 1201;
inline constexpr int kCodePageUtf32Le = 65005;
inline constexpr int kCodePageUtf32Be = 12001;
inline constexpr int kCodePageUtf8 = 65001;
inline constexpr int kCodePageWindows1252 = 1252;

struct Charset {
    std::string name;       // canonical name, e.g. "UTF-8", "GBK", "windows-1252"
    int codePage = 0;       // Windows code page number; 0 for a charset known only to iconv
    std::string iconvName;  // what iconv calls it
};

// The table entry for a declared name or alias (without regard to case and
// surrounding blanks), or nothing.
std::optional<Charset> FindCharset(std::wstring_view name);

// A table entry, else a charset iconv knows by that name, else nothing.
std::optional<Charset> ResolveCharset(std::wstring_view name);

Charset Utf8Charset();

// The user's locale charset ("ANSI").
Charset AnsiCharset();

bool IsUtf16(const Charset& charset);
bool IsUtf32(const Charset& charset);

// What a decoding met on the way.
struct DecodeReport {
    size_t replaced = 0;      // undecodable bytes, each now U+FFFD
    size_t nullsRemoved = 0;  // NUL characters dropped from UTF-16 text
    bool truncated = false;   // the bytes ended inside a character
    bool swapped = false;     // big-endian units were swapped
};

// Decodes bytes of the charset into UTF-8 text. Undecodable bytes become
// U+FFFD; false only when iconv does not know the charset.
bool DecodeText(std::string_view bytes, const Charset& charset, std::string& out, DecodeReport& report);

struct EncodeReport {
    size_t lost = 0;        // characters the charset cannot hold, each written as '?'
    bool swapped = false;   // written as big-endian units
};

// Encodes UTF-8 text in the charset; false only when iconv does not know it.
bool EncodeText(std::string_view utf8, const Charset& charset, std::string& out, EncodeReport& report);

// Strict UTF-8 (no overlong forms, surrogates or values past U+10FFFF): the
// text is kept as it is where valid, and each bad byte becomes U+FFFD and is
// counted. The second form works in place and copies nothing when the text
// is valid already.
void DecodeUtf8(std::string_view bytes, std::string& out, DecodeReport& report);
void MakeValidUtf8(std::string& text, DecodeReport& report);

bool IsValidUtf8(std::string_view bytes);

// Appends the UTF-8 form of a Unicode scalar value (U+FFFD for anything else).
void AppendUtf8(std::string& out, uint32_t c);

// The charset of an undeclared text that is not UTF-8: the user's locale
// charset, or Windows-1252 when that is UTF-8 itself. Such files come from
// programs that write the system's code page, which on Western Windows is
// Windows-1252.
Charset LegacyTextCharset();

}  // namespace charsets
