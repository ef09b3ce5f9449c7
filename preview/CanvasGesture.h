#pragma once
// One mouse gesture on the canvas, from the press to the release: moving the
// selection, resizing an item by a handle, rotating by the rotate handle, a
// rubber band, dragging a corner of a screen. The preview dispatches to one
// gesture at a time; each has its own file with its begin (a static Begin),
// its moves, its finish, its cancel (Escape: everything back as it began)
// and the overlay it shows meanwhile. Positions are canvas pixels.
#include "CanvasOverlay.h"
#include "CanvasSelection.h"
#include "Snapping.h"
#include "ViewTransform.h"

#include <functional>
#include <obs.hpp>
#include <vector>

// What a gesture sees of the preview; it lives as long as the preview.
struct GestureContext {
    obs_scene_t* scene = nullptr;
    CanvasSelection* selection = nullptr;
    const ViewTransform* view = nullptr;
    const CanvasGuides* guides = nullptr;
    const bool* keepRatio = nullptr;
    // True when every modifier the mask names (Shift 1, Ctrl 2, Alt 4) is down.
    std::function<bool(int)> modifierDown;
};

class CanvasGesture {
public:
    explicit CanvasGesture(const GestureContext& context) : m_context(context) {}
    virtual ~CanvasGesture() = default;
    CanvasGesture(const CanvasGesture&) = delete;
    CanvasGesture& operator=(const CanvasGesture&) = delete;

    // The pointer moved to the position.
    virtual void Move(vec2 position) = 0;
    // The button went up: what the gesture did stays.
    virtual void Finish() {}
    // Escape: the items (or points) go back to where they were at the press.
    virtual void Cancel() = 0;
    // The shapes shown while the gesture runs.
    virtual void DrawOverlay(CanvasOverlay& overlay) const = 0;
    // The item the gesture changes, for the change notice (none: several).
    virtual obs_sceneitem_t* ChangedItem() const { return nullptr; }
    // Whether the gesture changes items (a rubber band changes the selection only).
    virtual bool ChangesItems() const { return true; }

protected:
    const GestureContext& Context() const { return m_context; }
    bool ModifierDown(int mask) const { return m_context.modifierDown && m_context.modifierDown(mask); }
    // The reach of a snap in canvas pixels: 10 window pixels; 0 (off) with Ctrl.
    float SnapDistance() const;
    // The lines of the canvas and the unselected items to snap to.
    SnapTargets Targets() const;
    // Adds the matched lines of a snap to the overlay.
    static void DrawSnapLines(const std::vector<SnapLine>& lines, CanvasOverlay& overlay);

private:
    GestureContext m_context;
};

// The transforms of some items as they were, to be put back on a cancel.
class SavedTransforms {
public:
    void Save(obs_sceneitem_t* item);
    // Every selected item at any depth.
    void SaveSelected(obs_scene_t* scene);
    void Restore() const;
    bool Empty() const { return m_items.empty(); }

private:
    struct Saved {
        OBSSceneItem item;
        obs_transform_info info;
    };
    std::vector<Saved> m_items;
};

// The canvas size of the engine's video, 0 by 0 without video.
vec2 EngineCanvasSize();
