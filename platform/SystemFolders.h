#pragma once
// The user's and the machine's shared data folders, and the running executable.
#include <string>

namespace platform {

// Roaming application data: $XDG_DATA_HOME, else ~/.local/share.
std::wstring GetRoamingAppDataFolder();
// The same for a process of this user with these environment values (unset
// ones as null): the folder that process uses.
std::wstring RoamingAppDataFolderFor(const char* xdgDataHome, const char* home);

// Common application data: the first entry of $XDG_DATA_DIRS, else /usr/local/share.
std::wstring GetCommonAppDataFolder();

// Full path of the running executable.
std::wstring GetExecutablePath();
// Where the program's shipped files are: beside the executable in a build
// folder; <prefix>/share/kelvane and <prefix>/lib/kelvane once installed
// (the executable in <prefix>/bin). Both follow the executable, never a path
// fixed at build time, so an installed tree can be moved.
std::wstring GetProgramDataFolder();
std::wstring GetProgramModuleFolder();  // the engine modules (obs-plugins)
std::wstring GetProgramModuleDataFolder();  // their data, one folder per module

// Root folder under which drive letter X appears (X → <root>/x). "/mnt" unless
// overridden; only tests override it.
std::wstring GetDriveRoot();
void SetDriveRootForTests(const std::wstring& root);
std::wstring DriveFolder(wchar_t letter);

}  // namespace platform
