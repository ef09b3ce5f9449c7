#include "SetCache.h"

#include "app/UserFolders.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// The folder as one spelling: absolute, symbolic links resolved as far as
// the folder exists, no "." or ".." parts and no trailing separator.
std::string CanonicalFolder(const std::wstring& setFolder)
{
    std::error_code ec;
    fs::path path = fs::absolute(fs::path(platform::NativePath(setFolder)), ec);
    if (ec)
        path = fs::path(platform::NativePath(setFolder));
    const fs::path resolved = fs::weakly_canonical(path, ec);
    std::string text = (ec ? path.lexically_normal() : resolved).string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

// 64-bit FNV-1a: stable across runs, builds and machines.
uint64_t StableHash(const std::string& text)
{
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::wstring HexName(uint64_t value)
{
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(value));
    return platform::Utf8ToWide(text);
}

}  // namespace

std::wstring GetSetCacheFolder(const std::wstring& setFolder)
{
    if (setFolder.empty())
        return {};
    const std::wstring userData = GetUserDataFolder();
    if (!platform::CreateFolderTree(userData))
        return {};
    const std::wstring cacheRoot = platform::JoinPath(userData, L"Cache");
    const std::wstring folder = platform::JoinPath(cacheRoot, SetFolderId(setFolder));
    if (!platform::CreatePrivateFolder(cacheRoot) || !platform::CreatePrivateFolder(folder))
        return {};
    return folder;
}

std::wstring SetFolderId(const std::wstring& setFolder) { return HexName(StableHash(CanonicalFolder(setFolder))); }
