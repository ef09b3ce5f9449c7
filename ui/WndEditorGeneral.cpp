#include "WndEditorGeneral.h"

#include "lumora/ControlId.h"
#include "lumora/GdipButton.h"
#include "lumora/GdiplusButton.h"
#include "lumora/Label.h"
#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "platform/FileUtil.h"
#include "ui/DialogTexts.h"
#include "ui/DlgEditor.h"
#include "ui/ShellDialogs.h"

#include <QLineEdit>
#include <QPainter>
#include <cwctype>

namespace {

constexpr int IDC_FILE_LABEL = 1105;
constexpr int IDC_FILE = 1076;
constexpr int IDC_NAME_LABEL = 1103;
constexpr int IDC_NAME = 1075;
constexpr int IDC_THUMBNAIL_LABEL = 1104;
constexpr int IDC_THUMBNAIL = 1607;
constexpr int IDC_CHOOSE_THUMBNAIL = 1099;
constexpr int IDC_CAPTURE_THUMBNAIL = 1608;

constexpr uint32_t kLabelColor = 0xC0C0C0;
constexpr uint32_t kInvalidColor = 0x7A7AFF;  // a light red (0x00BBGGRR) that reads 5:1 on the page
constexpr QRgb kNoThumbnailFill = 0x282828;

QString Wide(const std::wstring& text) { return QString::fromStdWString(text); }

std::wstring InvalidMessage(unsigned reason, const std::wstring& value)
{
    return Lang::LoadLangString(reason) + L":\r\n\r\n'" + value + L"'";  // lang-ids: 417 418
}

}  // namespace

bool IsUsableSetName(const std::wstring& name)
{
    if (name.empty() || name == L"unnamed" || name == L"." || name == L"..")
        return false;
    if (std::iswspace(name.front()) || std::iswspace(name.back()))
        return false;
    for (wchar_t c : name) {
        if (c == L'/' || c == L'\\' || c < 0x20 || c == 0x7F)
            return false;
    }
    // One folder name of the file system at most.
    return QString::fromStdWString(name).toUtf8().size() <= 255;
}

CWndEditorGeneral::CWndEditorGeneral(QWidget* parent, CDlgEditor* editor) : CWndEditorBase(393, parent, editor)
{
    CreateControls();
}

void CWndEditorGeneral::CreateControls()
{
    auto label = [this](int id) {
        auto* l = new CLabel(this);
        lumora::SetControlId(l, id);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        AddExcludeControl(l);
        return l;
    };
    auto edit = [this](int id, bool readOnly) {
        auto* e = new QLineEdit(this);
        lumora::SetControlId(e, id);
        e->setReadOnly(readOnly);
        return e;
    };
    m_fileLabel = label(IDC_FILE_LABEL);
    m_nameLabel = label(IDC_NAME_LABEL);
    m_thumbnailLabel = label(IDC_THUMBNAIL_LABEL);
    m_fileEdit = edit(IDC_FILE, true);
    m_nameEdit = edit(IDC_NAME, false);
    m_thumbnailEdit = edit(IDC_THUMBNAIL, true);
    // Each caption names its field (for screen readers and keyboard users).
    m_fileLabel->setBuddy(m_fileEdit);
    m_nameLabel->setBuddy(m_nameEdit);
    m_thumbnailLabel->setBuddy(m_thumbnailEdit);
    m_chooseButton = new CGdiplusButton(QStringLiteral(".."), this);
    lumora::SetControlId(m_chooseButton, IDC_CHOOSE_THUMBNAIL);
    m_chooseButton->SetToolTipText(Wide(Lang::LoadLangString(180)), true);
    m_captureButton = new CGdipButton(this);
    lumora::SetControlId(m_captureButton, IDC_CAPTURE_THUMBNAIL);
    m_captureButton->LoadStdImage(295, QStringLiteral("PNG"));
    m_captureButton->SetToolTipText(Wide(Lang::LoadLangString(155)), true);

    const int left = 16, field = 96, right = 384, row = 28;
    m_fileLabel->setGeometry(left, 16, field - left - 4, row);
    m_fileEdit->setGeometry(field, 16, right - field, row);
    m_nameLabel->setGeometry(left, 52, field - left - 4, row);
    m_nameEdit->setGeometry(field, 52, right - field, row);
    m_thumbnailLabel->setGeometry(left, 88, field - left - 4, row);
    m_thumbnailEdit->setGeometry(field, 88, right - field - 64, row);
    m_chooseButton->setGeometry(right - 58, 88, 28, row);
    m_captureButton->setGeometry(right - 26, 90, 24, 24);

    QObject::connect(m_nameEdit, &QLineEdit::textChanged, this, [this] { OnNameEdited(); });
    ColourLabels();
}

bool CWndEditorGeneral::OnInitDialog()
{
    CWndEditorBase::OnInitDialog();
    ApplyDialogTexts(this, 393);
    m_fileLabel->SetTextColor(kLabelColor);
    return true;
}

void CWndEditorGeneral::Refresh()
{
    m_loading = true;
    m_fileEdit->clear();
    m_nameEdit->clear();
    m_thumbnailEdit->clear();
    ShowThumbnail({});
    if (m_scene) {
        SourceInfo* info = m_scene->GetInfo();
        m_fileEdit->setText(info ? Wide(info->path) : QString());
        m_fileEdit->setCursorPosition(0);
        m_nameEdit->setText(Wide(m_scene->GetSetName()));
        m_thumbnailEdit->setText(Wide(m_scene->GetThumbnailPath()));
        m_thumbnailEdit->setCursorPosition(0);
        ShowThumbnail(m_scene->GetThumbnailPath());
        RequestPreviewScene(1);
    }
    SetCanvasEditing(false);
    ColourLabels();
    m_loading = false;
}

void CWndEditorGeneral::ColourLabels()
{
    const bool nameOk = IsUsableSetName(m_nameEdit->text().toStdWString());
    const bool thumbnailOk = platform::FileExists(m_thumbnail) && !m_thumbnailImage.isNull();
    m_nameLabel->SetTextColor(nameOk || !m_scene ? kLabelColor : kInvalidColor);
    m_thumbnailLabel->SetTextColor(thumbnailOk || !m_scene ? kLabelColor : kInvalidColor);
}

void CWndEditorGeneral::ShowThumbnail(const std::wstring& path)
{
    m_thumbnail = path;
    m_thumbnailImage = platform::FileExists(path) ? QImage(Wide(path)) : QImage();
    update(m_thumbnailRect);
}

void CWndEditorGeneral::OnNameEdited()
{
    if (m_loading || !m_scene)
        return;
    m_scene->SetSetName(m_nameEdit->text().toStdWString());
    ColourLabels();
}

bool CWndEditorGeneral::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_CHOOSE_THUMBNAIL: ChooseThumbnail(); return true;
    case IDC_CAPTURE_THUMBNAIL: CaptureThumbnail(); return true;
    default: return CWndEditorBase::OnCommand(wParam, lParam);
    }
}

void CWndEditorGeneral::ChooseThumbnail()
{
    if (!m_scene)
        return;
    FileDialogRequest request;
    request.filter = Lang::LoadLangString(241);
    request.initialFolder = platform::FolderPart(m_thumbnail);
    request.folderKey = L"Thumbnail";
    const std::wstring path = ChooseFile(this, request);
    if (!path.empty())
        UseThumbnail(path);
}

void CWndEditorGeneral::CaptureThumbnail()
{
    if (!m_scene || !Editor())
        return;
    const std::wstring path = Editor()->ExportTempBitmap();  // shows message 210 itself
    if (!path.empty())
        UseThumbnail(path);
}

void CWndEditorGeneral::UseThumbnail(const std::wstring& path)
{
    if (!m_scene)
        return;
    m_thumbnailEdit->setText(Wide(path));
    m_thumbnailEdit->setCursorPosition(0);
    m_scene->SetThumbnailPath(path);
    ShowThumbnail(path);
    ColourLabels();
}

void CWndEditorGeneral::MarkInvalid(int index)
{
    if (index == 0)
        m_nameLabel->SetTextColor(kInvalidColor);
    else if (index == 1)
        m_thumbnailLabel->SetTextColor(kInvalidColor);
}

// The set's own values are checked: the fields may still show another set
// while the page is hidden.
bool CWndEditorGeneral::Validate(std::wstring& message, int& index)
{
    if (!m_scene)
        return true;
    const std::wstring& name = m_scene->GetSetName();
    if (!IsUsableSetName(name)) {
        m_nameEdit->setFocus();
        index = 0;
        message = InvalidMessage(417, name);
        return false;
    }
    const std::wstring& thumbnail = m_scene->GetThumbnailPath();
    if (!platform::FileExists(thumbnail) || QImage(Wide(thumbnail)).isNull()) {
        index = 1;
        m_thumbnailEdit->setFocus();
        message = InvalidMessage(418, thumbnail);
        return false;
    }
    return true;
}

void CWndEditorGeneral::paintEvent(QPaintEvent* event)
{
    CWndEditorBase::paintEvent(event);
    QPainter painter(this);
    if (!m_thumbnailImage.isNull()) {
        painter.drawImage(m_thumbnailRect, m_thumbnailImage);
    } else {
        painter.fillRect(m_thumbnailRect, QColor(kNoThumbnailFill));
        painter.setPen(QColor(0xC0, 0xC0, 0xC0));
        painter.drawText(m_thumbnailRect, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("No Thumbnail"));
    }
    painter.setPen(QColor(0x45, 0x48, 0x4E));
    painter.drawRect(m_thumbnailRect.adjusted(-1, -1, 0, 0));
}
