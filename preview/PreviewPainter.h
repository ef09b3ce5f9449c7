#pragma once
// What the preview draws with the solid effect: the black canvas and the
// overlay of the selected items (outline, cropped sides in green, eight
// handles of 8 window pixels at any zoom). Every call runs in the graphics
// context.
#include <graphics/vec2.h>
#include <obs.h>

class PreviewPainter {
public:
    PreviewPainter() = default;
    ~PreviewPainter();
    PreviewPainter(const PreviewPainter&) = delete;
    PreviewPainter& operator=(const PreviewPainter&) = delete;

    // Records the five unit vertex lists: the box outline and its four edges.
    void CreateBuffers();
    void DestroyBuffers();
    bool HasBuffers() const { return m_box != nullptr; }

    // Fills the canvas (width by height in canvas units) with opaque black.
    void DrawCanvas(float width, float height);
    // The overlay of every selected, unlocked item with video, at any depth.
    // The current matrix maps canvas units to window pixels.
    void DrawSelection(obs_scene_t* scene);
    // Four corner points joined in order, each with a handle; the points are
    // in canvas units, scale is window pixels per canvas unit.
    void DrawQuad(const vec2 (&points)[4], float scale);

private:
    struct Colour {
        float r, g, b, a;
    };
    void BeginSolid(Colour colour);
    void EndSolid();
    void SetColour(Colour colour);
    void DrawItemOverlay(obs_sceneitem_t* item);
    void DrawHandles();
    void DrawOutline(obs_sceneitem_t* item);

    gs_vertbuffer_t* m_box = nullptr;
    gs_vertbuffer_t* m_left = nullptr;
    gs_vertbuffer_t* m_top = nullptr;
    gs_vertbuffer_t* m_right = nullptr;
    gs_vertbuffer_t* m_bottom = nullptr;
    gs_effect_t* m_solid = nullptr;
    gs_technique_t* m_technique = nullptr;
};
