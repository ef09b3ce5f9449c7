#pragma once
// Moving the selection by dragging it: every selected item follows the
// pointer, the selection's box snapping to the canvas's lines, the grid and
// the other items' edges and centres (not with Ctrl).
#include "CanvasGesture.h"

#include <memory>

class MoveGesture : public CanvasGesture {
public:
    // Starts at the press position; none when nothing is selected.
    static std::unique_ptr<CanvasGesture> Begin(const GestureContext& context, vec2 start);

    void Move(vec2 position) override;
    void Cancel() override;
    void DrawOverlay(CanvasOverlay& overlay) const override;

    MoveGesture(const GestureContext& context, vec2 start, const CanvasBox& bounds);

private:
    vec2 m_start;
    vec2 m_moved{0.0f, 0.0f};  // what the items have moved so far
    CanvasBox m_startBounds;
    SnapTargets m_targets;     // the other items stay where they are meanwhile
    SavedTransforms m_saved;
    std::vector<SnapLine> m_lines;
    // The items the drag moves, found once at the press: enumerating the
    // scene takes its lock, which the engine holds while it renders a frame,
    // so a search on every move would wait for the frame.
    struct MovedItem {
        OBSSceneItem item;
        OBSSceneItem group;  // the unselected group it moves inside, if any
    };
    std::vector<MovedItem> m_items;
};

// Adds the offset to the position of every selected, unlocked item; the
// children of an unselected group move by the same visible amount.
void MoveSelectedItems(obs_scene_t* scene, vec2 offset);
