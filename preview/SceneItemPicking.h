#pragma once
// Finding scene items under the mouse and selecting them. Positions are in
// canvas units; the enclosing transform of a top-level item is the identity.
#include <functional>
#include <graphics/matrix4.h>
#include <graphics/vec2.h>
#include <obs.h>

// Visits the items of a scene (or of a group item), bottom first, until the
// visitor answers false.
using ItemVisitor = std::function<bool(obs_sceneitem_t*)>;
void ForEachItem(obs_scene_t* scene, const ItemVisitor& visit);
void ForEachGroupItem(obs_sceneitem_t* group, const ItemVisitor& visit);

bool ItemHasVideo(obs_sceneitem_t* item);

// Whether the item is shown. A hidden item is not on the canvas for the
// mouse: it is neither picked, dragged, resized, drawn with an overlay nor
// snapped to; the walks into groups leave a hidden group's items out too.
bool ItemShown(obs_sceneitem_t* item);

// The item's box transform and its inverse, false when the transform
// collapses the box (an axis scaled to zero, say): such an item is neither
// drawn with an overlay nor picked.
bool GetSoundBoxTransform(obs_sceneitem_t* item, matrix4& box, matrix4& inverse);

// Whether the inverse transform maps the position into the unit box.
bool InsideUnitBox(const matrix4& inverse, vec2 position);

// The top-level item a click at the position picks. With selectBelow a click
// on a selected item picks the one below it, and on the bottom one of a
// stack the topmost again, so repeated clicks walk down the stack.
obs_sceneitem_t* ItemAtPosition(obs_scene_t* scene, vec2 position, bool selectBelow);

// The first selected top-level item under the position.
obs_sceneitem_t* SelectedItemAtPosition(obs_scene_t* scene, vec2 position);

// Whether a selected item (at any depth, locked ones too) lies under the position.
bool IsOverSelectedItem(obs_scene_t* scene, vec2 position);

// The canvas position of a point of the unit box.
vec2 TransformPoint(const matrix4& transform, float x, float y);
