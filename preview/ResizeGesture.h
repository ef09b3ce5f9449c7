#pragma once
// Resizing an item by dragging one of the eight handles of a selected item;
// the aspect ratio kept with Ctrl or the keep-ratio flag, the grabbed edges
// snapping to the canvas's lines, the grid and the other items (not with
// Ctrl, and not for a turned item or one inside a group).
#include "CanvasGesture.h"

#include <cstdint>
#include <graphics/matrix4.h>
#include <graphics/vec2.h>
#include <memory>
#include <obs.hpp>

// Handle codes are bit sets, like libobs alignment.
inline constexpr uint32_t kHandleLeft = 1;
inline constexpr uint32_t kHandleRight = 2;
inline constexpr uint32_t kHandleTop = 4;
inline constexpr uint32_t kHandleBottom = 8;

struct HandleSpot {
    uint32_t code;
    float x;
    float y;
};
// The eight handles and where they sit on the item's unit box.
extern const HandleSpot kHandleSpots[8];

// The handle nearest to the position within the radius, over the selected
// items at any depth; item null and handle 0 when none. group is the group
// item holding the found item (null at the top level).
struct HandleHit {
    obs_sceneitem_t* item = nullptr;
    obs_sceneitem_t* group = nullptr;
    uint32_t handle = 0;
};
HandleHit FindHandle(obs_scene_t* scene, vec2 position, float radius);

class ResizeGesture : public CanvasGesture {
public:
    // Grabs the handle the hit names; none without one.
    static std::unique_ptr<CanvasGesture> Begin(const GestureContext& context, const HandleHit& hit);

    ResizeGesture(const GestureContext& context, const HandleHit& hit);
    ~ResizeGesture() override;

    // The grabbed handle follows the position.
    void Move(vec2 position) override;
    // Ends a deferred group resize.
    void Finish() override;
    void Cancel() override;
    void DrawOverlay(CanvasOverlay& overlay) const override;
    obs_sceneitem_t* ChangedItem() const override { return m_item; }

    obs_sceneitem_t* Item() const { return m_item; }
    uint32_t Handle() const { return m_handle; }

    // Maps a canvas position into the frame of the item's group (unchanged at
    // the top level).
    vec2 IntoGroupFrame(vec2 position) const;
    // Resizes the item so the grabbed handle follows the position (in the
    // group's frame). keepRatio keeps the source's aspect ratio.
    void ResizeTo(vec2 position, bool keepRatio);

private:
    vec2 KeepAspect(vec2 size) const;
    vec2 BaseSize() const;
    void EndGroupResize();
    // The position snapped to the lines, where the item is square to the canvas.
    vec2 Snapped(vec2 position);

    OBSSceneItem m_item;
    OBSSceneItem m_group;
    bool m_groupResizing = false;
    SavedTransforms m_saved;
    std::vector<SnapLine> m_lines;
    uint32_t m_handle = 0;
    vec2 m_sizeAtGrab{};
    matrix4 m_screenToItem{};
    matrix4 m_itemToScreen{};
    matrix4 m_groupInverse{};
};

// Width and height of the item's source less its crop.
vec2 CroppedSourceSize(obs_sceneitem_t* item);
