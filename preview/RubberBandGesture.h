#pragma once
// A rubber band dragged from empty canvas: the items it touches are
// selected as it grows (added to the selection with Shift or Ctrl); Escape
// puts the selection back as it was.
#include "CanvasGesture.h"

#include <memory>

class RubberBandGesture : public CanvasGesture {
public:
    static std::unique_ptr<CanvasGesture> Begin(const GestureContext& context, vec2 start, bool extend);

    RubberBandGesture(const GestureContext& context, vec2 start, bool extend);

    void Move(vec2 position) override;
    void Cancel() override;
    void DrawOverlay(CanvasOverlay& overlay) const override;
    bool ChangesItems() const override { return false; }

    CanvasBox Band() const;

private:
    vec2 m_start;
    vec2 m_end;
    bool m_extend;
    std::vector<OBSSceneItem> m_before;  // the selection at the press
};
