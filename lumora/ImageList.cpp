#include "ImageList.h"

int CImageList::Add(const QPixmap& picture)
{
    QPixmap image = picture;
    if (!m_size.isEmpty() && !image.isNull() && image.deviceIndependentSize().toSize() != m_size) {
        const qreal ratio = image.devicePixelRatio();
        image = image.scaled(m_size * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(ratio);
    }
    m_images.push_back(image);
    return GetImageCount() - 1;
}

QPixmap CImageList::Get(int index) const
{
    if (index < 0 || index >= GetImageCount())
        return {};
    return m_images[static_cast<size_t>(index)];
}

QSize CImageList::ImageSize() const
{
    if (!m_size.isEmpty() || m_images.empty())
        return m_size;
    return m_images.front().deviceIndependentSize().toSize();
}
