#pragma once
// A list of equally sized pictures that a list control draws by index.
#include "lumora/LumoraApi.h"

#include <QPixmap>
#include <vector>

class LUMORA_API CImageList {
public:
    CImageList() = default;
    explicit CImageList(QSize size) : m_size(size) {}

    // Adds the picture (scaled to the list's size when it has one); returns its index.
    int Add(const QPixmap& picture);
    int GetImageCount() const { return static_cast<int>(m_images.size()); }
    // Null for an index that is not in the list.
    QPixmap Get(int index) const;
    // The list's size, else the first picture's.
    QSize ImageSize() const;

private:
    QSize m_size;
    std::vector<QPixmap> m_images;
};
