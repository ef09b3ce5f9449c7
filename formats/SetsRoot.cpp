#include "SetsRoot.h"

#include "platform/FileUtil.h"
#include "platform/SystemFolders.h"

bool FindSetsRoot(std::wstring& folder)
{
    static const wchar_t* const kPrograms[] = {L"Quillan", L"Tolvenar", L"Zembra", L"Fennor"};
    const std::wstring maker = platform::JoinPath(platform::GetCommonAppDataFolder(), L"Merokai");
    for (const wchar_t* program : kPrograms) {
        const std::wstring programFolder = platform::JoinPath(maker, program);
        if (!platform::FolderExists(programFolder))
            continue;
        const std::wstring scene = platform::JoinPath(programFolder, L"Scene");
        if (platform::FolderExists(platform::JoinPath(scene, L"VirtualSets")) &&
            platform::FolderExists(platform::JoinPath(scene, L"MultiViews"))) {
            folder = scene;
            return true;
        }
    }
    return false;
}
