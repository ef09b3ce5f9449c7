#include "NestedSceneDraw.h"

#include <cmath>

namespace {

constexpr float kPixelTolerance = 0.001f;

bool Near(float a, float b) { return std::fabs(a - b) <= kPixelTolerance; }

// Where the item's left (or top) edge lies, from its aligned position.
float LeadingEdge(float position, float size, uint32_t alignment, uint32_t leading, uint32_t trailing)
{
    if (alignment & leading)
        return position;
    if (alignment & trailing)
        return position - size;
    return position - size / 2.0f;
}

bool ShowsPlainly(obs_sceneitem_t* item)
{
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(item, &crop);
    return obs_sceneitem_visible(item) && crop.left == 0 && crop.top == 0 && crop.right == 0 && crop.bottom == 0 &&
           obs_sceneitem_get_scale_filter(item) == OBS_SCALE_DISABLE &&
           obs_sceneitem_get_blending_mode(item) == OBS_BLEND_NORMAL &&
           obs_sceneitem_get_blending_method(item) == OBS_BLEND_METHOD_DEFAULT;
}

// The item's own values, not its last drawn transform: those follow a
// change only once the engine has drawn it.
bool StandsUnmovedOverCanvas(obs_sceneitem_t* item, obs_source_t* nested, vec2 canvas)
{
    if (obs_source_get_width(nested) != uint32_t(canvas.x) || obs_source_get_height(nested) != uint32_t(canvas.y))
        return false;
    if (obs_sceneitem_get_bounds_type(item) != OBS_BOUNDS_NONE || obs_sceneitem_get_rot(item) != 0.0f)
        return false;
    vec2 scale, position;
    obs_sceneitem_get_scale(item, &scale);
    obs_sceneitem_get_pos(item, &position);
    if (scale.x != 1.0f || scale.y != 1.0f)
        return false;
    const uint32_t alignment = obs_sceneitem_get_alignment(item);
    return Near(LeadingEdge(position.x, canvas.x, alignment, OBS_ALIGN_LEFT, OBS_ALIGN_RIGHT), 0.0f) &&
           Near(LeadingEdge(position.y, canvas.y, alignment, OBS_ALIGN_TOP, OBS_ALIGN_BOTTOM), 0.0f);
}

struct OnlyItem {
    vec2 canvas;
    int count = 0;
    OBSSourceAutoRelease nested;  // set while the first item qualifies
};

bool LookAtItem(obs_scene_t*, obs_sceneitem_t* item, void* param)
{
    auto* only = static_cast<OnlyItem*>(param);
    if (++only->count > 1) {
        only->nested = nullptr;
        return false;
    }
    obs_source_t* source = obs_sceneitem_get_source(item);
    if (source && obs_source_get_type(source) == OBS_SOURCE_TYPE_SCENE && !obs_sceneitem_is_group(item) &&
        obs_source_filter_count(source) == 0 && ShowsPlainly(item) &&
        StandsUnmovedOverCanvas(item, source, only->canvas))
        only->nested = obs_source_get_ref(source);
    return true;
}

}  // namespace

OBSSourceAutoRelease SourceToDrawForScene(obs_scene_t* scene, vec2 canvas)
{
    obs_source_t* own = obs_scene_get_source(scene);
    if (!own)
        return nullptr;
    if (obs_source_filter_count(own) == 0) {
        OnlyItem only;
        only.canvas = canvas;
        obs_scene_enum_items(scene, LookAtItem, &only);
        if (only.count == 1 && only.nested)
            return std::move(only.nested);
    }
    return obs_source_get_ref(own);
}
