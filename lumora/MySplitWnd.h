#pragma once
// A 5-pixel splitter bar. Dragging it shows a tracking line clamped to its
// range; on release the bar moves there and sends its owner WM_NOTIFY with
// NM_SPLITMOVED (1025) in an NMSPLITWND carrying the signed displacement
// (also emitted as Moved). ChangeWidth lets sibling windows follow it.
#include "lumora/LumoraApi.h"

#include <QWidget>

class LUMORA_API CMySplitWnd : public QWidget {
    Q_OBJECT
public:
    enum Orientation { Vertical = 1, Horizontal = 2 };  // the bar's direction
    // Sides for ChangeWidth.
    enum Side { SideRight = 1, SideLeft = 2, SideBoth = 5 };
    static constexpr int kThickness = 5;

    explicit CMySplitWnd(QWidget* parent = nullptr);

    // A bar from rect in parent: vertical when rect is taller than wide, else
    // horizontal; the range starts at the bar's own position.
    bool Create(unsigned style, const QRect& rect, QWidget* parent, int id);
    // Allowed positions of the bar's left (or top) edge in the parent. An
    // empty or inverted range keeps the bar where it is.
    void SetRange(int minimum, int maximum);
    int Orientation() const { return m_orientation; }
    // The bar's left (or top) edge in the parent.
    int Position() const;
    bool IsDragging() const { return m_dragging; }

    // Resizes window in its parent: SideRight moves its right edge by +pixels,
    // SideLeft its left edge by -pixels, SideBoth both edges by -pixels; other
    // modes leave it. The width never goes below 0.
    static void ChangeWidth(QWidget* window, int pixels, int mode);

signals:
    void Moved(int delta);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int ClampedPosition(int pointer) const;
    int PointerPosition(const QMouseEvent* event) const;
    // Moves the bar itself to follow the pointer while it is dragged.
    void TrackTo(int position);
    void SetOrientation(int orientation);

    int m_orientation = Vertical;
    int m_min = 0;
    int m_max = 0;
    bool m_dragging = false;
    int m_start = 0;
    int m_grabOffset = 0;
};
