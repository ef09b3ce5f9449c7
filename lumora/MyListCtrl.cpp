#include "MyListCtrl.h"

#include "lumora/AccessibleName.h"
#include "lumora/CmdTarget.h"
#include "lumora/ImageList.h"
#include "lumora/ResourceImage.h"
#include "lumora/Skin.h"
#include "lumora/SkinPalette.h"
#include "lumora/WinColor.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kTextColorRole = Qt::UserRole + 2;
constexpr int kBackColorRole = Qt::UserRole + 3;
constexpr int kPictureRole = Qt::UserRole + 4;
// The check box stands in a square as high as a menu bar, inset twice by 3.
constexpr int kCheckCell = 20;
constexpr int kCheckInset = 3;
constexpr int kUncheckedPicture = 9101;
constexpr int kCheckedPicture = 9102;
constexpr int kTextIndent = 4;

Qt::Alignment ColumnAlignment(int format)
{
    switch (format) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

}  // namespace

class ListRowDelegate : public QStyledItemDelegate {
public:
    explicit ListRowDelegate(CMyListCtrl* list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), m_list->m_rowHeight);
    }

    // The list toggles its own check boxes; the item's check state only
    // mirrors them for screen readers.
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override
    {
        return false;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int row = index.row();
        const int column = index.column();
        const QRect cell = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);

        PaintBackground(painter, cell, index, selected);
        if (column == 0 && m_list->HasCheckBoxes()) {
            PaintCheckBox(painter, m_list->CheckBoxRect(row).translated(0, cell.top() - m_list->CheckBoxRect(row).top() +
                                                                           (cell.height() - kCheckCell) / 2 + kCheckInset),
                          m_list->GetCheck(row));
        }
        if (column == 0 && !m_list->m_pictureSize.isEmpty())
            PaintPicture(painter, cell, index);
        int left = column == 0 ? m_list->TextLeft(row, cell) : cell.left() + kTextIndent;
        const QPixmap image = m_list->RowImage(row, column);
        if (!image.isNull()) {
            const QSize size = image.deviceIndependentSize().toSize();
            painter->drawPixmap(left, cell.top() + (cell.height() - size.height()) / 2, image);
            left += size.width() + kTextIndent;
        }
        PaintText(painter, QRect(left, cell.top(), cell.right() - left - kTextIndent + 1, cell.height()), index, selected, option);
        if (m_list->m_gridLines) {
            painter->setPen(QPen(lumora::SkinColor(COLOR_LISTLINE), 1));
            painter->setRenderHint(QPainter::Antialiasing, false);
            painter->drawLine(cell.bottomLeft(), cell.bottomRight());
            painter->drawLine(cell.topRight(), cell.bottomRight());
        }
        painter->restore();
    }

    // The in-place editor covers the text only, not the box or the picture.
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect cell = option.rect;
        const int left = index.column() == 0 ? m_list->TextLeft(index.row(), cell) : cell.left();
        editor->setGeometry(QRect(left, cell.top(), cell.right() - left + 1, cell.height()));
    }

private:
    // The row's picture, fitted into the picture room keeping its shape, on
    // a thin frame so that a transparent picture still shows its place.
    void PaintPicture(QPainter* painter, const QRect& cell, const QModelIndex& index) const
    {
        const QSize room = m_list->m_pictureSize;
        const int left = cell.left() + (m_list->HasCheckBoxes() ? kCheckCell : 0) + kTextIndent;
        const QRect frame(left, cell.top() + (cell.height() - room.height()) / 2, room.width(), room.height());
        const QPixmap picture = index.data(kPictureRole).value<QPixmap>();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->fillRect(frame, lumora::SkinColor(COLOR_LISTLINE));
        if (!picture.isNull()) {
            const QSize fitted = picture.deviceIndependentSize().toSize().scaled(room, Qt::KeepAspectRatio);
            const QRect target(frame.left() + (room.width() - fitted.width()) / 2,
                               frame.top() + (room.height() - fitted.height()) / 2, fitted.width(), fitted.height());
            painter->drawPixmap(target, picture);
        }
        painter->setRenderHint(QPainter::Antialiasing, true);
    }

    void PaintBackground(QPainter* painter, const QRect& cell, const QModelIndex& index, bool selected) const
    {
        QColor back = lumora::SkinColor(COLOR_LISTBK);
        const QVariant own = index.siblingAtColumn(0).data(kBackColorRole);
        if (selected)
            back = m_list->palette().color(m_list->hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
        else if (own.isValid())
            back = own.value<QColor>();
        painter->fillRect(cell, back);
    }

    void PaintCheckBox(QPainter* painter, const QRect& box, bool checked) const
    {
        const QPixmap picture = lumora::LoadResourceImage(checked ? kCheckedPicture : kUncheckedPicture,
                                                          QStringLiteral("PNG"), box.size(), m_list->devicePixelRatioF());
        if (!picture.isNull())
            painter->drawPixmap(box.topLeft(), picture);
    }

    void PaintText(QPainter* painter, const QRect& area, const QModelIndex& index, bool selected,
                   const QStyleOptionViewItem& option) const
    {
        QColor color = lumora::SkinColor(COLOR_LISTTEXT);
        const QVariant own = index.siblingAtColumn(0).data(kTextColorRole);
        if (selected)
            color = m_list->palette().color(QPalette::HighlightedText);
        else if (own.isValid())
            color = own.value<QColor>();
        if (!m_list->isEnabled())
            color = lumora::SkinColor(COLOR_DLGTEXT_L);
        painter->setPen(color);
        painter->setFont(option.font);
        const size_t column = static_cast<size_t>(index.column());
        const int format = column < m_list->m_columns.size() ? m_list->m_columns[column].format : LVCFMT_LEFT;
        const QString text = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, area.width());
        painter->drawText(area, ColumnAlignment(format) | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }

    CMyListCtrl* m_list;
};

CMyListCtrl::CMyListCtrl(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setIndentation(0);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setColumnCount(0);
    setFrameShape(QFrame::NoFrame);
    setItemDelegate(new ListRowDelegate(this));
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    header()->setHighlightSections(false);
    QPalette p = palette();
    p.setColor(QPalette::Base, lumora::SkinColor(COLOR_LISTBK));
    p.setColor(QPalette::Text, lumora::SkinColor(COLOR_LISTTEXT));
    setPalette(p);
    header()->setPalette(lumora::SkinPalette(COLOR_DLGBK));
    connect(this, &QTreeWidget::currentItemChanged, this, &CMyListCtrl::NotifySelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(itemDelegate(), &QAbstractItemDelegate::commitData, this, [this] { m_editCommitted = true; });
    connect(itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this](QWidget* editor) { OnEditorClosed(editor); });
}

CMyListCtrl::~CMyListCtrl() = default;

int CMyListCtrl::InsertColumn(int index, const QString& heading, int format, int width, int editType,
                              const QStringList& choices, int)
{
    const int count = columnCount();
    index = std::clamp(index, 0, count);
    setColumnCount(count + 1);
    m_columns.insert(m_columns.begin() + index, Column{format, editType, choices});
    // Later columns move one to the right, headings and cells alike.
    QTreeWidgetItem* head = headerItem();
    for (int c = count; c > index; --c)
        head->setText(c, head->text(c - 1));
    head->setText(index, heading);
    head->setTextAlignment(index, ColumnAlignment(format) | Qt::AlignVCenter);
    for (int r = 0; r < topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = topLevelItem(r);
        for (int c = count; c > index; --c) {
            item->setText(c, item->text(c - 1));
            item->setData(c, kImageRole, item->data(c - 1, kImageRole));
        }
        item->setText(index, QString());
        item->setData(index, kImageRole, QVariant());
    }
    setColumnWidth(index, width >= 0 ? width : header()->fontMetrics().horizontalAdvance(heading) + 24);
    return index;
}

int CMyListCtrl::InsertItem(int index, const QString& text, int image)
{
    if (columnCount() == 0)
        return -1;
    index = std::clamp(index, 0, GetItemCount());
    m_checks.insert(m_checks.begin() + index, 0u);
    auto* item = new QTreeWidgetItem();
    item->setText(0, text);
    if (image >= 0)
        item->setData(0, kImageRole, image);
    insertTopLevelItem(index, item);
    ExposeCheck(index);
    return index;
}

// Screen readers read a row's check box from the row's check state; the
// list draws the box itself and clicks on it never reach the item's own
// check handling (the rows are not user-checkable items).
void CMyListCtrl::ExposeCheck(int row)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item || !HasCheckBoxes())
        return;
    const Qt::CheckState state = GetCheck(row) ? Qt::Checked : Qt::Unchecked;
    if (item->data(0, Qt::CheckStateRole) != QVariant(static_cast<int>(state)))
        item->setData(0, Qt::CheckStateRole, static_cast<int>(state));
}

bool CMyListCtrl::SetItemText(int row, int column, const QString& text)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item || column < 0 || column >= columnCount())
        return false;
    item->setText(column, text);
    return true;
}

QString CMyListCtrl::GetItemText(int row, int column) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

bool CMyListCtrl::SetItemImage(int row, int column, int image)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item || column < 0 || column >= columnCount())
        return false;
    item->setData(column, kImageRole, image);
    return true;
}

bool CMyListCtrl::DeleteItem(int row)
{
    if (row < 0 || row >= GetItemCount())
        return false;
    m_checks.erase(m_checks.begin() + row);
    delete takeTopLevelItem(row);
    return true;
}

void CMyListCtrl::DeleteAllItems()
{
    if (m_dragging)
        EndRowDrag();
    m_checks.clear();
    clear();
}

bool CMyListCtrl::SetCheck(int row, int flag)
{
    if (row < 0 || row >= static_cast<int>(m_checks.size()))
        return false;
    m_checks[static_cast<size_t>(row)] = flag ? 1u : 0u;
    ExposeCheck(row);
    viewport()->update(visualRect(model()->index(row, 0)).adjusted(0, 0, viewport()->width(), 0));
    return true;
}

bool CMyListCtrl::GetCheck(int row) const
{
    return row >= 0 && row < static_cast<int>(m_checks.size()) && m_checks[static_cast<size_t>(row)] != 0;
}

void CMyListCtrl::SetExtendedStyle(unsigned style)
{
    m_exStyle = style;
    m_gridLines = m_gridLines || (style & LVS_EX_GRIDLINES);
    for (int row = 0; row < GetItemCount(); ++row)
        ExposeCheck(row);
    viewport()->update();
}

const CImageList* CMyListCtrl::SetImageList(const CImageList* list, int kind)
{
    const CImageList** slot = kind == LVSIL_SMALL ? &m_smallImages : &m_normalImages;
    const CImageList* previous = *slot;
    *slot = list;
    if (kind == LVSIL_SMALL && list && !list->ImageSize().isEmpty())
        SetItemHeight(list->ImageSize().height() + 2);
    viewport()->update();
    return previous;
}

const CImageList* CMyListCtrl::SetSubImageList(const CImageList* list)
{
    const CImageList* previous = m_subImages;
    m_subImages = list;
    viewport()->update();
    return previous;
}

void CMyListCtrl::SetItemHeight(int pixels)
{
    m_rowHeight = std::max(1, pixels);
    doItemsLayout();
}

void CMyListCtrl::EnableGridLine(bool enable)
{
    m_gridLines = enable;
    viewport()->update();
}

void CMyListCtrl::SetColFix(int column, bool fixed)
{
    if (fixed)
        m_fixed.insert(column);
    else
        m_fixed.erase(column);
    if (column >= 0 && column < columnCount())
        header()->setSectionResizeMode(column, fixed ? QHeaderView::Fixed : QHeaderView::Interactive);
}

void CMyListCtrl::SetItemTextColor(int row, uint32_t color)
{
    if (QTreeWidgetItem* item = topLevelItem(row))
        item->setData(0, kTextColorRole, lumora::QColorFromColorRef(color));
}

void CMyListCtrl::SetItemBkColor(int row, uint32_t color)
{
    if (QTreeWidgetItem* item = topLevelItem(row))
        item->setData(0, kBackColorRole, lumora::QColorFromColorRef(color));
}

int CMyListCtrl::GetCurSel() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.front());
}

void CMyListCtrl::SetCurSel(int row)
{
    if (QTreeWidgetItem* item = topLevelItem(row))
        setCurrentItem(item);
    else
        clearSelection();
}

QRect CMyListCtrl::CheckBoxRect(int row) const
{
    const QRect cell = visualRect(model()->index(row, 0));
    if (cell.isEmpty() || !HasCheckBoxes())
        return {};
    const int side = kCheckCell - 2 * kCheckInset;
    return QRect(cell.left() + kCheckInset, cell.top() + (cell.height() - kCheckCell) / 2 + kCheckInset, side, side);
}

int CMyListCtrl::TextLeft(int, const QRect& cell) const
{
    int left = cell.left() + kTextIndent;
    if (HasCheckBoxes())
        left = cell.left() + kCheckCell + kTextIndent;
    if (!m_pictureSize.isEmpty())
        left += m_pictureSize.width() + kTextIndent;
    return left;
}

void CMyListCtrl::SetPictureSize(const QSize& size)
{
    m_pictureSize = size;
    viewport()->update();
}

bool CMyListCtrl::SetItemPicture(int row, const QPixmap& picture)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return false;
    item->setData(0, kPictureRole, picture.isNull() ? QVariant() : QVariant(picture));
    return true;
}

bool CMyListCtrl::HasItemPicture(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item && item->data(0, kPictureRole).isValid();
}

bool CMyListCtrl::EditRowText(int row)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item || m_dragging)
        return false;
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    setCurrentItem(item);
    scrollToItem(item);
    m_editRow = row;
    m_editCommitted = false;
    editItem(item, 0);
    // The whole name is chosen, so typing replaces it.
    if (auto* editor = qobject_cast<QLineEdit*>(indexWidget(currentIndex())))
        editor->selectAll();
    return true;
}

void CMyListCtrl::OnEditorClosed(QWidget*)
{
    const int row = m_editRow;
    const bool committed = m_editCommitted;
    m_editRow = -1;
    m_editCommitted = false;
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return;
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    if (committed)
        emit RowTextEdited(row, item->text(0));
}

QPixmap CMyListCtrl::RowImage(int row, int column) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return {};
    const QVariant image = item->data(column, kImageRole);
    if (!image.isValid())
        return {};
    const CImageList* list = column == 0 ? (m_smallImages ? m_smallImages : m_normalImages) : m_subImages;
    return list ? list->Get(image.toInt()) : QPixmap();
}

void CMyListCtrl::ToggleCheck(int row)
{
    const bool was = GetCheck(row);
    SetCheck(row, was ? 0 : 1);
    NotifyState(row, INDEXTOSTATEIMAGEMASK(was ? 1 : 2), INDEXTOSTATEIMAGEMASK(was ? 2 : 1));
    emit CheckChanged(row, !was);
}

void CMyListCtrl::NotifyState(int row, unsigned newState, unsigned oldState)
{
    NMLISTVIEW notify{{nullptr, 0, LVN_ITEMCHANGED}, row, 0, newState, oldState, LVIF_STATE};
    lumora::SendNotifyToOwner(this, notify.hdr);
}

void CMyListCtrl::NotifySelection(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    if (previous)
        NotifyState(indexOfTopLevelItem(previous), 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (current)
        NotifyState(indexOfTopLevelItem(current), LVIS_SELECTED | LVIS_FOCUSED, 0);
}

void CMyListCtrl::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const QModelIndex index = indexAt(point);
    if (event->button() == Qt::LeftButton && index.isValid() && HasCheckBoxes()) {
        const QRect box = CheckBoxRect(index.row()).adjusted(-kCheckInset, -kCheckInset, kCheckInset, kCheckInset);
        if (box.contains(point)) {
            ToggleCheck(index.row());
            return;
        }
    }
    if (m_rowDrag && event->button() == Qt::LeftButton && index.isValid()) {
        m_dragRow = index.row();
        m_dragStart = point;
    }
    QTreeWidget::mousePressEvent(event);
    if (index.isValid()) {
        NMLISTVIEW notify{{nullptr, 0, NM_CLICK}, index.row(), index.column(), 0, 0, 0};
        lumora::SendNotifyToOwner(this, notify.hdr);
    }
}

void CMyListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (HasCheckBoxes() && index.isValid() &&
        CheckBoxRect(index.row()).adjusted(-kCheckInset, -kCheckInset, kCheckInset, kCheckInset).contains(event->position().toPoint())) {
        ToggleCheck(index.row());  // the second click of a double-click on the box
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
    if (index.isValid()) {
        NMLISTVIEW notify{{nullptr, 0, NM_DBLCLK}, index.row(), index.column(), 0, 0, 0};
        lumora::SendNotifyToOwner(this, notify.hdr);
    }
}

void CMyListCtrl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_dragRow < 0 || !(event->buttons() & Qt::LeftButton)) {
        QTreeWidget::mouseMoveEvent(event);
        return;
    }
    if (!m_dragging && (point - m_dragStart).manhattanLength() < QApplication::startDragDistance()) {
        QTreeWidget::mouseMoveEvent(event);
        return;
    }
    // From here on the row travels; the selection stays on it.
    m_dragging = true;
    setCursor(Qt::ClosedHandCursor);
    const int margin = m_rowHeight / 2;
    if (point.y() < margin)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
    else if (point.y() > viewport()->height() - margin)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);
    const int gap = DropGapAt(point);
    if (gap != m_dropGap) {
        m_dropGap = gap;
        viewport()->update();
    }
}

void CMyListCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton) {
        m_dragRow = -1;
        QTreeWidget::mouseReleaseEvent(event);
        return;
    }
    const int from = m_dragRow;
    const int gap = DropGapAt(event->position().toPoint());
    QTreeWidget::mouseReleaseEvent(event);  // the view's own press state ends too
    EndRowDrag();
    // A row let go in the gap just above or below itself stays where it was.
    const int to = gap > from ? gap - 1 : gap;
    if (from >= 0 && from < GetItemCount() && to != from)
        emit RowDragged(from, to);
}

int CMyListCtrl::DropGapAt(const QPoint& point) const
{
    const int count = GetItemCount();
    const QModelIndex index = indexAt(QPoint(viewport()->width() / 2, point.y()));
    if (!index.isValid())
        return point.y() < 0 || count == 0 ? 0 : (point.y() < visualRect(model()->index(0, 0)).top() ? 0 : count);
    const QRect cell = visualRect(index);
    return point.y() < cell.center().y() ? index.row() : index.row() + 1;
}

void CMyListCtrl::EndRowDrag()
{
    m_dragging = false;
    m_dragRow = -1;
    m_dropGap = -1;
    unsetCursor();
    viewport()->update();
}

void CMyListCtrl::paintEvent(QPaintEvent* event)
{
    QTreeWidget::paintEvent(event);
    if (!m_dragging || m_dropGap < 0)
        return;
    // The line where the dragged row would land.
    const int count = GetItemCount();
    int y = 0;
    if (m_dropGap < count)
        y = visualRect(model()->index(m_dropGap, 0)).top();
    else if (count > 0)
        y = visualRect(model()->index(count - 1, 0)).bottom() + 1;
    QPainter painter(viewport());
    painter.fillRect(QRect(0, y - 1, viewport()->width(), 3), palette().color(QPalette::Highlight));
}

// Space toggles the current row's box, for the keyboard alone; Escape
// ends a row's drag where it began.
void CMyListCtrl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_dragging) {
        EndRowDrag();
        return;
    }
    if (event->key() == Qt::Key_Space && HasCheckBoxes() && currentItem()) {
        ToggleCheck(indexOfTopLevelItem(currentItem()));
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
