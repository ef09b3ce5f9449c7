#pragma once
// The pictures of the multi-view templates: each draws its template's own
// cells, so a picture always shows the layout it stands for.
#include <QPixmap>
#include <QSize>

// Null for an index outside 0 … 11.
QPixmap DrawMultiViewPicture(int templateIndex, QSize size, qreal devicePixelRatio = 1.0);

// The picture resource id of a template's chooser button.
int MultiViewPictureId(int templateIndex);
