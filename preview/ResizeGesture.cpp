#include "ResizeGesture.h"

#include "SceneItemPicking.h"

#include <cmath>
#include <graphics/vec3.h>

const HandleSpot kHandleSpots[8] = {
    {kHandleLeft | kHandleTop, 0.0f, 0.0f},    {kHandleTop, 0.5f, 0.0f},    {kHandleRight | kHandleTop, 1.0f, 0.0f},
    {kHandleLeft, 0.0f, 0.5f},                 {kHandleRight, 1.0f, 0.5f},  {kHandleLeft | kHandleBottom, 0.0f, 1.0f},
    {kHandleBottom, 0.5f, 1.0f},               {kHandleRight | kHandleBottom, 1.0f, 1.0f},
};

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

struct HandleSearch {
    vec2 position;
    float best;
    HandleHit hit;
};

void SearchHandles(obs_sceneitem_t* item, obs_sceneitem_t* group, const matrix4& enclosing, HandleSearch& search)
{
    if (!ItemShown(item))
        return;
    if (obs_sceneitem_selected(item)) {
        matrix4 box;
        obs_sceneitem_get_box_transform(item, &box);
        matrix4 full;
        matrix4_mul(&full, &box, &enclosing);
        for (const HandleSpot& spot : kHandleSpots) {
            const vec2 at = TransformPoint(full, spot.x, spot.y);
            const float distance = std::hypot(at.x - search.position.x, at.y - search.position.y);
            if (distance < search.best) {
                search.best = distance;
                search.hit = {item, group, spot.code};
            }
        }
    } else if (obs_sceneitem_is_group(item)) {
        matrix4 draw;
        obs_sceneitem_get_draw_transform(item, &draw);
        ForEachGroupItem(item, [&](obs_sceneitem_t* child) {
            SearchHandles(child, item, draw, search);
            return true;
        });
    }
}

// The sign rule for a recomputed component: it keeps its own sign, so it is
// negated when the two components had different signs.
float WithSignOf(float value, float own, float other)
{
    return ((own < 0.0f) != (other < 0.0f)) ? -value : value;
}

}  // namespace

HandleHit FindHandle(obs_scene_t* scene, vec2 position, float radius)
{
    HandleSearch search{position, radius, {}};
    matrix4 identity;
    matrix4_identity(&identity);
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        SearchHandles(item, nullptr, identity, search);
        return true;
    });
    return search.hit;
}

vec2 CroppedSourceSize(obs_sceneitem_t* item)
{
    obs_source_t* source = obs_sceneitem_get_source(item);
    obs_sceneitem_crop crop;
    obs_sceneitem_get_crop(item, &crop);
    vec2 size;
    vec2_set(&size, float(int(obs_source_get_width(source)) - crop.left - crop.right),
             float(int(obs_source_get_height(source)) - crop.top - crop.bottom));
    return size;
}

std::unique_ptr<CanvasGesture> ResizeGesture::Begin(const GestureContext& context, const HandleHit& hit)
{
    if (!hit.item || !hit.handle)
        return nullptr;
    return std::make_unique<ResizeGesture>(context, hit);
}

ResizeGesture::ResizeGesture(const GestureContext& context, const HandleHit& hit)
    : CanvasGesture(context), m_item(hit.item), m_handle(hit.handle)
{
    m_saved.Save(hit.item);
    if (obs_sceneitem_get_bounds_type(hit.item) != OBS_BOUNDS_NONE) {
        obs_sceneitem_get_bounds(hit.item, &m_sizeAtGrab);
    } else {
        vec2 scale;
        obs_sceneitem_get_scale(hit.item, &scale);
        const vec2 cropped = CroppedSourceSize(hit.item);
        vec2_set(&m_sizeAtGrab, cropped.x * scale.x, cropped.y * scale.y);
    }

    const float rotation = obs_sceneitem_get_rot(hit.item);
    matrix4 box;
    obs_sceneitem_get_box_transform(hit.item, &box);
    matrix4_identity(&m_itemToScreen);
    matrix4_rotate_aa4f(&m_itemToScreen, &m_itemToScreen, 0.0f, 0.0f, 1.0f, rotation * kDegreesToRadians);
    matrix4_translate3f(&m_itemToScreen, &m_itemToScreen, box.t.x, box.t.y, 0.0f);
    matrix4_identity(&m_screenToItem);
    matrix4_translate3f(&m_screenToItem, &m_screenToItem, -box.t.x, -box.t.y, 0.0f);
    matrix4_rotate_aa4f(&m_screenToItem, &m_screenToItem, 0.0f, 0.0f, 1.0f, -rotation * kDegreesToRadians);

    if (hit.group) {
        m_group = hit.group;
        matrix4 draw;
        obs_sceneitem_get_draw_transform(hit.group, &draw);
        matrix4_inv(&m_groupInverse, &draw);
        obs_sceneitem_defer_group_resize_begin(hit.group);
        m_groupResizing = true;
    }
}

ResizeGesture::~ResizeGesture() { EndGroupResize(); }

void ResizeGesture::EndGroupResize()
{
    if (m_groupResizing)
        obs_sceneitem_defer_group_resize_end(m_group);
    m_groupResizing = false;
}

void ResizeGesture::Move(vec2 position)
{
    const bool keepRatio = (Context().keepRatio && *Context().keepRatio) || ModifierDown(2);
    ResizeTo(Snapped(IntoGroupFrame(position)), keepRatio);
}

vec2 ResizeGesture::Snapped(vec2 position)
{
    m_lines.clear();
    const float distance = SnapDistance();
    const float turn = std::fmod(std::fabs(obs_sceneitem_get_rot(m_item)), 360.0f);
    if (distance <= 0.0f || m_group || turn > 0.001f)
        return position;
    const bool horizontal = (m_handle & (kHandleLeft | kHandleRight)) != 0;
    const bool vertical = (m_handle & (kHandleTop | kHandleBottom)) != 0;
    SnapResult snap = Targets().SnapPoint(position, distance, horizontal, vertical);
    m_lines = std::move(snap.lines);
    return {position.x + snap.correction.x, position.y + snap.correction.y};
}

void ResizeGesture::Finish()
{
    m_lines.clear();
    EndGroupResize();
}

void ResizeGesture::Cancel()
{
    m_saved.Restore();
    m_lines.clear();
    EndGroupResize();
}

void ResizeGesture::DrawOverlay(CanvasOverlay& overlay) const { DrawSnapLines(m_lines, overlay); }

vec2 ResizeGesture::IntoGroupFrame(vec2 position) const
{
    return m_group ? TransformPoint(m_groupInverse, position.x, position.y) : position;
}

vec2 ResizeGesture::BaseSize() const
{
    if (obs_sceneitem_get_bounds_type(m_item) == OBS_BOUNDS_NONE)
        return CroppedSourceSize(m_item);
    obs_source_t* source = obs_sceneitem_get_source(m_item);
    vec2 size;
    vec2_set(&size, float(obs_source_get_width(source)), float(obs_source_get_height(source)));
    return size;
}

vec2 ResizeGesture::KeepAspect(vec2 size) const
{
    const vec2 base = BaseSize();
    if (base.x <= 0.0f || base.y <= 0.0f)
        return size;
    const float aspect = base.x / base.y;
    const bool horizontal = (m_handle & (kHandleLeft | kHandleRight)) != 0;
    const bool vertical = (m_handle & (kHandleTop | kHandleBottom)) != 0;
    bool recomputeX = !horizontal;
    if (horizontal && vertical)
        recomputeX = size.y != 0.0f && aspect > size.x / size.y;
    if (recomputeX)
        size.x = WithSignOf(size.y * aspect, size.x, size.y);
    else
        size.y = WithSignOf(size.x / aspect, size.y, size.x);
    size.x = std::round(size.x);
    size.y = std::round(size.y);
    return size;
}

void ResizeGesture::ResizeTo(vec2 position, bool keepRatio)
{
    if (!m_item)
        return;
    const vec2 local = TransformPoint(m_screenToItem, position.x, position.y);
    vec2 topLeft{0.0f, 0.0f};
    vec2 bottomRight = m_sizeAtGrab;
    if (m_handle & kHandleLeft)
        topLeft.x = local.x;
    else if (m_handle & kHandleRight)
        bottomRight.x = local.x;
    if (m_handle & kHandleTop)
        topLeft.y = local.y;
    else if (m_handle & kHandleBottom)
        bottomRight.y = local.y;

    vec2 size{bottomRight.x - topLeft.x, bottomRight.y - topLeft.y};
    if (keepRatio) {
        size = KeepAspect(size);
        if (m_handle & kHandleLeft)
            topLeft.x = bottomRight.x - size.x;
        else if (m_handle & kHandleRight)
            bottomRight.x = topLeft.x + size.x;
        if (m_handle & kHandleTop)
            topLeft.y = bottomRight.y - size.y;
        else if (m_handle & kHandleBottom)
            bottomRight.y = topLeft.y + size.y;
    }

    if (obs_sceneitem_get_bounds_type(m_item) != OBS_BOUNDS_NONE) {
        vec2 bounds{std::fabs(size.x), std::fabs(size.y)};
        obs_sceneitem_set_bounds(m_item, &bounds);
        const vec2 low{std::fmin(topLeft.x, bottomRight.x), std::fmin(topLeft.y, bottomRight.y)};
        const vec2 high{std::fmax(topLeft.x, bottomRight.x), std::fmax(topLeft.y, bottomRight.y)};
        topLeft = low;
        bottomRight = high;
    } else {
        // A picture with no pixels left has no scale to find.
        const vec2 cropped = CroppedSourceSize(m_item);
        if (cropped.x <= 0.0f || cropped.y <= 0.0f)
            return;
        vec2 scale{size.x / cropped.x, size.y / cropped.y};
        obs_sceneitem_set_scale(m_item, &scale);
    }

    const uint32_t alignment = obs_sceneitem_get_alignment(m_item);
    vec2 anchor;
    if (alignment & OBS_ALIGN_LEFT)
        anchor.x = topLeft.x;
    else if (alignment & OBS_ALIGN_RIGHT)
        anchor.x = bottomRight.x;
    else
        anchor.x = (bottomRight.x - topLeft.x) * 0.5f + topLeft.x;
    if (alignment & OBS_ALIGN_TOP)
        anchor.y = topLeft.y;
    else if (alignment & OBS_ALIGN_BOTTOM)
        anchor.y = bottomRight.y;
    else
        anchor.y = (bottomRight.y - topLeft.y) * 0.5f + topLeft.y;
    const vec2 screen = TransformPoint(m_itemToScreen, anchor.x, anchor.y);
    vec2 position2{std::round(screen.x), std::round(screen.y)};
    obs_sceneitem_set_pos(m_item, &position2);
}
