#include "CanvasGesture.h"

#include "SceneItemPicking.h"

namespace {

constexpr float kSnapDistancePixels = 10.0f;
constexpr int kModifierCtrlMask = 2;

void SaveSelectedAt(obs_sceneitem_t* item, SavedTransforms& saved)
{
    if (obs_sceneitem_selected(item))
        saved.Save(item);
    else if (obs_sceneitem_is_group(item))
        ForEachGroupItem(item, [&](obs_sceneitem_t* child) {
            SaveSelectedAt(child, saved);
            return true;
        });
}

}  // namespace

vec2 EngineCanvasSize()
{
    obs_video_info info;
    if (!obs_get_video_info(&info))
        return {0.0f, 0.0f};
    return {float(info.base_width), float(info.base_height)};
}

float CanvasGesture::SnapDistance() const
{
    if (ModifierDown(kModifierCtrlMask) || !m_context.view)
        return 0.0f;
    return m_context.view->WindowToCanvasLength(kSnapDistancePixels);
}

SnapTargets CanvasGesture::Targets() const
{
    const vec2 canvas = EngineCanvasSize();
    const CanvasGuides* guides = m_context.guides;
    return SnapTargets::ForScene(m_context.scene, canvas.x, canvas.y, guides && guides->grid ? guides->gridSpacing : 0);
}

void CanvasGesture::DrawSnapLines(const std::vector<SnapLine>& lines, CanvasOverlay& overlay)
{
    for (const SnapLine& line : lines)
        overlay.AddLine(line.from, line.to, kSnapLineColour);
}

void SavedTransforms::Save(obs_sceneitem_t* item)
{
    if (!item)
        return;
    Saved saved{OBSSceneItem(item), {}};
    obs_sceneitem_get_info(item, &saved.info);
    m_items.push_back(std::move(saved));
}

void SavedTransforms::SaveSelected(obs_scene_t* scene)
{
    ForEachItem(scene, [&](obs_sceneitem_t* item) {
        SaveSelectedAt(item, *this);
        return true;
    });
}

void SavedTransforms::Restore() const
{
    for (const Saved& saved : m_items)
        obs_sceneitem_set_info(saved.item, &saved.info);
}
