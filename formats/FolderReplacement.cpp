#include "FolderReplacement.h"

#include "platform/FileUtil.h"
#include "platform/FolderSwap.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* kStagingPrefix = L".kelvane-new-";

fs::path Native(const std::wstring& path) { return fs::path(platform::NativePath(path)); }

bool Fail(const std::error_code& ec)
{
    errno = ec ? ec.value() : EIO;
    return false;
}

// A link to the file where the file system allows one (no bytes copied),
// else a copy; folders are made and filled the same way.
bool LinkOrCopy(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(from, ec);
    if (ec)
        return Fail(ec);
    if (fs::is_symlink(status)) {
        fs::copy_symlink(from, to, ec);
        return ec ? Fail(ec) : true;
    }
    if (fs::is_directory(status)) {
        if (!fs::create_directory(to, ec) && ec)
            return Fail(ec);
        fs::permissions(to, status.permissions(), ec);
        for (const fs::directory_entry& entry : fs::directory_iterator(from, ec)) {
            if (!LinkOrCopy(entry.path(), to / entry.path().filename()))
                return false;
        }
        return ec ? Fail(ec) : true;
    }
    fs::create_hard_link(from, to, ec);
    if (!ec)
        return true;
    ec.clear();
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    return ec ? Fail(ec) : true;
}

std::set<std::wstring> UpperCasedNames(const std::wstring& folder)
{
    std::set<std::wstring> names;
    for (const std::wstring& name : platform::ListFolder(folder))
        names.insert(platform::ToUpperWide(name));
    return names;
}

}  // namespace

bool FolderReplacement::Create(const std::wstring& target)
{
    Abandon();
    std::error_code ec;
    // Through a symbolic link to the folder itself, so the link stays a link.
    const fs::path real = fs::canonical(Native(target), ec);
    if (ec)
        return Fail(ec);
    m_target = platform::Utf8ToWide(real.string());
    const std::wstring parent = platform::FolderPart(m_target);
    m_staging = platform::MakeUniqueFolder(parent, kStagingPrefix + platform::FileNamePart(m_target) + L"-");
    m_inside = m_staging.empty();
    if (m_inside) {
        // A folder the user may write in a parent they may not: the new files
        // wait inside it and are moved in one by one.
        m_staging = platform::MakeUniqueFolder(m_target, kStagingPrefix);
        if (m_staging.empty())
            return false;
    }
    fs::permissions(Native(m_staging), fs::status(real, ec).permissions(), ec);
    return true;
}

bool FolderReplacement::Commit()
{
    if (m_staging.empty()) {
        errno = EINVAL;
        return false;
    }
    if (m_inside)
        return MoveStagedFilesIn();
    if (!CarryOverOldEntries() || !platform::SwapPaths(m_staging, m_target))
        return false;
    // The old folder now stands under the staging name.
    platform::RemoveFolderTree(m_staging);
    m_staging.clear();
    return true;
}

void FolderReplacement::Abandon()
{
    if (!m_staging.empty())
        platform::RemoveFolderTree(m_staging);
    m_staging.clear();
}

bool FolderReplacement::CarryOverOldEntries()
{
    const std::set<std::wstring> fresh = UpperCasedNames(m_staging);
    for (const std::wstring& name : platform::ListFolder(m_target)) {
        if (fresh.count(platform::ToUpperWide(name)) || name.starts_with(kStagingPrefix))
            continue;  // replaced by the new file (Windows peers see one name), or left by an earlier failure
        if (!LinkOrCopy(Native(platform::JoinPath(m_target, name)), Native(platform::JoinPath(m_staging, name))))
            return false;
    }
    return true;
}

bool FolderReplacement::MoveStagedFilesIn()
{
    // Every file is complete before the first one moves, and each move
    // replaces its target in one step; the set description goes last.
    std::vector<std::wstring> names = platform::ListFolder(m_staging);
    std::stable_partition(names.begin(), names.end(), [](const std::wstring& name) {
        return platform::ExtensionPart(name) != L".xml" && platform::ExtensionPart(name) != L".tvn";
    });
    for (const std::wstring& name : names) {
        std::error_code ec;
        fs::rename(Native(platform::JoinPath(m_staging, name)), Native(platform::JoinPath(m_target, name)), ec);
        if (ec)
            return Fail(ec);
    }
    Abandon();
    return true;
}
