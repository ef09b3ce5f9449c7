#include "ManifestCheck.h"

#include "platform/FileUtil.h"
#include "update/UpdateInfo.h"

#include <cstdint>
#include <cwctype>

namespace {

bool SameInfo(const UpdateInfo& a, const UpdateInfo& b)
{
    return a.valid == b.valid && a.application == b.application && a.version == b.version &&
           a.platform == b.platform && a.releaseDate == b.releaseDate && a.releaseNotes == b.releaseNotes &&
           a.source == b.source && a.hash == b.hash && a.size == b.size && a.extra == b.extra;
}

// A web address, seen whole: its scheme is http or https and nothing hides
// behind a NUL that a C-string check would stop at.
bool IsWholeWebAddress(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return (text.rfind(L"http:", 0) == 0 || text.rfind(L"https:", 0) == 0) && text.find(L'\0') == std::wstring::npos;
}

}  // namespace

std::string CheckManifestInput(const std::string& bytes, const std::wstring& folder)
{
    const UpdateInfo info = ParseManifestText(bytes);
    if (!info.valid && !SameInfo(info, UpdateInfo{}))
        return "an invalid manifest kept fields";
    if (info.valid && info.size < 0)
        return "a negative installer size was taken";
    if (!info.extra.empty())
        return "the manifest filled a field it does not hold";
    // The address is opened with the shell: nothing but web addresses may pass.
    for (int own : {INT32_MIN, 0, 100, info.version > INT32_MIN ? info.version - 1 : INT32_MIN}) {
        if (IsUpdateOffered(info, own) && !IsWholeWebAddress(info.source))
            return "an update with a non-web address was offered";
    }

    const std::wstring path = platform::JoinPath(folder, kManifestFileName);
    if (!platform::WriteFileAtomically(path, bytes))
        return "the candidate could not be written";
    UpdateInfo stored;
    const bool parsed = ParseStoredManifest(folder, stored);
    if (parsed != (info.valid != 0) || !SameInfo(stored, info))
        return "the stored manifest reads differently from its text";
    return {};
}
