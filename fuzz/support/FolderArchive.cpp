#include "FolderArchive.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cstdint>

namespace {

constexpr size_t kMaxEntries = 64;

bool IsPlainName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                             c == '-' || c == '_' || c == ' ';
        if (!allowed)
            return false;
    }
    return true;
}

bool IsAllowedName(std::string_view name)
{
    const size_t slash = name.find('/');
    if (slash == std::string_view::npos)
        return IsPlainName(name);
    return IsPlainName(name.substr(0, slash)) && IsPlainName(name.substr(slash + 1));
}

}  // namespace

std::vector<ArchiveEntry> ReadFolderArchive(std::string_view input)
{
    std::vector<ArchiveEntry> entries;
    size_t at = 0;
    while (at < input.size() && entries.size() < kMaxEntries) {
        const size_t nameLength = static_cast<uint8_t>(input[at++]);
        if (nameLength > input.size() - at)
            break;
        std::string name(input.substr(at, nameLength));
        at += nameLength;
        uint32_t size = 0;
        for (int i = 0; i < 4 && at < input.size(); ++i)
            size |= static_cast<uint32_t>(static_cast<uint8_t>(input[at++])) << (8 * i);
        const size_t taken = std::min<size_t>(size, input.size() - at);
        std::string bytes(input.substr(at, taken));
        at += taken;
        if (IsAllowedName(name))
            entries.push_back({std::move(name), std::move(bytes)});
    }
    return entries;
}

std::string MakeFolderArchive(const std::vector<ArchiveEntry>& entries)
{
    std::string out;
    for (const ArchiveEntry& entry : entries) {
        out += static_cast<char>(entry.name.size());
        out += entry.name;
        const uint32_t size = static_cast<uint32_t>(entry.bytes.size());
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((size >> (8 * i)) & 0xFF);
        out += entry.bytes;
    }
    return out;
}

bool UnpackFolderArchive(std::string_view input, const std::wstring& folder)
{
    for (const ArchiveEntry& entry : ReadFolderArchive(input)) {
        const std::wstring path = platform::JoinPath(folder, platform::Utf8ToWide(entry.name));
        if (entry.name.find('/') != std::string::npos)
            platform::CreateFolder(platform::FolderPart(path));
        // A name that is a folder already (or a file standing where a folder
        // should be) is a hostile input's own business: skipped.
        if (platform::FolderExists(path))
            continue;
        if (!platform::WriteFileAtomically(path, entry.bytes) && platform::FolderExists(platform::FolderPart(path)))
            return false;
    }
    return true;
}

ScratchFolder::ScratchFolder(const std::wstring& prefix) : m_path(platform::MakeTempFolder(prefix)) {}

ScratchFolder::~ScratchFolder()
{
    if (!m_path.empty())
        platform::RemoveFolderTree(m_path);
}
