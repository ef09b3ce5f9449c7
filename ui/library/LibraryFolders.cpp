#include "LibraryFolders.h"

#include "LibraryKinds.h"
#include "app/UserFolders.h"
#include "formats/SetsRoot.h"
#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"
#include "platform/IniFile.h"

namespace {

constexpr size_t kMaxFolderChars = 259;

const wchar_t* FolderKey(int kind)
{
    switch (kind) {
    case kLibraryTolvenar: return L"Tolvenar";
    case kLibraryVmix: return L"vMix";
    default: return nullptr;
    }
}

}  // namespace

const wchar_t* TolvenarSubFolder(int tab)
{
    static const wchar_t* const names[kTolvenarTabCount] = {L"VirtualSets", L"MultiViews", L"Others"};
    return names[((tab % kTolvenarTabCount) + kTolvenarTabCount) % kTolvenarTabCount];
}

std::wstring SystemIniPath() { return platform::JoinPath(GetUserDataFolder(), L"system.ini"); }

std::wstring ReadLibraryFolder(int kind)
{
    const wchar_t* key = FolderKey(kind);
    if (!key)
        return {};
    return platform::ReadProfileString(SystemIniPath(), L"Path", key, L"", kMaxFolderChars);
}

bool WriteLibraryFolder(int kind, const std::wstring& folder)
{
    const wchar_t* key = FolderKey(kind);
    return key && platform::WriteProfileString(SystemIniPath(), L"Path", key, folder);
}

bool FindLibraryFolder(int kind, std::wstring& folder)
{
    if (kind == kLibraryTolvenar)
        return FindSetsRoot(folder);
    if (kind == kLibraryVmix)
        return FindVmixVirtualSetsFolder(folder);
    return false;
}

std::wstring ScanFolderOf(int kind, const std::wstring& libraryFolder, int tolvenarTab)
{
    if (kind == kLibraryTolvenar)
        return platform::JoinPath(libraryFolder, TolvenarSubFolder(tolvenarTab));
    return libraryFolder;
}
