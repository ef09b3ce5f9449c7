#include "MoveGesture.h"

#include "SceneItemPicking.h"

#include <graphics/vec4.h>

namespace {

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

void MoveSelectedItems(obs_scene_t* scene, vec2 offset)
{
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        MoveItem(item, offset);
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
    MoveSelectedItems(Context().scene, offset);
}

void MoveGesture::Cancel()
{
    m_saved.Restore();
    m_moved = {0.0f, 0.0f};
    m_lines.clear();
}

void MoveGesture::DrawOverlay(CanvasOverlay& overlay) const { DrawSnapLines(m_lines, overlay); }
