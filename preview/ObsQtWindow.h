#pragma once
// The preview's native window: a Qt widget with an X11 window of its own that
// the engine display draws into (Qt paints nothing over it). It turns Qt's
// resize, focus, mouse, wheel, key and drop events into the preview's
// operations: the wheel zooms about the pointer, the middle button or Space
// with the left button pans, Escape ends a gesture as it began (or clears
// the selection), Ctrl+A selects everything, the arrows nudge.
//
// The main window, once the engine runs:
//   preview->Create(parent, rect);        // the native child window, shown
//   preview->CreateDisplay();             // the engine display drawing into it
//   preview->SetEditEnabled(false);       // until the preview gets the focus
//   preview->SetScene(set->GetGroupScene());
// and destroys the preview before the engine.
#include "ObsWindow.h"

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class ObsQtWindow : public QWidget, public ObsWindow {
public:
    explicit ObsQtWindow(QWidget* parent = nullptr);
    ~ObsQtWindow() override;

    static const char* GetWindowClassName() { return "ObsRenderWindow"; }

    ClientSize GetClientSize() const override;
    NativeWindowId Create(QWidget* parent, const WindowRect& rect) override;
    void Move(const WindowRect& rect) override;
    NativeWindowId GetHandle() const override;
    void Show(bool show) override;
    bool IsModifierDown(int mask) const override;
    // Makes sure the native window exists first.
    bool CreateDisplay() override;

    QPaintEngine* paintEngine() const override { return nullptr; }

    // Delete on the preview: the main window asks before removing the layer.
    void SetDeleteHook(std::function<void()> hook) { m_deleteHook = std::move(hook); }
    // Files dropped on the preview go to the hook, all of one drop at once,
    // whether or not a scene is shown; without a hook each becomes a source
    // in the shown scene (OnDropFile).
    void SetDropHook(std::function<void(const std::vector<std::wstring>&)> hook) { m_dropHook = std::move(hook); }
    // A right click (or the menu key) asks for the context menu at a global
    // position, with what lies under it.
    void SetContextMenuHook(std::function<void(const QPoint&, const CanvasHit&)> hook)
    {
        m_contextMenuHook = std::move(hook);
    }
    // Enter and Escape in the corner mode.
    void SetQuadHooks(std::function<void()> confirm, std::function<void()> cancel)
    {
        m_quadConfirm = std::move(confirm);
        m_quadCancel = std::move(cancel);
    }

    // Canvas pixels an arrow key moves the selection by, without and with Shift.
    static constexpr float kNudgeStep = 1.0f;
    static constexpr float kShiftNudgeStep = 10.0f;

protected:
    void RunLater(std::function<void()> task) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Window pixels of a widget position.
    QPoint ToPixels(QPointF position) const;
    void TakeModifiers(Qt::KeyboardModifiers modifiers) { m_modifiers = modifiers; }

    bool HandleEditKey(QKeyEvent* event);
    void UpdateCursor(const QPoint& at);
    void ShowContextMenu(const QPoint& windowPixels, const QPoint& global);

    Qt::KeyboardModifiers m_modifiers;
    std::function<void()> m_deleteHook;
    std::function<void(const std::vector<std::wstring>&)> m_dropHook;
    std::function<void(const QPoint&, const CanvasHit&)> m_contextMenuHook;
    int m_wheelRemainder = 0;
    std::function<void()> m_quadConfirm;
    std::function<void()> m_quadCancel;
};
