#include "MoveGesture.h"

#include "SceneItemPicking.h"

#include <functional>
#include <graphics/vec4.h>

namespace {

void Offset(obs_sceneitem_t* item, vec2 offset)
{
    vec2 position;
    obs_sceneitem_get_pos(item, &position);
    position.x += offset.x;
    position.y += offset.y;
    obs_sceneitem_set_pos(item, &position);
}

// The offset in the group's frame: its inverse draw transform without the
// translation; false when the group cannot be inverted (scaled to nothing).
bool OffsetInGroup(obs_sceneitem_t* group, vec2 offset, vec2& inner)
{
    matrix4 draw, inverse;
    obs_sceneitem_get_draw_transform(group, &draw);
    if (!matrix4_inv(&inverse, &draw))
        return false;
    vec4_set(&inverse.t, 0.0f, 0.0f, 0.0f, 1.0f);
    inner = TransformPoint(inverse, offset.x, offset.y);
    return true;
}

// Visits every item the selection moves: the selected, shown, unlocked
// items, and inside an unselected group its selected children, with the group.
void ForEachMovedItem(obs_sceneitem_t* item, obs_sceneitem_t* group,
                      const std::function<void(obs_sceneitem_t*, obs_sceneitem_t*)>& visit)
{
    if (!ItemShown(item))
        return;
    if (obs_sceneitem_selected(item)) {
        if (!obs_sceneitem_locked(item))
            visit(item, group);
    } else if (obs_sceneitem_is_group(item) && !group) {
        ForEachGroupItem(item, [&](obs_sceneitem_t* child) {
            ForEachMovedItem(child, item, visit);
            return true;
        });
    }
}

void MoveItem(obs_sceneitem_t* item, obs_sceneitem_t* group, vec2 offset)
{
    vec2 inner = offset;
    if (!group || OffsetInGroup(group, offset, inner))
        Offset(item, inner);
}

}  // namespace

void MoveSelectedItems(obs_scene_t* scene, vec2 offset)
{
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        ForEachMovedItem(item, nullptr, [&](obs_sceneitem_t* moved, obs_sceneitem_t* group) { MoveItem(moved, group, offset); });
        return true;
    });
}

std::unique_ptr<CanvasGesture> MoveGesture::Begin(const GestureContext& context, vec2 start)
{
    const CanvasBox bounds = context.selection->Bounds();
    if (bounds.Empty())
        return nullptr;
    return std::make_unique<MoveGesture>(context, start, bounds);
}

MoveGesture::MoveGesture(const GestureContext& context, vec2 start, const CanvasBox& bounds)
    : CanvasGesture(context), m_start(start), m_startBounds(bounds), m_targets(Targets())
{
    m_saved.SaveSelected(context.scene);
    ForEachItem(context.scene, [&](obs_sceneitem_t* item) {
        ForEachMovedItem(item, nullptr, [&](obs_sceneitem_t* moved, obs_sceneitem_t* group) {
            m_items.push_back({OBSSceneItem(moved), OBSSceneItem(group)});
        });
        return true;
    });
}

void MoveGesture::Move(vec2 position)
{
    vec2 offset{position.x - m_start.x - m_moved.x, position.y - m_start.y - m_moved.y};
    m_lines.clear();
    if (const float distance = SnapDistance(); distance > 0.0f) {
        const CanvasBox box = m_startBounds.Moved({m_moved.x + offset.x, m_moved.y + offset.y});
        SnapResult snap = m_targets.SnapBox(box, distance);
        offset.x += snap.correction.x;
        offset.y += snap.correction.y;
        m_lines = std::move(snap.lines);
    }
    m_moved.x += offset.x;
    m_moved.y += offset.y;
    for (const MovedItem& moved : m_items)
        MoveItem(moved.item, moved.group, offset);
}

void MoveGesture::Cancel()
{
    m_saved.Restore();
    m_moved = {0.0f, 0.0f};
    m_lines.clear();
}

void MoveGesture::DrawOverlay(CanvasOverlay& overlay) const { DrawSnapLines(m_lines, overlay); }
