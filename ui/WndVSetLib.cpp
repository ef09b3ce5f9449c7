#include "WndVSetLib.h"

#include "app/SettingsFiles.h"
#include "app/UserFolders.h"
#include "lumora/ControlId.h"
#include "lumora/Label.h"
#include "lumora/Lang.h"
#include "lumora/MyTabCtrl.h"
#include "ui/ClipInfo.h"
#include "ui/DialogTexts.h"
#include "ui/EditorAddresses.h"
#include "ui/EditorMessages.h"
#include "ui/LibraryButtonIcons.h"
#include "ui/LibraryQuestions.h"
#include "ui/ShellDialogs.h"
#include "lumora/ShellOpen.h"
#include "ui/VSetListView.h"
#include "ui/library/LibraryFolders.h"
#include "ui/library/LibraryKinds.h"
#include "ui/library/LibraryViewModes.h"
#include "ui/library/RecentLibrary.h"
#include "ui/library/VSetScanner.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTabBar>
#include <QToolButton>

namespace {

constexpr int kButtonSize = 24;
constexpr int kButtonStep = 26;
constexpr int kStripTop = 8;
constexpr int kStripHeight = 16;
constexpr int kTabsTop = 27;
constexpr int kTabsHeight = 22;
constexpr uint32_t kLabelColour = 0x00C000;  // green

QString Text(unsigned id)
{
    return QString::fromStdWString(Lang::LoadLangString(id));  // lang-ids: 104 106 123 138 156 178 180 237
}

QToolButton* MakeButton(QWidget* parent, int id, const QIcon& icon, unsigned tip)
{
    auto* button = new QToolButton(parent);
    lumora::SetControlId(button, id);
    button->setIcon(icon);
    button->setIconSize({kButtonSize - 4, kButtonSize - 4});
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setToolTip(Text(tip));
    // A picture button is announced by what it does.
    button->setAccessibleName(Text(tip));
    return button;
}

CLabel* MakeLabel(QWidget* parent, int id)
{
    auto* label = new CLabel(parent);
    lumora::SetControlId(label, id);
    label->SetTextColor(kLabelColour);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A link whose click the page handles (the folder choice, or the shell's
// "open" of the page's own address); Return and Space act as the click.
void MakeLink(CLabel* label)
{
    label->SetNotify(true);
    label->SetFontUnderline(true);
    label->SetLinkCursor(Qt::PointingHandCursor);
    label->setCursor(Qt::PointingHandCursor);
}

}  // namespace

CWndVSetLib::CWndVSetLib(int kind, HWND openTarget, QWidget* parent)
    : CMyDialog(IDD_VSETLIB, parent), m_kind(kind), m_openTarget(openTarget)
{
    CreateControls();
    ApplyDialogTexts(this, IDD_VSETLIB);
    ApplyViewMode(LibraryViewMode(m_kind) != 0);
    if (m_kind == kLibraryRecent) {
        m_folder = GetVirtualSetsFolder();
        m_linkLabel->hide();
        m_folderLabel->hide();
    } else {
        m_folder = ReadLibraryFolder(m_kind);
        const QString product = m_kind == kLibraryVmix ? QStringLiteral("vMix") : QStringLiteral("Tolvenar");
        m_linkLabel->setText(QStringLiteral("%1 %2").arg(Text(106), product));
        m_linkLabel->setToolTip(QString::fromStdWString(m_kind == kLibraryVmix ? GetVmixPageAddress()
                                                                               : GetTolvenarPageAddress()));
        m_linkLabel->hide();
    }
    Layout();
}

CWndVSetLib::~CWndVSetLib()
{
    // The scan stops before the rows and the cursor go.
    delete m_scanner;
    m_scanner = nullptr;
}

void CWndVSetLib::CreateControls()
{
    m_viewButton = MakeButton(this, IDC_VSETLIB_VIEW, LibraryViewToggleIcon(false), 156);
    m_removeButton = MakeButton(this, IDC_VSETLIB_REMOVE, LibraryRemoveIcon(), 237);
    m_refreshButton = MakeButton(this, IDC_VSETLIB_REFRESH, LibraryRefreshIcon(), 178);
    m_removeButton->setVisible(m_kind == kLibraryRecent);
    QObject::connect(m_viewButton, &QToolButton::clicked, this, [this] { ToggleView(); });
    QObject::connect(m_removeButton, &QToolButton::clicked, this, [this] { RemoveSelected(); });
    QObject::connect(m_refreshButton, &QToolButton::clicked, this, [this] { ShowView(); });

    CLabel* link = MakeLabel(this, IDC_VSETLIB_LINK);
    CLabel* folder = MakeLabel(this, IDC_VSETLIB_FOLDER);
    MakeLink(link);
    if (m_kind != kLibraryRecent)
        MakeLink(folder);
    m_linkLabel = link;
    m_folderLabel = folder;
    QObject::connect(link, &CLabel::Clicked, this, [this] {
        lumora::ShellOpen(QString::fromStdWString(m_kind == kLibraryVmix ? GetVmixPageAddress() : GetTolvenarPageAddress()));
    });
    QObject::connect(folder, &CLabel::Clicked, this, [this] {
        if (m_kind != kLibraryRecent)
            ChooseLibraryFolder();
    });
    AddExcludeControl(m_linkLabel);
    AddExcludeControl(m_folderLabel);

    auto* tabs = new CMyTabCtrl(this);
    lumora::SetControlId(tabs, IDC_VSETLIB_TABS);
    tabs->SetMinTabWidth(80);
    int tab = 0;
    for (unsigned id : {104u, 123u, 138u})
        tabs->InsertItem(tab++, Text(id));
    m_tabs = tabs;
    m_tabs->setVisible(m_kind == kLibraryTolvenar);
    QObject::connect(m_tabs, &QTabBar::currentChanged, this, [this](int) { ShowView(); });

    m_list = new CVSetListView(this);
    lumora::SetControlId(m_list, IDC_VSETLIB_LIST);
    m_list->SetDoubleClickHandler([this](int row) { OpenRow(row); });

    m_scanner = new CVSetScanner;
    QObject::connect(m_scanner, &CVSetScanner::EntriesReady, this, [this] { OnEntriesReady(); });
    QObject::connect(m_scanner, &CVSetScanner::Finished, this, [this](int rows) { OnScanFinished(rows); });
}

bool CWndVSetLib::IsRowView() const { return m_list->IsRowView(); }

bool CWndVSetLib::IsScanning() const { return m_scanner->IsRunning(); }

void CWndVSetLib::ApplyViewMode(bool rows)
{
    m_list->SetRowView(rows);
    m_viewButton->setIcon(LibraryViewToggleIcon(rows));
}

void CWndVSetLib::ShowView()
{
    if (!m_folder.empty() || m_kind == kLibraryRecent)
        Rescan();
    else
        SearchFolder();
}

void CWndVSetLib::Rescan() { StartScan(ScanFolderOf(m_kind, m_folder, m_tabs->currentIndex())); }

void CWndVSetLib::SearchFolder()
{
    std::wstring found;
    if (FindLibraryFolder(m_kind, found)) {
        m_folder = found;
        m_linkShown = false;
        m_linkLabel->hide();
        Layout();
        Rescan();
        return;
    }
    ShowFolderMissing();
}

void CWndVSetLib::ShowFolderMissing()
{
    m_scanner->Cancel();
    m_wait.reset();
    m_list->Model()->Clear();
    m_linkShown = true;
    m_linkLabel->show();
    SetFolderText(Text(180));
    Layout();
    if (m_onScanFinished)
        m_onScanFinished(0);
}

void CWndVSetLib::StartScan(const std::wstring& scanFolder)
{
    m_restoreTopRow = m_list->Model()->rowCount() > 0 ? m_list->TopRow() : -1;
    m_list->Model()->Clear();
    LibraryScanRequest request;
    request.kind = m_kind;
    request.folder = scanFolder;
    if (m_kind == kLibraryRecent)
        request.recentFolders = RecentFoldersNewestFirst(g_recentSets);
    m_scannedFolder = scanFolder;
    if (!m_wait)
        m_wait = std::make_unique<CWaitCursor>();
    m_scanner->Start(std::move(request));
}

void CWndVSetLib::OnEntriesReady()
{
    m_list->Model()->Append(m_scanner->TakeEntries());
    if (m_list->Model()->rowCount() > 0)
        m_wait.reset();
    if (m_restoreTopRow >= 0 && m_restoreTopRow < m_list->Model()->rowCount()) {
        m_list->scrollTo(m_list->Model()->index(m_restoreTopRow), QAbstractItemView::PositionAtTop);
        m_restoreTopRow = -1;
    }
}

void CWndVSetLib::OnScanFinished(int rows)
{
    m_wait.reset();
    m_restoreTopRow = -1;
    if (!m_chosenFolder.empty()) {
        const std::wstring chosen = std::exchange(m_chosenFolder, {});
        if (rows > 0) {
            WriteLibraryFolder(m_kind, chosen);
        } else {
            WriteLibraryFolder(m_kind, L"");
            m_folder.clear();
            ShowFolderMissing();
            return;
        }
    }
    if (m_kind != kLibraryRecent) {
        m_linkShown = false;
        m_linkLabel->hide();
        SetFolderText(QString::fromStdWString(m_scannedFolder));
        Layout();
    }
    if (m_onScanFinished)
        m_onScanFinished(rows);
}

void CWndVSetLib::ToggleView()
{
    const bool rows = !IsRowView();
    ApplyViewMode(rows);
    StoreLibraryViewMode(m_kind, rows ? 1 : 0);
}

void CWndVSetLib::RemoveSelected()
{
    if (m_kind != kLibraryRecent)
        return;
    const CClipEntry* entry = m_list->Model()->Entry(m_list->SelectedRow());
    if (!entry)
        return;
    if (!AskRemoveFromRecent(this, entry->Name()))
        return;
    RemoveRecentFolder(g_recentSets, entry->Folder());
    Rescan();
}

void CWndVSetLib::ChooseLibraryFolder()
{
    if (m_kind == kLibraryRecent)
        return;
    const std::wstring chosen = ChooseFolder(this, Lang::LoadLangString(180), L"Library");
    if (chosen.empty())
        return;
    m_folder = chosen;
    m_chosenFolder = chosen;
    Rescan();
}

void CWndVSetLib::OpenRow(int row)
{
    const CClipEntry* entry = m_list->Model()->Entry(row);
    if (!entry || !m_openTarget)
        return;
    // The editor may edit the path it is given; it gets a copy for the call.
    ClipInfo2_t request = entry->Info();
    SendMessage(m_openTarget, UM_OPEN_VIRTUAL_SET, reinterpret_cast<WPARAM>(&request), m_kind);
}

void CWndVSetLib::showEvent(QShowEvent* event)
{
    CMyDialog::showEvent(event);
    if (!event->spontaneous())
        ShowView();
}

void CWndVSetLib::resizeEvent(QResizeEvent* event)
{
    CMyDialog::resizeEvent(event);
    Layout();
}

void CWndVSetLib::SetFolderText(const QString& text)
{
    m_folderText = text;
    m_folderLabel->setToolTip(text);
    ElideFolderText();
}

void CWndVSetLib::ElideFolderText()
{
    m_folderLabel->setText(m_folderLabel->fontMetrics().elidedText(m_folderText, Qt::ElideMiddle,
                                                                   std::max(0, m_folderLabel->width())));
}

void CWndVSetLib::Layout()
{
    int x = 10;
    for (QToolButton* button : {m_viewButton, m_removeButton, m_refreshButton}) {
        if (button->isHidden())
            continue;
        button->setGeometry(x, 2, kButtonSize, kButtonSize);
        x += kButtonStep;
    }
    const int stripLeft = x + 6;
    const int stripWidth = std::max(0, width() - stripLeft - 8);
    if (m_linkShown) {
        const int half = stripWidth / 2;
        m_linkLabel->setGeometry(stripLeft, kStripTop, half, kStripHeight);
        m_folderLabel->setGeometry(stripLeft + half, kStripTop, stripWidth - half, kStripHeight);
    } else {
        m_folderLabel->setGeometry(stripLeft, kStripTop, stripWidth, kStripHeight);
    }
    int listTop = kTabsTop;
    if (m_kind == kLibraryTolvenar) {
        m_tabs->setGeometry(0, kTabsTop, width(), kTabsHeight);
        listTop = kTabsTop + kTabsHeight;
    }
    m_list->setGeometry(0, listTop, width(), std::max(0, height() - listTop));
    ElideFolderText();
}
