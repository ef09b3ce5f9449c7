#include "LayerThumbnails.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPointer>

namespace {

// The picture read at no more than twice the thumbnail's size, for sharp
// rows on a high-density screen.
QImage ReadSmall(const QString& path, QSize size)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && (full.width() > 2 * size.width() || full.height() > 2 * size.height()))
        reader.setScaledSize(full.scaled(size * 2, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image = reader.read();
    if (!image.isNull() && (image.width() > 2 * size.width() || image.height() > 2 * size.height()))
        image = image.scaled(size * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

}  // namespace

CLayerThumbnails::CLayerThumbnails(QSize size, QObject* parent) : QObject(parent), m_size(size)
{
    m_pool.setMaxThreadCount(1);
}

CLayerThumbnails::~CLayerThumbnails()
{
    m_pool.clear();
    m_pool.waitForDone();
}

CLayerThumbnails::Key CLayerThumbnails::KeyOf(const QString& path)
{
    const QFileInfo info(path);
    return {path, info.exists() ? info.lastModified().toMSecsSinceEpoch() ^ info.size() : -1};
}

QPixmap CLayerThumbnails::Thumbnail(const QString& path)
{
    if (path.isEmpty())
        return {};
    const Key key = KeyOf(path);
    if (key.changed == -1)
        return {};
    if (const auto found = m_pictures.constFind(key); found != m_pictures.constEnd())
        return found.value();
    const QString queuedAs = path + QLatin1Char('\n') + QString::number(key.changed);
    if (m_unreadable.contains(queuedAs) || m_queued.contains(queuedAs))
        return {};
    m_queued.insert(queuedAs);
    QPointer<CLayerThumbnails> self(this);
    const QSize size = m_size;
    m_pool.start([self, key, size, queuedAs] {
        QImage image = ReadSmall(key.path, size);
        QMetaObject::invokeMethod(
            qApp,
            [self, key, queuedAs, image = std::move(image)] {
                if (!self)
                    return;
                self->m_queued.remove(queuedAs);
                if (image.isNull())
                    self->m_unreadable.insert(queuedAs);
                else
                    self->Store(key, image);
            },
            Qt::QueuedConnection);
    });
    return {};
}

void CLayerThumbnails::Store(const Key& key, const QImage& image)
{
    m_pictures.insert(key, QPixmap::fromImage(image));
    if (m_ready)
        m_ready(key.path);
}

void CLayerThumbnails::WaitForAll()
{
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(qApp, QEvent::MetaCall);
}
