#pragma once
// File and folder helpers. Paths are wide text with '/' separators.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::string NativePath(const std::wstring& path);  // the UTF-8 form the system takes

bool FileExists(const std::wstring& path);     // a regular file
bool FolderExists(const std::wstring& path);   // a directory
bool PathExists(const std::wstring& path);     // anything

// Creates one folder level; true when it exists afterwards.
bool CreateFolder(const std::wstring& path);
// Creates the folder and every missing parent.
bool CreateFolderTree(const std::wstring& path);
// Creates one folder level when missing and leaves it open to its owner
// alone (0700); true when it exists so afterwards.
bool CreatePrivateFolder(const std::wstring& path);
// Leaves the file readable and writable by its owner alone (0600).
bool MakeFileOwnerOnly(const std::wstring& path);

// Size in bytes, or -1 when the file cannot be examined.
int64_t FileSize(const std::wstring& path);

std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Writes the bytes to a temporary file in the same folder, flushes it to disk
// and renames it over the target, so the target is either the old file or the
// complete new one.
bool WriteFileAtomically(const std::wstring& path, std::string_view bytes);

bool RemoveFile(const std::wstring& path);
bool CopyFileTo(const std::wstring& from, const std::wstring& to, bool overwrite);

// Same file on disk (device and inode), for guarding copies onto themselves.
bool IsSameFile(const std::wstring& a, const std::wstring& b);

// Joins with exactly one '/' between the parts.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
std::wstring FileNamePart(const std::wstring& path);       // after the last '/'
std::wstring FolderPart(const std::wstring& path);         // before the last '/'
std::wstring ExtensionPart(const std::wstring& path);      // ".png", or empty
std::wstring StemPart(const std::wstring& path);           // file name without extension

// Names of the entries in a folder (no "." or ".."), sorted.
std::vector<std::wstring> ListFolder(const std::wstring& folder);

// System temporary folder ($TMPDIR, else /tmp).
std::wstring GetTempFolder();
// Creates a new empty file with a unique name that starts with the prefix,
// like GetTempFileName; empty on failure.
std::wstring MakeTempFile(const std::wstring& folder, const std::wstring& prefix);
// Creates a new unique folder; empty on failure.
std::wstring MakeTempFolder(const std::wstring& prefix);
// Removes a folder and everything in it.
bool RemoveFolderTree(const std::wstring& folder);

// Last system error as text, for messages.
std::wstring SystemErrorText(int error);

}  // namespace platform
