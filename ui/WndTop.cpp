#include "WndTop.h"

#include "app/UserFolders.h"
#include "lumora/ControlId.h"
#include "lumora/Label.h"
#include "lumora/Lang.h"
#include "ui/DialogTexts.h"
#include "ui/DlgUpdate.h"
#include "ui/EditorAddresses.h"
#include "ui/MessageBox.h"
#include "ui/MessageTarget.h"
#include "update/FileVersion.h"
#include "update/UpdateAddress.h"

#include <QResizeEvent>
#include <algorithm>

namespace {

constexpr int kTemplateId = 1102;
constexpr int kLabelIds[5] = {IDC_TOP_SLOGAN, IDC_TOP_VMIX, IDC_TOP_TOLVENAR, IDC_TOP_SUPPORT, IDC_TOP_STATUS};
constexpr int kLabelGap = 10;
constexpr int kRowInset = 40;

// Windows colour values, 0x00BBGGRR.
constexpr uint32_t kLinkColor = 0x00C000;
// A check that could not reach the server is a quiet note, not an alarm: it
// stays up for the whole session of a user without network.
constexpr uint32_t kFailedColor = 0xA8A8A8;
constexpr uint32_t kAvailableColor = 0x00FF00;
constexpr uint32_t kNoUpdateColor = 0x00C000;

constexpr unsigned kFailedText = 119;     // lang-ids: 119
constexpr unsigned kNoUpdateText = 120;   // lang-ids: 120
constexpr unsigned kAvailableText = 121;  // lang-ids: 121

QString LangText(unsigned id) { return QString::fromStdWString(Lang::LoadLangString(id)); }  // lang-ids: 119 120 121

}  // namespace

CWndTop::CWndTop(QWidget* parent)
    : CMyDialog(kTemplateId, parent),
      m_messages(new CMessageTarget(
          [this](unsigned message, WPARAM w, LPARAM l) { return OnWindowMessage(message, w, l); }, this))
{
    for (int i = 0; i < 5; ++i)
        m_labels[i] = MakeLabel(kLabelIds[i]);
    m_status = m_labels[4];
    Create(kTemplateId, parent);
}

// The thread body uses this object's members, so it ends before they go.
CWndTop::~CWndTop() { StopUpdateCheck(); }

CLabel* CWndTop::MakeLabel(int id)
{
    auto* label = new CLabel(this);
    lumora::SetControlId(label, id);
    return label;
}

bool CWndTop::OnInitDialog()
{
    ApplyDialogTexts(this, kTemplateId);
    for (int i = 0; i < 4; ++i)
        m_fullTexts[i] = m_labels[i]->text();
    m_textsTaken = true;
    MakeLink(m_labels[1], GetVmixPageAddress());
    MakeLink(m_labels[2], GetTolvenarPageAddress());
    MakeLink(m_labels[3], GetSupportAddress());
    // The status is never a shell link: its text is no address. A click
    // opens the update dialog when an update is offered (OnStatusClicked).
    m_status->SetNotify(true);
    SetLabelText(4, QString());
    m_status->hide();
    AddExcludeControl(m_status);
    QObject::connect(m_status, &CLabel::Clicked, this, [this] { OnStatusClicked(); });
    LayoutLabels();
    return true;
}

void CWndTop::MakeLink(CLabel* label, const std::wstring& address)
{
    label->SetTextColor(kLinkColor);
    label->SetFontUnderline(true);
    label->SetLink(true, QString::fromStdWString(address));
    label->SetLinkCursor(QCursor(Qt::PointingHandCursor));
    label->setAttribute(Qt::WA_TranslucentBackground);
    AddExcludeControl(label);
}

void CWndTop::resizeEvent(QResizeEvent* event)
{
    CMyDialog::resizeEvent(event);
    LayoutLabels();
}

void CWndTop::SetLabelText(int index, const QString& text)
{
    m_fullTexts[index] = text;
    m_labels[index]->SetText(text);
    m_labels[index]->setToolTip(QString());
}

// One centred row in the order of the ids, each label at its own size. When
// the bar is too narrow the texts are cut with "…" (the slogan first, the
// status next, the links last) and the whole text becomes the tooltip.
void CWndTop::LayoutLabels()
{
    if (!m_textsTaken)
        return;
    int widths[5];
    int extras[5];
    int total = 0;
    for (int i = 0; i < 5; ++i) {
        const QFontMetrics metrics = m_labels[i]->fontMetrics();
        m_labels[i]->SetText(m_fullTexts[i]);
        extras[i] = m_labels[i]->sizeHint().width() - metrics.horizontalAdvance(m_fullTexts[i]);
        widths[i] = m_labels[i]->sizeHint().width();
        total += widths[i];
    }
    const int available = std::max(0, width() - kRowInset - 4 * kLabelGap);
    int excess = total - available;
    for (int i : {0, 4, 3, 2, 1}) {
        if (excess <= 0)
            break;
        const int cut = std::min(excess, widths[i]);
        widths[i] -= cut;
        excess -= cut;
        const QString shown = m_labels[i]->fontMetrics().elidedText(m_fullTexts[i], Qt::ElideRight,
                                                                   std::max(0, widths[i] - extras[i]));
        m_labels[i]->SetText(shown);
        m_labels[i]->setToolTip(shown == m_fullTexts[i] ? QString() : m_fullTexts[i]);
    }
    total = 0;
    for (int w : widths)
        total += w;
    int x = std::max(0, (width() - total - kRowInset) / 2);
    for (int i = 0; i < 5; ++i) {
        const int h = m_labels[i]->sizeHint().height();
        m_labels[i]->setGeometry(x, (height() - h) / 2, widths[i], h);
        x += widths[i] + kLabelGap;
    }
}

// ---- the check ----

void CWndTop::SetManifestAddress(std::wstring address)
{
    std::lock_guard lock(m_infoMutex);
    m_manifestAddress = std::move(address);
}

std::wstring CWndTop::ManifestAddress() const
{
    std::lock_guard lock(m_infoMutex);
    return m_manifestAddress.empty() ? GetUpdateManifestAddress(Lang::GetCurLanguage()) : m_manifestAddress;
}

void CWndTop::StartUpdateCheck(bool manual)
{
    if (manual)
        m_manual = true;
    if (IsRunning())
        return;  // the running check reports; a manual request makes it report as asked
    m_manual = manual;
    m_stopRequested = false;
    {
        const std::wstring address = ManifestAddress();
        std::lock_guard lock(m_infoMutex);
        m_checkAddress = address;
        m_updateFolder = GetUpdateFolder();
    }
    if (!Start())
        OnUpdateStatus(manual, kUpdateFailed);
}

void CWndTop::StopUpdateCheck()
{
    m_stopRequested = true;
    Stop();
}

int CWndTop::ThreadMain()
{
    PostStatus(kUpdateChecking);
    std::wstring folder, address;
    {
        std::lock_guard lock(m_infoMutex);
        folder = m_updateFolder;
        address = m_checkAddress;
    }
    UpdateInfo info;
    const UpdateState state = CheckForUpdate(GetOwnVersionNumber(), folder, address, info, nullptr, &m_stopEvent);
    if (m_stopRequested)
        return 0;  // stopped: nobody waits for the answer
    if (state == kUpdateAvailable) {
        std::lock_guard lock(m_infoMutex);
        m_info = info;
    }
    PostStatus(state);
    return 0;
}

void CWndTop::PostStatus(int state) { PostMessage(m_messages, UM_UPDATE_STATUS, StatusParam(m_manual, state), 0); }

HWND CWndTop::MessageWindow() const { return m_messages; }

UpdateInfo CWndTop::LastUpdateInfo() const
{
    std::lock_guard lock(m_infoMutex);
    return m_info;
}

// ---- the states ----

LRESULT CWndTop::OnWindowMessage(unsigned message, WPARAM wParam, LPARAM)
{
    if (message != UM_UPDATE_STATUS)
        return 0;
    OnUpdateStatus((wParam >> 16) != 0, static_cast<int>(wParam & 0xFFFF));
    return 1;
}

void CWndTop::OnUpdateStatus(bool manual, int state)
{
    if (m_stopRequested || state < kUpdateFailed || state > kUpdateNone)
        return;  // checking changes nothing
    ShowStatus(state, manual);
    if (state == kUpdateFailed && manual)
        ShowMessageBox(this, Lang::LoadLangString(kFailedText));  // lang-ids: 119
    else if (state == kUpdateAvailable && manual)
        ShowUpdateDialog(true, LastUpdateInfo());
    else if (state == kUpdateNone && manual)
        ShowMessageBox(this, Lang::LoadLangString(kNoUpdateText));  // lang-ids: 120
}

void CWndTop::ShowStatus(int state, bool manual)
{
    m_lastState = state;
    switch (state) {
    case kUpdateFailed:
        SetLabelText(4, LangText(kFailedText));
        m_status->SetTextColor(kFailedColor);
        break;
    case kUpdateAvailable:
        SetLabelText(4, LangText(kAvailableText));
        m_status->SetTextColor(kAvailableColor);
        break;
    default:
        SetLabelText(4, LangText(kNoUpdateText));
        m_status->SetTextColor(kNoUpdateColor);
        break;
    }
    if (state == kUpdateAvailable)
        m_status->setCursor(Qt::PointingHandCursor);
    else
        m_status->unsetCursor();
    m_status->setVisible(state != kUpdateNone || manual);
    LayoutLabels();
}

void CWndTop::OnStatusClicked()
{
    if (m_lastState == kUpdateAvailable)
        PostMessage(m_messages, UM_UPDATE_STATUS, StatusParam(true, kUpdateAvailable), 0);
}

void CWndTop::ShowRecentUpdates()
{
    const std::optional<RecentUpdate> recent = LoadRecentUpdate(GetOwnVersionNumber(), GetUpdateFolder());
    if (recent)
        ShowUpdateDialog(recent->updateAvailable, recent->info);
}

void CWndTop::ShowUpdateDialog(bool updateAvailable, const UpdateInfo& info)
{
    if (m_dialogOpen)
        return;  // one at a time: a second answer while it is open adds nothing
    m_dialogOpen = true;
    CDlgUpdate dialog(updateAvailable, info, window());
    dialog.exec();
    m_dialogOpen = false;
}
