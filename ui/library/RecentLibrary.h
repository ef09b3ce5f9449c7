#pragma once
// The recent page's side of the recent-set list: rows newest first, and
// removal by the folder a row shows (rows skip sets that no longer load, so a
// row number is not a list position).
#include "app/SettingsFiles.h"

#include <string>
#include <vector>

// Reloads the list and gives its folders newest first.
std::vector<std::wstring> RecentFoldersNewestFirst(CRecentSetList& list);

// Removes the folder's entry (compared without case, as the list compares)
// and saves the list; false when it is not in the list or the save failed.
bool RemoveRecentFolder(CRecentSetList& list, const std::wstring& folder);
