#include "GalleryWindow.h"

#include "GalleryTexts.h"
#include "lumora/ControlId.h"
#include "lumora/GdipButton.h"
#include "lumora/GdiplusButton.h"
#include "lumora/ImageList.h"
#include "lumora/Label.h"
#include "lumora/Lang.h"
#include "lumora/MyDialog.h"
#include "lumora/MyGroupBox.h"
#include "lumora/MyListCtrl.h"
#include "lumora/MySplitWnd.h"
#include "lumora/MyTabCtrl.h"
#include "lumora/Skin.h"

#include <QApplication>
#include <algorithm>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

using gallery::kAboutDialog;
using gallery::kControlsPage;
using gallery::kSidePanel;
using gallery::kTopBar;

namespace {

constexpr int kTopBarHeight = 48;
constexpr int kTabsHeight = 30;
constexpr int kEnglishButton = 311;
constexpr int kChineseButton = 312;
constexpr int kPictures[] = {588, 587, 439, 438, 427, 295};
constexpr unsigned kPictureTips[] = {9, 10, 11, 12, 13, 14};

template <class T>
T* Control(QWidget* parent, int id)
{
    auto* control = new T(parent);
    lumora::SetControlId(control, id);
    return control;
}

CLabel* Caption(QWidget* parent, int id, int dialog)
{
    auto* label = Control<CLabel>(parent, id);
    label->SetText(gallery::DefaultText(dialog, id));
    return label;
}

QPixmap Swatch(QColor colour)
{
    QPixmap pixmap(QSize(32, 18) * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 32, 18);
    fill.setColorAt(0, colour.lighter(130));
    fill.setColorAt(1, colour.darker(130));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 31, 17), 3, 3);
    return pixmap;
}

std::unique_ptr<QMenu> GalleryMenu(int menuId)
{
    auto top = std::make_unique<QMenu>();
    QMenu* items = top->addMenu(QStringLiteral("menu"));
    for (int command : {32874, 0, 32816}) {
        if (!command) {
            items->addSeparator();
            continue;
        }
        QAction* action = items->addAction(gallery::DefaultMenuText(command));
        lumora::SetControlId(action, command);
    }
    return top;
}

QIcon GalleryIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 64, 64);
    fill.setColorAt(0, QColor(0x4A, 0x9A, 0xE8));
    fill.setColorAt(1, QColor(0x1F, 0x5F, 0xB0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
    painter.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(22, 16), QPointF(22, 46), QPointF(44, 46)}));
    return QIcon(pixmap);
}

}  // namespace

GalleryWindow::GalleryWindow() : CMyPopDialog(gallery::kMainDialog, 128, gallery::kFrameMenu, nullptr, 27)
{
    CMyPopDialog::SetMyIcon(GalleryIcon());
    CMyPopDialog::SetMenuLoader(GalleryMenu);
    setMinimumSize(900, 600);
    BuildTopBar();
    BuildSidePanel();
    BuildPage();
    m_split = new CMySplitWnd();
    m_split->Create(0, QRect(m_sideWidth, kTopBarHeight, 4, 600), ClientWidget(), 110);
    TranslateTexts();
    OnSize(ClientWidget()->width(), ClientWidget()->height());
}

void GalleryWindow::BuildTopBar()
{
    m_top = new CMyDialog(kTopBar, ClientWidget());
    auto* row = new QHBoxLayout(m_top);
    row->setContentsMargins(16, 0, 16, 0);
    row->setSpacing(10);
    for (size_t i = 0; i < std::size(kPictures); ++i) {
        auto* button = Control<CGdipButton>(m_top, 1500 + static_cast<int>(i));
        button->LoadStdImage(kPictures[i]);
        button->setFixedSize(button->ImageSize());
        m_topButtons.push_back(button);
        row->addWidget(button);
    }
    m_topButtons[4]->SetCheck(true);
    row->addStretch();
    row->addWidget(Caption(m_top, 301, kTopBar));
    auto* english = Control<CGdiplusButton>(m_top, kEnglishButton);
    english->setText(QStringLiteral("English"));
    auto* chinese = Control<CGdiplusButton>(m_top, kChineseButton);
    // Without a Chinese font the language's own name would show as boxes.
    const QString chineseName = QString::fromWCharArray(kChineseLanguageName);
    const QFontMetrics metrics(QApplication::font());
    const bool drawable = std::all_of(chineseName.begin(), chineseName.end(), [&](QChar c) { return metrics.inFont(c); });
    chinese->setText(drawable ? chineseName : QStringLiteral("Chinese"));
    for (CGdiplusButton* button : {english, chinese}) {
        button->setFixedSize(96, 28);
        row->addWidget(button);
    }
}

void GalleryWindow::BuildSidePanel()
{
    m_side = new CMyDialog(kSidePanel, ClientWidget());
    auto* column = new QVBoxLayout(m_side);
    column->setContentsMargins(12, 12, 8, 12);
    auto* group = Control<CMyGroupBox>(m_side, 101);
    auto* inside = new QVBoxLayout(group);
    m_list = Control<CMyListCtrl>(group, 1133);
    inside->addWidget(m_list);
    column->addWidget(group, 1);
    auto* hint = Caption(m_side, 102, kSidePanel);
    hint->SetTextColor(static_cast<uint32_t>(CSkin::GetValue(COLOR_DLGTEXT_L)));
    hint->setWordWrap(true);
    column->addWidget(hint);

    static CImageList swatches(QSize(32, 18));
    if (swatches.GetImageCount() == 0) {
        for (QColor colour : {QColor(0x3A, 0x5F, 0x8F), QColor(0x8F, 0x6A, 0x3A), QColor(0x3A, 0x8F, 0x5A),
                              QColor(0x7A, 0x3A, 0x8F), QColor(0x8F, 0x3A, 0x45)})
            swatches.Add(Swatch(colour));
    }
    m_list->SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    m_list->EnableGridLine(true);
    m_list->SetImageList(&swatches, LVSIL_SMALL);
    m_list->SetItemHeight(32);
    m_list->InsertColumn(0, QString(), LVCFMT_LEFT, 200);
    m_list->InsertColumn(1, QString(), LVCFMT_LEFT, 90);
    m_list->SetColFix(1, true);
}

void GalleryWindow::FillList()
{
    static const char* const kFiles[] = {"studio-back.png", "desk.png", "screen-left.png", "screen-right.png", "logo.png"};
    static const unsigned kKinds[] = {6, 7, 8, 8, 7};
    const int selected = std::max(0, m_list->GetCurSel() < 0 ? 1 : m_list->GetCurSel());
    std::vector<bool> checks;
    for (int i = 0; i < m_list->GetItemCount(); ++i)
        checks.push_back(m_list->GetCheck(i));
    m_list->DeleteAllItems();
    for (int i = 0; i < 5; ++i) {
        m_list->InsertItem(i, QString::fromLatin1(kFiles[i]), i);
        m_list->SetItemText(i, 1, QString::fromStdWString(Lang::LoadLangString(kKinds[i])));
        m_list->SetCheck(i, checks.empty() ? i != 3 : checks[static_cast<size_t>(i)]);
    }
    m_list->SetItemTextColor(4, static_cast<uint32_t>(CSkin::GetValue(COLOR_DLGTEXT_L)));
    m_list->SetCurSel(selected);
}

void GalleryWindow::BuildPage()
{
    m_tabs = Control<CMyTabCtrl>(ClientWidget(), 1070);
    m_tabs->SetMinTabWidth(100);
    for (int i = 0; i < 3; ++i)
        m_tabs->InsertItem(i, QString());
    m_page = new CMyDialog(kControlsPage, ClientWidget());
    auto* grid = new QGridLayout(m_page);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setSpacing(14);
    grid->addWidget(BuildPictureButtons(m_page), 0, 0);
    grid->addWidget(BuildTextButtons(m_page), 0, 1);
    grid->addWidget(BuildLabels(m_page), 1, 0);
    grid->addWidget(BuildFrames(m_page), 1, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

QWidget* GalleryWindow::BuildPictureButtons(QWidget* parent)
{
    auto* group = Control<CMyGroupBox>(parent, 201);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(10);
    for (int state = 0; state < 5; ++state) {
        grid->addWidget(Caption(group, 211 + state, kControlsPage), state, 0);
        for (size_t i = 0; i < std::size(kPictures); ++i) {
            auto* button = new CGdipButton(group);
            button->LoadStdImage(kPictures[i]);
            button->setFixedSize(22, 22);
            button->SetToolTipText(QString::fromStdWString(Lang::LoadLangString(kPictureTips[i])));
            if (state == 1)
                m_hovered.push_back(button);
            if (state == 2)
                m_pressed.push_back(button);
            if (state == 3)
                button->SetCheck(true);
            if (state == 4)
                button->setEnabled(false);
            grid->addWidget(button, state, 1 + static_cast<int>(i));
        }
    }
    grid->setColumnStretch(7, 1);
    return group;
}

QWidget* GalleryWindow::BuildTextButtons(QWidget* parent)
{
    auto* group = Control<CMyGroupBox>(parent, 202);
    auto* grid = new QGridLayout(group);
    grid->setSpacing(12);
    for (int i = 0; i < 4; ++i) {
        auto* button = Control<CGdiplusButton>(group, 221 + i);
        button->setText(gallery::DefaultText(kControlsPage, 221 + i));
        button->setFixedSize(110, 30);
        grid->addWidget(button, i / 2, i % 2);
        if (i == 1)
            m_hovered.push_back(button);
        if (i == 2)
            m_pressed.push_back(button);
        if (i == 3)
            button->setEnabled(false);
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(2, 1);
    return group;
}

QWidget* GalleryWindow::BuildLabels(QWidget* parent)
{
    auto* group = Control<CMyGroupBox>(parent, 203);
    auto* column = new QVBoxLayout(group);
    column->setSpacing(8);
    column->addWidget(Caption(group, 231, kControlsPage));
    CLabel* coloured = Caption(group, 232, kControlsPage);
    coloured->SetTextColor(0x20A0FF).SetFontBold(true);
    column->addWidget(coloured);
    auto* link = Control<CLabel>(group, 233);
    link->SetText(QStringLiteral("https://www.example.com")).SetTextColor(0xF0B060).SetFontUnderline(true).SetLink(true);
    column->addWidget(link);
    CLabel* disabled = Caption(group, 234, kControlsPage);
    disabled->setEnabled(false);
    column->addWidget(disabled);
    column->addStretch();
    return group;
}

QWidget* GalleryWindow::BuildFrames(QWidget* parent)
{
    auto* group = Control<CMyGroupBox>(parent, 204);
    auto* row = new QHBoxLayout(group);
    row->setSpacing(14);

    m_about = new CMyPopDialog(kAboutDialog, 128, 0, nullptr, TB_CLOSE | TB_OK);
    m_about->setParent(group, Qt::Widget);  // shown inside the gallery, not as a window
    m_about->setFixedSize(300, 130);
    auto* body = new QVBoxLayout(m_about->ClientWidget());
    body->setContentsMargins(16, 12, 16, 12);
    body->addWidget(Caption(m_about->ClientWidget(), 401, kAboutDialog));
    auto* ok = Control<CGdiplusButton>(m_about->ClientWidget(), 402);
    ok->setText(gallery::DefaultText(kAboutDialog, 402));
    ok->setFixedSize(88, 28);
    body->addStretch();
    body->addWidget(ok, 0, Qt::AlignRight);
    row->addWidget(m_about);

    auto* child = new CMyDialog(9005, group);
    child->SetBorderWidth(1);
    child->SetBorderColor(static_cast<uint32_t>(CSkin::GetValue(COLOR_EDIT_BORDER1)));
    child->setFixedSize(150, 130);
    auto* inside = new QVBoxLayout(child);
    auto* label = new CLabel(QStringLiteral("CMyDialog"), child);
    label->setAlignment(Qt::AlignCenter);
    inside->addWidget(label);
    row->addWidget(child);
    row->addStretch();
    return group;
}

void GalleryWindow::TranslateTexts()
{
    gallery::TranslateDialog(this, gallery::kMainDialog);
    gallery::TranslateDialog(m_top, kTopBar);
    gallery::TranslateDialog(m_side, kSidePanel);
    gallery::TranslateDialog(m_page, kControlsPage);
    gallery::TranslateDialog(m_about, kAboutDialog);
    for (int i = 0; i < 3; ++i) {
        const QString text = QString::fromStdWString(Lang::LoadLangString(3 + i));
        m_tabs->setTabText(i, text);
        m_tabs->setAccessibleTabName(i, text);
    }
    for (size_t i = 0; i < m_topButtons.size(); ++i)
        m_topButtons[i]->SetToolTipText(QString::fromStdWString(Lang::LoadLangString(kPictureTips[i])));
    QTreeWidgetItem* head = m_list->headerItem();
    head->setText(0, QString::fromStdWString(Lang::LoadLangString(1)));
    head->setText(1, QString::fromStdWString(Lang::LoadLangString(2)));
    FillList();
}

void GalleryWindow::SwitchLanguage(const QString& name)
{
    Lang::SetCurLanguage(name.toStdWString());
    TranslateTexts();
    update();
}

void GalleryWindow::ShowStates()
{
    for (QAbstractButton* button : m_hovered) {
        QEnterEvent enter(QPointF(4, 4), QPointF(4, 4), button->mapToGlobal(QPointF(4, 4)));
        QApplication::sendEvent(button, &enter);
    }
    for (QAbstractButton* button : m_pressed)
        button->setDown(true);
    // The about frame's close button under the pointer.
    const QPoint close = m_about->TitleButtons().front().rect.center();
    QMouseEvent move(QEvent::MouseMove, close, m_about->mapToGlobal(close), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m_about, &move);
}

void GalleryWindow::OnSize(int width, int height)
{
    if (!m_top)
        return;
    m_top->setGeometry(0, 0, width, kTopBarHeight);
    m_side->setGeometry(0, kTopBarHeight, m_sideWidth, height - kTopBarHeight);
    const int right = m_sideWidth + CMySplitWnd::kThickness;
    if (m_split) {
        m_split->setGeometry(m_sideWidth, kTopBarHeight, CMySplitWnd::kThickness, height - kTopBarHeight);
        m_split->SetRange(220, width - 640);
    }
    m_tabs->setGeometry(right + 10, kTopBarHeight + 6, width - right - 20, kTabsHeight - 4);
    m_page->setGeometry(right, kTopBarHeight + kTabsHeight, width - right, height - kTopBarHeight - kTabsHeight);
}

bool GalleryWindow::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (wParam == 110 && header->code == NM_SPLITMOVED) {
        const int delta = reinterpret_cast<const NMSPLITWND*>(lParam)->delta;
        m_sideWidth += delta;
        CMySplitWnd::ChangeWidth(m_side, delta, CMySplitWnd::SideRight);
        CMySplitWnd::ChangeWidth(m_page, -delta, CMySplitWnd::SideLeft);
        OnSize(ClientWidget()->width(), ClientWidget()->height());
        return true;
    }
    return CMyPopDialog::OnNotify(wParam, lParam, result);
}

bool GalleryWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case kEnglishButton:
        SwitchLanguage(QStringLiteral("English"));
        return true;
    case kChineseButton:
        SwitchLanguage(QString::fromWCharArray(kChineseLanguageName));
        return true;
    default:
        return CMyPopDialog::OnCommand(wParam, lParam);
    }
}

void GalleryWindow::OnMenuPopup(QMenu* menu)
{
    // The frame menu gets the languages, as the editor's main window does.
    QMenu* languages = new QMenu(QStringLiteral("Language"), menu);
    for (const QString& name : {QStringLiteral("English"), QString::fromWCharArray(kChineseLanguageName)}) {
        QAction* action = languages->addAction(name);
        action->setCheckable(true);
        action->setChecked(QString::fromStdWString(Lang::m_sCurLanguage) == name);
        connect(action, &QAction::triggered, this, [this, name] { SwitchLanguage(name); });
    }
    menu->insertMenu(menu->actions().last(), languages);
    menu->insertSeparator(menu->actions().last());
}
