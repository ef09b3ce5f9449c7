#pragma once
// Moving the selected items by a drag, with snapping of the selection's
// bounding box to the canvas edges and to the other items' edges.
#include <graphics/vec2.h>
#include <obs.h>

struct CanvasBox {
    vec2 topLeft;
    vec2 bottomRight;
    bool Empty() const { return topLeft.x > bottomRight.x || topLeft.y > bottomRight.y; }
};

// The axis-aligned box around every selected item, at any depth; empty when
// nothing is selected.
CanvasBox SelectionBox(obs_scene_t* scene);

// The correction that makes the selection, moved by offset, land on a canvas
// edge or an edge of an unselected top-level item within distance.
vec2 SnapCorrection(obs_scene_t* scene, vec2 offset, float distance, float canvasWidth, float canvasHeight);

// Adds the offset to the position of every selected, unlocked item; children
// of an unselected group move by the same visible amount.
void MoveSelectedItems(obs_scene_t* scene, vec2 offset);
