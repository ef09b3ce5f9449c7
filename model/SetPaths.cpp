#include "SetPaths.h"

#include "formats/SceneFile.h"
#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <filesystem>

std::wstring SetFolderOf(const std::wstring& setFile)
{
    std::wstring folder = platform::FolderPart(setFile);
    if (folder.empty() || folder[0] != L'/') {
        std::error_code ec;
        const std::wstring current = platform::Utf8ToWide(std::filesystem::current_path(ec).string());
        folder = folder.empty() ? current : platform::JoinPath(current, folder);
    }
    // "." and ".." parts would otherwise stand in the set's name.
    folder = platform::Utf8ToWide(std::filesystem::path(platform::NativePath(folder)).lexically_normal().string());
    while (folder.size() > 1 && folder.back() == L'/')
        folder.pop_back();
    return folder;
}

std::wstring SetFolderNameOf(const std::wstring& setFile)
{
    std::wstring folder = SetFolderOf(setFile);
    while (!folder.empty() && folder.back() == L'/')
        folder.pop_back();
    const size_t slash = folder.rfind(L'/');
    return slash == std::wstring::npos ? folder : folder.substr(slash + 1);
}

std::wstring SetThumbnailPathOf(const std::wstring& setFile)
{
    return platform::JoinPath(SetFolderOf(setFile), L"thumbnail.jpg");
}

std::wstring ShotPreviewPathOf(const std::wstring& setFile, int shot)
{
    return platform::JoinPath(SetFolderOf(setFile), std::to_wstring(shot) + L".bmp");
}

bool IsPlainFolderName(const std::wstring& name)
{
    return !name.empty() && name != L"." && name != L".." && name.find(L'/') == std::wstring::npos &&
           name.find(L'\0') == std::wstring::npos;
}

bool MakeSetRecordForFolder(const std::wstring& folder, SourceInfo& info)
{
    const std::wstring sceneFile = platform::JoinPath(folder, kSceneFileName);
    if (IsSceneFile(sceneFile)) {
        info.kind = kKindNativeSet;
        info.variant = 1;
        info.path = sceneFile;
        return true;
    }
    const std::wstring configFile = platform::JoinPath(folder, kVmixConfigFileName);
    if (IsVmixVirtualSet(configFile)) {
        info.kind = kKindVmixSet;
        info.variant = 2;
        info.path = configFile;
        return true;
    }
    return false;
}
