#pragma once
// What the preview draws for its scene. The set's scene holds one item: the
// layers' own scene, placed by the current shot. The engine draws a nested
// scene by first composing it into a texture of the canvas's size, then
// drawing that texture where the item stands; when the item stands unmoved
// over the whole canvas, that texture lands pixel for pixel on the canvas,
// so the layers' scene can be drawn into the view directly, with the same
// picture (the view clips at the canvas's edges as the texture did) and
// without a whole composition at canvas resolution on every frame.
#include <graphics/vec2.h>
#include <obs.hpp>

// The source to draw for `scene` on a canvas of `canvas` pixels: the nested
// scene of its only item when that item shows it unmoved, unclipped and
// unfiltered over the whole canvas, otherwise the scene itself.
OBSSourceAutoRelease SourceToDrawForScene(obs_scene_t* scene, vec2 canvas);
