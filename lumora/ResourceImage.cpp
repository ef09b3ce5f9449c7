#include "ResourceImage.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

namespace lumora {

namespace {

QString ResourcePath(int id, const QString& type)
{
    static const char* const kRoots[] = {":/lumora/", ":/kelvane/"};
    static const char* const kExtensions[] = {".svg", ".png"};
    for (const char* root : kRoots) {
        for (const char* ext : kExtensions) {
            const QString path = QString::fromLatin1(root) + type + '/' + QString::number(id) + QString::fromLatin1(ext);
            if (QFile::exists(path))
                return path;
        }
    }
    return {};
}

bool IsSvg(const QString& path) { return path.endsWith(QLatin1String(".svg")); }

QImage Render(const QString& path, QSize pixels)
{
    if (IsSvg(path)) {
        QSvgRenderer renderer(path);
        if (!renderer.isValid())
            return {};
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        return image;
    }
    QImage image(path);
    if (image.isNull() || image.size() == pixels)
        return image;
    return image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

bool HasResourceImage(int id, const QString& type) { return !ResourcePath(id, type).isEmpty(); }

QSize ResourceImageSize(int id, const QString& type)
{
    const QString path = ResourcePath(id, type);
    if (path.isEmpty())
        return {};
    if (IsSvg(path)) {
        QSvgRenderer renderer(path);
        return renderer.isValid() ? renderer.viewBox().size() : QSize();
    }
    return QImageReader(path).size();
}

QPixmap LoadResourceImage(int id, const QString& type, QSize size, qreal devicePixelRatio)
{
    const QString path = ResourcePath(id, type);
    if (path.isEmpty())
        return {};
    if (size.isEmpty())
        size = ResourceImageSize(id, type);
    if (size.isEmpty())
        return {};
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QSize pixels(static_cast<int>(std::ceil(size.width() * ratio)), static_cast<int>(std::ceil(size.height() * ratio)));

    static QHash<QString, QPixmap> cache;
    const QString key = path + QStringLiteral("@%1x%2").arg(pixels.width()).arg(pixels.height());
    if (auto found = cache.constFind(key); found != cache.constEnd())
        return *found;
    QPixmap pixmap = QPixmap::fromImage(Render(path, pixels));
    if (pixmap.isNull())
        return {};
    pixmap.setDevicePixelRatio(ratio);
    cache.insert(key, pixmap);
    return pixmap;
}

QPixmap GrayscalePixmap(const QPixmap& pixmap)
{
    if (pixmap.isNull())
        return pixmap;
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int grey = static_cast<int>(0.3 * qRed(c) + 0.59 * qGreen(c) + 0.11 * qBlue(c) + 0.5);
            line[x] = qRgba(grey, grey, grey, qAlpha(c));
        }
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(pixmap.devicePixelRatio());
    return result;
}

}  // namespace lumora
