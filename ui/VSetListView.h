#pragma once
// The library's list: one row per set, shown as large pictures with a
// caption band (icon view) or as rows with a small picture and the full name
// (row view), drawn by the library itself. Rows are added as the scan hands
// them over; the view owns them.
#include "ui/library/ClipEntry.h"

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <functional>
#include <memory>
#include <vector>

class CVSetListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    // Display: the caption (shortened name); ToolTip is left to the view.
    QVariant data(const QModelIndex& index, int role) const override;

    void Append(std::vector<std::unique_ptr<CClipEntry>> entries);
    void Clear();
    const CClipEntry* Entry(int row) const;

private:
    std::vector<std::unique_ptr<CClipEntry>> m_rows;
    std::vector<QString> m_captions;
};

class CVSetRowDelegate : public QStyledItemDelegate {
public:
    explicit CVSetRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}
    void SetRowView(bool rows) { m_rowView = rows; }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void PaintIcon(QPainter* painter, const QStyleOptionViewItem& option, const CClipEntry& entry,
                   const QString& caption) const;
    void PaintRow(QPainter* painter, const QStyleOptionViewItem& option, const CClipEntry& entry) const;

    bool m_rowView = false;
};

class CVSetListView : public QListView {
public:
    explicit CVSetListView(QWidget* parent = nullptr);

    void SetRowView(bool rows);
    bool IsRowView() const { return m_rowView; }
    CVSetListModel* Model() const { return m_model; }
    // The current row, or -1.
    int SelectedRow() const;
    int TopRow() const;

    static constexpr int kIconRowHeight = 68;
    static constexpr int kReportRowHeight = 34;

    // A double-click with the left button on a row.
    void SetDoubleClickHandler(std::function<void(int row)> handler) { m_onDoubleClick = std::move(handler); }

protected:
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CVSetListModel* m_model;
    CVSetRowDelegate* m_delegate;
    bool m_rowView = false;
    int m_tipRow = -1;
    std::function<void(int)> m_onDoubleClick;
};
