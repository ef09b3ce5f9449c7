#pragma once
// Base of top-level dialogs (the main editor window, the about, update and
// small dialogs): a frameless window with the library's own title bar (28
// pixels, title buttons chosen by the TitleButtonFlag flags, icon and
// caption), moving by the title bar, resizing from the frame edges, and a
// title-bar menu translated through Lang.
//
// A window subclasses it, lays its child widgets in ClientWidget() (the
// client rectangle below the title bar, inside the border), sets its caption
// with setWindowTitle, and overrides OnInitDialog, OnSize, OnCommand,
// OnNotify (WM_NOTIFY from its controls, such as the splitter's
// NM_SPLITMOVED) and OnMenuPopup as it needs. It carries its template id, so
// Lang::LoadDialogLangStrings(this, TemplateId()) translates it.
#include "lumora/CmdTarget.h"
#include "lumora/LumoraApi.h"
#include "lumora/TitleButtons.h"

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CTitleButtonControl;
class QMenu;
class QTextEdit;

// System commands a title-bar menu may carry; OnCommand carries them out.
inline constexpr unsigned SC_SIZE = 0xF000;
inline constexpr unsigned SC_MOVE = 0xF010;
inline constexpr unsigned SC_MINIMIZE = 0xF020;
inline constexpr unsigned SC_MAXIMIZE = 0xF030;
inline constexpr unsigned SC_CLOSE = 0xF060;
inline constexpr unsigned SC_RESTORE = 0xF120;

class LUMORA_API CMyPopDialog : public QDialog, public CCmdTarget {
    Q_OBJECT
public:
    // flags: TB_CLOSE | TB_MAXIMIZE | TB_MINIMIZE | TB_MENU | TB_OK; the
    // editor's main window uses 27, its other dialogs 1.
    CMyPopDialog(int templateId, int iconId, int menuId, QWidget* parent, unsigned flags);
    ~CMyPopDialog() override;

    int TemplateId() const { return m_templateId; }
    // Where the window's own widgets go: it covers GetClientRect().
    QWidget* ClientWidget() const { return m_client; }
    // The area below the title bar inside the border, in window coordinates;
    // never negative in size.
    QRect GetClientRect() const;
    QRect TitleBarRect() const;
    int BorderWidth() const { return m_borderWidth; }
    int TitleHeight() const { return m_titleHeight; }
    void SetBorderInfo(int width, uint32_t color);

    // The title icon of every pop-up dialog of the process.
    static void SetMyIcon(const QIcon& icon);
    static bool SetMyIcon(const QString& iconFile);
    static void SetRichTextDefaultProp(QTextEdit* edit);

    // The menu resources: the loader builds menu menuId (a QMenu whose first
    // sub-menu is the title-bar menu) with its default texts and command ids
    // (lumora::SetControlId on each action). The program registers it once.
    using MenuLoader = std::function<std::unique_ptr<QMenu>(int menuId)>;
    static void SetMenuLoader(MenuLoader loader);

    // The buttons as last laid out (window coordinates) and the hover index.
    const std::vector<TitleButton_t>& TitleButtons() const { return m_buttons; }
    int HoveredButton() const { return m_hover; }
    // The controls over the title buttons that the keyboard and screen
    // readers reach, in the same order as TitleButtons(); made when the
    // window first shows.
    std::vector<CTitleButtonControl*> TitleButtonControls() const { return m_controls; }
    // The title-bar menu shown last, while it exists.
    QMenu* ShownMenu() const;

    // Called once before the window is first shown.
    virtual bool OnInitDialog();
    // With the title-bar menu just before it is shown; the default does nothing.
    virtual void OnMenuPopup(QMenu* menu);
    // The client area got a new size.
    virtual void OnSize(int width, int height);
    virtual void OnOK() { QDialog::accept(); }
    virtual void OnCancel() { QDialog::reject(); }
    // System commands (SC_*) from the title-bar menu are carried out here;
    // menu commands arrive as MAKEWPARAM(command id, 0).
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void SysCommand(unsigned command);
    void EndDialog(int result) { done(result); }

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }
    // Before it first shows, a dialog whose client area has a layout takes
    // the size that layout asks for (at least), and never gets smaller.
    void setVisible(bool visible) override;

protected:
    // The menu of a menu resource; the default asks the registered loader.
    virtual std::unique_ptr<QMenu> LoadFrameMenu(int menuId);

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Drag { None, Move, Resize };

    void Relayout();
    void PlaceTitleControls();
    void CreateTitleControls();
    bool AltAloneOpensMenu(QObject* watched, QEvent* event);
    void FitToClientLayout();
    void PaintTitleBar(QPainter& painter);
    void PaintTitleText(QPainter& painter);
    void SetHover(int index);
    void ResetButtons();
    void ButtonAction(int id);
    void PopupMenu(const TitleButton_t& button);
    Qt::Edges EdgesAt(const QPoint& point) const;
    void UpdateCursor(const QPoint& point);
    void StartDrag(Drag kind, Qt::Edges edges, const QPointF& globalPos);
    void ContinueDrag(const QPointF& globalPos);
    QIcon TitleIcon() const;

    int m_templateId;
    int m_iconId;
    int m_menuId;
    std::vector<TitleButton_t> m_buttons;
    int m_maxIndex = -1;
    int m_hover = -1;
    int m_pressed = -1;
    int m_borderWidth = 2;
    int m_titleHeight = 28;
    uint32_t m_borderColor;
    bool m_active = true;
    bool m_initialised = false;
    QWidget* m_client;
    std::unique_ptr<QMenu> m_menu;
    std::vector<CTitleButtonControl*> m_controls;
    bool m_altAlone = false;  // Alt went down and nothing else happened since

    Drag m_drag = Drag::None;
    Qt::Edges m_dragEdges;
    QPointF m_dragStart;
    QRect m_dragGeometry;
};
