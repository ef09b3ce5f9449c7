#pragma once
// The line under the preview: where the pointer is on the canvas, where the
// selection is and how big and turned it is, and the zoom and the guides as
// two buttons whose menus the editor fills when they open.
#include <QWidget>

class QLabel;
class QMenu;
class QToolButton;

class CEditorStatusLine : public QWidget {
public:
    explicit CEditorStatusLine(QWidget* parent = nullptr);

    // The pointer's canvas position in pixels; none when it left the preview.
    void SetPointer(int x, int y);
    void ClearPointer();
    void SetSelectionText(const QString& text);
    // fit: the zoom is the fit, at percent.
    void SetZoom(int percent, bool fit);

    QMenu* ZoomMenu() const { return m_zoomMenu; }
    QMenu* GuidesMenu() const { return m_guidesMenu; }

    QString PointerText() const;
    QString SelectionText() const;
    QString ZoomText() const;

private:
    QLabel* m_pointer = nullptr;
    QLabel* m_selection = nullptr;
    QToolButton* m_zoom = nullptr;
    QToolButton* m_guides = nullptr;
    QMenu* m_zoomMenu = nullptr;
    QMenu* m_guidesMenu = nullptr;
};
