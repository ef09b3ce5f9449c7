#include "LangFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace lumora {

namespace {

// A translated format may ask for any width; no text needs more than this.
constexpr int kMaxField = 4096;

struct Conversion {
    size_t begin = 0;  // the '%'
    size_t end = 0;    // one past the conversion letter
    std::string flags;
    int width = -1;
    bool widthStar = false;
    int precision = -1;
    bool precisionStar = false;
    std::wstring length;
    wchar_t type = 0;
};

bool IsFlag(wchar_t c) { return c == L'-' || c == L'+' || c == L' ' || c == L'#' || c == L'0'; }

bool IsType(wchar_t c) { return std::wstring_view(L"diouxXcCsSfFeEgGaApn").find(c) != std::wstring_view::npos; }

int ReadNumber(std::wstring_view format, size_t& i)
{
    int value = 0;
    while (i < format.size() && format[i] >= L'0' && format[i] <= L'9') {
        value = std::min(kMaxField, value * 10 + static_cast<int>(format[i] - L'0'));
        ++i;
    }
    return value;
}

std::wstring ReadLength(std::wstring_view format, size_t& i)
{
    static const wchar_t* const lengths[] = {L"I64", L"I32", L"hh", L"ll", L"h", L"l", L"L", L"q",
                                             L"j",   L"z",   L"t",  L"w",  L"I"};
    for (const wchar_t* length : lengths) {
        const std::wstring_view l(length);
        if (format.substr(i, l.size()) == l) {
            i += l.size();
            return std::wstring(l);
        }
    }
    return {};
}

// Parses the conversion that starts at format[begin] == '%'; nothing when it
// is not a complete conversion ("%%" included).
std::optional<Conversion> ParseConversion(std::wstring_view format, size_t begin)
{
    Conversion conv;
    conv.begin = begin;
    size_t i = begin + 1;
    while (i < format.size() && IsFlag(format[i]))
        conv.flags += static_cast<char>(format[i++]);
    if (i < format.size() && format[i] == L'*') {
        conv.widthStar = true;
        ++i;
    } else if (i < format.size() && format[i] >= L'0' && format[i] <= L'9') {
        conv.width = ReadNumber(format, i);
    }
    if (i < format.size() && format[i] == L'.') {
        ++i;
        if (i < format.size() && format[i] == L'*') {
            conv.precisionStar = true;
            ++i;
        } else {
            conv.precision = ReadNumber(format, i);
        }
    }
    conv.length = ReadLength(format, i);
    if (i >= format.size() || !IsType(format[i]))
        return std::nullopt;
    conv.type = format[i];
    conv.end = i + 1;
    return conv;
}

int IntegerBits(const std::wstring& length)
{
    if (length == L"hh")
        return 8;
    if (length == L"h")
        return 16;
    if (length.empty() || length == L"l" || length == L"w" || length == L"I32")
        return 32;  // long is 32 bits in the Windows formats these texts come from
    return 64;
}

std::wstring Widen(const char* text)
{
    std::wstring out;
    for (const char* p = text; *p; ++p)
        out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return out;
}

std::string NarrowFormat(const Conversion& conv, const char* length, char type)
{
    std::string s = "%" + conv.flags;
    if (conv.width >= 0)
        s += std::to_string(conv.width);
    if (conv.precision >= 0)
        s += "." + std::to_string(conv.precision);
    s += length;
    s += type;
    return s;
}

template <class T>
std::wstring PrintNumber(const std::string& conv, T value)
{
    std::vector<char> buffer(2 * kMaxField + 64);
    std::snprintf(buffer.data(), buffer.size(), conv.c_str(), value);
    return Widen(buffer.data());
}

std::wstring Pad(std::wstring text, const Conversion& conv)
{
    if (conv.width > static_cast<int>(text.size())) {
        const std::wstring fill(static_cast<size_t>(conv.width) - text.size(), L' ');
        text = conv.flags.find('-') != std::string::npos ? text + fill : fill + text;
    }
    return text;
}

std::wstring FormatInteger(const Conversion& conv, const FormatArg& value)
{
    const int bits = IntegerBits(conv.length);
    const auto type = static_cast<char>(conv.type);
    if (type == 'd' || type == 'i') {
        int64_t v = value.asSigned();
        if (bits == 8)
            v = static_cast<int8_t>(v);
        else if (bits == 16)
            v = static_cast<int16_t>(v);
        else if (bits == 32)
            v = static_cast<int32_t>(v);
        return PrintNumber(NarrowFormat(conv, "ll", type), static_cast<long long>(v));
    }
    uint64_t u = value.asUnsigned();
    if (bits < 64)
        u &= (uint64_t{1} << bits) - 1;
    if (type == 'p')
        return PrintNumber("%016llX", static_cast<unsigned long long>(u));
    return PrintNumber(NarrowFormat(conv, "ll", type), static_cast<unsigned long long>(u));
}

std::wstring FormatOne(const Conversion& conv, const FormatArg& value)
{
    switch (conv.type) {
    case L's':
    case L'S': {
        std::wstring text = value.asText();
        if (conv.precision >= 0 && static_cast<size_t>(conv.precision) < text.size())
            text.resize(static_cast<size_t>(conv.precision));
        return Pad(std::move(text), conv);
    }
    case L'c':
    case L'C': {
        wchar_t c = 0;
        if (value.kind() == FormatArg::Kind::Text) {
            const std::wstring text = value.asText();
            c = text.empty() ? 0 : text[0];
        } else {
            c = static_cast<wchar_t>(value.asUnsigned() & 0x1FFFFF);
        }
        return Pad(c ? std::wstring(1, c) : std::wstring(), conv);
    }
    case L'f':
    case L'F':
    case L'e':
    case L'E':
    case L'g':
    case L'G':
    case L'a':
    case L'A':
        if (value.kind() == FormatArg::Kind::Text)
            return Pad(value.asText(), conv);
        return PrintNumber(NarrowFormat(conv, "", static_cast<char>(conv.type)), value.asReal());
    default:
        if (value.kind() == FormatArg::Kind::Text)
            return Pad(value.asText(), conv);
        return FormatInteger(conv, value);
    }
}

int StarValue(const FormatArg& value)
{
    if (value.kind() == FormatArg::Kind::Text)
        return 0;
    return static_cast<int>(std::clamp<int64_t>(value.asSigned(), -kMaxField, kMaxField));
}

}  // namespace

int64_t FormatArg::asSigned() const
{
    switch (m_kind) {
    case Kind::Signed:
        return m_signed;
    case Kind::Unsigned:
        return static_cast<int64_t>(m_unsigned);
    case Kind::Real:
        if (std::isnan(m_real))
            return 0;
        return static_cast<int64_t>(std::clamp(m_real, -9.2e18, 9.2e18));
    case Kind::Text:
        break;
    }
    return 0;
}

uint64_t FormatArg::asUnsigned() const
{
    return m_kind == Kind::Unsigned ? m_unsigned : static_cast<uint64_t>(asSigned());
}

double FormatArg::asReal() const
{
    switch (m_kind) {
    case Kind::Real:
        return m_real;
    case Kind::Signed:
        return static_cast<double>(m_signed);
    case Kind::Unsigned:
        return static_cast<double>(m_unsigned);
    case Kind::Text:
        break;
    }
    return 0;
}

std::wstring FormatArg::asText() const
{
    switch (m_kind) {
    case Kind::Text:
        return m_text;
    case Kind::Signed:
        return std::to_wstring(m_signed);
    case Kind::Unsigned:
        return std::to_wstring(m_unsigned);
    case Kind::Real:
        return PrintNumber("%g", m_real);
    }
    return {};
}

std::wstring FormatPrintf(std::wstring_view format, std::span<const FormatArg> values)
{
    std::wstring out;
    size_t next = 0;
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != L'%') {
            out += format[i++];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == L'%') {
            out += L'%';
            i += 2;
            continue;
        }
        std::optional<Conversion> conv = ParseConversion(format, i);
        if (!conv) {
            out += format[i++];
            continue;
        }
        const size_t needed = (conv->widthStar ? 1 : 0) + (conv->precisionStar ? 1 : 0) + 1;
        if (next + needed > values.size()) {
            // No value left for it: show the conversion rather than guess.
            out += format.substr(conv->begin, conv->end - conv->begin);
            i = conv->end;
            continue;
        }
        if (conv->widthStar) {
            const int w = StarValue(values[next++]);
            if (w < 0)
                conv->flags += '-';
            conv->width = std::min(kMaxField, std::abs(w));
        }
        if (conv->precisionStar) {
            const int p = StarValue(values[next++]);
            conv->precision = p < 0 ? -1 : p;
        }
        const FormatArg& value = values[next++];
        if (conv->type != L'n')
            out += FormatOne(*conv, value);
        i = conv->end;
    }
    return out;
}

std::vector<std::wstring> PrintfConversions(std::wstring_view format)
{
    std::vector<std::wstring> conversions;
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != L'%') {
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == L'%') {
            i += 2;
            continue;
        }
        const std::optional<Conversion> conv = ParseConversion(format, i);
        if (!conv) {
            ++i;
            continue;
        }
        if (conv->widthStar)
            conversions.emplace_back(L"*");
        if (conv->precisionStar)
            conversions.emplace_back(L"*");
        conversions.push_back(conv->length + conv->type);
        i = conv->end;
    }
    return conversions;
}

}  // namespace lumora
