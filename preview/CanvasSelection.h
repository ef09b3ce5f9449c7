#pragma once
// The selected items of the scene the preview shows. The selection lives in
// the engine's own select flags (so the pages and the engine's signals see
// it); this class holds the rules that change it: a plain click picks one
// item, Shift or Ctrl adds and removes, a rubber band picks what it touches,
// and every change ends with one change notice.
#include <functional>
#include <graphics/vec2.h>
#include <obs.h>
#include <vector>

// An axis-aligned box in canvas pixels.
struct CanvasBox {
    vec2 topLeft;
    vec2 bottomRight;
    static CanvasBox None();
    bool Empty() const { return topLeft.x > bottomRight.x || topLeft.y > bottomRight.y; }
    float Width() const { return bottomRight.x - topLeft.x; }
    float Height() const { return bottomRight.y - topLeft.y; }
    vec2 Centre() const { return {(topLeft.x + bottomRight.x) * 0.5f, (topLeft.y + bottomRight.y) * 0.5f}; }
    void Extend(vec2 point);
    bool Touches(const CanvasBox& other) const;
    CanvasBox Moved(vec2 offset) const;
};

// The box around the item's four corners (and its group's transform).
CanvasBox ItemCanvasBox(obs_sceneitem_t* item, obs_sceneitem_t* group = nullptr);

class CanvasSelection {
public:
    // Whether a click with these modifier bits (Shift 1, Ctrl 2) adds to and
    // removes from the selection instead of replacing it.
    static bool Extends(int modifiers);

    // The scene whose items are selected; not owned.
    void SetScene(obs_scene_t* scene) { m_scene = scene; }
    obs_scene_t* Scene() const { return m_scene; }
    // Called once after any change made through this class.
    void SetChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

    // Only this item (none: nothing), at any depth.
    void SelectOnly(obs_sceneitem_t* item);
    void Add(obs_sceneitem_t* item);
    void Remove(obs_sceneitem_t* item);
    void Toggle(obs_sceneitem_t* item);
    void Clear();
    // Every item that can be picked (shown, unlocked, with a picture).
    void SelectAll();
    // Exactly these top-level items.
    void SelectExactly(const std::vector<obs_sceneitem_t*>& items);

    // A click on an item (none: empty canvas): with extend it toggles the
    // item, without it the item alone is selected.
    void Click(obs_sceneitem_t* item, bool extend);
    // A press that may start a drag: with extend an unselected item joins
    // the selection at once, so the drag moves it with the others; true
    // when it joined.
    bool AddOnPress(obs_sceneitem_t* item, bool extend);
    // A rubber band: the items it touches, added to the selection with
    // extend or replacing it without.
    void Band(const CanvasBox& band, bool extend);
    // The pickable top-level items the band touches.
    std::vector<obs_sceneitem_t*> ItemsTouching(const CanvasBox& band) const;

    bool IsSelected(obs_sceneitem_t* item) const;
    // The selected top-level items, bottom first.
    std::vector<obs_sceneitem_t*> Items() const;
    int Count() const;
    // The box around every selected item at any depth; empty when none.
    CanvasBox Bounds() const;

private:
    // Runs a change and sends the notice when a flag changed.
    void Change(const std::function<void()>& change);
    void SetFlag(obs_sceneitem_t* item, bool selected);

    obs_scene_t* m_scene = nullptr;
    std::function<void()> m_changed;
    bool m_flagChanged = false;
};

// Whether an item is on the canvas for the mouse: shown, unlocked, with a
// picture and a sound box.
bool ItemPickable(obs_sceneitem_t* item);
