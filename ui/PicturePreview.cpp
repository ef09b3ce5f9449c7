#include "PicturePreview.h"

#include "lumora/Lang.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <array>

namespace {

constexpr int kCaptionHeight = 20;

// The area is small; a picture is kept at most this large, so painting it
// again costs little whatever the file's size.
constexpr int kKeptSide = 512;

}  // namespace

int PngBitsPerPixel(const std::wstring& path)
{
    // Signature, IHDR length and type, width, height, depth, colour type.
    QFile file(QString::fromStdWString(path));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(26);
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (head.size() < 26 || !head.startsWith(QByteArray(kSignature, 8)) || head.mid(12, 4) != "IHDR")
        return 0;
    const int depth = static_cast<unsigned char>(head[24]);
    const int colourType = static_cast<unsigned char>(head[25]);
    return (colourType == 6 ? 4 : 3) * depth;
}

CPicturePreview::CPicturePreview(QWidget* parent) : QWidget(parent) {}

void CPicturePreview::SetPath(const std::wstring& path)
{
    const QFileInfo info(QString::fromStdWString(path));
    const bool isFile = !path.empty() && info.isFile();
    const QDateTime modified = isFile ? info.lastModified() : QDateTime();
    const qint64 size = isFile ? info.size() : -1;
    if (path == m_path && modified == m_modified && size == m_fileSize)
        return;  // the same picture: nothing to decode again
    m_path = path;
    m_modified = modified;
    m_fileSize = size;
    m_picture = QImage();
    m_pictureSize = QSize();
    m_bitsPerPixel = 0;
    m_pending = isFile;
    if (isVisible())
        DecodePending();
    update();
}

void CPicturePreview::DecodePending() const
{
    if (!m_pending)
        return;
    m_pending = false;
    ++m_decodes;
    const QImage picture(QString::fromStdWString(m_path));
    m_pictureSize = picture.size();
    m_picture = picture.width() > kKeptSide || picture.height() > kKeptSide
                    ? picture.scaled(kKeptSide, kKeptSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                    : picture;
    m_bitsPerPixel = m_picture.isNull() ? 0 : PngBitsPerPixel(m_path);
    if (!m_picture.isNull() && m_bitsPerPixel == 0)
        m_bitsPerPixel = picture.depth();
}

bool CPicturePreview::HasPicture() const
{
    DecodePending();
    return !m_picture.isNull();
}

QString CPicturePreview::Caption() const
{
    if (!HasPicture())
        return {};
    return QString::asprintf("%d x %d x %d", m_pictureSize.width(), m_pictureSize.height(), m_bitsPerPixel);
}

void CPicturePreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    const QRect pictureArea = area.adjusted(0, 0, 0, -kCaptionHeight);
    DecodePending();
    painter.fillRect(area, QColor(0x28, 0x28, 0x28));
    if (m_picture.isNull()) {
        painter.setPen(QColor(0xC0, 0xC0, 0xC0));
        const unsigned note = m_path.empty() ? 113 : 418;
        painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine,
                         QString::fromStdWString(Lang::LoadLangString(note)));  // lang-ids: 113 418
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(pictureArea, m_picture);
        painter.setPen(QColor(0x7F, 0x7F, 0x7F));
        painter.drawText(area.adjusted(0, area.height() - kCaptionHeight, 0, 0), Qt::AlignCenter, Caption());
    }
    painter.setPen(QColor(0x45, 0x48, 0x4E));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}
