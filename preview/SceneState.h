#pragma once
// What the preview draws of a scene, reduced to a number that changes when
// anything drawn changes: every item at any depth (nested scenes and groups
// included) with its placement, crop, bounds, visibility, selection, lock,
// blending and scale filter, its source and the source's size, and the
// source's filters with their enabled state. Reading it takes a few
// microseconds for a set, so it can run every engine frame.
//
// Settings changed inside a source (another picture file, a filter's
// values) leave no trace here; the sources' own signals tell of those (see
// SourceSignalWatch). A source whose picture changes by itself (a video,
// a camera, the test pattern) makes the scene live: it changes on every frame.
#include <cstdint>
#include <obs.hpp>
#include <vector>

struct SceneState {
    uint64_t drawn = 0;    // changes with anything drawn
    uint64_t sources = 0;  // changes with the set of sources and filters in the scene
    bool live = false;     // a picture in it changes without anyone touching the scene

    bool operator==(const SceneState&) const = default;
};

SceneState ReadSceneState(obs_scene_t* scene);

// One item of a scene's own list, read the same way: where and how the item
// places its source, and what the source draws (its filters, the items of a
// nested scene or group, at any depth).
struct ItemState {
    obs_sceneitem_t* item = nullptr;  // identity only, no reference held
    uint64_t placement = 0;
    uint64_t content = 0;
    bool live = false;

    bool operator==(const ItemState&) const = default;
};

// The scene's items, bottom first.
std::vector<ItemState> ReadItemStates(obs_scene_t* scene);

// Every source and filter the scene draws, at any depth, each once, the
// scene's own source first.
std::vector<OBSSource> CollectSceneSources(obs_scene_t* scene);
