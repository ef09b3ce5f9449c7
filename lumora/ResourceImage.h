#pragma once
// Pictures held in the Qt resource system under their numeric ids and a
// resource type ("PNG"): ":/lumora/<type>/<id>" for the library's own and
// ":/kelvane/<type>/<id>" for the program's, each as ".svg" (drawn at the
// size asked for) or ".png". An id without a picture gives a null image, so
// painting never reads a picture that is not there.
#include "lumora/LumoraApi.h"

#include <QPixmap>
#include <QSize>
#include <QString>

namespace lumora {

LUMORA_API bool HasResourceImage(int id, const QString& type = QStringLiteral("PNG"));
// The picture's own size in pixels at 1x (an SVG's view box); empty when absent.
LUMORA_API QSize ResourceImageSize(int id, const QString& type = QStringLiteral("PNG"));
// The picture drawn at size (its own size when empty) for the device pixel
// ratio; null when absent. Rendered pictures are kept for reuse.
LUMORA_API QPixmap LoadResourceImage(int id, const QString& type = QStringLiteral("PNG"), QSize size = {},
                                     qreal devicePixelRatio = 1.0);
// The same picture in grey levels (0.3 R + 0.59 G + 0.11 B), alpha kept.
LUMORA_API QPixmap GrayscalePixmap(const QPixmap& pixmap);

}  // namespace lumora
