#include "TextConv.h"

#include <cerrno>
#include <clocale>
#include <cwctype>
#include <iconv.h>
#include <langinfo.h>
#include <mutex>

namespace platform {

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

bool IsValidScalar(char32_t c) { return c < 0x110000 && (c < 0xD800 || c > 0xDFFF); }

// Decodes one UTF-8 sequence at text[i]; returns its length (1 for an invalid byte).
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& c)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    size_t len = 0;
    char32_t value = 0;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        value = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        value = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        value = b0 & 0x07;
    } else {
        c = 0xFFFD;
        return 1;
    }
    if (i + len > text.size()) {
        c = 0xFFFD;
        return 1;
    }
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            c = 0xFFFD;
            return 1;
        }
        value = (value << 6) | (b & 0x3F);
    }
    static const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < minimum[len] || !IsValidScalar(value)) {
        c = 0xFFFD;
        return 1;
    }
    c = value;
    return len;
}

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (valid())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

}  // namespace

std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        AppendUtf8(out, IsValidScalar(c) ? c : 0xFFFD);
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        i += DecodeUtf8(text, i, c);
        out += static_cast<wchar_t>(c);
    }
    return out;
}

std::u16string WideToUtf16(std::wstring_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (!IsValidScalar(c))
            c = 0xFFFD;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::wstring Utf16ToWide(std::u16string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        out += static_cast<wchar_t>(c);
    }
    return out;
}

std::string LocaleCharset()
{
    static std::once_flag once;
    static std::string charset;
    std::call_once(once, [] {
        setlocale(LC_ALL, "");
        const char* name = nl_langinfo(CODESET);
        charset = (name && *name) ? name : "UTF-8";
        // The C locale reports ASCII; treat it as UTF-8 so no text is lost.
        if (charset == "ANSI_X3.4-1968" || charset == "ASCII")
            charset = "UTF-8";
        // Numbers in files always use a point: keep numeric formatting in "C".
        setlocale(LC_NUMERIC, "C");
    });
    return charset;
}

bool ConvertCharset(std::string_view input, const char* from, const char* to, std::string& output)
{
    output.clear();
    IconvHandle cd(to, from);
    if (!cd.valid())
        return false;
    std::string in(input);
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof(buffer);
        size_t r = iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft);
        output.append(buffer, outPtr - buffer);
        if (r == static_cast<size_t>(-1) && errno != E2BIG)
            return false;
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof(buffer);
    iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft);
    output.append(buffer, outPtr - buffer);
    return true;
}

namespace {

bool LocaleIsUtf8()
{
    const std::string cs = LocaleCharset();
    return cs == "UTF-8" || cs == "utf-8" || cs == "utf8" || cs == "UTF8";
}

// One wide character in the locale charset; "?" when it has no form there.
std::string WideCharToAnsi(wchar_t wc)
{
    if (LocaleIsUtf8())
        return WideToUtf8(std::wstring_view(&wc, 1));
    const std::string utf8 = WideToUtf8(std::wstring_view(&wc, 1));
    std::string out;
    if (!ConvertCharset(utf8, "UTF-8", LocaleCharset().c_str(), out) || out.empty())
        return "?";
    return out;
}

}  // namespace

std::string WideToAnsi(std::wstring_view text)
{
    if (LocaleIsUtf8())
        return WideToUtf8(text);
    std::string out;
    if (ConvertCharset(WideToUtf8(text), "UTF-8", LocaleCharset().c_str(), out))
        return out;
    out.clear();
    for (wchar_t wc : text)
        out += WideCharToAnsi(wc);
    return out;
}

std::wstring AnsiToWide(std::string_view text)
{
    if (LocaleIsUtf8())
        return Utf8ToWide(text);
    std::string utf8;
    ConvertCharset(text, LocaleCharset().c_str(), "UTF-8", utf8);
    return Utf8ToWide(utf8);
}

std::string WideToAnsiLimited(std::wstring_view text, size_t maxBytes)
{
    if (LocaleIsUtf8())
        return CutUtf8(WideToUtf8(text), maxBytes);
    std::string out;
    for (wchar_t wc : text) {
        const std::string one = WideCharToAnsi(wc);
        if (out.size() + one.size() > maxBytes)
            break;
        out += one;
    }
    return out;
}

std::string CutUtf8(std::string_view text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    size_t end = maxBytes;
    // Step back over continuation bytes to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}

std::wstring ToUpperWide(std::wstring_view text)
{
    std::wstring out(text);
    for (auto& c : out)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return out;
}

}  // namespace platform
