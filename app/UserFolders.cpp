#include "UserFolders.h"

#include "platform/FileUtil.h"
#include "platform/SystemFolders.h"

using platform::JoinPath;

std::wstring GetUserDataFolder()
{
    const std::wstring folder = JoinPath(platform::GetRoamingAppDataFolder(), L"Kelvane");
    if (!platform::FolderExists(folder))
        platform::CreateFolderTree(folder);
    return folder;
}

std::wstring GetVirtualSetsFolder() { return JoinPath(GetUserDataFolder(), L"VirtualSets"); }

std::wstring GetUnnamedSetFolder() { return JoinPath(GetVirtualSetsFolder(), L"unnamed"); }

std::wstring GetUpdateFolder() { return JoinPath(GetUserDataFolder(), L"Update"); }

std::wstring GetRtcServerConfigPath() { return JoinPath(GetUserDataFolder(), L"rtcserver.json"); }

std::wstring GetProgramFolder()
{
    const std::wstring exe = platform::GetExecutablePath();
    const size_t slash = exe.find_last_of(L'/');
    return slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash);
}

std::wstring FindMakerProgramFolder(const std::wstring& programName)
{
    const std::wstring maker = JoinPath(platform::GetCommonAppDataFolder(), L"Merokai");
    if (!platform::FolderExists(maker))
        return {};
    const std::wstring folder = JoinPath(maker, programName);
    return platform::FolderExists(folder) ? folder : std::wstring();
}
