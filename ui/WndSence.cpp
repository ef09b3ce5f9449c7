#include "WndSence.h"

#include "lumora/ControlId.h"
#include "lumora/Lang.h"
#include "lumora/MyTabCtrl.h"
#include "lumora/TabStepKeys.h"
#include "ui/DialogTexts.h"
#include "ui/WndVSetLib.h"
#include "ui/library/LibraryKinds.h"
#include "ui/library/LibraryViewModes.h"

#include <QResizeEvent>
#include <QTabBar>

namespace {
constexpr int kTabHeight = 22;
constexpr int kPagesTop = 23;
// Tab order: recent, vMix, Tolvenar.
constexpr int kTabKinds[3] = {kLibraryRecent, kLibraryVmix, kLibraryTolvenar};
}  // namespace

CWndSence::CWndSence(QWidget* parent, HWND openTarget) : CMyDialog(IDD_SCENE_TAB, parent), m_openTarget(openTarget)
{
    // Each page opens in the view the user left it in.
    RestoreLibraryViewModes();
    auto* tabs = new CMyTabCtrl(this);
    lumora::SetControlId(tabs, IDC_SCENE_TABS);
    tabs->SetMinTabWidth(80);
    tabs->InsertItem(0, QString::fromStdWString(Lang::LoadLangString(421)));
    tabs->InsertItem(1, QStringLiteral("vMix"));
    tabs->InsertItem(2, QStringLiteral("Tolvenar"));
    m_tabs = tabs;
    for (int tab = 0; tab < 3; ++tab) {
        m_pages[tab] = new CWndVSetLib(kTabKinds[tab], openTarget, this);
        m_pages[tab]->setVisible(tab == 0);
    }
    ApplyDialogTexts(this, IDD_SCENE_TAB);
    QObject::connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) { ShowTab(tab); });
    // Ctrl+PgDn and Ctrl+PgUp step through the kinds as their tabs do.
    lumora::AddTabStepKeys(m_tabs, this, QKeySequence(Qt::CTRL | Qt::Key_PageDown),
                           QKeySequence(Qt::CTRL | Qt::Key_PageUp));
}

CWndVSetLib* CWndSence::Page(int tab) const { return tab >= 0 && tab < 3 ? m_pages[tab] : nullptr; }

CWndVSetLib* CWndSence::VisiblePage() const { return Page(m_tabs->currentIndex()); }

void CWndSence::Refresh()
{
    if (CWndVSetLib* page = VisiblePage(); page && page->isVisible())
        page->ShowView();
}

void CWndSence::ShowTab(int tab)
{
    for (int n = 0; n < 3; ++n) {
        if (n != tab)
            m_pages[n]->hide();
    }
    if (CWndVSetLib* page = Page(tab))
        page->show();  // showing a page scans it
}

void CWndSence::resizeEvent(QResizeEvent* event)
{
    CMyDialog::resizeEvent(event);
    m_tabs->setGeometry(0, 0, width(), kTabHeight);
    for (CWndVSetLib* page : m_pages)
        page->setGeometry(0, kPagesTop, width(), std::max(0, height() - kPagesTop));
}
