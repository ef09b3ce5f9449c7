#pragma once
// The editor's own files in the user data folder: Setting.xml, written from
// the settings record whenever one of its user-interface states changes, and
// workspace.xml, the list of recently saved virtual sets.
#include "ProjectSettings.h"

#include <cstdint>
#include <string>
#include <vector>

std::wstring SettingsFilePath();  // Setting.xml in the user data folder

// Writes g_settings to Setting.xml; the result says whether it was saved.
bool WriteSettingsFile();
bool WriteSettingsFile(const ProjectSettings& settings, const std::wstring& path);

// Reads the video format back from a settings file into the record. Only a
// format the editor offers is taken; a missing, damaged or unknown one leaves
// the record as it is (false).
bool ReadVideoFormatSetting(ProjectSettings& settings, const std::wstring& path);
// Reads back what the editor keeps of the last session: the snapshot folder
// (LastCapturePath), keep-ratio and the workspace values; false when the
// file does not read (the workspace is then empty).
bool ReadWorkspaceSetting(ProjectSettings& settings, const std::wstring& path);

struct RecentSet {
    std::wstring path;  // the set's folder
    int64_t time = 0;   // when it was saved, seconds since 1970
};

// Recently saved sets, oldest first, newest last, without a length limit.
class CRecentSetList {
public:
    // An empty file path means workspace.xml in the user data folder.
    explicit CRecentSetList(std::wstring filePath = {});

    // Clears the list and reads the file. A missing, unreadable or malformed
    // file gives an empty list (false) and is left as it is.
    bool LoadRecentList();
    // Index of the entry for the folder, compared without letter case; -1 if none.
    int FindInRecentList(const std::wstring& path) const;
    // Moves the folder to the end with the new time, spelled as given now.
    void TouchRecentEntry(const std::wstring& path, int64_t time);
    bool RemoveRecentEntry(size_t index);
    // Saves the list; the old file stays whole when the save fails.
    bool WriteRecentList() const;

    const std::vector<RecentSet>& Entries() const { return m_entries; }
    std::wstring FilePath() const;

private:
    std::wstring m_filePath;
    std::vector<RecentSet> m_entries;
    bool m_loaded = false;
};

// The one list of the process, shared by the scene's save and the library.
extern CRecentSetList g_recentSets;
