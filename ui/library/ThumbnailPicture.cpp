#include "ThumbnailPicture.h"

#include "LibraryKinds.h"
#include "platform/FileUtil.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace {

// Pictures whose pixels would need more than this are refused before
// anything is allocated for them.
constexpr int kAllocationLimitMb = 128;

const QSize kThumbSize(kThumbLargeWidth, kThumbLargeHeight);

QImage ToThumbnailPixels(QImage picture)
{
    if (picture.isNull())
        return {};
    if (picture.size() != kThumbSize)
        picture = picture.scaled(kThumbSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (picture.hasAlphaChannel())
        picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return picture.convertToFormat(QImage::Format_BGR888);
}

QImage ReadPicture(const uint8_t* data, size_t size, bool scaledDecode)
{
    if (!data || size == 0 || size > static_cast<size_t>(kMaxThumbnailFileBytes))
        return {};
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(kAllocationLimitMb);
    if (scaledDecode && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        reader.setQuality(90);
        reader.setScaledSize(kThumbSize);
    }
    QImage picture;
    if (!reader.read(&picture))
        return {};
    return picture;
}

}  // namespace

QImage DecodeThumbnail(const uint8_t* data, size_t size)
{
    return ToThumbnailPixels(ReadPicture(data, size, true));
}

QImage DecodeThumbnailFullSize(const uint8_t* data, size_t size)
{
    return ToThumbnailPixels(ReadPicture(data, size, false));
}

QImage LoadThumbnailFile(const std::wstring& path)
{
    const int64_t size = platform::FileSize(path);
    if (size <= 0 || size > kMaxThumbnailFileBytes || !platform::FileExists(path))
        return {};
    const std::optional<std::string> bytes = platform::ReadWholeFile(path);
    if (!bytes || bytes->empty())
        return {};
    return DecodeThumbnail(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
}
