#include "SceneState.h"

#include "engine/TestPatternSource.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

// Nested scenes deeper than this are not followed (a scene cannot hold
// itself, but a chain of scenes could be long).
constexpr int kMaxDepth = 16;

// FNV-1a over the bytes of each value.
class Hash {
public:
    template <class T>
    void Add(const T& value)
    {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char byte : bytes) {
            m_value ^= byte;
            m_value *= 1099511628211ull;
        }
    }
    uint64_t Value() const { return m_value; }

private:
    uint64_t m_value = 14695981039346656037ull;
};

// Items and filters are visited through these, so the two walks below
// cannot drift apart.
using SourceVisitor = std::function<void(obs_source_t*)>;
using SceneItemVisitor = std::function<void(obs_sceneitem_t*)>;

void ForEachFilter(obs_source_t* source, const SourceVisitor& visit)
{
    obs_source_enum_filters(
        source, [](obs_source_t*, obs_source_t* filter, void* param) { (*static_cast<const SourceVisitor*>(param))(filter); },
        const_cast<SourceVisitor*>(&visit));
}

void ForEachItemOf(obs_scene_t* scene, const SceneItemVisitor& visit)
{
    obs_scene_enum_items(
        scene,
        [](obs_scene_t*, obs_sceneitem_t* item, void* param) {
            (*static_cast<const SceneItemVisitor*>(param))(item);
            return true;
        },
        const_cast<SceneItemVisitor*>(&visit));
}

// The scene (or group) a source draws its items from, if any.
obs_scene_t* InnerScene(obs_source_t* source) { return source ? obs_group_or_scene_from_source(source) : nullptr; }

class StateReader {
public:
    void Scene(obs_scene_t* scene, int depth)
    {
        if (!scene || depth > kMaxDepth)
            return;
        m_drawn.Add(scene);
        ForEachItemOf(scene, [&](obs_sceneitem_t* item) { Item(item, depth); });
        m_drawn.Add(uint8_t(0xEE));  // end of this scene's items
    }

    SceneState Result() const { return {m_drawn.Value(), m_sources.Value(), m_live}; }

    void Item(obs_sceneitem_t* item, int depth)
    {
        Placement(item);
        Source(obs_sceneitem_get_source(item), depth);
    }

    void Placement(obs_sceneitem_t* item)
    {
        obs_transform_info info;
        obs_sceneitem_get_info(item, &info);
        obs_sceneitem_crop crop;
        obs_sceneitem_get_crop(item, &crop);
        m_drawn.Add(item);
        m_drawn.Add(info.pos);
        m_drawn.Add(info.rot);
        m_drawn.Add(info.scale);
        m_drawn.Add(info.alignment);
        m_drawn.Add(info.bounds_type);
        m_drawn.Add(info.bounds_alignment);
        m_drawn.Add(info.bounds);
        m_drawn.Add(crop);
        m_drawn.Add(obs_sceneitem_visible(item));
        m_drawn.Add(obs_sceneitem_selected(item));
        m_drawn.Add(obs_sceneitem_locked(item));
        m_drawn.Add(obs_sceneitem_get_blending_mode(item));
        m_drawn.Add(obs_sceneitem_get_blending_method(item));
        m_drawn.Add(obs_sceneitem_get_scale_filter(item));
    }

    void Source(obs_source_t* source, int depth)
    {
        if (!source)
            return;
        m_drawn.Add(source);
        m_sources.Add(source);
        m_drawn.Add(obs_source_get_width(source));
        m_drawn.Add(obs_source_get_height(source));
        m_drawn.Add(obs_source_enabled(source));
        if ((obs_source_get_output_flags(source) & OBS_SOURCE_ASYNC_VIDEO) == OBS_SOURCE_ASYNC_VIDEO ||
            IsTestPatternSource(source))
            m_live = true;
        ForEachFilter(source, [&](obs_source_t* filter) {
            m_drawn.Add(filter);
            m_drawn.Add(obs_source_enabled(filter));
            m_sources.Add(filter);
        });
        Scene(InnerScene(source), depth + 1);
    }

private:
    Hash m_drawn;
    Hash m_sources;
    bool m_live = false;
};

void Collect(obs_source_t* source, std::vector<OBSSource>& out, int depth)
{
    if (!source || depth > kMaxDepth)
        return;
    if (std::find(out.begin(), out.end(), source) == out.end())
        out.emplace_back(source);
    ForEachFilter(source, [&](obs_source_t* filter) {
        if (std::find(out.begin(), out.end(), filter) == out.end())
            out.emplace_back(filter);
    });
    if (obs_scene_t* scene = InnerScene(source))
        ForEachItemOf(scene, [&](obs_sceneitem_t* item) { Collect(obs_sceneitem_get_source(item), out, depth + 1); });
}

}  // namespace

SceneState ReadSceneState(obs_scene_t* scene)
{
    StateReader reader;
    reader.Scene(scene, 0);
    return reader.Result();
}

std::vector<ItemState> ReadItemStates(obs_scene_t* scene)
{
    std::vector<ItemState> items;
    if (!scene)
        return items;
    ForEachItemOf(scene, [&](obs_sceneitem_t* item) {
        StateReader placement;
        placement.Placement(item);
        StateReader content;
        content.Source(obs_sceneitem_get_source(item), 1);
        const SceneState drawn = content.Result();
        items.push_back({item, placement.Result().drawn, drawn.drawn, drawn.live});
    });
    return items;
}

std::vector<OBSSource> CollectSceneSources(obs_scene_t* scene)
{
    std::vector<OBSSource> sources;
    if (scene)
        Collect(obs_scene_get_source(scene), sources, 0);
    return sources;
}
