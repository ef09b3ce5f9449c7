#pragma once
// The layers' scene drawn in three parts while one layer keeps changing: the
// layers under it composed once into a texture, the layer itself drawn on
// every frame, the layers over it composed once into a second texture. A
// drag or a live picture then costs the preview three fills a frame instead
// of one per layer.
//
// Each part is a private copy of the layers' scene holding the same sources
// with only that part's items, so the engine draws them exactly as it draws
// the scene itself. A part is copied again when any of its layers changed;
// the changing layer's placement is brought over on every frame. Graphics
// context only.
#include "ComposedScene.h"
#include "SceneState.h"

#include <obs.hpp>
#include <vector>

class SplitComposition {
public:
    SplitComposition() = default;
    SplitComposition(const SplitComposition&) = delete;
    SplitComposition& operator=(const SplitComposition&) = delete;

    // Draws `layers` through `transform` with the item at `changing` (in
    // `items`, this frame's state of the scene's items) drawn apart.
    // `pictures` changes when a source's picture was reloaded. False when the
    // parts cannot be made; nothing is drawn then. `screenScale` is the
    // screen's pixels to a pixel of the layers' canvas: the parts are
    // composed with no more detail than the screen shows.
    bool Draw(obs_scene_t* layers, const std::vector<ItemState>& items, size_t changing, uint64_t pictures,
              const matrix4& transform, float screenScale);
    // Composes the parts under and over the item at `changing` as Draw
    // would, without drawing: done while the layers rest, the first frame
    // in which that layer changes finds them ready. False when the parts
    // cannot be made.
    bool Prepare(obs_scene_t* layers, const std::vector<ItemState>& items, size_t changing, uint64_t pictures,
                 float screenScale);
    // Lets go of the changing layer's copy and keeps the parts: the layer
    // may change again with the others as they are.
    void SetAside();
    void Release();
    // Whether the last Draw drew a layer apart (and nothing set it aside since).
    bool Holds() const { return m_solo != nullptr; }
    // Compositions of the parts made so far (for the tests).
    uint64_t Compositions() const { return m_below.composed.Compositions() + m_above.composed.Compositions(); }

private:
    struct Part {
        OBSSceneAutoRelease scene;
        uint64_t key = 0;
        ComposedScene composed;
    };

    // Starts over when the layers' scene, their count or the changing
    // layer's position differ from the last call; a layer's item replaced
    // (a live picture put in it) keeps the other parts.
    void FollowStructure(obs_scene_t* layers, size_t count, size_t changing);
    // The parts under and over `changing`, copied where their layers changed.
    bool CopyParts(obs_scene_t* layers, const std::vector<ItemState>& items, size_t changing, uint64_t pictures);
    bool CopyPart(Part& part, obs_scene_t* layers, size_t from, size_t to, uint64_t key);
    bool CopyChanging(obs_scene_t* layers, const ItemState& changing, size_t index);
    void DrawPart(Part& part, const matrix4& transform, uint32_t width, uint32_t height, float detail);
    void DrawChanging(const matrix4& transform);

    uint64_t m_structure = 0;
    Part m_below;
    Part m_above;
    OBSSceneAutoRelease m_solo;
    uint64_t m_soloContent = 0;
    OBSSceneItemAutoRelease m_changingItem;  // held from its copy to its draw
};
