#include "SetSaving.h"

#include "SetPaths.h"

#include "app/SettingsFiles.h"
#include "lumora/Lang.h"
#include "platform/FileUtil.h"

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <obs.h>
#include <system_error>

namespace {

// Makes one folder level; false with the system's error when it cannot.
bool MakeFolder(const std::wstring& folder, int& error)
{
    std::error_code ec;
    if (std::filesystem::create_directory(platform::NativePath(folder), ec))
        return true;
    error = ec ? ec.value() : EEXIST;
    return false;
}

// A folder the save made and left empty goes again, so a failed save of a new
// set leaves nothing behind. A folder with anything in it stays.
void RemoveIfEmpty(const std::wstring& folder)
{
    std::error_code ec;
    if (std::filesystem::is_empty(platform::NativePath(folder), ec) && !ec)
        std::filesystem::remove(platform::NativePath(folder), ec);
}

}  // namespace

void ReportSaveFailure(const SaveCallbacks& owner, const std::wstring& text)
{
    blog(LOG_ERROR, "Saving the set failed: %s", platform::NativePath(text).c_str());
    if (owner.showMessage)
        owner.showMessage(text);
}

std::wstring SystemErrorMessage(int error)
{
    std::wstring text = platform::SystemErrorText(error);
    if (error == EACCES || error == EPERM)
        text += L"\n" + Lang::LoadLangString(420);
    return text;
}

std::wstring FreeFolderName(const std::wstring& parentFolder, const std::wstring& name)
{
    if (!platform::PathExists(platform::JoinPath(parentFolder, name)))
        return name;
    for (int n = 2; n < 100000; ++n) {
        const std::wstring candidate = name + L" " + std::to_wstring(n);
        if (!platform::PathExists(platform::JoinPath(parentFolder, candidate)))
            return candidate;
    }
    return name;
}

int32_t SaveSetFolder(const std::wstring& parentFolder, std::wstring& setName, const wchar_t* setFileName,
                      const SetFileWriter& write, const SaveCallbacks& owner, const std::wstring& ownFolder)
{
    if (setName.empty())
        return kSaveFailed;
    if (!IsPlainFolderName(setName)) {
        ReportSaveFailure(owner, SystemErrorMessage(EINVAL));
        return kSaveFailed;
    }
    std::wstring target = platform::JoinPath(parentFolder, setName);
    bool madeHere = false;
    int error = 0;
    const bool ownTarget = !ownFolder.empty() && platform::FolderExists(target) &&
                           (target == ownFolder || platform::IsSameFile(target, ownFolder));
    if (ownTarget) {
        // The set's own folder: saved in place.
    } else if (platform::PathExists(target)) {
        std::wstring name = setName;
        if (!owner.existingTarget || !owner.existingTarget(parentFolder, name))
            return kSaveCancelled;
        if (!IsPlainFolderName(name)) {
            ReportSaveFailure(owner, SystemErrorMessage(EINVAL));
            return kSaveFailed;
        }
        setName = name;
        target = platform::JoinPath(parentFolder, setName);
        // A renaming prompt has made the folder; make it when it did not.
        if (!platform::PathExists(target)) {
            if (!MakeFolder(target, error)) {
                ReportSaveFailure(owner, SystemErrorMessage(error));
                return kSaveFailed;
            }
            madeHere = true;
        }
    } else if (!MakeFolder(target, error)) {
        ReportSaveFailure(owner, SystemErrorMessage(error));
        return kSaveFailed;
    } else {
        madeHere = true;
    }

    errno = 0;
    if (!write(platform::JoinPath(target, setFileName), setName)) {
        error = errno ? errno : EIO;
        if (madeHere)
            RemoveIfEmpty(target);
        ReportSaveFailure(owner, SystemErrorMessage(error));
        return kSaveFailed;
    }
    RecordRecentSet(target);
    return kSaveDone;
}

void RecordRecentSet(const std::wstring& setFolder)
{
    g_recentSets.TouchRecentEntry(setFolder, static_cast<int64_t>(std::time(nullptr)));
    g_recentSets.WriteRecentList();  // a recent list that cannot be written is not worth a message
}
