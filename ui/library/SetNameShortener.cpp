#include "SetNameShortener.h"

#include "platform/TextConv.h"

std::wstring ShortenSetName(std::wstring_view name)
{
    if (platform::WideToAnsi(name).size() <= kSetCaptionMaxBytes)
        return std::wstring(name);
    size_t bytes = 0;
    size_t kept = 0;
    while (kept < name.size()) {
        const size_t size = platform::WideToAnsi(name.substr(kept, 1)).size();
        if (bytes + size > kSetCaptionKeptBytes)
            break;
        bytes += size;
        ++kept;
    }
    return std::wstring(name.substr(0, kept)) + L"..";
}
