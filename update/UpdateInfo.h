#pragma once
// One update manifest, copied by value between the checker, the top bar and
// the update dialog.
#include <cstdint>
#include <string>
#include <string_view>

struct UpdateInfo {
    uint8_t valid = 0;          // set when a manifest was parsed
    std::wstring application;   // "Application"
    int32_t version = 0;        // "Version" x 100, truncated toward zero
    std::wstring platform;      // "Platform"
    std::wstring releaseDate;   // "ReleaseDate"
    std::wstring releaseNotes;  // "ReleaseNotes"
    std::wstring source;        // "Source": the installer's download address
    std::wstring hash;          // "Hash"
    int64_t size = 0;           // "Size": the installer's size in bytes
    std::wstring extra;         // not filled from the manifest
};

// A manifest is a few hundred bytes; anything far larger is not one.
inline constexpr int64_t kMaxManifestBytes = 1024 * 1024;

inline constexpr wchar_t kManifestFileName[] = L"update.json";

// Parses manifest text (UTF-8 JSON, a leading byte-order mark allowed). On any
// fault, including keys of the wrong type and a missing "Version", the result
// is invalid and every field keeps its default.
UpdateInfo ParseManifestText(std::string_view text);

// Reads and parses a manifest file; invalid when it is missing, too large or
// does not parse.
UpdateInfo ParseManifestFile(const std::wstring& path);

// Parses the stored "update.json" of the update folder; false when there is
// none or it does not parse.
bool ParseStoredManifest(const std::wstring& updateFolder, UpdateInfo& info);

// An update is offered when the manifest parsed, announces a higher version
// than ownVersion and names an http or https download address (the address is
// opened with the shell, so nothing else may pass).
bool IsUpdateOffered(const UpdateInfo& info, int ownVersion);
