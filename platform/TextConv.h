#pragma once
// Conversions between the program's text forms: wide text (std::wstring),
// UTF-8 for the engine, UTF-16 for fixed record fields, and the locale's
// 8-bit charset ("ANSI") for names kept in records.
#include <string>
#include <string_view>

namespace platform {

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);  // invalid bytes become U+FFFD
// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t c);

std::u16string WideToUtf16(std::wstring_view text);
std::wstring Utf16ToWide(std::u16string_view text);

// Name of the user's locale charset, e.g. "UTF-8" (setlocale(LC_ALL, "") is
// applied once on first use).
std::string LocaleCharset();

// The locale's 8-bit text. Characters the charset lacks become '?'.
std::string WideToAnsi(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);

// Converts to the locale charset and keeps at most maxBytes bytes, never
// splitting a multi-byte character.
std::string WideToAnsiLimited(std::wstring_view text, size_t maxBytes);

// Cuts UTF-8 text to at most maxBytes bytes at a character boundary.
std::string CutUtf8(std::string_view text, size_t maxBytes);

// Converts between any two iconv charsets; false when the input does not
// convert (the output then holds what converted before the fault).
bool ConvertCharset(std::string_view input, const char* from, const char* to, std::string& output);

// Upper-cases wide text character by character (locale independent for ASCII
// and Latin letters; used for path comparisons without case).
std::wstring ToUpperWide(std::wstring_view text);

}  // namespace platform
