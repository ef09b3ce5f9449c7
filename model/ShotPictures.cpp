#include "ShotPictures.h"

#include "SetCache.h"

#include "formats/SceneRecords.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cstdio>
#include <cstring>
#include <obs.h>

namespace {

std::wstring NumberedPicture(const std::wstring& folder, int shot)
{
    return platform::JoinPath(folder, std::to_wstring(shot) + L".bmp");
}

// 64-bit FNV-1a over the bytes given.
class KeyHash {
public:
    void Add(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            m_hash ^= bytes[i];
            m_hash *= 0x100000001b3ULL;
        }
    }
    void AddText(const std::string& text)
    {
        const uint64_t length = text.size();
        Add(&length, sizeof length);
        Add(text.data(), text.size());
    }
    std::string Hex() const
    {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(m_hash));
        return text;
    }

private:
    uint64_t m_hash = 0xcbf29ce484222325ULL;
};

}  // namespace

std::string ShotPictureKey(const ShotInfo& shot, int shotMode, const LayerInfo* shownLayer)
{
    KeyHash hash;
    hash.Add(&shotMode, sizeof shotMode);
    for (float value : {shot.x, shot.y, shot.zoomX, shot.zoomY, shot.zoomZ, shot.rotateX, shot.rotateY, shot.rotateZ})
        hash.Add(&value, sizeof value);
    if (shownLayer) {
        hash.AddText(std::string(shownLayer->name, strnlen(shownLayer->name, sizeof shownLayer->name)));
        hash.AddText(LayerImagePath(*shownLayer));
        hash.AddText(LayerUvPath(*shownLayer));
    }
    return hash.Hex();
}

CShotPictures::~CShotPictures()
{
    if (!m_cacheFolder.empty())
        platform::RemoveFolderTree(m_cacheFolder);
}

void CShotPictures::Open(const std::wstring& setFolder, const std::vector<std::string>& keys)
{
    m_saved.clear();
    for (size_t n = 0; n < keys.size() && n < static_cast<size_t>(kMaxPictures); ++n) {
        const std::wstring picture = NumberedPicture(setFolder, static_cast<int>(n));
        if (platform::FileExists(picture))
            m_saved.emplace(keys[n], picture);
    }
    const std::wstring cache = GetSetCacheFolder(setFolder);
    m_cacheFolder = cache.empty() ? std::wstring() : platform::JoinPath(cache, L"ShotPictures");
    // Pictures left by an editor that ended without closing the set are of
    // no edit anyone can go back to.
    if (!m_cacheFolder.empty())
        platform::RemoveFolderTree(m_cacheFolder);
}

std::wstring CShotPictures::CachePath(const std::string& key) const
{
    return m_cacheFolder.empty() ? std::wstring() : platform::JoinPath(m_cacheFolder, platform::Utf8ToWide(key) + L".bmp");
}

std::wstring CShotPictures::Find(const std::string& key) const
{
    const std::wstring cached = CachePath(key);
    if (!cached.empty() && platform::FileExists(cached))
        return cached;
    const auto saved = m_saved.find(key);
    return saved != m_saved.end() && platform::FileExists(saved->second) ? saved->second : std::wstring();
}

std::wstring CShotPictures::NewPicturePath(const std::string& key)
{
    if (m_cacheFolder.empty() || !platform::CreateFolderTree(m_cacheFolder)) {
        blog(LOG_WARNING, "no cache folder for the shot pictures of this set");
        return {};
    }
    return CachePath(key);
}

void CShotPictures::KeepReplacedPictures(const std::wstring& folder, const std::vector<std::string>& keys)
{
    for (const auto& [key, path] : m_saved) {
        for (int n = 0; n < kMaxPictures; ++n) {
            const std::wstring target = NumberedPicture(folder, n);
            const bool stays = static_cast<size_t>(n) < keys.size() && keys[static_cast<size_t>(n)] == key;
            if (stays || path != target || !platform::FileExists(path))
                continue;
            const std::wstring kept = NewPicturePath(key);
            if (!kept.empty() && !platform::FileExists(kept))
                platform::CopyFileTo(path, kept, true);
        }
    }
}

bool CShotPictures::SaveInto(const std::wstring& folder, const std::vector<std::string>& keys)
{
    // A picture the save replaces may still be wanted by an undo: it moves
    // to the cache first, so every picture written below is read from a file
    // that this save does not touch.
    KeepReplacedPictures(folder, keys);
    std::vector<std::wstring> sources(keys.size());
    for (size_t n = 0; n < keys.size(); ++n)
        sources[n] = Find(keys[n]);

    bool complete = true;
    std::map<std::string, std::wstring> saved;
    for (const auto& [key, path] : m_saved) {
        if (!platform::IsSameFile(platform::FolderPart(path), folder))
            saved.emplace(key, path);  // a folder this save did not write
    }
    for (int n = 0; n < kMaxPictures; ++n) {
        const std::wstring target = NumberedPicture(folder, n);
        const std::wstring source = static_cast<size_t>(n) < keys.size() ? sources[static_cast<size_t>(n)] : std::wstring();
        if (source.empty()) {
            // No picture for this number: an old one there would show another shot.
            if (platform::PathExists(target) && !platform::RemoveFile(target))
                complete = false;
            continue;
        }
        if (!platform::CopyFileTo(source, target, true)) {
            complete = false;
            continue;
        }
        saved[keys[static_cast<size_t>(n)]] = target;
    }
    m_saved = std::move(saved);
    return complete;
}
