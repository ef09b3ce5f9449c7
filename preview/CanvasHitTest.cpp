#include "CanvasHitTest.h"

#include "RotateGesture.h"
#include "SceneItemPicking.h"

#include <cmath>

namespace {

constexpr float kGrabRadiusPixels = 6.0f;
constexpr float kRotateGrabPixels = 8.0f;

}  // namespace

CanvasHit HitTestCanvas(const CanvasSelection& selection, const ViewTransform& view, vec2 position)
{
    CanvasHit hit;
    obs_scene_t* scene = selection.Scene();
    if (!scene)
        return hit;
    const RotateHandle rotate = FindRotateHandle(selection, view);
    if (rotate.present &&
        std::hypot(rotate.at.x - position.x, rotate.at.y - position.y) < view.WindowToCanvasLength(kRotateGrabPixels)) {
        hit.kind = CanvasHitKind::RotateHandle;
        return hit;
    }
    hit.handle = FindHandle(scene, position, view.WindowToCanvasLength(kGrabRadiusPixels));
    if (hit.handle.item) {
        hit.kind = CanvasHitKind::ResizeHandle;
        hit.item = hit.handle.item;
        return hit;
    }
    if (obs_sceneitem_t* item = SelectedItemAtPosition(scene, position)) {
        hit.kind = CanvasHitKind::SelectedItem;
        hit.item = item;
        return hit;
    }
    if (IsOverSelectedItem(scene, position)) {
        hit.kind = CanvasHitKind::SelectedItem;
        return hit;
    }
    if (obs_sceneitem_t* item = ItemAtPosition(scene, position, false)) {
        hit.kind = CanvasHitKind::Item;
        hit.item = item;
    }
    return hit;
}
