#include "SharedUvMaps.h"

#include "ObsUvMapFilter.h"

#include <map>
#include <mutex>
#include <obs.h>

namespace {

struct SharedEntry {
    UvMapFileStamp stamp;
    std::weak_ptr<const UvMapTexture> map;
};

// Filters are made and updated on any thread.
std::mutex g_mutex;
std::map<std::string, SharedEntry> g_maps;

void ForgetReleased()
{
    for (auto it = g_maps.begin(); it != g_maps.end();)
        it = it->second.map.expired() ? g_maps.erase(it) : std::next(it);
}

}  // namespace

UvMapTexture::UvMapTexture(gs_texture_t* texture, uint32_t width, uint32_t height)
    : m_texture(texture), m_width(width), m_height(height)
{
}

UvMapTexture::~UvMapTexture()
{
    obs_enter_graphics();
    gs_texture_destroy(m_texture);
    obs_leave_graphics();
}

std::shared_ptr<const UvMapTexture> FindSharedUvMap(const std::string& path, const UvMapFileStamp& stamp)
{
    std::lock_guard lock(g_mutex);
    const auto it = g_maps.find(path);
    if (it == g_maps.end() || !(it->second.stamp == stamp))
        return nullptr;
    return it->second.map.lock();
}

void ShareUvMap(const std::string& path, const UvMapFileStamp& stamp, const std::shared_ptr<const UvMapTexture>& map)
{
    std::lock_guard lock(g_mutex);
    ForgetReleased();
    g_maps[path] = SharedEntry{stamp, map};
}
