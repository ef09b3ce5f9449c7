#pragma once
// Putting a folder that was made beside its final place into that place in
// one step, so readers see either the old folder or the complete new one.
#include <string>

namespace platform {

// Makes a new empty folder beside `target` (same parent, hidden name), for
// writing the new content into; empty on failure.
std::wstring MakeFolderBeside(const std::wstring& target);

// Renames `staged` to `target`. Without `replace` an existing target is left
// alone and the call fails with EEXIST. With it an existing target is
// exchanged for the staged folder and then removed. False with errno set.
bool PutFolderInPlace(const std::wstring& staged, const std::wstring& target, bool replace);

}  // namespace platform
