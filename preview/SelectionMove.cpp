#include "SelectionMove.h"

#include "SceneItemPicking.h"

#include <cfloat>
#include <graphics/vec4.h>
#include <cmath>

namespace {

constexpr float kNoSnap = 0.0001f;

CanvasBox EmptyBox()
{
    return {{FLT_MAX, FLT_MAX}, {-FLT_MAX, -FLT_MAX}};
}

void Extend(CanvasBox& box, vec2 point)
{
    box.topLeft.x = std::fmin(box.topLeft.x, point.x);
    box.topLeft.y = std::fmin(box.topLeft.y, point.y);
    box.bottomRight.x = std::fmax(box.bottomRight.x, point.x);
    box.bottomRight.y = std::fmax(box.bottomRight.y, point.y);
}

void ExtendByItem(CanvasBox& box, const matrix4& transform)
{
    Extend(box, TransformPoint(transform, 0.0f, 0.0f));
    Extend(box, TransformPoint(transform, 1.0f, 0.0f));
    Extend(box, TransformPoint(transform, 0.0f, 1.0f));
    Extend(box, TransformPoint(transform, 1.0f, 1.0f));
}

void AddSelected(obs_sceneitem_t* item, const matrix4& parent, CanvasBox& box)
{
    if (!ItemShown(item))
        return;
    matrix4 full;
    obs_sceneitem_get_box_transform(item, &full);
    matrix4_mul(&full, &full, &parent);
    if (obs_sceneitem_selected(item)) {
        ExtendByItem(box, full);
    } else if (obs_sceneitem_is_group(item)) {
        matrix4 draw;
        obs_sceneitem_get_draw_transform(item, &draw);
        matrix4_mul(&draw, &draw, &parent);
        ForEachGroupItem(item, [&](obs_sceneitem_t* child) {
            AddSelected(child, draw, box);
            return true;
        });
    }
}

CanvasBox ItemBox(obs_sceneitem_t* item)
{
    matrix4 box;
    obs_sceneitem_get_box_transform(item, &box);
    CanvasBox result = EmptyBox();
    ExtendByItem(result, box);
    return result;
}

void SnapToCanvas(const CanvasBox& selection, float distance, float width, float height, vec2& snap)
{
    if (std::fabs(selection.topLeft.x) < distance)
        snap.x = -selection.topLeft.x;
    if (std::fabs(snap.x) < kNoSnap && std::fabs(width - selection.bottomRight.x) < distance)
        snap.x = width - selection.bottomRight.x;
    if (std::fabs(selection.topLeft.y) < distance)
        snap.y = -selection.topLeft.y;
    if (std::fabs(snap.y) < kNoSnap && std::fabs(height - selection.bottomRight.y) < distance)
        snap.y = height - selection.bottomRight.y;
}

void SnapToItem(const CanvasBox& selection, const CanvasBox& other, float distance, vec2& snap)
{
    const bool overlapY = other.bottomRight.y > selection.topLeft.y && selection.bottomRight.y > other.topLeft.y;
    const bool overlapX = other.bottomRight.x > selection.topLeft.x && selection.bottomRight.x > other.topLeft.x;
    if (std::fabs(snap.x) < kNoSnap && overlapY) {
        if (std::fabs(other.topLeft.x - selection.bottomRight.x) < distance)
            snap.x = other.topLeft.x - selection.bottomRight.x;
        else if (std::fabs(other.bottomRight.x - selection.topLeft.x) < distance)
            snap.x = other.bottomRight.x - selection.topLeft.x;
    }
    if (std::fabs(snap.y) < kNoSnap && overlapX) {
        if (std::fabs(other.topLeft.y - selection.bottomRight.y) < distance)
            snap.y = other.topLeft.y - selection.bottomRight.y;
        else if (std::fabs(other.bottomRight.y - selection.topLeft.y) < distance)
            snap.y = other.bottomRight.y - selection.topLeft.y;
    }
}

void MoveItem(obs_sceneitem_t* item, vec2 offset)
{
    if (!ItemShown(item))
        return;
    if (obs_sceneitem_selected(item)) {
        if (obs_sceneitem_locked(item))
            return;
        vec2 position;
        obs_sceneitem_get_pos(item, &position);
        position.x += offset.x;
        position.y += offset.y;
        obs_sceneitem_set_pos(item, &position);
    } else if (obs_sceneitem_is_group(item)) {
        // The offset in the group's frame: its inverse draw transform without
        // the translation.
        matrix4 draw, inverse;
        obs_sceneitem_get_draw_transform(item, &draw);
        if (!matrix4_inv(&inverse, &draw))
            return;
        vec4_set(&inverse.t, 0.0f, 0.0f, 0.0f, 1.0f);
        const vec2 inner = TransformPoint(inverse, offset.x, offset.y);
        ForEachGroupItem(item, [&](obs_sceneitem_t* child) {
            MoveItem(child, inner);
            return true;
        });
    }
}

}  // namespace

CanvasBox SelectionBox(obs_scene_t* scene)
{
    CanvasBox box = EmptyBox();
    matrix4 identity;
    matrix4_identity(&identity);
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        AddSelected(item, identity, box);
        return true;
    });
    return box;
}

vec2 SnapCorrection(obs_scene_t* scene, vec2 offset, float distance, float canvasWidth, float canvasHeight)
{
    vec2 snap{0.0f, 0.0f};
    CanvasBox selection = SelectionBox(scene);
    if (selection.Empty())
        return snap;
    selection.topLeft.x += offset.x;
    selection.topLeft.y += offset.y;
    selection.bottomRight.x += offset.x;
    selection.bottomRight.y += offset.y;
    SnapToCanvas(selection, distance, canvasWidth, canvasHeight, snap);
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        if (!obs_sceneitem_selected(item) && ItemShown(item))
            SnapToItem(selection, ItemBox(item), distance, snap);
        return true;
    });
    return snap;
}

void MoveSelectedItems(obs_scene_t* scene, vec2 offset)
{
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        MoveItem(item, offset);
        return true;
    });
}
