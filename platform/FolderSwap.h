#pragma once
// Putting a finished folder in the place of another: a unique new folder
// beside the target, and the exchange of the two names.
#include <string>

namespace platform {

// Creates a new unique folder inside parent, its name starting with prefix;
// empty (errno set) on failure.
std::wstring MakeUniqueFolder(const std::wstring& parent, const std::wstring& prefix);

// Swaps two entries of one file system: afterwards each name holds what the
// other held. In one step where the file system can; elsewhere through a
// third name, and then put back as it was when the second step fails.
bool SwapPaths(const std::wstring& a, const std::wstring& b);

}  // namespace platform
