#pragma once
// A folder written whole beside the folder it replaces, and put in its place
// only once complete. Until then the old folder is untouched: every file of
// it can still be read while the new one is written, and a failure anywhere
// leaves it as it was. Files of the old folder that the new one does not
// hold (the user's own files, a native scene file, subfolders) are kept.
#include <string>

class FolderReplacement {
public:
    FolderReplacement() = default;
    ~FolderReplacement() { Abandon(); }
    FolderReplacement(const FolderReplacement&) = delete;
    FolderReplacement& operator=(const FolderReplacement&) = delete;

    // Starts the new folder for the target (an existing folder). False, with
    // errno telling why, when no folder can be made for it.
    bool Create(const std::wstring& target);
    // Where the new files go.
    const std::wstring& folder() const { return m_staging; }

    // Brings over what only the old folder holds and puts the new folder in
    // the target's place, in one step where the file system allows. On
    // failure the target is as it was and errno tells why.
    bool Commit();
    // Removes the new folder and everything in it.
    void Abandon();

private:
    bool CarryOverOldEntries();
    bool MoveStagedFilesIn();

    std::wstring m_target;
    std::wstring m_staging;
    bool m_inside = false;  // staged inside the target (its parent cannot be written)
};
