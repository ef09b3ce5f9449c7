#include "RecentLibrary.h"

std::vector<std::wstring> RecentFoldersNewestFirst(CRecentSetList& list)
{
    list.LoadRecentList();
    std::vector<std::wstring> folders;
    const std::vector<RecentSet>& entries = list.Entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        folders.push_back(it->path);
    return folders;
}

bool RemoveRecentFolder(CRecentSetList& list, const std::wstring& folder)
{
    const int index = list.FindInRecentList(folder);
    if (index < 0 || !list.RemoveRecentEntry(static_cast<size_t>(index)))
        return false;
    return list.WriteRecentList();
}
