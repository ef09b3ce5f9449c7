#include "RubberBandGesture.h"

#include <algorithm>

std::unique_ptr<CanvasGesture> RubberBandGesture::Begin(const GestureContext& context, vec2 start, bool extend)
{
    return std::make_unique<RubberBandGesture>(context, start, extend);
}

RubberBandGesture::RubberBandGesture(const GestureContext& context, vec2 start, bool extend)
    : CanvasGesture(context), m_start(start), m_end(start), m_extend(extend)
{
    for (obs_sceneitem_t* item : context.selection->Items())
        m_before.emplace_back(item);
}

CanvasBox RubberBandGesture::Band() const
{
    CanvasBox band = CanvasBox::None();
    band.Extend(m_start);
    band.Extend(m_end);
    return band;
}

void RubberBandGesture::Move(vec2 position)
{
    m_end = position;
    std::vector<obs_sceneitem_t*> chosen = Context().selection->ItemsTouching(Band());
    if (m_extend) {
        for (const OBSSceneItem& item : m_before)
            if (std::find(chosen.begin(), chosen.end(), item.Get()) == chosen.end())
                chosen.push_back(item);
    }
    Context().selection->SelectExactly(chosen);
}

void RubberBandGesture::Cancel()
{
    std::vector<obs_sceneitem_t*> before;
    for (const OBSSceneItem& item : m_before)
        before.push_back(item);
    Context().selection->SelectExactly(before);
    m_end = m_start;
}

void RubberBandGesture::DrawOverlay(CanvasOverlay& overlay) const
{
    const CanvasBox band = Band();
    overlay.fills.push_back({band.topLeft, band.bottomRight, kBandFillColour});
    overlay.AddFrame(band.topLeft, band.bottomRight, kBandColour);
}
