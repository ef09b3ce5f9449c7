#include "DlgUpdate.h"

#include "lumora/ControlId.h"
#include "lumora/Lang.h"
#include "lumora/ResourceImage.h"
#include "lumora/ShellOpen.h"
#include "ui/DialogTexts.h"
#include "update/HttpDownload.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>
#include <charconv>
#include <cstdlib>

namespace {

constexpr int kTemplateId = 102;
constexpr int kIconId = 128;
constexpr unsigned kCloseButtonOnly = 1;
constexpr int kPictureId = 281;
constexpr unsigned kVersionLineText = 115;  // lang-ids: 115
constexpr unsigned kDownloadText = 116;     // lang-ids: 116
constexpr unsigned kOkText = 117;           // lang-ids: 117

QString LangText(unsigned id) { return QString::fromStdWString(Lang::LoadLangString(id)); }  // lang-ids: 116 117

template <class Widget>
Widget* WithId(Widget* widget, int id)
{
    lumora::SetControlId(widget, id);
    return widget;
}

QLabel* CaptionLabel(QWidget* parent, int id)
{
    QLabel* label = WithId(new QLabel(parent), id);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

}  // namespace

CDlgUpdate::CDlgUpdate(bool updateAvailable, const UpdateInfo& info, QWidget* parent)
    : CMyPopDialog(kTemplateId, kIconId, 0, parent, kCloseButtonOnly),
      m_updateAvailable(updateAvailable),
      m_sourceOpens(IsHttpAddress(info.source)),
      m_info(info)
{
    BuildControls();
    resize(560, 420);
}

std::wstring CDlgUpdate::VersionText(int32_t version)
{
    // Formatted here rather than by "%.02f": printf would use the locale's
    // decimal separator, and a version always shows a point.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), version / 100.0, std::chars_format::fixed, 2);
    return std::wstring(buffer, result.ptr);
}

std::wstring CDlgUpdate::VersionLine(const UpdateInfo& info)
{
    // The version goes in as text; the formatter writes text for "%.02f" as it stands.
    return Lang::FormatLangString(kVersionLineText, VersionText(info.version), static_cast<long long>(info.size),  // lang-ids: 115
        info.releaseDate);
}

void CDlgUpdate::BuildControls()
{
    QWidget* client = ClientWidget();
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(22, 18, 22, 18);
    layout->setSpacing(10);

    auto* header = new QHBoxLayout;
    header->setSpacing(16);
    auto* picture = WithId(new QToolButton(client), IDC_UPDATE_PICTURE);
    picture->setAutoRaise(true);
    picture->setFocusPolicy(Qt::NoFocus);
    picture->setIconSize(QSize(56, 56));
    picture->setIcon(QIcon(lumora::LoadResourceImage(kPictureId, QStringLiteral("PNG"), QSize(56, 56), devicePixelRatioF())));
    header->addWidget(picture, 0, Qt::AlignTop);
    auto* versionBox = new QVBoxLayout;
    versionBox->setSpacing(6);
    versionBox->addWidget(CaptionLabel(client, IDC_UPDATE_VERSION_CAPTION));
    m_version = WithId(new QLabel(client), IDC_UPDATE_VERSION);
    m_version->setTextFormat(Qt::PlainText);
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_version->setWordWrap(true);
    versionBox->addWidget(m_version);
    versionBox->addStretch(1);
    header->addLayout(versionBox, 1);
    layout->addLayout(header);

    layout->addWidget(CaptionLabel(client, IDC_UPDATE_NOTES_CAPTION));
    m_notes = WithId(new QTextBrowser(client), IDC_UPDATE_NOTES);
    // Notes come from the server: plain text only, no links followed.
    m_notes->setOpenLinks(false);
    m_notes->setOpenExternalLinks(false);
    m_notes->setFrameShape(QFrame::NoFrame);
    layout->addWidget(m_notes, 1);

    // An address the dialog will not open is still shown, as text.
    m_source = new QLabel(client);
    m_source->setTextFormat(Qt::PlainText);
    m_source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_source->setWordWrap(true);
    m_source->setVisible(false);
    layout->addWidget(m_source);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_action = WithId(new QPushButton(client), IDC_UPDATE_ACTION);
    m_action->setMinimumWidth(96);
    QObject::connect(m_action, &QPushButton::clicked, this, [this] { OnAction(); });
    auto* cancel = WithId(new QPushButton(client), IDCANCEL);
    cancel->setMinimumWidth(96);
    QObject::connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    buttons->addWidget(m_action);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

bool CDlgUpdate::OnInitDialog()
{
    CMyPopDialog::OnInitDialog();
    ApplyDialogTexts(this, kTemplateId);
    m_version->setText(QString::fromStdWString(VersionLine(m_info)));
    SetRichTextDefaultProp(m_notes);
    m_notes->setPlainText(QString::fromStdWString(m_info.releaseNotes));
    if (m_updateAvailable && !m_sourceOpens && !m_info.source.empty()) {
        m_source->setText(QString::fromStdWString(m_info.source));
        m_source->setVisible(true);
    }
    m_action->setText(LangText(OpensSource() ? kDownloadText : kOkText));
    m_action->setDefault(true);
    m_action->setFocus();
    return true;
}

void CDlgUpdate::OnAction()
{
    if (OpensSource())
        lumora::ShellOpen(QString::fromStdWString(m_info.source));
    EndDialog(IDOK);
}
