#pragma once
// What the preview draws for its scene. The set's scene holds one item: the
// layers' own scene, placed by the current shot. The engine draws a nested
// scene by first composing it into a texture of its own size, then drawing
// that texture where the item stands: a whole composition at canvas
// resolution on every frame, however small the preview. When the item only
// moves and scales the layers' scene (no crop, filter, blending, bounds, or
// a turn other than a quarter), the preview draws the layers straight into
// the view through the item's transform instead, clipped to where the
// layers' canvas lands: the same picture, each layer sampled once.
#include "ViewTransform.h"

#include <graphics/matrix4.h>
#include <graphics/vec2.h>
#include <obs.hpp>

struct SceneDraw {
    // What to draw: the layers' scene when `placed`, otherwise the scene itself.
    OBSSourceAutoRelease source;
    bool placed = false;
    // Placed only: the item's transform, and where the layers' canvas lands.
    matrix4 transform{};
    SceneRect clip;
};

// How to draw `scene`: through its only item when that item shows a nested
// scene and only moves, scales or quarter-turns it. Brings the item's
// transform up to date, as the engine would when drawing the scene.
SceneDraw PlanSceneDraw(obs_scene_t* scene);
