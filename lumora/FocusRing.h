#pragma once
// The ring the skin draws round the control that has the keyboard focus:
// one colour for every owner-drawn control, clear against the dark skin.
#include "lumora/LumoraApi.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace lumora {

LUMORA_API QColor FocusRingColor();
// A two-pixel ring just inside area, its corners rounded by radius.
LUMORA_API void DrawFocusRing(QPainter& painter, const QRectF& area, qreal radius);

}  // namespace lumora
