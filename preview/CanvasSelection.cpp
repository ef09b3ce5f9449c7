#include "CanvasSelection.h"

#include "SceneItemPicking.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

CanvasBox CanvasBox::None() { return {{FLT_MAX, FLT_MAX}, {-FLT_MAX, -FLT_MAX}}; }

void CanvasBox::Extend(vec2 point)
{
    topLeft.x = std::fmin(topLeft.x, point.x);
    topLeft.y = std::fmin(topLeft.y, point.y);
    bottomRight.x = std::fmax(bottomRight.x, point.x);
    bottomRight.y = std::fmax(bottomRight.y, point.y);
}

bool CanvasBox::Touches(const CanvasBox& other) const
{
    return !Empty() && !other.Empty() && topLeft.x <= other.bottomRight.x && other.topLeft.x <= bottomRight.x &&
           topLeft.y <= other.bottomRight.y && other.topLeft.y <= bottomRight.y;
}

CanvasBox CanvasBox::Moved(vec2 offset) const
{
    return {{topLeft.x + offset.x, topLeft.y + offset.y}, {bottomRight.x + offset.x, bottomRight.y + offset.y}};
}

CanvasBox ItemCanvasBox(obs_sceneitem_t* item, obs_sceneitem_t* group)
{
    matrix4 box;
    obs_sceneitem_get_box_transform(item, &box);
    if (group) {
        matrix4 draw;
        obs_sceneitem_get_draw_transform(group, &draw);
        matrix4_mul(&box, &box, &draw);
    }
    CanvasBox result = CanvasBox::None();
    for (const auto& corner : {vec2{0, 0}, vec2{1, 0}, vec2{0, 1}, vec2{1, 1}})
        result.Extend(TransformPoint(box, corner.x, corner.y));
    return result;
}

bool ItemPickable(obs_sceneitem_t* item)
{
    if (obs_sceneitem_locked(item) || !ItemHasVideo(item) || !ItemShown(item))
        return false;
    matrix4 box, inverse;
    return GetSoundBoxTransform(item, box, inverse);
}

namespace {

void AddSelectedToBox(obs_sceneitem_t* item, const matrix4& parent, CanvasBox& box)
{
    if (!ItemShown(item))
        return;
    matrix4 full;
    obs_sceneitem_get_box_transform(item, &full);
    matrix4_mul(&full, &full, &parent);
    if (obs_sceneitem_selected(item)) {
        for (const auto& corner : {vec2{0, 0}, vec2{1, 0}, vec2{0, 1}, vec2{1, 1}})
            box.Extend(TransformPoint(full, corner.x, corner.y));
    } else if (obs_sceneitem_is_group(item)) {
        matrix4 draw;
        obs_sceneitem_get_draw_transform(item, &draw);
        matrix4_mul(&draw, &draw, &parent);
        ForEachGroupItem(item, [&](obs_sceneitem_t* child) {
            AddSelectedToBox(child, draw, box);
            return true;
        });
    }
}

}  // namespace

bool CanvasSelection::Extends(int modifiers) { return (modifiers & 3) != 0; }

void CanvasSelection::Change(const std::function<void()>& change)
{
    m_flagChanged = false;
    change();
    if (m_flagChanged && m_changed)
        m_changed();
}

void CanvasSelection::SetFlag(obs_sceneitem_t* item, bool selected)
{
    if (!item || obs_sceneitem_selected(item) == selected)
        return;
    obs_sceneitem_select(item, selected);
    m_flagChanged = true;
}

void CanvasSelection::SelectOnly(obs_sceneitem_t* chosen)
{
    Change([&] {
        std::function<void(obs_sceneitem_t*)> visit = [&](obs_sceneitem_t* item) {
            SetFlag(item, item == chosen);
            if (obs_sceneitem_is_group(item))
                ForEachGroupItem(item, [&](obs_sceneitem_t* child) {
                    visit(child);
                    return true;
                });
        };
        ForEachItem(m_scene, [&](obs_sceneitem_t* item) {
            visit(item);
            return true;
        });
    });
}

void CanvasSelection::Add(obs_sceneitem_t* item)
{
    Change([&] { SetFlag(item, true); });
}

void CanvasSelection::Remove(obs_sceneitem_t* item)
{
    Change([&] { SetFlag(item, false); });
}

void CanvasSelection::Toggle(obs_sceneitem_t* item)
{
    if (item)
        Change([&] { SetFlag(item, !obs_sceneitem_selected(item)); });
}

void CanvasSelection::Clear() { SelectOnly(nullptr); }

void CanvasSelection::SelectAll()
{
    Change([&] {
        ForEachItem(m_scene, [&](obs_sceneitem_t* item) {
            SetFlag(item, ItemPickable(item));
            return true;
        });
    });
}

void CanvasSelection::SelectExactly(const std::vector<obs_sceneitem_t*>& items)
{
    Change([&] {
        ForEachItem(m_scene, [&](obs_sceneitem_t* item) {
            SetFlag(item, std::find(items.begin(), items.end(), item) != items.end());
            return true;
        });
    });
}

void CanvasSelection::Click(obs_sceneitem_t* item, bool extend)
{
    if (extend)
        Toggle(item);
    else
        SelectOnly(item);
}

bool CanvasSelection::AddOnPress(obs_sceneitem_t* item, bool extend)
{
    if (!extend || !item || obs_sceneitem_selected(item))
        return false;
    Add(item);
    return true;
}

std::vector<obs_sceneitem_t*> CanvasSelection::ItemsTouching(const CanvasBox& band) const
{
    std::vector<obs_sceneitem_t*> touched;
    ForEachItem(m_scene, [&](obs_sceneitem_t* item) {
        if (ItemPickable(item) && band.Touches(ItemCanvasBox(item)))
            touched.push_back(item);
        return true;
    });
    return touched;
}

void CanvasSelection::Band(const CanvasBox& band, bool extend)
{
    const std::vector<obs_sceneitem_t*> touched = ItemsTouching(band);
    if (!extend) {
        SelectExactly(touched);
        return;
    }
    Change([&] {
        for (obs_sceneitem_t* item : touched)
            SetFlag(item, true);
    });
}

bool CanvasSelection::IsSelected(obs_sceneitem_t* item) const { return item && obs_sceneitem_selected(item); }

std::vector<obs_sceneitem_t*> CanvasSelection::Items() const
{
    std::vector<obs_sceneitem_t*> items;
    ForEachItem(m_scene, [&](obs_sceneitem_t* item) {
        if (obs_sceneitem_selected(item))
            items.push_back(item);
        return true;
    });
    return items;
}

int CanvasSelection::Count() const { return static_cast<int>(Items().size()); }

CanvasBox CanvasSelection::Bounds() const
{
    CanvasBox box = CanvasBox::None();
    matrix4 identity;
    matrix4_identity(&identity);
    ForEachItem(m_scene, [&](obs_sceneitem_t* item) {
        AddSelectedToBox(item, identity, box);
        return true;
    });
    return box;
}
