#pragma once
// The layers' scene composed once into a texture of its own size, for the
// frames in which only the set's placement changes: a shot transition, a
// shot's slider dragged. Each such frame then draws one texture through the
// moving transform instead of every layer again (sixteen 4K pictures are
// sixteen full-view fills a frame, one texture is one). The engine's own
// program picture composes a nested scene the same way, so the picture is
// the one the set gives out.
//
// The composition is kept while the caller's state of the layers stays the
// same; the caller decides when to use it, when to compose afresh and when
// to let it go. Graphics context only.
#include <graphics/graphics.h>
#include <graphics/matrix4.h>
#include <obs.h>

#include <cstdint>

class ComposedScene {
public:
    ComposedScene() = default;
    ~ComposedScene();
    ComposedScene(const ComposedScene&) = delete;
    ComposedScene& operator=(const ComposedScene&) = delete;

    // Draws `scene` (the layers' scene source) through `transform` from its
    // composition, composing it first when `state` differs from the one it
    // was composed in. False when the texture cannot be made.
    bool Draw(obs_source_t* scene, uint64_t state, const matrix4& transform);
    // The same for a scene composed at a size other than its own (a private
    // copy of part of a scene composes at the size of the scene it came
    // from), with `detail` texture pixels to a pixel of that size (at most
    // 1): a scene the screen shows smaller needs no more pixels than it gets.
    // A composition with more detail than asked for is kept.
    bool Draw(obs_source_t* scene, uint64_t state, const matrix4& transform, uint32_t width, uint32_t height,
              float detail = 1.0f);
    // Composes `scene` as that Draw would, without drawing it: the next
    // Draw in the same state finds it ready. False when the texture cannot
    // be made.
    bool Prepare(obs_source_t* scene, uint64_t state, uint32_t width, uint32_t height, float detail = 1.0f);
    // How many times it has composed (for the tests).
    uint64_t Compositions() const { return m_compositions; }
    // The next Draw composes again, whatever the state.
    void Invalidate() { m_valid = false; }
    // Lets the texture go.
    void Release();
    bool Holds() const { return m_target != nullptr; }
    // The detail of the composition held.
    float Detail() const { return m_detail; }

private:
    bool Compose(obs_source_t* scene, uint32_t width, uint32_t height, uint32_t textureWidth, uint32_t textureHeight);

    gs_texrender_t* m_target = nullptr;
    uint64_t m_state = 0;
    bool m_valid = false;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    float m_detail = 1.0f;
    uint64_t m_compositions = 0;
};
