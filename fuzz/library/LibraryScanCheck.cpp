#include "LibraryScanCheck.h"

#include "fuzz/support/FolderArchive.h"
#include "platform/FileUtil.h"
#include "ui/library/LibraryKinds.h"
#include "ui/library/SetTooltip.h"
#include "ui/library/VSetScanner.h"

std::string CheckLibraryScan(const std::string& bytes, const std::wstring& folder)
{
    const std::wstring library = platform::JoinPath(folder, L"library");
    platform::RemoveFolderTree(library);
    if (!platform::CreateFolder(library) || !UnpackFolderArchive(bytes, library))
        return "the candidate could not be written";
    for (const std::wstring& name : platform::ListFolder(library)) {
        const std::wstring set = platform::JoinPath(library, name);
        if (!platform::FolderExists(set))
            continue;
        const bool native = platform::FileExists(platform::JoinPath(set, L"scene.tvn"));
        const bool vmix = platform::FileExists(platform::JoinPath(set, L"config.xml")) &&
                          platform::FileExists(platform::JoinPath(set, L"thumbnail.jpg"));
        if (ReadLibraryEntry(kLibraryTolvenar, set) && !native)
            return "a folder without a scene file became a native row";
        if (ReadLibraryEntry(kLibraryVmix, set) && !vmix)
            return "a folder without config.xml and thumbnail became a vMix row";
        if (ReadLibraryEntry(kLibraryRecent, set) && !native && !vmix)
            return "a folder without a set became a recent row";
        SetTooltipText(set);
    }
    return {};
}
