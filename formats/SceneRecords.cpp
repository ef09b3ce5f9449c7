#include "SceneRecords.h"

#include "platform/TextConv.h"

#include <algorithm>
#include <cmath>
#include <cstring>

LayerInfo MakeDefaultLayer()
{
    LayerInfo layer;
    std::memset(&layer, 0, sizeof(layer));
    layer.zoomX = layer.zoomY = layer.zoomZ = 1.0f;
    layer.visible = 1;
    layer.uvEnabled = 1;
    return layer;
}

ShotInfo MakeDefaultShot()
{
    ShotInfo shot;
    std::memset(&shot, 0, sizeof(shot));
    shot.zoomX = shot.zoomY = shot.zoomZ = 1.0f;
    return shot;
}

namespace {

float Bounded(float value, float otherwise)
{
    return std::isfinite(value) ? std::clamp(value, -kMaxPlacementValue, kMaxPlacementValue) : otherwise;
}

template <typename Record>
void ClampPlacement(Record& r)
{
    r.x = Bounded(r.x, 0.0f);
    r.y = Bounded(r.y, 0.0f);
    r.zoomX = Bounded(r.zoomX, 1.0f);
    r.zoomY = Bounded(r.zoomY, 1.0f);
    r.zoomZ = Bounded(r.zoomZ, 1.0f);
    r.rotateX = Bounded(r.rotateX, 0.0f);
    r.rotateY = Bounded(r.rotateY, 0.0f);
    r.rotateZ = Bounded(r.rotateZ, 0.0f);
}

}  // namespace

void ClampLayerPlacement(LayerInfo& layer)
{
    ClampPlacement(layer);
    for (float* zoom : {&layer.zoomX, &layer.zoomY, &layer.zoomZ})
        if (!(*zoom > 0.0f))
            *zoom = 1.0f;
}

void ClampShotPlacement(ShotInfo& shot) { ClampPlacement(shot); }

void SetRecordName(char (&field)[64], std::wstring_view name)
{
    const std::string ansi = platform::WideToAnsiLimited(name, sizeof(field) - 1);
    std::memset(field, 0, sizeof(field));
    std::memcpy(field, ansi.data(), ansi.size());
}

std::wstring GetRecordName(const char (&field)[64])
{
    return platform::AnsiToWide(std::string_view(field, strnlen(field, sizeof(field))));
}

namespace {

void SetOwnedPath(char*& buffer, int32_t& size, std::string_view path)
{
    delete[] buffer;
    buffer = nullptr;
    size = 0;
    // Every reader of the buffer stops at a NUL, so the path ends there too
    // and the size stays the path's length + 1.
    path = path.substr(0, path.find('\0'));
    if (path.empty())
        return;
    buffer = new char[path.size() + 1];
    std::memcpy(buffer, path.data(), path.size());
    buffer[path.size()] = '\0';
    size = static_cast<int32_t>(path.size() + 1);
}

std::string OwnedPath(const char* buffer, int32_t size)
{
    if (!buffer || size <= 0)
        return {};
    return std::string(buffer, strnlen(buffer, static_cast<size_t>(size)));
}

char* CopyBuffer(const char* buffer, int32_t size)
{
    if (!buffer || size <= 0)
        return nullptr;
    char* copy = new char[static_cast<size_t>(size)];
    std::memcpy(copy, buffer, static_cast<size_t>(size));
    return copy;
}

}  // namespace

void SetLayerImagePath(LayerInfo& layer, std::string_view path) { SetOwnedPath(layer.imagePath, layer.imagePathSize, path); }
void SetLayerUvPath(LayerInfo& layer, std::string_view path) { SetOwnedPath(layer.uvPath, layer.uvPathSize, path); }
std::string LayerImagePath(const LayerInfo& layer) { return OwnedPath(layer.imagePath, layer.imagePathSize); }
std::string LayerUvPath(const LayerInfo& layer) { return OwnedPath(layer.uvPath, layer.uvPathSize); }

void FreeLayerBuffers(LayerInfo& layer)
{
    delete[] layer.imagePath;
    delete[] layer.uvPath;
    layer.imagePath = nullptr;
    layer.uvPath = nullptr;
    layer.imagePathSize = 0;
    layer.uvPathSize = 0;
}

LayerInfo CloneLayer(const LayerInfo& layer)
{
    LayerInfo copy = layer;
    copy.imagePath = CopyBuffer(layer.imagePath, layer.imagePathSize);
    copy.uvPath = CopyBuffer(layer.uvPath, layer.uvPathSize);
    if (!copy.imagePath)
        copy.imagePathSize = 0;
    if (!copy.uvPath)
        copy.uvPathSize = 0;
    return copy;
}

LayerList& LayerList::operator=(LayerList&& other) noexcept
{
    if (this != &other) {
        clear();
        m_items = std::move(other.m_items);
        other.m_items.clear();
    }
    return *this;
}

void LayerList::erase(size_t index)
{
    FreeLayerBuffers(m_items[index]);
    m_items.erase(m_items.begin() + static_cast<ptrdiff_t>(index));
}

LayerInfo LayerList::take(size_t index)
{
    LayerInfo layer = m_items[index];
    m_items.erase(m_items.begin() + static_cast<ptrdiff_t>(index));
    return layer;
}

void LayerList::reverse() { std::reverse(m_items.begin(), m_items.end()); }

void LayerList::append(LayerList&& other)
{
    if (this == &other)
        return;
    m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    other.m_items.clear();
}

void LayerList::clear()
{
    for (auto& layer : m_items)
        FreeLayerBuffers(layer);
    m_items.clear();
}
