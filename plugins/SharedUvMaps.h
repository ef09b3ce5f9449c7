#pragma once
// UV map textures shared by the filters that read the same file as it stands
// on disk. A screen switched between its picture and a live input is given a
// new filter each time, and several screens of a set may use one map; a
// 16-bit 3840 × 2160 map is 66 MB of texture and a third of a second to
// decode, so it is read once and shared while any filter holds it.
#include <graphics/graphics.h>

#include <cstdint>
#include <memory>
#include <string>

struct UvMapFileStamp;

// One map's texture, destroyed inside the graphics context when the last
// filter lets it go.
class UvMapTexture {
public:
    UvMapTexture(gs_texture_t* texture, uint32_t width, uint32_t height);
    ~UvMapTexture();
    UvMapTexture(const UvMapTexture&) = delete;
    UvMapTexture& operator=(const UvMapTexture&) = delete;

    gs_texture_t* Texture() const { return m_texture; }
    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }

private:
    gs_texture_t* m_texture;
    uint32_t m_width;
    uint32_t m_height;
};

// The map read from `path` when it looked as `stamp` says, while a filter
// still holds it; null otherwise.
std::shared_ptr<const UvMapTexture> FindSharedUvMap(const std::string& path, const UvMapFileStamp& stamp);
// Offers `map`, read from `path` as it looked at `stamp`, to the next filters.
void ShareUvMap(const std::string& path, const UvMapFileStamp& stamp, const std::shared_ptr<const UvMapTexture>& map);
