#include "MyPopDialog.h"

#include "lumora/ControlId.h"
#include "lumora/KeyboardContextMenu.h"
#include "lumora/Lang.h"
#include "lumora/ResourceImage.h"
#include "lumora/Skin.h"
#include "lumora/SkinPalette.h"
#include "lumora/TitleButtonControl.h"
#include "lumora/WinColor.h"

#include <QApplication>
#include <QLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTextEdit>
#include <QWindow>
#include <algorithm>

namespace {

QIcon& ProcessIcon()
{
    static QIcon icon;
    return icon;
}

CMyPopDialog::MenuLoader& RegisteredMenuLoader()
{
    static CMyPopDialog::MenuLoader loader;
    return loader;
}

constexpr int kIconLeft = 6;
constexpr int kIconSize = 16;
constexpr int kTextLeft = 26;
constexpr int kPressInset = 2;
// Corners grab a little further along the edges, so both sides resize.
constexpr int kCornerGrab = 8;

}  // namespace

CMyPopDialog::CMyPopDialog(int templateId, int iconId, int menuId, QWidget* parent, unsigned flags)
    // A window without an owner is a main window to the window manager (its
    // own task-bar entry, maximizable); one with an owner stays a dialog.
    : QDialog(parent, (parent ? Qt::Dialog : Qt::Window) | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_templateId(templateId),
      m_iconId(iconId),
      m_menuId(menuId),
      m_buttons(lumora::TitleButtonsForFlags(flags)),
      m_borderColor(static_cast<uint32_t>(CSkin::GetValue(COLOR_DLGBORDER))),
      m_client(new QWidget(this))
{
    lumora::SetTemplateId(this, templateId);
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].nID == TB_MAXIMIZE)
            m_maxIndex = static_cast<int>(i);
    }
    setPalette(lumora::SkinPalette(COLOR_POPDLGBK));
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->installEventFilter(this);
    // F10, or Alt pressed and let go alone, opens the frame's menu from the
    // keyboard, as on other desktops.
    if (flags & TB_MENU) {
        auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
        menuKey->setContext(Qt::WindowShortcut);
        connect(menuKey, &QShortcut::activated, this, [this] { ButtonAction(TB_MENU); });
        qApp->installEventFilter(this);
    }
    lumora::InstallKeyboardContextMenu();
    Relayout();
}

CMyPopDialog::~CMyPopDialog() = default;

QRect CMyPopDialog::TitleBarRect() const { return QRect(0, 0, width(), m_titleHeight); }

QRect CMyPopDialog::GetClientRect() const
{
    const int w = std::max(0, width() - 2 * m_borderWidth);
    const int h = std::max(0, height() - m_titleHeight - m_borderWidth);
    return QRect(m_borderWidth, m_titleHeight, w, h);
}

void CMyPopDialog::SetBorderInfo(int width, uint32_t color)
{
    m_borderWidth = std::max(0, width);
    m_borderColor = color;
    Relayout();
    update();
}

void CMyPopDialog::SetMyIcon(const QIcon& icon) { ProcessIcon() = icon; }

bool CMyPopDialog::SetMyIcon(const QString& iconFile)
{
    QIcon icon(iconFile);
    if (icon.isNull() || icon.availableSizes().isEmpty())
        return false;
    ProcessIcon() = icon;
    return true;
}

void CMyPopDialog::SetRichTextDefaultProp(QTextEdit* edit)
{
    if (!edit)
        return;
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, lumora::SkinColor(COLOR_POPDLGBK));
    palette.setColor(QPalette::Text, lumora::SkinColor(COLOR_DLGTEXT_H));
    edit->setPalette(palette);
    edit->setTextColor(lumora::SkinColor(COLOR_DLGTEXT_H));
}

void CMyPopDialog::SetMenuLoader(MenuLoader loader) { RegisteredMenuLoader() = std::move(loader); }

std::unique_ptr<QMenu> CMyPopDialog::LoadFrameMenu(int menuId)
{
    const MenuLoader& loader = RegisteredMenuLoader();
    return loader ? loader(menuId) : nullptr;
}

QMenu* CMyPopDialog::ShownMenu() const
{
    if (!m_menu)
        return nullptr;
    for (QAction* action : m_menu->actions()) {
        if (action->menu())
            return action->menu();
    }
    return nullptr;
}

bool CMyPopDialog::OnInitDialog() { return true; }

void CMyPopDialog::OnMenuPopup(QMenu*) {}

void CMyPopDialog::OnSize(int, int) {}

bool CMyPopDialog::OnCommand(WPARAM wParam, LPARAM)
{
    const unsigned id = LOWORD(wParam);
    switch (id) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_CLOSE:
    case SC_RESTORE:
        SysCommand(id);
        return true;
    default:
        return false;
    }
}

void CMyPopDialog::SysCommand(unsigned command)
{
    switch (command) {
    case SC_MINIMIZE:
        showMinimized();
        break;
    case SC_MAXIMIZE:
        showMaximized();
        break;
    case SC_RESTORE:
        showNormal();
        break;
    case SC_CLOSE:
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        break;
    case SC_MOVE:
        if (windowHandle())
            windowHandle()->startSystemMove();
        break;
    case SC_SIZE:
        if (windowHandle())
            windowHandle()->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
        break;
    default:
        break;
    }
}

void CMyPopDialog::Relayout()
{
    const QRect client = GetClientRect();
    const QSize oldSize = m_client->size();
    m_client->setGeometry(client);
    if (m_maxIndex >= 0)
        lumora::SetMaximizedLook(m_buttons[m_maxIndex], isMaximized());
    lumora::LayoutTitleButtons(m_buttons, TitleBarRect().adjusted(0, 0, -m_borderWidth, 0), m_borderWidth);
    PlaceTitleControls();
    if (oldSize != client.size())
        OnSize(client.width(), client.height());
}

void CMyPopDialog::PlaceTitleControls()
{
    for (size_t i = 0; i < m_controls.size(); ++i) {
        CTitleButtonControl* control = m_controls[i];
        control->SetButtonId(m_buttons[i].nID);
        control->setGeometry(m_buttons[i].rect);
        // A button that does not fit is not there for the keyboard either.
        control->setVisible(!m_buttons[i].rect.isEmpty());
    }
}

// The title buttons come last on Tab, after the window's own controls, so
// the first focus stays in the window's work: they are made once those
// controls are, left to right, as Tab and a screen reader meet them.
void CMyPopDialog::CreateTitleControls()
{
    m_controls.resize(m_buttons.size());
    for (size_t i = m_buttons.size(); i-- > 0;) {
        auto* control = new CTitleButtonControl(m_buttons[i].nID, this);
        connect(control, &QAbstractButton::clicked, this, [this, control] { ButtonAction(control->ButtonId()); });
        m_controls[i] = control;
    }
    PlaceTitleControls();
}

QIcon CMyPopDialog::TitleIcon() const
{
    if (!ProcessIcon().isNull())
        return ProcessIcon();
    const QPixmap picture = lumora::LoadResourceImage(m_iconId, QStringLiteral("ICON"), QSize(kIconSize, kIconSize),
                                                      devicePixelRatioF());
    return picture.isNull() ? QIcon() : QIcon(picture);
}

void CMyPopDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), lumora::SkinColor(COLOR_POPDLGBK));
    PaintTitleBar(painter);
}

void CMyPopDialog::PaintTitleBar(QPainter& painter)
{
    const QColor border = lumora::QColorFromColorRef(m_borderColor);
    const int w = m_borderWidth;
    painter.fillRect(TitleBarRect(), border);
    painter.fillRect(0, 0, w, height(), border);
    painter.fillRect(width() - w, 0, w, height(), border);
    painter.fillRect(0, height() - w, width(), w, border);

    for (const TitleButton_t& button : m_buttons) {
        if (button.rect.isEmpty())
            continue;
        const int picture = button.nState == 2 ? button.nPressed : button.nState == 1 ? button.nHover : button.nNormal;
        const QPixmap image = lumora::LoadResourceImage(picture, QStringLiteral("PNG"), button.rect.size(), devicePixelRatioF());
        if (!image.isNull())
            painter.drawPixmap(button.rect.topLeft(), image);
    }
    const QIcon icon = TitleIcon();
    if (!icon.isNull())
        icon.paint(&painter, QRect(kIconLeft, (m_titleHeight - kIconSize) / 2, kIconSize, kIconSize));
    PaintTitleText(painter);
}

void CMyPopDialog::PaintTitleText(QPainter& painter)
{
    int right = TitleBarRect().right();
    for (const TitleButton_t& button : m_buttons) {
        if (!button.rect.isEmpty())
            right = std::min(right, button.rect.left() - 4);
    }
    const QRect area(kTextLeft, 0, std::max(0, right - kTextLeft), m_titleHeight);
    if (area.width() <= 0)
        return;
    painter.setFont(QApplication::font());
    painter.setPen(lumora::SkinColor(m_active ? COLOR_DLGTEXT_H : COLOR_DLGTEXT_L));
    const QString text = painter.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
}

bool CMyPopDialog::event(QEvent* event)
{
    if (event->type() == QEvent::WindowTitleChange)
        update(TitleBarRect());
    return QDialog::event(event);
}

// The pointer going from the title bar into the client area leaves the buttons.
bool CMyPopDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (AltAloneOpensMenu(watched, event))
        return true;
    if (watched == m_client && event->type() == QEvent::Enter && m_pressed < 0) {
        SetHover(-1);
        unsetCursor();
    }
    return QDialog::eventFilter(watched, event);
}

// Alt that goes down and up with no other key, click or window change in
// between opens the menu, as F10 does; Alt held for a shortcut does not.
bool CMyPopDialog::AltAloneOpensMenu(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::WindowDeactivate:
        break;
    default:
        return false;
    }
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this)
        return false;
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            m_altAlone = key->key() == Qt::Key_Alt && (key->modifiers() & ~Qt::AltModifier) == Qt::NoModifier;
        return false;
    }
    if (event->type() != QEvent::KeyRelease) {
        m_altAlone = false;
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Alt || key->isAutoRepeat() || !m_altAlone)
        return false;
    m_altAlone = false;
    ButtonAction(TB_MENU);
    return true;
}

void CMyPopDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Relayout();
    update();
}

void CMyPopDialog::showEvent(QShowEvent* event)
{
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
        CreateTitleControls();
        // Children made in OnInitDialog get their first layout now.
        Relayout();
        const QRect client = GetClientRect();
        OnSize(client.width(), client.height());
    } else {
        Relayout();
    }
    QDialog::showEvent(event);
}

void CMyPopDialog::setVisible(bool visible)
{
    if (visible && !isVisible())
        FitToClientLayout();
    QDialog::setVisible(visible);
}

// The frame draws its own title bar and border around the client area, so
// the client's layout cannot size the window itself: it is done here,
// before the window is placed.
void CMyPopDialog::FitToClientLayout()
{
    QLayout* layout = m_client->layout();
    if (!layout)
        return;
    const QSize frame(2 * m_borderWidth, m_titleHeight + m_borderWidth);
    const QSize least = layout->totalMinimumSize() + frame;
    setMinimumSize(minimumSize().expandedTo(least));
    const QSize wanted = testAttribute(Qt::WA_Resized) ? size() : layout->totalSizeHint() + frame;
    resize(wanted.expandedTo(least));
}

void CMyPopDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        m_active = isActiveWindow();
        ResetButtons();
    } else if (event->type() == QEvent::WindowStateChange) {
        Relayout();
        update();
    }
    QDialog::changeEvent(event);
}

void CMyPopDialog::ResetButtons()
{
    for (TitleButton_t& button : m_buttons)
        button.nState = 0;
    m_hover = -1;
    update(TitleBarRect());
}

void CMyPopDialog::SetHover(int index)
{
    if (index == m_hover)
        return;
    m_hover = index;
    for (size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i].nState = static_cast<int>(i) == index ? 1 : 0;
    update(TitleBarRect());
}

Qt::Edges CMyPopDialog::EdgesAt(const QPoint& p) const
{
    if (isMaximized() || m_borderWidth <= 0)
        return {};
    const int grab = m_borderWidth;
    Qt::Edges edges;
    const bool nearLeft = p.x() < grab, nearRight = p.x() >= width() - grab;
    const bool nearTop = p.y() < grab, nearBottom = p.y() >= height() - grab;
    if (nearLeft || (p.x() < kCornerGrab && (nearTop || nearBottom)))
        edges |= Qt::LeftEdge;
    if (nearRight || (p.x() >= width() - kCornerGrab && (nearTop || nearBottom)))
        edges |= Qt::RightEdge;
    if (nearTop || (p.y() < kCornerGrab && (nearLeft || nearRight)))
        edges |= Qt::TopEdge;
    if (nearBottom || (p.y() >= height() - kCornerGrab && (nearLeft || nearRight)))
        edges |= Qt::BottomEdge;
    return edges;
}

void CMyPopDialog::UpdateCursor(const QPoint& point)
{
    const Qt::Edges edges = EdgesAt(point);
    const bool diagonal1 = edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge);
    const bool diagonal2 = edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge);
    if (diagonal1)
        setCursor(Qt::SizeFDiagCursor);
    else if (diagonal2)
        setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
}

void CMyPopDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QDialog::mousePressEvent(event);
    const QPoint point = event->position().toPoint();
    const int index = lumora::TitleButtonAt(m_buttons, point, kPressInset);
    if (index >= 0) {
        for (size_t i = 0; i < m_buttons.size(); ++i)
            m_buttons[i].nState = static_cast<int>(i) == index ? 2 : 0;
        m_pressed = index;
        m_hover = -1;
        update(TitleBarRect());
        return;
    }
    if (const Qt::Edges edges = EdgesAt(point))
        StartDrag(Drag::Resize, edges, event->globalPosition());
    else if (TitleBarRect().contains(point) && lumora::TitleButtonAt(m_buttons, point) < 0)
        StartDrag(Drag::Move, {}, event->globalPosition());
}

// The window manager moves or resizes the window where it can; without one
// the window follows the pointer itself.
void CMyPopDialog::StartDrag(Drag kind, Qt::Edges edges, const QPointF& globalPos)
{
    QWindow* window = windowHandle();
    const bool bySystem = window && (kind == Drag::Move ? window->startSystemMove() : window->startSystemResize(edges));
    if (bySystem)
        return;
    m_drag = kind;
    m_dragEdges = edges;
    m_dragStart = globalPos;
    m_dragGeometry = geometry();
}

void CMyPopDialog::ContinueDrag(const QPointF& globalPos)
{
    const QPoint delta = (globalPos - m_dragStart).toPoint();
    if (m_drag == Drag::Move) {
        move(m_dragGeometry.topLeft() + delta);
        return;
    }
    QRect g = m_dragGeometry;
    const QSize least = minimumSize().expandedTo(QSize(2 * m_borderWidth + 1, m_titleHeight + m_borderWidth));
    if (m_dragEdges & Qt::LeftEdge)
        g.setLeft(std::min(g.left() + delta.x(), g.right() - least.width() + 1));
    if (m_dragEdges & Qt::RightEdge)
        g.setRight(std::max(g.right() + delta.x(), g.left() + least.width() - 1));
    if (m_dragEdges & Qt::TopEdge)
        g.setTop(std::min(g.top() + delta.y(), g.bottom() - least.height() + 1));
    if (m_dragEdges & Qt::BottomEdge)
        g.setBottom(std::max(g.bottom() + delta.y(), g.top() + least.height() - 1));
    setGeometry(g);
}

void CMyPopDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (m_drag != Drag::None) {
        ContinueDrag(event->globalPosition());
        return;
    }
    const QPoint point = event->position().toPoint();
    if (m_pressed < 0)
        SetHover(lumora::TitleButtonAt(m_buttons, point));
    if (!(event->buttons() & Qt::LeftButton))
        UpdateCursor(point);
    QDialog::mouseMoveEvent(event);
}

void CMyPopDialog::mouseReleaseEvent(QMouseEvent* event)
{
    m_drag = Drag::None;
    const int pressed = m_pressed;
    m_pressed = -1;
    if (pressed < 0)
        return QDialog::mouseReleaseEvent(event);
    const int index = lumora::TitleButtonAt(m_buttons, event->position().toPoint());
    ResetButtons();
    // A press that ends outside its button does nothing.
    if (index == pressed)
        ButtonAction(m_buttons[index].nID);
}

void CMyPopDialog::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const bool onTitle = TitleBarRect().contains(point) && lumora::TitleButtonAt(m_buttons, point) < 0 && !EdgesAt(point);
    if (event->button() != Qt::LeftButton || !onTitle || m_maxIndex < 0)
        return QDialog::mouseDoubleClickEvent(event);
    m_drag = Drag::None;
    SysCommand(isMaximized() ? SC_RESTORE : SC_MAXIMIZE);
}

void CMyPopDialog::leaveEvent(QEvent* event)
{
    if (m_pressed < 0)
        SetHover(-1);
    QDialog::leaveEvent(event);
}

void CMyPopDialog::ButtonAction(int id)
{
    switch (id) {
    case TB_CLOSE:
    case TB_OK:
        SysCommand(SC_CLOSE);
        break;
    case TB_MAXIMIZE:
        SysCommand(SC_MAXIMIZE);
        break;
    case TB_RESTORE:
        SysCommand(SC_RESTORE);
        break;
    case TB_MINIMIZE:
        SysCommand(SC_MINIMIZE);
        break;
    case TB_MENU:
        for (const TitleButton_t& button : m_buttons) {
            if (button.nID == TB_MENU)
                PopupMenu(button);
        }
        break;
    default:
        break;
    }
}

void CMyPopDialog::PopupMenu(const TitleButton_t& button)
{
    m_menu = LoadFrameMenu(m_menuId);
    if (!m_menu)
        return;
    Lang::LoadMenuLangStrings(m_menu.get(), m_menuId);
    QMenu* menu = ShownMenu();
    if (!menu)
        return;
    connect(menu, &QMenu::triggered, this, [this](QAction* action) {
        if (const std::optional<int> id = lumora::GetControlId(action))
            WindowProc(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(*id), 0), 0);
    });
    OnMenuPopup(menu);
    menu->setPalette(palette());
    menu->popup(mapToGlobal(button.rect.bottomLeft() + QPoint(0, 1)));
}
