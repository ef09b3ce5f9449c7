#include "SceneItemPicking.h"

#include <cmath>
#include <graphics/vec3.h>

namespace {

bool VisitOne(obs_scene_t*, obs_sceneitem_t* item, void* param)
{
    return (*static_cast<const ItemVisitor*>(param))(item);
}

bool OverSelected(obs_sceneitem_t* item, vec2 position, const matrix4& parent)
{
    if (!ItemHasVideo(item) || !ItemShown(item))
        return true;
    matrix4 box;
    obs_sceneitem_get_box_transform(item, &box);
    matrix4 full;
    matrix4_mul(&full, &box, &parent);
    if (obs_sceneitem_is_group(item)) {
        matrix4 draw;
        obs_sceneitem_get_draw_transform(item, &draw);
        matrix4 inner;
        matrix4_mul(&inner, &draw, &parent);
        bool found = false;
        ForEachGroupItem(item, [&](obs_sceneitem_t* child) {
            found = !OverSelected(child, position, inner);
            return !found;
        });
        if (found)
            return false;
    }
    if (!obs_sceneitem_selected(item))
        return true;
    matrix4 inverse;
    if (!matrix4_inv(&inverse, &full))
        return true;
    return !InsideUnitBox(inverse, position);
}

// An unlocked item with video whose box is sound and contains the position.
bool Pickable(obs_sceneitem_t* item, vec2 position)
{
    if (obs_sceneitem_locked(item) || !ItemHasVideo(item) || !ItemShown(item))
        return false;
    matrix4 box, inverse;
    return GetSoundBoxTransform(item, box, inverse) && InsideUnitBox(inverse, position);
}

}  // namespace

void ForEachItem(obs_scene_t* scene, const ItemVisitor& visit)
{
    if (scene)
        obs_scene_enum_items(scene, VisitOne, const_cast<ItemVisitor*>(&visit));
}

void ForEachGroupItem(obs_sceneitem_t* group, const ItemVisitor& visit)
{
    obs_sceneitem_group_enum_items(group, VisitOne, const_cast<ItemVisitor*>(&visit));
}

bool ItemHasVideo(obs_sceneitem_t* item)
{
    obs_source_t* source = obs_sceneitem_get_source(item);
    return source && (obs_source_get_output_flags(source) & OBS_SOURCE_VIDEO) != 0;
}

bool ItemShown(obs_sceneitem_t* item) { return obs_sceneitem_visible(item); }

vec2 TransformPoint(const matrix4& transform, float x, float y)
{
    vec3 point;
    vec3_set(&point, x, y, 0.0f);
    vec3_transform(&point, &point, &transform);
    vec2 result;
    vec2_set(&result, point.x, point.y);
    return result;
}

bool GetSoundBoxTransform(obs_sceneitem_t* item, matrix4& box, matrix4& inverse)
{
    obs_sceneitem_get_box_transform(item, &box);
    if (!matrix4_inv(&inverse, &box))
        return false;
    static const float corners[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (const auto& corner : corners) {
        const vec2 there = TransformPoint(box, corner[0], corner[1]);
        const vec2 back = TransformPoint(inverse, there.x, there.y);
        if (!(std::fabs(back.x - corner[0]) <= 0.01f) || !(std::fabs(back.y - corner[1]) <= 0.01f))
            return false;
    }
    return true;
}

bool InsideUnitBox(const matrix4& inverse, vec2 position)
{
    const vec2 unit = TransformPoint(inverse, position.x, position.y);
    return unit.x >= 0.0f && unit.x <= 1.0f && unit.y >= 0.0f && unit.y <= 1.0f;
}

obs_sceneitem_t* ItemAtPosition(obs_scene_t* scene, vec2 position, bool selectBelow)
{
    obs_sceneitem_t* found = nullptr;
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        if (!Pickable(item, position))
            return true;
        if (selectBelow && obs_sceneitem_selected(item)) {
            if (found)
                return false;
            selectBelow = false;
        }
        found = item;
        return true;
    });
    return found;
}

obs_sceneitem_t* SelectedItemAtPosition(obs_scene_t* scene, vec2 position)
{
    obs_sceneitem_t* found = nullptr;
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        if (obs_sceneitem_selected(item) && Pickable(item, position))
            found = item;
        return found == nullptr;
    });
    return found;
}

bool IsOverSelectedItem(obs_scene_t* scene, vec2 position)
{
    matrix4 identity;
    matrix4_identity(&identity);
    bool found = false;
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        found = !OverSelected(item, position, identity);
        return !found;
    });
    return found;
}
