#pragma once
// A report-style list drawn row by row in the skin (COLOR_LISTBK rows,
// COLOR_LISTTEXT text, optional COLOR_LISTLINE grid), with check boxes in
// the rows when the LVS_EX_CHECKBOXES style is set. Clicking a check box
// toggles it and sends the owner WM_NOTIFY LVN_ITEMCHANGED (NMLISTVIEW with
// the state images) and CheckChanged; a change of the selected row sends
// LVN_ITEMCHANGED with LVIS_SELECTED, a double-click NM_DBLCLK.
// Optionally a row can be dragged to another place (RowDragged), a row can
// carry a small picture beside its check box, and a row's text can be edited
// in place (RowTextEdited).
#include "lumora/LumoraApi.h"

#include <QTreeWidget>
#include <cstdint>
#include <set>
#include <vector>

class CImageList;

inline constexpr unsigned LVS_EX_GRIDLINES = 0x0001;
inline constexpr unsigned LVS_EX_CHECKBOXES = 0x0004;
inline constexpr unsigned LVS_EX_FULLROWSELECT = 0x0020;
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;
inline constexpr int LVSIL_NORMAL = 0;
inline constexpr int LVSIL_SMALL = 1;
inline constexpr unsigned LVIS_FOCUSED = 0x0001;
inline constexpr unsigned LVIS_SELECTED = 0x0002;
inline constexpr unsigned NM_CLICK = 0u - 2u;
inline constexpr unsigned NM_DBLCLK = 0u - 3u;

class LUMORA_API CMyListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CMyListCtrl(QWidget* parent = nullptr);
    ~CMyListCtrl() override;

    // format LVCFMT_*; editType 0 is not editable (the only kind drawn here);
    // width -1 sizes the column to its heading. Returns the column's index.
    int InsertColumn(int index, const QString& heading, int format = LVCFMT_LEFT, int width = -1, int editType = 0,
                     const QStringList& choices = {}, int subItem = -1);
    int GetColumnCount() const { return columnCount(); }
    // Inserts an unchecked row; returns its index, -1 when the list has no column.
    int InsertItem(int index, const QString& text, int image = -1);
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    bool SetItemImage(int row, int column, int image);
    bool DeleteItem(int row);
    void DeleteAllItems();
    int GetItemCount() const { return topLevelItemCount(); }

    // False for a row that does not exist; flag 0 or 1.
    bool SetCheck(int row, int flag);
    bool GetCheck(int row) const;

    void SetExtendedStyle(unsigned style);
    unsigned GetExtendedStyle() const { return m_exStyle; }
    // kind LVSIL_NORMAL or LVSIL_SMALL; the list keeps the pointer (the owner
    // keeps the images). For the small list the rows become the first
    // image's height + 2. Returns the previous list of that kind.
    const CImageList* SetImageList(const CImageList* list, int kind);
    const CImageList* SetSubImageList(const CImageList* list);
    void SetItemHeight(int pixels);
    int GetItemHeight() const { return m_rowHeight; }
    void EnableGridLine(bool enable);
    // A fixed column's width cannot be dragged.
    void SetColFix(int column, bool fixed);
    // Row colours (0x00BBGGRR) instead of the skin's.
    void SetItemTextColor(int row, uint32_t color);
    void SetItemBkColor(int row, uint32_t color);

    int GetCurSel() const;
    void SetCurSel(int row);

    // The check box of a row, in the list's viewport coordinates.
    QRect CheckBoxRect(int row) const;

    // Rows can be dragged up and down the list; the list itself does not
    // move them, it reports where the row was let go.
    void EnableRowDrag(bool enable) { m_rowDrag = enable; }
    bool IsDraggingRow() const { return m_dragging; }
    // A room of this size beside the check box for each row's picture; an
    // empty size (the default) leaves no room.
    void SetPictureSize(const QSize& size);
    QSize PictureSize() const { return m_pictureSize; }
    bool SetItemPicture(int row, const QPixmap& picture);
    bool HasItemPicture(int row) const;
    // Opens an editor on the row's text; RowTextEdited follows when it is
    // accepted (Enter, or the focus leaves it), nothing when Escape drops it.
    bool EditRowText(int row);

signals:
    void CheckChanged(int row, bool checked);
    // A dragged row was let go so that it would stand at index `to`.
    void RowDragged(int from, int to);
    void RowTextEdited(int row, const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The gap a dragged row would fall into at the point: 0 above the first
    // row to the row count below the last.
    int DropGapAt(const QPoint& point) const;
    void EndRowDrag();
    void OnEditorClosed(QWidget* editor);
    int TextLeft(int row, const QRect& cell) const;
    void ExposeCheck(int row);
    friend class ListRowDelegate;
    struct Column {
        int format = LVCFMT_LEFT;
        int editType = 0;
        QStringList choices;
    };

    void ToggleCheck(int row);
    void NotifyState(int row, unsigned newState, unsigned oldState);
    void NotifySelection(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    bool HasCheckBoxes() const { return (m_exStyle & LVS_EX_CHECKBOXES) != 0; }
    QPixmap RowImage(int row, int column) const;

    std::vector<unsigned> m_checks;
    std::vector<Column> m_columns;
    std::set<int> m_fixed;
    const CImageList* m_normalImages = nullptr;
    const CImageList* m_smallImages = nullptr;
    const CImageList* m_subImages = nullptr;
    unsigned m_exStyle = LVS_EX_FULLROWSELECT;
    int m_rowHeight = 24;
    bool m_gridLines = false;
    QSize m_pictureSize;

    bool m_rowDrag = false;
    bool m_dragging = false;
    int m_dragRow = -1;
    int m_dropGap = -1;
    QPoint m_dragStart;
    int m_editRow = -1;
    bool m_editCommitted = false;
};
