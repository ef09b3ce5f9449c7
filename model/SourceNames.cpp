#include "SourceNames.h"


#include <cwchar>
#include <obs.hpp>

namespace {

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t cut = path.find_last_of(L"/\\");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring FolderNameOf(const std::wstring& path)
{
    const size_t cut = path.find_last_of(L"/\\");
    if (cut == std::wstring::npos)
        return std::wstring();
    return FileNameOf(path.substr(0, cut));
}

std::wstring WebRtcName(const WebRtcSettings& r)
{
    return r.myName + L"(" + r.roomName + L" - " + r.myId + L")";
}

template <typename MakeCandidate>
std::string FirstFreeName(const std::string& name, MakeCandidate candidate)
{
    if (!SourceNameExists(name))
        return name;
    for (int n = 2;; ++n) {
        std::string next = candidate(n);
        if (!SourceNameExists(next))
            return next;
    }
}

}  // namespace

std::wstring MakeDisplayName(SourceInfo& info)
{
    switch (info.kind) {
    case 4:
    case 5:
        info.displayName = FolderNameOf(info.path);
        break;
    case 1:
    case 3:
    case 200:
    case 210:
        info.displayName = FileNameOf(info.path.empty() ? info.streamAddress : info.path);
        if (info.playlistCount > 0)
            info.displayName = L"[List]" + info.displayName;
        break;
    case 17:
    case 18:
        info.displayName = WebRtcName(info.webRtc);
        break;
    case 10:
        info.displayName = info.path;
        break;
    default:
        info.displayName = L"Unknown";
        break;
    }
    return info.displayName;
}

bool SourceNameExists(const std::string& name)
{
    OBSSourceAutoRelease found = obs_get_source_by_name(name.c_str());
    return found != nullptr;
}

std::string MakeUniqueSourceName(const std::string& name)
{
    return FirstFreeName(name, [&](int n) { return name + " (" + std::to_string(n) + ")"; });
}

std::string MakeUniqueDeviceName(const std::string& name)
{
    return FirstFreeName(name, [&](int n) { return name + " " + std::to_string(n); });
}
