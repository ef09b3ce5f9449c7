#include "Charsets.h"

#include "platform/TextConv.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <unordered_map>
#include <vector>

namespace charsets {

namespace {

struct TableEntry {
    const char* name;
    int codePage;
    const char* iconvName;
    const char* aliases;  // blank-separated, lower case
};

// Declared names seen in the wild map to the Windows code page a Windows
// reader would use (so "gb2312" reads as GBK and "euc-kr" as UHC, which are
// supersets and what such files usually hold).
const TableEntry kTable[] = {
    {"UTF-8", kCodePageUtf8, "UTF-8", "utf8 unicode-1-1-utf-8 unicode-2-0-utf-8 x-unicode20utf8 cp65001"},
    {"UTF-16", kCodePageUtf16Le, "UTF-16LE",
     "utf16 utf-16le unicode ucs-2 ucs-2le ucs2 iso-10646-ucs-2 csunicode"},
    {"UTF-16BE", kCodePageUtf16Be, "UTF-16BE", "unicodefffe ucs-2be"},
    {"UTF-32", kCodePageUtf32Le, "UTF-32LE", "utf32 utf-32le ucs-4 ucs-4le ucs4 cp12000"},
    {"UTF-32BE", kCodePageUtf32Be, "UTF-32BE", "ucs-4be"},
    {"US-ASCII", 20127, "ASCII", "ascii ansi_x3.4-1968 iso646-us us cp367 ibm367 csascii iso-ir-6"},
    {"windows-874", 874, "WINDOWS-874", "cp874 dos-874 tis-620 iso-8859-11 x-cp874"},
    {"windows-1250", 1250, "CP1250", "cp1250 x-cp1250"},
    {"windows-1251", 1251, "CP1251", "cp1251 x-cp1251"},
    {"windows-1252", 1252, "CP1252", "cp1252 x-cp1252 x-ansi"},
    {"windows-1253", 1253, "CP1253", "cp1253 x-cp1253"},
    {"windows-1254", 1254, "CP1254", "cp1254 x-cp1254"},
    {"windows-1255", 1255, "CP1255", "cp1255 x-cp1255"},
    {"windows-1256", 1256, "CP1256", "cp1256 x-cp1256"},
    {"windows-1257", 1257, "CP1257", "cp1257 x-cp1257"},
    {"windows-1258", 1258, "CP1258", "cp1258 x-cp1258"},
    {"ISO-8859-1", 28591, "ISO-8859-1", "iso8859-1 iso_8859-1 latin1 l1 cp819 ibm819 csisolatin1 iso-ir-100"},
    {"ISO-8859-2", 28592, "ISO-8859-2", "iso8859-2 iso_8859-2 latin2 l2 csisolatin2 iso-ir-101"},
    {"ISO-8859-3", 28593, "ISO-8859-3", "iso8859-3 iso_8859-3 latin3 l3 csisolatin3"},
    {"ISO-8859-4", 28594, "ISO-8859-4", "iso8859-4 iso_8859-4 latin4 l4 csisolatin4"},
    {"ISO-8859-5", 28595, "ISO-8859-5", "iso8859-5 iso_8859-5 cyrillic csisolatincyrillic"},
    {"ISO-8859-6", 28596, "ISO-8859-6", "iso8859-6 iso_8859-6 arabic csisolatinarabic"},
    {"ISO-8859-7", 28597, "ISO-8859-7", "iso8859-7 iso_8859-7 greek greek8 csisolatingreek"},
    {"ISO-8859-8", 28598, "ISO-8859-8", "iso8859-8 iso_8859-8 hebrew csisolatinhebrew iso-8859-8-i"},
    {"ISO-8859-9", 28599, "ISO-8859-9", "iso8859-9 iso_8859-9 latin5 l5 csisolatin5"},
    {"ISO-8859-13", 28603, "ISO-8859-13", "iso8859-13 iso_8859-13 latin7"},
    {"ISO-8859-15", 28605, "ISO-8859-15", "iso8859-15 iso_8859-15 latin9 latin-9 l9"},
    {"IBM437", 437, "CP437", "cp437 437 cspc8codepage437"},
    {"IBM850", 850, "CP850", "cp850 850 cspc850multilingual"},
    {"IBM866", 866, "CP866", "cp866 866 csibm866"},
    {"KOI8-R", 20866, "KOI8-R", "koi8r koi8 cskoi8r"},
    {"KOI8-U", 21866, "KOI8-U", "koi8u"},
    {"macintosh", 10000, "MACINTOSH", "mac x-mac-roman csmacintosh"},
    {"GBK", 936, "CP936",
     "gb2312 cp936 ms936 windows-936 x-gbk csgb2312 gb_2312-80 gb_2312 chinese euc-cn x-euc-cn iso-ir-58 csiso58gb231280"},
    {"GB18030", 54936, "GB18030", "gb-18030 cp54936"},
    {"Big5", 950, "CP950", "big-5 cp950 x-x-big5 csbig5 cn-big5 ms950"},
    {"Big5-HKSCS", 951, "BIG5-HKSCS", "big5hkscs"},
    {"Shift_JIS", 932, "CP932",
     "shift-jis sjis x-sjis ms_kanji cp932 ms932 windows-31j csshiftjis cswindows31j x-ms-cp932"},
    {"EUC-JP", 51932, "EUC-JP", "eucjp x-euc-jp cseucpkdfmtjapanese"},
    {"ISO-2022-JP", 50220, "ISO-2022-JP", "csiso2022jp"},
    {"EUC-KR", 949, "CP949",
     "euckr ks_c_5601-1987 ks_c_5601-1989 ks_c_5601 ksc_5601 cp949 uhc korean windows-949 csksc56011987 "
     "iso-ir-149 cseuckr"},
    {"Johab", 1361, "JOHAB", "cp1361"},
};

std::string LowerTrimmed(std::wstring_view name)
{
    size_t b = 0, e = name.size();
    while (b < e && (name[b] == L' ' || name[b] == L'\t' || name[b] == L'\r' || name[b] == L'\n'))
        ++b;
    while (e > b && (name[e - 1] == L' ' || name[e - 1] == L'\t' || name[e - 1] == L'\r' || name[e - 1] == L'\n'))
        --e;
    std::string out;
    for (size_t i = b; i < e; ++i) {
        const wchar_t c = name[i];
        if (c >= 0x80)
            return {};  // charset names are ASCII
        out += static_cast<char>((c >= L'A' && c <= L'Z') ? c + (L'a' - L'A') : c);
    }
    return out;
}

const std::unordered_map<std::string, const TableEntry*>& NameIndex()
{
    static const auto index = [] {
        std::unordered_map<std::string, const TableEntry*> map;
        for (const TableEntry& e : kTable) {
            std::wstring name;
            for (const char* p = e.name; *p; ++p)
                name += static_cast<wchar_t>(*p);
            map.emplace(LowerTrimmed(name), &e);
            std::string aliases = e.aliases;
            size_t start = 0;
            while (start < aliases.size()) {
                size_t end = aliases.find(' ', start);
                if (end == std::string::npos)
                    end = aliases.size();
                if (end > start)
                    map.emplace(aliases.substr(start, end - start), &e);
                start = end + 1;
            }
        }
        return map;
    }();
    return index;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

bool IconvKnows(const std::string& name)
{
    Iconv cd("UTF-8", name.c_str());
    return cd.valid();
}

bool IsScalar(uint32_t c) { return c < 0x110000 && (c < 0xD800 || c > 0xDFFF); }

// iconv decoding that replaces each undecodable byte with U+FFFD and goes on.
bool DecodeWithIconv(std::string_view bytes, const std::string& from, std::string& out, DecodeReport& report)
{
    // Most text converts in one go; the careful loop is only for bad bytes.
    if (platform::ConvertCharset(bytes, from.c_str(), "UTF-8", out))
        return true;
    Iconv cd("UTF-8", from.c_str());
    if (!cd.valid())
        return false;
    out.clear();
    out.reserve(bytes.size());
    std::vector<char> input(bytes.begin(), bytes.end());
    char* in = input.data();
    size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* o = buffer;
        size_t oLeft = sizeof(buffer);
        const size_t r = iconv(cd.get(), &in, &inLeft, &o, &oLeft);
        out.append(buffer, sizeof(buffer) - oLeft);
        if (r != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        if (errno == EINVAL) {  // the text ends inside a character
            report.truncated = true;
            AppendUtf8(out, 0xFFFD);
            break;
        }
        // EILSEQ: skip one byte and start the next character afresh.
        AppendUtf8(out, 0xFFFD);
        ++report.replaced;
        ++in;
        --inLeft;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end, uint32_t& c, bool& incomplete);

// iconv encoding that writes '?' for each character the charset lacks.
bool EncodeWithIconv(std::string_view utf8, const std::string& to, std::string& out, EncodeReport& report)
{
    if (platform::ConvertCharset(utf8, "UTF-8", to.c_str(), out))
        return true;
    Iconv cd(to.c_str(), "UTF-8");
    if (!cd.valid())
        return false;
    out.clear();
    std::string input(utf8);
    char* in = input.data();
    size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* o = buffer;
        size_t oLeft = sizeof(buffer);
        const size_t r = iconv(cd.get(), &in, &inLeft, &o, &oLeft);
        out.append(buffer, sizeof(buffer) - oLeft);
        if (r != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // The character has no form in the target (or is damaged): write '?'.
        char* q = buffer;
        size_t qLeft = sizeof(buffer);
        iconv(cd.get(), nullptr, nullptr, &q, &qLeft);  // back to the initial shift state
        out.append(buffer, sizeof(buffer) - qLeft);
        out += '?';
        ++report.lost;
        const auto* p = reinterpret_cast<const unsigned char*>(in);
        uint32_t c = 0;
        bool incomplete = false;
        const size_t length = *p < 0x80 ? 1 : Utf8SequenceLength(p, p + inLeft, c, incomplete);
        const size_t skip = std::min(inLeft, std::max<size_t>(length, 1));
        in += skip;
        inLeft -= skip;
    }
    char* o = buffer;
    size_t oLeft = sizeof(buffer);
    iconv(cd.get(), nullptr, nullptr, &o, &oLeft);
    out.append(buffer, sizeof(buffer) - oLeft);
    return true;
}

void DecodeUtf16(std::string_view bytes, bool bigEndian, std::string& out, DecodeReport& report)
{
    out.clear();
    out.reserve(bytes.size() / 2);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t count = bytes.size() / 2;
    const auto unit = [&](size_t i) {
        return bigEndian ? static_cast<uint32_t>((p[2 * i] << 8) | p[2 * i + 1])
                         : static_cast<uint32_t>(p[2 * i] | (p[2 * i + 1] << 8));
    };
    for (size_t i = 0; i < count; ++i) {
        const uint32_t u = unit(i);
        if (u == 0) {
            ++report.nullsRemoved;
            continue;
        }
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
            continue;
        }
        if (u >= 0xD800 && u <= 0xDFFF)
            ++report.replaced;
        AppendUtf8(out, u);  // a lone surrogate becomes U+FFFD
    }
    report.swapped = bigEndian;
    if (bytes.size() % 2 != 0)
        report.truncated = true;
}

void DecodeUtf32(std::string_view bytes, bool bigEndian, std::string& out, DecodeReport& report)
{
    out.clear();
    out.reserve(bytes.size() / 4);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t count = bytes.size() / 4;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* q = p + 4 * i;
        const uint32_t c = bigEndian ? (uint32_t(q[0]) << 24) | (uint32_t(q[1]) << 16) | (uint32_t(q[2]) << 8) | q[3]
                                     : (uint32_t(q[3]) << 24) | (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
        if (!IsScalar(c))
            ++report.replaced;
        AppendUtf8(out, c);
    }
    report.swapped = bigEndian;
    if (bytes.size() % 4 != 0)
        report.truncated = true;
}

// Windows-1252 is Latin-1 except in 0x80 ... 0x9F. The five bytes it leaves
// undefined read as the C1 controls of the same value, as Windows reads them.
void DecodeWindows1252(std::string_view bytes, std::string& out)
{
    static const uint16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    out.clear();
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else
            AppendUtf8(out, b < 0xA0 ? kHigh[b - 0x80] : b);
    }
}

// The code points of UTF-8 text that is valid (made so on reading).
template <typename F>
void ForEachCodePoint(std::string_view utf8, F&& f)
{
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        if (*p < 0x80) {
            f(static_cast<uint32_t>(*p++));
            continue;
        }
        uint32_t c = 0;
        bool incomplete = false;
        const size_t length = Utf8SequenceLength(p, end, c, incomplete);
        f(length ? c : 0xFFFD);
        p += length ? length : 1;
    }
}

void EncodeUtf16(std::string_view utf8, bool bigEndian, std::string& out)
{
    out.clear();
    out.reserve(utf8.size() * 2);
    const auto put = [&](uint32_t u) {
        const auto hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    ForEachCodePoint(utf8, [&](uint32_t c) {
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    });
}

void EncodeUtf32(std::string_view utf8, bool bigEndian, std::string& out)
{
    out.clear();
    out.reserve(utf8.size() * 4);
    ForEachCodePoint(utf8, [&](uint32_t c) {
        for (int k = 0; k < 4; ++k) {
            const int shift = bigEndian ? 24 - 8 * k : 8 * k;
            out += static_cast<char>((c >> shift) & 0xFF);
        }
    });
}

// Length of the valid UTF-8 sequence at p (1 to 4), or 0 when the bytes there
// are not one. *incomplete is set when the bytes end inside a valid prefix.
size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end, uint32_t& c, bool& incomplete)
{
    incomplete = false;
    const unsigned char b0 = *p;
    size_t len;
    uint32_t minimum;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        c = b0 & 0x1F;
        minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        c = b0 & 0x0F;
        minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        c = b0 & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    for (size_t k = 1; k < len; ++k) {
        if (p + k >= end) {
            incomplete = true;
            return 0;
        }
        const unsigned char b = p[k];
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
        // Reject overlong and out-of-range forms as early as the second byte allows.
        if (k == 1) {
            if ((len == 3 && c < (0x800 >> 6)) || (len == 4 && (c < (0x10000 >> 12) || c > (0x10FFFF >> 12))))
                return 0;
            if (len == 3 && c >= (0xD800 >> 6) && c <= (0xDFFF >> 6))
                return 0;
        }
    }
    if (c < minimum || !IsScalar(c))
        return 0;
    return len;
}

constexpr uint64_t kHighBits = 0x8080808080808080ull;

}  // namespace

std::optional<Charset> FindCharset(std::wstring_view name)
{
    const std::string key = LowerTrimmed(name);
    if (key.empty())
        return std::nullopt;
    const auto& index = NameIndex();
    const auto it = index.find(key);
    if (it == index.end())
        return std::nullopt;
    return Charset{it->second->name, it->second->codePage, it->second->iconvName};
}

std::optional<Charset> ResolveCharset(std::wstring_view name)
{
    if (auto found = FindCharset(name))
        return found;
    const std::string key = LowerTrimmed(name);
    if (key.empty() || key.find_first_of("/ ") != std::string::npos)
        return std::nullopt;  // no iconv suffixes such as //TRANSLIT from a document
    if (!IconvKnows(key))
        return std::nullopt;
    return Charset{key, 0, key};
}

Charset Utf8Charset() { return Charset{"UTF-8", kCodePageUtf8, "UTF-8"}; }

Charset AnsiCharset()
{
    const std::string locale = platform::LocaleCharset();
    std::wstring wide(locale.begin(), locale.end());
    if (auto found = FindCharset(wide))
        return *found;
    return Charset{locale, 0, locale};
}

bool IsUtf16(const Charset& charset)
{
    return charset.codePage == kCodePageUtf16Le || charset.codePage == kCodePageUtf16Be;
}

bool IsUtf32(const Charset& charset)
{
    return charset.codePage == kCodePageUtf32Le || charset.codePage == kCodePageUtf32Be;
}

Charset LegacyTextCharset()
{
    const Charset ansi = AnsiCharset();
    if (ansi.codePage == kCodePageUtf8)
        return *FindCharset(L"windows-1252");
    return ansi;
}

bool DecodeText(std::string_view bytes, const Charset& charset, std::string& out, DecodeReport& report)
{
    switch (charset.codePage) {
    case kCodePageUtf8: DecodeUtf8(bytes, out, report); return true;
    case kCodePageUtf16Le: DecodeUtf16(bytes, false, out, report); return true;
    case kCodePageUtf16Be: DecodeUtf16(bytes, true, out, report); return true;
    case kCodePageUtf32Le: DecodeUtf32(bytes, false, out, report); return true;
    case kCodePageUtf32Be: DecodeUtf32(bytes, true, out, report); return true;
    case kCodePageWindows1252: DecodeWindows1252(bytes, out); return true;
    default: break;
    }
    const std::string& name = charset.iconvName;
    if (name == "UTF-8" || name == "utf-8" || name == "utf8") {
        DecodeUtf8(bytes, out, report);
        return true;
    }
    return DecodeWithIconv(bytes, name, out, report);
}

bool EncodeText(std::string_view utf8, const Charset& charset, std::string& out, EncodeReport& report)
{
    switch (charset.codePage) {
    case kCodePageUtf8: out.assign(utf8); return true;
    case kCodePageUtf16Le: EncodeUtf16(utf8, false, out); return true;
    case kCodePageUtf16Be: EncodeUtf16(utf8, true, out); report.swapped = true; return true;
    case kCodePageUtf32Le: EncodeUtf32(utf8, false, out); return true;
    case kCodePageUtf32Be: EncodeUtf32(utf8, true, out); report.swapped = true; return true;
    default: break;
    }
    return EncodeWithIconv(utf8, charset.iconvName, out, report);
}

void AppendUtf8(std::string& out, uint32_t c) { platform::AppendUtf8(out, IsScalar(c) ? char32_t(c) : U'\uFFFD'); }

namespace {

// Length of the valid prefix of the text.
size_t ValidUtf8Prefix(std::string_view bytes)
{
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* p = begin;
    const auto* end = p + bytes.size();
    while (p < end) {
        while (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & kHighBits)
                break;
            p += 8;
        }
        if (p >= end)
            break;
        if (*p < 0x80) {
            ++p;
            continue;
        }
        uint32_t c = 0;
        bool incomplete = false;
        const size_t len = Utf8SequenceLength(p, end, c, incomplete);
        if (len == 0)
            break;
        p += len;
    }
    return static_cast<size_t>(p - begin);
}

// The rest of the text from the first bad byte on, repaired.
void AppendRepairedUtf8(std::string_view bytes, std::string& out, DecodeReport& report)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            out += static_cast<char>(*p++);
            continue;
        }
        uint32_t c = 0;
        bool incomplete = false;
        const size_t len = Utf8SequenceLength(p, end, c, incomplete);
        if (len == 0) {
            AppendUtf8(out, 0xFFFD);
            if (incomplete) {
                report.truncated = true;
                return;
            }
            ++report.replaced;
            ++p;
            continue;
        }
        out.append(reinterpret_cast<const char*>(p), len);
        p += len;
    }
}

}  // namespace

void DecodeUtf8(std::string_view bytes, std::string& out, DecodeReport& report)
{
    const size_t valid = ValidUtf8Prefix(bytes);
    out.assign(bytes.substr(0, valid));
    if (valid < bytes.size())
        AppendRepairedUtf8(bytes.substr(valid), out, report);
}

void MakeValidUtf8(std::string& text, DecodeReport& report)
{
    const size_t valid = ValidUtf8Prefix(text);
    if (valid == text.size())
        return;
    std::string rest = text.substr(valid);
    text.resize(valid);
    AppendRepairedUtf8(rest, text, report);
}

bool IsValidUtf8(std::string_view bytes) { return ValidUtf8Prefix(bytes) == bytes.size(); }

}  // namespace charsets
