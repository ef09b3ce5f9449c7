#include "NestedSceneDraw.h"

#include <algorithm>
#include <cmath>
#include <graphics/vec3.h>

namespace {

// Share of an edge's length its other coordinate may differ by and still
// count as straight: a half turn leaves rounding noise in the matrix.
constexpr float kStraightTolerance = 1e-4f;

bool ShowsPlainly(obs_sceneitem_t* item)
{
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(item, &crop);
    return obs_sceneitem_visible(item) && crop.left == 0 && crop.top == 0 && crop.right == 0 && crop.bottom == 0 &&
           obs_sceneitem_get_scale_filter(item) == OBS_SCALE_DISABLE &&
           obs_sceneitem_get_blending_mode(item) == OBS_BLEND_NORMAL &&
           obs_sceneitem_get_blending_method(item) == OBS_BLEND_METHOD_DEFAULT &&
           obs_sceneitem_get_bounds_type(item) == OBS_BOUNDS_NONE;
}

vec2 Transformed(const matrix4& m, float x, float y)
{
    vec3 point, out;
    vec3_set(&point, x, y, 0.0f);
    vec3_transform(&out, &point, &m);
    return {{{out.x, out.y}}};
}

bool Straight(vec2 from, vec2 to)
{
    const float dx = std::fabs(to.x - from.x), dy = std::fabs(to.y - from.y);
    return dx <= kStraightTolerance * dy || dy <= kStraightTolerance * dx;
}

// Where a width × height source lands through `m`, when its edges stay
// level and upright (a move, a scale, a quarter turn).
bool LandsLevel(const matrix4& m, float width, float height, SceneRect& rect)
{
    const vec2 corners[4] = {Transformed(m, 0.0f, 0.0f), Transformed(m, width, 0.0f), Transformed(m, width, height),
                             Transformed(m, 0.0f, height)};
    for (int i = 0; i < 4; ++i)
        if (!Straight(corners[i], corners[(i + 1) % 4]))
            return false;
    rect = {corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const vec2& c : corners) {
        rect.left = std::min(rect.left, c.x);
        rect.right = std::max(rect.right, c.x);
        rect.top = std::min(rect.top, c.y);
        rect.bottom = std::max(rect.bottom, c.y);
    }
    return true;
}

struct OnlyItem {
    int count = 0;
    obs_sceneitem_t* item = nullptr;
};

bool CountItem(obs_scene_t*, obs_sceneitem_t* item, void* param)
{
    auto* only = static_cast<OnlyItem*>(param);
    only->item = ++only->count == 1 ? item : nullptr;
    return only->count < 2;
}

bool DrawsAsPlacedNestedScene(obs_sceneitem_t* item)
{
    obs_source_t* source = obs_sceneitem_get_source(item);
    return source && obs_source_get_type(source) == OBS_SOURCE_TYPE_SCENE && !obs_sceneitem_is_group(item) &&
           obs_source_filter_count(source) == 0 && ShowsPlainly(item);
}

}  // namespace

SceneDraw PlanSceneDraw(obs_scene_t* scene)
{
    SceneDraw draw;
    obs_source_t* own = obs_scene_get_source(scene);
    if (!own)
        return draw;
    OnlyItem only;
    if (obs_source_filter_count(own) == 0)
        obs_scene_enum_items(scene, CountItem, &only);
    if (only.count == 1 && only.item) {
        // The engine brings the transform up to date when it draws the scene;
        // drawn around, it is brought here (hit tests read it too).
        obs_sceneitem_force_update_transform(only.item);
        obs_source_t* nested = obs_sceneitem_get_source(only.item);
        if (DrawsAsPlacedNestedScene(only.item)) {
            obs_sceneitem_get_draw_transform(only.item, &draw.transform);
            if (LandsLevel(draw.transform, float(obs_source_get_width(nested)), float(obs_source_get_height(nested)),
                           draw.clip)) {
                draw.source = obs_source_get_ref(nested);
                draw.placed = true;
                return draw;
            }
        }
    }
    draw.source = obs_source_get_ref(own);
    return draw;
}
