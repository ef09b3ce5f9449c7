#pragma once
// The line under the preview: where the pointer is on the canvas, where the
// selection is and how big and turned it is, and the zoom and the guides as
// two buttons whose menus the editor fills each time they open.
#include <QWidget>
#include <functional>

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

    using MenuFiller = std::function<void(QMenu*)>;
    void SetZoomMenuFiller(MenuFiller fill) { m_fillZoom = std::move(fill); }
    void SetGuidesMenuFiller(MenuFiller fill) { m_fillGuides = std::move(fill); }

    QString PointerText() const;
    QString SelectionText() const;
    QString ZoomText() const;

private:
    QToolButton* MakeMenuButton(const QString& accessibleName, const MenuFiller& fill);

    QLabel* m_pointer = nullptr;
    QLabel* m_selection = nullptr;
    QToolButton* m_zoom = nullptr;
    QToolButton* m_guides = nullptr;
    MenuFiller m_fillZoom;
    MenuFiller m_fillGuides;
};
