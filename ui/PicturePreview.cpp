#include "PicturePreview.h"

#include "lumora/Lang.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <array>

namespace {

constexpr int kCaptionHeight = 20;

QImage LoadPicture(const std::wstring& path)
{
    const QFileInfo info(QString::fromStdWString(path));
    if (path.empty() || !info.isFile())
        return {};
    return QImage(info.filePath());
}

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
    m_path = path;
    m_picture = LoadPicture(path);
    m_bitsPerPixel = m_picture.isNull() ? 0 : PngBitsPerPixel(path);
    if (!m_picture.isNull() && m_bitsPerPixel == 0)
        m_bitsPerPixel = m_picture.depth();
    update();
}

QString CPicturePreview::Caption() const
{
    if (m_picture.isNull())
        return {};
    return QString::asprintf("%d x %d x %d", m_picture.width(), m_picture.height(), m_bitsPerPixel);
}

void CPicturePreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    const QRect pictureArea = area.adjusted(0, 0, 0, -kCaptionHeight);
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
