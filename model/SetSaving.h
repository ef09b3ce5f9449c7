#pragma once
// Saving a set into a folder of its own under a parent folder: the target
// folder is made (or, when it exists, the owner is asked what to do), the set
// file is written into it, and the folder joins the recent-set list. Failures
// are shown to the user through the owner with the system's text for the
// error.
#include <cstdint>
#include <functional>
#include <string>

// Results of the save operations.
inline constexpr int32_t kSaveDone = 0;
inline constexpr int32_t kSaveCancelled = -1;
inline constexpr int32_t kSaveFailed = -2;  // and the failure was shown

// What the owner of a set answers and shows while the set saves. The editor's
// main window supplies the existing-target dialog and its message boxes.
struct SaveCallbacks {
    // The target folder "<parent>/<name>" exists. False: the user cancelled.
    // True: save under `name`, which the prompt may have changed (it has then
    // made that folder) or left as it was (overwrite).
    std::function<bool(const std::wstring& parentFolder, std::wstring& name)> existingTarget;
    // Shows a failure to the user (a message box in the editor).
    std::function<void(const std::wstring& text)> showMessage;
};

// The system's text for an error number; for access denied followed by the
// language's request to run the program with administrator rights.
std::wstring SystemErrorMessage(int error);

// Writes the set file into the folder; false with errno telling why.
using SetFileWriter = std::function<bool(const std::wstring& setFile, const std::wstring& setName)>;

// Shows a failure of a save through the owner and logs it.
void ReportSaveFailure(const SaveCallbacks& owner, const std::wstring& text);

// The save flow shared by both formats. `setName` is the set's name and comes
// back as the name it was saved under. `ownFolder` is the folder the set was
// opened from or last saved to: a target that is that folder is written in
// place without a question (the writers replace the set file atomically).
// Another existing folder goes to the owner's existing-target prompt; without
// one it counts as cancelled, so nothing is ever overwritten unasked.
int32_t SaveSetFolder(const std::wstring& parentFolder, std::wstring& setName, const wchar_t* setFileName,
                      const SetFileWriter& write, const SaveCallbacks& owner, const std::wstring& ownFolder = {});

// A name for a new folder in `parentFolder`: `name` itself when nothing of
// that name is there, else "name 2", "name 3" … the first that is free.
std::wstring FreeFolderName(const std::wstring& parentFolder, const std::wstring& name);

// Adds the saved folder to the recent-set list with the current time and
// writes the list.
void RecordRecentSet(const std::wstring& setFolder);
