#include "SampleSets.h"

#include "SettingsFiles.h"
#include "platform/FileUtil.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"

#include <cstdio>

using platform::JoinPath;

namespace {

bool IsSetFolder(const std::wstring& folder)
{
    return platform::FileExists(JoinPath(folder, L"scene.tvn")) || platform::FileExists(JoinPath(folder, L"config.xml"));
}

bool CopySetFolder(const std::wstring& from, const std::wstring& setsFolder, const std::wstring& target)
{
    const std::wstring work = JoinPath(setsFolder, L".sample-" + platform::FileNamePart(target) + L".part");
    platform::RemoveFolderTree(work);
    if (!platform::CreateFolder(work))
        return false;
    for (const std::wstring& name : platform::ListFolder(from)) {
        const std::wstring file = JoinPath(from, name);
        if (platform::FileExists(file) && !platform::CopyFileTo(file, JoinPath(work, name), false)) {
            platform::RemoveFolderTree(work);
            return false;
        }
    }
    if (std::rename(platform::WideToUtf8(work).c_str(), platform::WideToUtf8(target).c_str()) != 0) {
        platform::RemoveFolderTree(work);
        return false;
    }
    return true;
}

}  // namespace

std::wstring GetShippedSamplesFolder() { return JoinPath(platform::GetProgramDataFolder(), L"samples"); }

int OfferSampleSetsOnFirstRun(const std::wstring& samplesFolder, const std::wstring& setsFolder,
                              CRecentSetList& list, int64_t now)
{
    if (platform::FileExists(list.FilePath()) || !platform::FolderExists(samplesFolder) ||
        !platform::FolderExists(setsFolder))
        return 0;
    list.LoadRecentList();
    int added = 0;
    for (const std::wstring& name : platform::ListFolder(samplesFolder)) {
        const std::wstring sample = JoinPath(samplesFolder, name);
        const std::wstring target = JoinPath(setsFolder, name);
        if (!IsSetFolder(sample) || platform::PathExists(target) || !CopySetFolder(sample, setsFolder, target))
            continue;
        list.TouchRecentEntry(target, now);
        ++added;
    }
    if (added > 0)
        list.WriteRecentList();
    return added;
}
