#include "SystemFolders.h"

#include "FileUtil.h"
#include "TextConv.h"

#include <cstdlib>
#include <cwctype>
#include <mutex>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::string HomeFolder(const char* home)
{
    if (home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

std::string StripTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::mutex g_driveMutex;
std::wstring g_driveRoot = L"/mnt";

}  // namespace

std::wstring GetRoamingAppDataFolder() { return RoamingAppDataFolderFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")); }

std::wstring RoamingAppDataFolderFor(const char* xdgDataHome, const char* home)
{
    // A relative XDG path is invalid by the XDG rules and is ignored.
    if (xdgDataHome && xdgDataHome[0] == '/')
        return Utf8ToWide(StripTrailingSlash(xdgDataHome));
    return Utf8ToWide(HomeFolder(home) + "/.local/share");
}

std::wstring GetCommonAppDataFolder()
{
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    if (dirs && *dirs) {
        std::string all(dirs);
        std::string first = all.substr(0, all.find(':'));
        if (!first.empty() && first[0] == '/')
            return Utf8ToWide(StripTrailingSlash(first));
    }
    return L"/usr/local/share";
}

std::wstring GetExecutablePath()
{
    std::vector<char> buffer(4096);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return {};
    return Utf8ToWide(std::string(buffer.data(), static_cast<size_t>(n)));
}

namespace {

std::wstring ExecutableFolder() { return FolderPart(GetExecutablePath()); }

// The installed prefix when the executable sits in <prefix>/bin beside an
// installed share/kelvane; empty in a build folder.
std::wstring InstalledPrefix()
{
    const std::wstring bin = ExecutableFolder();
    if (FileNamePart(bin) != L"bin")
        return {};
    const std::wstring prefix = FolderPart(bin);
    return FolderExists(JoinPath(prefix, L"share/kelvane")) ? prefix : std::wstring();
}

}  // namespace

std::wstring GetProgramDataFolder()
{
    const std::wstring prefix = InstalledPrefix();
    return prefix.empty() ? ExecutableFolder() : JoinPath(prefix, L"share/kelvane");
}

std::wstring GetProgramModuleFolder()
{
    const std::wstring prefix = InstalledPrefix();
    return prefix.empty() ? JoinPath(ExecutableFolder(), L"obs-plugins") : JoinPath(prefix, L"lib/kelvane/obs-plugins");
}

std::wstring GetProgramModuleDataFolder()
{
    const std::wstring prefix = InstalledPrefix();
    return prefix.empty() ? JoinPath(ExecutableFolder(), L"obs-plugins/data")
                          : JoinPath(prefix, L"share/kelvane/obs-plugins");
}

std::wstring GetDriveRoot()
{
    std::lock_guard lock(g_driveMutex);
    return g_driveRoot;
}

void SetDriveRootForTests(const std::wstring& root)
{
    std::lock_guard lock(g_driveMutex);
    g_driveRoot = root;
}

std::wstring DriveFolder(wchar_t letter)
{
    return GetDriveRoot() + L"/" + static_cast<wchar_t>(std::towlower(static_cast<wint_t>(letter)));
}

}  // namespace platform
