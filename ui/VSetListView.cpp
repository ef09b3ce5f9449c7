#include "VSetListView.h"

#include "lumora/Skin.h"
#include "lumora/WinColor.h"
#include "ui/LibraryStyle.h"
#include "ui/library/LibraryKinds.h"
#include "ui/library/SetNameShortener.h"
#include "ui/library/SetTooltip.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

namespace {

constexpr int kGridWidth = 246;
constexpr int kCellTop = 4;       // space above a picture in its grid cell
constexpr int kGridHeight = 204;
constexpr int kBandHeight = 20;   // the caption band under a picture
constexpr int kBandInset = 4;     // the band is the picture's width less this on each side
constexpr int kSmallColumn = 42;  // row view: the picture column
constexpr uint32_t kCaptionColour = 0xC0C0C0;
constexpr uint32_t kInvalidColour = 0x22228C;  // a dark red under the light caption (5:1)

QColor ListBackground() { return lumora::QColorFromColorRef(static_cast<uint32_t>(CSkin::GetValue(COLOR_LISTBK))); }

QColor Accent() { return QColor(61, 142, 230); }

void PaintEmptyPicture(QPainter* painter, const QRect& rect)
{
    painter->fillRect(rect, QColor(38, 40, 44));
    painter->setPen(QPen(QColor(70, 74, 80), 1, Qt::DashLine));
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    // A small picture sign: a frame with a mountain, in the middle.
    const int s = std::min(rect.width(), rect.height()) / 3;
    if (s < 8)
        return;
    const QRect sign(rect.center().x() - s / 2, rect.center().y() - s / 3, s, s * 2 / 3);
    painter->setPen(QPen(QColor(90, 95, 102), 2));
    painter->drawRoundedRect(sign, 3, 3);
    const QPoint m[3] = {{sign.left() + s / 6, sign.bottom() - s / 8},
                         {sign.left() + s / 2, sign.top() + s / 4},
                         {sign.right() - s / 6, sign.bottom() - s / 8}};
    painter->drawPolyline(m, 3);
}

void PaintFocus(QPainter* painter, const QRect& rect)
{
    painter->setPen(QPen(QColor(200, 200, 200), 1, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
}

}  // namespace

// ---- model ----

int CVSetListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant CVSetListModel::data(const QModelIndex& index, int role) const
{
    const CClipEntry* entry = Entry(index.row());
    if (!entry)
        return {};
    if (role == Qt::DisplayRole)
        return m_captions[static_cast<size_t>(index.row())];
    if (role == Qt::UserRole)
        return QString::fromStdWString(entry->Name());
    return {};
}

void CVSetListModel::Append(std::vector<std::unique_ptr<CClipEntry>> entries)
{
    if (entries.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(entries.size()) - 1);
    for (auto& entry : entries) {
        m_captions.push_back(QString::fromStdWString(ShortenSetName(entry->Name())));
        m_rows.push_back(std::move(entry));
    }
    endInsertRows();
}

void CVSetListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    m_captions.clear();
    endResetModel();
}

const CClipEntry* CVSetListModel::Entry(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[static_cast<size_t>(row)].get() : nullptr;
}

// ---- drawing ----

QSize CVSetRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    if (m_rowView)
        return {std::max(option.rect.width(), 302), CVSetListView::kReportRowHeight};
    return {kThumbLargeWidth, kCellTop + kThumbLargeHeight + kBandHeight};
}

void CVSetRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* model = dynamic_cast<const CVSetListModel*>(index.model());
    const CClipEntry* entry = model ? model->Entry(index.row()) : nullptr;
    if (!entry)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (m_rowView)
        PaintRow(painter, option, *entry);
    else
        PaintIcon(painter, option, *entry, index.data(Qt::DisplayRole).toString());
    painter->restore();
}

void CVSetRowDelegate::PaintIcon(QPainter* painter, const QStyleOptionViewItem& option, const CClipEntry& entry,
                                 const QString& caption) const
{
    const QRect cell = option.rect;
    const QRect picture(cell.center().x() - kThumbLargeWidth / 2 + 1, cell.top() + kCellTop, kThumbLargeWidth,
                        kThumbLargeHeight);
    const bool selected = option.state & QStyle::State_Selected;
    if (entry.HasPicture())
        painter->drawImage(picture, entry.LargePicture());
    else
        PaintEmptyPicture(painter, picture);
    if (selected) {
        painter->setPen(QPen(Accent(), 2));
        painter->drawRect(picture.adjusted(1, 1, -1, -1));
    }
    const QRect band(picture.left() + kBandInset, picture.bottom() + 1, picture.width() - 2 * kBandInset, kBandHeight);
    QColor fill = entry.IsValid() ? ListBackground() : lumora::QColorFromColorRef(kInvalidColour);
    if (selected && entry.IsValid())
        fill = Accent().darker(130);
    painter->fillRect(band, fill);
    painter->setPen(lumora::QColorFromColorRef(kCaptionColour));
    painter->drawText(band.adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextSingleLine, caption);
    if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_Active))
        PaintFocus(painter, band);
}

void CVSetRowDelegate::PaintRow(QPainter* painter, const QStyleOptionViewItem& option, const CClipEntry& entry) const
{
    const QRect row = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    QColor fill = entry.IsValid() ? ListBackground() : lumora::QColorFromColorRef(kInvalidColour);
    if (selected && entry.IsValid())
        fill = Accent().darker(140);
    painter->fillRect(row, fill);
    const QRect column(row.left(), row.top(), kSmallColumn, row.height());
    const QRect picture(column.center().x() - kThumbSmallWidth / 2 + 1, column.center().y() - kThumbSmallHeight / 2 + 1,
                        kThumbSmallWidth, kThumbSmallHeight);
    if (entry.HasPicture())
        painter->drawImage(picture, entry.SmallPicture());
    else
        PaintEmptyPicture(painter, picture);
    const QRect text(column.right() + 8, row.top(), row.width() - kSmallColumn - 12, row.height());
    painter->setPen(lumora::QColorFromColorRef(kCaptionColour));
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      painter->fontMetrics().elidedText(QString::fromStdWString(entry.Name()), Qt::ElideRight,
                                                        text.width()));
    // Grid lines.
    painter->setPen(lumora::QColorFromColorRef(static_cast<uint32_t>(CSkin::GetValue(COLOR_LISTLINE))));
    painter->drawLine(row.bottomLeft(), row.bottomRight());
    painter->drawLine(column.topRight(), column.bottomRight());
    if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_Active))
        PaintFocus(painter, row.adjusted(1, 1, -1, -1));
}

// ---- view ----

CVSetListView::CVSetListView(QWidget* parent)
    : QListView(parent), m_model(new CVSetListModel(this)), m_delegate(new CVSetRowDelegate(this))
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setUniformItemSizes(true);
    setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, ListBackground().darker(115));
    setPalette(palette);
    verticalScrollBar()->setStyleSheet(LibraryScrollBarStyleSheet());
    SetRowView(false);
}

void CVSetListView::SetRowView(bool rows)
{
    m_rowView = rows;
    m_delegate->SetRowView(rows);
    if (rows) {
        setViewMode(QListView::ListMode);
        setGridSize({});
        setSpacing(0);
        setWrapping(false);
    } else {
        setViewMode(QListView::IconMode);
        setGridSize({kGridWidth, kGridHeight});
        setSpacing(0);
        setWrapping(true);
    }
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    scheduleDelayedItemsLayout();
    viewport()->update();
}

int CVSetListView::SelectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.front().row();
}

int CVSetListView::TopRow() const
{
    const QModelIndex top = indexAt(QPoint(kGridWidth / 2, 4));
    return top.isValid() ? top.row() : 0;
}

bool CVSetListView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const CClipEntry* entry = m_model->Entry(index.row());
        if (!entry) {
            QToolTip::hideText();
            m_tipRow = -1;
            return true;
        }
        if (index.row() != m_tipRow)
            QToolTip::hideText();
        m_tipRow = index.row();
        QString text = QString::fromStdWString(SetTooltipText(entry->Folder()));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        return true;
    }
    return QListView::viewportEvent(event);
}

void CVSetListView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        return;
    QListView::mousePressEvent(event);
}

void CVSetListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        setCurrentIndex(index);
        if (m_onDoubleClick)
            m_onDoubleClick(index.row());
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

// Return on the current row opens it, as a double-click does.
void CVSetListView::keyPressEvent(QKeyEvent* event)
{
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QModelIndex index = currentIndex();
    if (isReturn && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && index.isValid()) {
        if (m_onDoubleClick && !event->isAutoRepeat())
            m_onDoubleClick(index.row());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}
