#include "SplitComposition.h"

#include <algorithm>
#include <cmath>

namespace {

void Mix(uint64_t& key, uint64_t value)
{
    key ^= value + 0x9E3779B97F4A7C15ull + (key << 6) + (key >> 2);
}

uint64_t KeyOf(const std::vector<ItemState>& items, size_t from, size_t to, uint64_t pictures)
{
    uint64_t key = pictures;
    for (size_t i = from; i < to; ++i) {
        Mix(key, reinterpret_cast<uintptr_t>(items[i].item));
        Mix(key, items[i].placement);
        Mix(key, items[i].content);
    }
    Mix(key, to - from);
    return key;
}

std::vector<obs_sceneitem_t*> ItemsOf(obs_scene_t* scene)
{
    std::vector<obs_sceneitem_t*> items;
    obs_scene_enum_items(
        scene,
        [](obs_scene_t*, obs_sceneitem_t* item, void* param) {
            static_cast<std::vector<obs_sceneitem_t*>*>(param)->push_back(item);
            return true;
        },
        &items);
    return items;
}

// The item at `index` with a reference of its own, taken while the scene
// holds it: the user-interface thread may remove it meanwhile.
OBSSceneItemAutoRelease ItemAt(obs_scene_t* scene, size_t index)
{
    struct Search {
        size_t index;
        size_t position = 0;
        obs_sceneitem_t* found = nullptr;
    } search{index};
    obs_scene_enum_items(
        scene,
        [](obs_scene_t*, obs_sceneitem_t* item, void* param) {
            auto* search = static_cast<Search*>(param);
            if (search->position++ != search->index)
                return true;
            obs_sceneitem_addref(item);
            search->found = item;
            return false;
        },
        &search);
    return OBSSceneItemAutoRelease(search.found);
}

// A private copy of `layers` with the same sources, keeping the items at
// positions [from, to) only. Null when the copy does not match the scene.
obs_scene_t* CopyOfPart(obs_scene_t* layers, size_t from, size_t to)
{
    const size_t count = ItemsOf(layers).size();
    obs_scene_t* copy = obs_scene_duplicate(layers, "preview part", OBS_SCENE_DUP_PRIVATE_REFS);
    if (!copy)
        return nullptr;
    std::vector<obs_sceneitem_t*> items = ItemsOf(copy);
    if (items.size() != count) {
        obs_scene_release(copy);
        return nullptr;
    }
    for (size_t i = 0; i < items.size(); ++i)
        if (i < from || i >= to)
            obs_sceneitem_remove(items[i]);
    return copy;
}

void CopyPlacement(obs_sceneitem_t* from, obs_sceneitem_t* to)
{
    obs_transform_info info;
    obs_sceneitem_get_info(from, &info);
    obs_sceneitem_set_info(to, &info);
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(from, &crop);
    obs_sceneitem_set_crop(to, &crop);
    if (obs_sceneitem_visible(to) != obs_sceneitem_visible(from))
        obs_sceneitem_set_visible(to, obs_sceneitem_visible(from));
    obs_sceneitem_set_blending_mode(to, obs_sceneitem_get_blending_mode(from));
    obs_sceneitem_set_blending_method(to, obs_sceneitem_get_blending_method(from));
    obs_sceneitem_set_scale_filter(to, obs_sceneitem_get_scale_filter(from));
}

// In eighths, so a view that keeps its zoom keeps its compositions.
float DetailFor(float screenScale) { return std::min(1.0f, std::ceil(screenScale * 8.0f) / 8.0f); }

}  // namespace

void SplitComposition::SetAside()
{
    m_solo = nullptr;
    m_changingItem = nullptr;
}

void SplitComposition::Release()
{
    for (Part* part : {&m_below, &m_above}) {
        part->composed.Release();
        part->scene = nullptr;
        part->key = 0;
    }
    SetAside();
    m_structure = 0;
}

void SplitComposition::FollowStructure(obs_scene_t* layers, size_t count, size_t changing)
{
    uint64_t structure = reinterpret_cast<uintptr_t>(layers);
    Mix(structure, count);
    Mix(structure, changing);
    if (structure != m_structure) {
        Release();
        m_structure = structure;
    }
}

bool SplitComposition::CopyParts(obs_scene_t* layers, const std::vector<ItemState>& items, size_t changing,
                                 uint64_t pictures)
{
    const size_t count = items.size();
    FollowStructure(layers, count, changing);
    return CopyPart(m_below, layers, 0, changing, KeyOf(items, 0, changing, pictures)) &&
           CopyPart(m_above, layers, changing + 1, count, KeyOf(items, changing + 1, count, pictures));
}

bool SplitComposition::Draw(obs_scene_t* layers, const std::vector<ItemState>& items, size_t changing,
                            uint64_t pictures, const matrix4& transform, float screenScale)
{
    obs_source_t* source = obs_scene_get_source(layers);
    const uint32_t width = obs_source_get_width(source), height = obs_source_get_height(source);
    if (changing >= items.size() || width == 0 || height == 0)
        return false;
    // Every part is copied before anything is drawn: a part that cannot be
    // made leaves the frame to the caller whole.
    if (!CopyParts(layers, items, changing, pictures) || !CopyChanging(layers, items[changing], changing))
        return false;
    const float detail = DetailFor(screenScale);
    DrawPart(m_below, transform, width, height, detail);
    DrawChanging(transform);
    DrawPart(m_above, transform, width, height, detail);
    return true;
}

bool SplitComposition::Prepare(obs_scene_t* layers, const std::vector<ItemState>& items, size_t changing,
                               uint64_t pictures, float screenScale)
{
    obs_source_t* source = obs_scene_get_source(layers);
    const uint32_t width = obs_source_get_width(source), height = obs_source_get_height(source);
    if (changing >= items.size() || width == 0 || height == 0 || !CopyParts(layers, items, changing, pictures))
        return false;
    const float detail = DetailFor(screenScale);
    for (Part* part : {&m_below, &m_above})
        if (part->scene && !part->composed.Prepare(obs_scene_get_source(part->scene), part->key, width, height, detail))
            return false;
    return true;
}

bool SplitComposition::CopyPart(Part& part, obs_scene_t* layers, size_t from, size_t to, uint64_t key)
{
    if (from >= to) {
        part.scene = nullptr;  // no layers there
        return true;
    }
    if (!part.scene || part.key != key) {
        part.scene = CopyOfPart(layers, from, to);
        part.key = key;  // the composition follows the key
    }
    return part.scene != nullptr;
}

void SplitComposition::DrawPart(Part& part, const matrix4& transform, uint32_t width, uint32_t height, float detail)
{
    if (part.scene)
        part.composed.Draw(obs_scene_get_source(part.scene), part.key, transform, width, height, detail);
}

bool SplitComposition::CopyChanging(obs_scene_t* layers, const ItemState& changing, size_t index)
{
    if (!m_solo || m_soloContent != changing.content) {
        m_solo = CopyOfPart(layers, index, index + 1);
        m_soloContent = changing.content;
    }
    m_changingItem = ItemAt(layers, index);
    return m_solo && ItemsOf(m_solo).size() == 1 && m_changingItem.Get() == changing.item;
}

void SplitComposition::DrawChanging(const matrix4& transform)
{
    CopyPlacement(m_changingItem, ItemsOf(m_solo).front());
    m_changingItem = nullptr;
    gs_matrix_push();
    gs_matrix_mul(&transform);
    obs_source_video_render(obs_scene_get_source(m_solo));
    gs_matrix_pop();
}
