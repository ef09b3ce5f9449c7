#pragma once
// What lies under a point of the canvas, as the preview's dispatch and its
// context menu need it: a handle of the selection, the inside of a selected
// item, another item, or nothing.
#include "CanvasSelection.h"
#include "ResizeGesture.h"
#include "ViewTransform.h"

enum class CanvasHitKind { None, Item, SelectedItem, ResizeHandle, RotateHandle };

struct CanvasHit {
    CanvasHitKind kind = CanvasHitKind::None;
    obs_sceneitem_t* item = nullptr;  // no reference travels with it
    HandleHit handle;                 // for a resize handle
};

// Handles first (the rotate handle, then the eight handles within 6 window
// pixels), then a selected item, then the topmost item under the position.
CanvasHit HitTestCanvas(const CanvasSelection& selection, const ViewTransform& view, vec2 position);
