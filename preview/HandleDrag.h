#pragma once
// Grabbing one of the eight handles of a selected item and resizing the item
// by dragging it. Positions are in canvas units.
#include <cstdint>
#include <graphics/matrix4.h>
#include <graphics/vec2.h>
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

class HandleDrag {
public:
    HandleDrag() = default;
    ~HandleDrag() { End(); }
    HandleDrag(const HandleDrag&) = delete;
    HandleDrag& operator=(const HandleDrag&) = delete;

    // Takes references to the item and its group and remembers the item's
    // size, rotation and corner at grab time.
    void Begin(const HandleHit& hit);
    // Ends a deferred group resize and releases the references.
    void End();
    bool Active() const { return m_item != nullptr; }
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

    OBSSceneItemAutoRelease m_item;
    OBSSceneItemAutoRelease m_group;
    uint32_t m_handle = 0;
    vec2 m_sizeAtGrab{};
    matrix4 m_screenToItem{};
    matrix4 m_itemToScreen{};
    matrix4 m_groupInverse{};
};

// Width and height of the item's source less its crop.
vec2 CroppedSourceSize(obs_sceneitem_t* item);
