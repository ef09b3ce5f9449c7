#pragma once
// Other running copies of the editor, told apart by the user data folder
// they work in: only an editor of the same user and the same data folder is
// ever ended by this one.
#include <cstdint>
#include <string>
#include <vector>

// The executable's file name that every running copy has.
inline constexpr char kEditorExecutableName[] = "kelvane";

// The user data folder the process works in, worked out from the
// environment it was started with as the process itself does; empty when it
// cannot be read (another user's process, or one that is gone).
std::wstring UserDataFolderOfProcess(uint32_t pid);

// The process is a running editor (not this process) of this user whose user
// data folder is `dataFolder`.
bool IsEditorOfDataFolder(uint32_t pid, const std::wstring& dataFolder);

// The running editors of the data folder, leaving out this process.
std::vector<uint32_t> FindEditorsOfDataFolder(const std::wstring& dataFolder);

// Ends each of them (SIGTERM, SIGKILL after waitMs); false when there was
// none or one of them could not be ended.
bool TerminateEditorsOfDataFolder(const std::wstring& dataFolder, int waitMs);
