#include "RotateGesture.h"

#include "SceneItemPicking.h"

#include <cmath>

namespace {

constexpr float kDegreesPerRadian = 57.29577951f;
// How far above the top edge the handle stands, in window pixels.
constexpr float kHandleDistancePixels = 24.0f;
constexpr OverlayColour kArmColour{0.35f, 0.65f, 1.0f, 1.0f};

vec2 Rotated(vec2 v, float degrees)
{
    const float radians = degrees / kDegreesPerRadian;
    const float c = std::cos(radians), s = std::sin(radians);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

float AngleOf(vec2 from, vec2 to) { return std::atan2(to.y - from.y, to.x - from.x) * kDegreesPerRadian; }

}  // namespace

float NormalisedDegrees(float degrees)
{
    float result = std::fmod(degrees, 360.0f);
    if (result < 0.0f)
        result += 360.0f;
    // -0.00001 would come out as 360.
    return result >= 360.0f ? 0.0f : result;
}

RotateHandle FindRotateHandle(const CanvasSelection& selection, const ViewTransform& view)
{
    RotateHandle handle;
    const std::vector<obs_sceneitem_t*> items = selection.Items();
    if (items.empty())
        return handle;
    const float distance = view.WindowToCanvasLength(kHandleDistancePixels);
    if (items.size() == 1) {
        matrix4 box, inverse;
        if (!GetSoundBoxTransform(items[0], box, inverse))
            return handle;
        handle.edge = TransformPoint(box, 0.5f, 0.0f);
        handle.pivot = TransformPoint(box, 0.5f, 0.5f);
        const vec2 up{handle.edge.x - handle.pivot.x, handle.edge.y - handle.pivot.y};
        const float length = std::hypot(up.x, up.y);
        if (!(length > 0.0f))
            return handle;
        handle.at = {handle.edge.x + up.x / length * distance, handle.edge.y + up.y / length * distance};
    } else {
        const CanvasBox bounds = selection.Bounds();
        if (bounds.Empty())
            return handle;
        handle.pivot = bounds.Centre();
        handle.edge = {handle.pivot.x, bounds.topLeft.y};
        handle.at = {handle.edge.x, handle.edge.y - distance};
    }
    // Above an edge at the window's border the handle could not be reached:
    // it stands just inside the edge instead.
    const vec2 window = view.CanvasToWindow(handle.at);
    if (window.x < 0.0f || window.y < 0.0f || window.x > float(view.WindowWidth()) || window.y > float(view.WindowHeight()))
        handle.at = {2.0f * handle.edge.x - handle.at.x, 2.0f * handle.edge.y - handle.at.y};
    handle.present = true;
    return handle;
}

std::unique_ptr<CanvasGesture> RotateGesture::Begin(const GestureContext& context, vec2 start)
{
    const RotateHandle handle = FindRotateHandle(*context.selection, *context.view);
    if (!handle.present)
        return nullptr;
    return std::make_unique<RotateGesture>(context, handle, start);
}

RotateGesture::RotateGesture(const GestureContext& context, const RotateHandle& handle, vec2 start)
    : CanvasGesture(context), m_handle(handle), m_startAngle(AngleOf(handle.pivot, start)), m_pointer(start)
{
    for (obs_sceneitem_t* item : context.selection->Items()) {
        if (obs_sceneitem_locked(item))
            continue;
        matrix4 box;
        obs_sceneitem_get_box_transform(item, &box);
        Turning turning{OBSSceneItem(item), obs_sceneitem_get_rot(item), {}, TransformPoint(box, 0.5f, 0.5f)};
        obs_sceneitem_get_pos(item, &turning.position);
        m_items.push_back(std::move(turning));
        m_saved.Save(item);
    }
}

obs_sceneitem_t* RotateGesture::ChangedItem() const { return m_items.size() == 1 ? m_items[0].item.Get() : nullptr; }

void RotateGesture::Move(vec2 position)
{
    m_pointer = position;
    float turned = AngleOf(m_handle.pivot, position) - m_startAngle;
    m_snapped = false;
    // With one item the steps and snaps are of its own rotation, with
    // several of the turn.
    const float base = m_items.size() == 1 ? m_items[0].rotation : 0.0f;
    if (ModifierDown(1)) {
        turned = StepAngle(base + turned, kStepDegrees) - base;
        m_snapped = true;
    } else if (const float distance = SnapDistance(); distance > 0.0f) {
        const float radius = std::hypot(position.x - m_handle.pivot.x, position.y - m_handle.pivot.y);
        turned = SnapAngle(base + turned, radius, distance, m_snapped) - base;
    }
    TurnBy(turned);
}

void RotateGesture::TurnBy(float degrees)
{
    m_turned = degrees;
    for (const Turning& turning : m_items) {
        // The item's centre goes round the pivot; the item turns about its
        // own position, so its position follows the turned centre.
        const vec2 fromPivot{turning.centre.x - m_handle.pivot.x, turning.centre.y - m_handle.pivot.y};
        const vec2 centreNow = Rotated(fromPivot, degrees);
        const vec2 toPosition = Rotated({turning.position.x - turning.centre.x, turning.position.y - turning.centre.y}, degrees);
        vec2 position{m_handle.pivot.x + centreNow.x + toPosition.x, m_handle.pivot.y + centreNow.y + toPosition.y};
        obs_sceneitem_set_rot(turning.item, NormalisedDegrees(turning.rotation + degrees));
        obs_sceneitem_set_pos(turning.item, &position);
    }
}

void RotateGesture::Cancel()
{
    m_saved.Restore();
    m_turned = 0.0f;
}

void RotateGesture::DrawOverlay(CanvasOverlay& overlay) const
{
    // An arm from the pivot in the handle's direction, turned with the items.
    const vec2 arm = Rotated({m_handle.at.x - m_handle.pivot.x, m_handle.at.y - m_handle.pivot.y}, m_turned);
    overlay.AddLine(m_handle.pivot, {m_handle.pivot.x + arm.x, m_handle.pivot.y + arm.y},
                    m_snapped ? kSnapLineColour : kArmColour);
}
