#include "FileVersion.h"

#include "platform/TextConv.h"

#include <vector>

#ifndef KELVANE_FILE_VERSION
#error "KELVANE_FILE_VERSION comes from the build"
#endif

namespace {

constexpr int kMaxVersionPart = 65535;  // each part is 16 bits in a version resource

std::wstring_view TrimSpaces(std::wstring_view text)
{
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t'))
        text.remove_suffix(1);
    return text;
}

std::optional<int> ParsePart(std::wstring_view text)
{
    text = TrimSpaces(text);
    if (text.empty())
        return std::nullopt;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > kMaxVersionPart)
            return std::nullopt;
    }
    return value;
}

}  // namespace

std::wstring GetFileVersionText() { return platform::Utf8ToWide(KELVANE_FILE_VERSION); }

std::optional<int> VersionNumberFromText(std::wstring_view text)
{
    const wchar_t separator = text.find(L',') != std::wstring_view::npos ? L',' : L'.';
    std::vector<int> parts;
    for (;;) {
        const size_t end = text.find(separator);
        const auto part = ParsePart(text.substr(0, end));
        if (!part || parts.size() == 4)
            return std::nullopt;
        parts.push_back(*part);
        if (end == std::wstring_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    if (parts.size() != 4)
        return std::nullopt;
    return parts[0] * 100 + parts[1] * 10 + parts[2];
}

int GetOwnVersionNumber()
{
    // The build's own version is four numbers; a malformed one compares as 0,
    // so every manifest offers its update rather than none.
    return VersionNumberFromText(GetFileVersionText()).value_or(0);
}
