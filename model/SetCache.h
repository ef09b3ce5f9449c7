#pragma once
// A private folder per set under the user data folder, for files that belong
// to a set but cannot (or should not) live in its own folder: the pictures
// unpacked from a scene file in a folder the user cannot write, and the shot
// pictures of an edit that has not been saved yet.
#include <string>

// "<user data>/Cache/<hash of the set's absolute folder>", created on demand
// with access for the user alone. The same set folder (however it is
// written: relative, with "." or ".." parts, or a trailing separator) always
// gives the same cache folder. Empty when the folder cannot be made.
std::wstring GetSetCacheFolder(const std::wstring& setFolder);
// The name that stands for the set's folder under the user data folder: the
// same for every spelling of the folder, as for the cache folder.
std::wstring SetFolderId(const std::wstring& setFolder);
