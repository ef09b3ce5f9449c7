#include "Image.h"

#include "FileUtil.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QString>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

static_assert(std::endian::native == std::endian::little, "pixel rows are copied as little-endian words");

QImage ReadFrom(QIODevice& device)
{
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    return reader.read();
}

void PutU16(std::string& out, uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void PutU32(std::string& out, uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kSrgbSpace = 0x73524742;  // 'sRGB'
constexpr int32_t kPixelsPerMetre = 2835;     // 72 dots per inch

// Every row of the picture, bottom row first, in bitmap byte order.
std::string BitmapRows(const QImage& source, int bitsPerPixel, uint32_t stride)
{
    const QImage image = source.convertToFormat(bitsPerPixel == 32 ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    const size_t rowBytes = static_cast<size_t>(image.width()) * static_cast<size_t>(bitsPerPixel / 8);
    std::string rows;
    rows.reserve(static_cast<size_t>(stride) * static_cast<size_t>(image.height()));
    for (int y = image.height() - 1; y >= 0; --y) {
        rows.append(reinterpret_cast<const char*>(image.constScanLine(y)), rowBytes);
        rows.append(stride - rowBytes, '\0');
    }
    return rows;
}

}  // namespace

bool Image::Load(const std::wstring& path)
{
    QFile file(QString::fromStdString(NativePath(path)));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_image = ReadFrom(file);
    return IsValid();
}

bool Image::Decode(const void* data, size_t size)
{
    if (!data || size == 0 || size > static_cast<size_t>(INT32_MAX))
        return false;
    QByteArray bytes = QByteArray::fromRawData(static_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    m_image = ReadFrom(buffer);
    // The decoded picture must not share the caller's bytes.
    m_image.detach();
    return IsValid();
}

bool Image::CreateFromArray(const void* pixels, int width, int height, int bitsPerPixel, int bytesPerLine, bool bottomUp)
{
    if (!pixels || width <= 0 || height <= 0)
        return false;
    QImage::Format format;
    switch (bitsPerPixel) {
    case 32: format = QImage::Format_ARGB32; break;  // B, G, R, A in memory
    case 24: format = QImage::Format_BGR888; break;
    case 8: format = QImage::Format_Grayscale8; break;
    default: return false;
    }
    const int64_t rowBytes = int64_t(width) * (bitsPerPixel / 8);
    if (bytesPerLine < rowBytes)
        return false;
    QImage image(width, height, format);
    if (image.isNull())
        return false;
    const auto* src = static_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
        const int srcRow = bottomUp ? height - 1 - y : y;
        std::memcpy(image.scanLine(y), src + int64_t(srcRow) * bytesPerLine, static_cast<size_t>(rowBytes));
    }
    m_image = std::move(image);
    return true;
}

bool Image::Resample(int width, int height)
{
    if (!IsValid() || width <= 0 || height <= 0)
        return false;
    QImage scaled = m_image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull())
        return false;
    m_image = std::move(scaled);
    return true;
}

bool Image::Flip()
{
    if (!IsValid())
        return false;
    m_image.mirror(false, true);
    return true;
}

bool Image::Mirror()
{
    if (!IsValid())
        return false;
    m_image.mirror(true, false);
    return true;
}

bool Image::SwapRedBlue()
{
    if (!IsValid())
        return false;
    m_image.rgbSwap();
    return true;
}

std::string Image::EncodeBmp(int bitsPerPixel) const
{
    if (!IsValid() || (bitsPerPixel != 24 && bitsPerPixel != 32))
        return {};
    const uint64_t stride = ((uint64_t(m_image.width()) * uint64_t(bitsPerPixel) + 31) / 32) * 4;
    const uint64_t imageBytes = stride * uint64_t(m_image.height());
    const uint32_t infoSize = bitsPerPixel == 32 ? kV4HeaderSize : kInfoHeaderSize;
    const uint64_t fileBytes = kFileHeaderSize + infoSize + imageBytes;
    if (fileBytes > UINT32_MAX)
        return {};

    std::string out;
    out.reserve(static_cast<size_t>(fileBytes));
    out += "BM";
    PutU32(out, static_cast<uint32_t>(fileBytes));
    PutU32(out, 0);
    PutU32(out, kFileHeaderSize + infoSize);

    PutU32(out, infoSize);
    PutU32(out, static_cast<uint32_t>(m_image.width()));
    PutU32(out, static_cast<uint32_t>(m_image.height()));  // positive: bottom-up rows
    PutU16(out, 1);
    PutU16(out, static_cast<uint16_t>(bitsPerPixel));
    PutU32(out, bitsPerPixel == 32 ? kBiBitfields : kBiRgb);
    PutU32(out, static_cast<uint32_t>(imageBytes));
    PutU32(out, kPixelsPerMetre);
    PutU32(out, kPixelsPerMetre);
    PutU32(out, 0);
    PutU32(out, 0);
    if (bitsPerPixel == 32) {
        PutU32(out, 0x00FF0000);  // red
        PutU32(out, 0x0000FF00);  // green
        PutU32(out, 0x000000FF);  // blue
        PutU32(out, 0xFF000000);  // alpha
        PutU32(out, kSrgbSpace);
        out.append(36 + 12, '\0');  // end points and gamma, unused with sRGB
    }
    out += BitmapRows(m_image, bitsPerPixel, static_cast<uint32_t>(stride));
    return out;
}

bool Image::SaveBmp(const std::wstring& path) const
{
    const std::string bytes = EncodeBmp(24);
    if (bytes.empty()) {
        errno = EINVAL;
        return false;
    }
    return WriteFileAtomically(path, bytes);
}

bool Image::SaveBmp32(const std::wstring& path) const
{
    const std::string bytes = EncodeBmp(32);
    if (bytes.empty()) {
        errno = EINVAL;
        return false;
    }
    return WriteFileAtomically(path, bytes);
}

std::string Image::EncodeJpeg(int quality) const
{
    if (!IsValid())
        return {};
    QImage opaque = m_image;
    if (opaque.hasAlphaChannel()) {
        opaque = QImage(m_image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, m_image);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!opaque.save(&buffer, "JPEG", quality))
        return {};
    return bytes.toStdString();
}

bool Image::SaveJpeg(const std::wstring& path, int quality) const
{
    const std::string bytes = EncodeJpeg(quality);
    if (bytes.empty()) {
        errno = EINVAL;
        return false;
    }
    return WriteFileAtomically(path, bytes);
}

}  // namespace platform
