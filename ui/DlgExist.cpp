#include "DlgExist.h"

#include "lumora/ControlId.h"
#include "lumora/Lang.h"
#include "lumora/ResourceImage.h"
#include "model/SetSaving.h"
#include "platform/FileUtil.h"
#include "ui/DialogTexts.h"
#include "ui/MessageBox.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr QSize kPictureSize(120, 90);

// The picture file of a set folder, its name compared without case, as the
// programs that write it spell it differently.
std::wstring FindPictureFile(const std::wstring& folder, const std::wstring& lowerName)
{
    for (const std::wstring& entry : platform::ListFolder(folder)) {
        if (QString::fromStdWString(entry).toLower().toStdWString() == lowerName)
            return platform::JoinPath(folder, entry);
    }
    return {};
}

bool IsPlainFolderName(const std::wstring& name)
{
    return !name.empty() && name != L"." && name != L".." && name.find(L'/') == std::wstring::npos &&
           name.find(L'\0') == std::wstring::npos;
}

}  // namespace

QImage CDlgExist::LoadExistingPicture(const std::wstring& setFolder)
{
    for (const wchar_t* name : {L"thumbnail.jpg", L"thumb.jpg"}) {
        const std::wstring file = FindPictureFile(setFolder, name);
        if (file.empty())
            continue;
        QImageReader reader(QString::fromStdWString(file));
        // A thumbnail is small; a huge claimed size is not decoded.
        if (reader.size().isValid() && reader.size().width() * static_cast<qint64>(reader.size().height()) > 64ll << 20)
            continue;
        QImage image = reader.read();
        if (!image.isNull())
            return image;
    }
    return {};
}

CDlgExist::CDlgExist(std::wstring parentFolder, std::wstring name, QWidget* parent)
    : CMyPopDialog(1113, 128, 0, parent, 1), m_parentFolder(std::move(parentFolder)), m_name(std::move(name))
{
    QWidget* client = ClientWidget();
    auto* grid = new QGridLayout(client);
    grid->setContentsMargins(88, 20, 20, 16);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);

    auto* message = new QLabel(client);
    lumora::SetControlId(message, 1612);
    message->setWordWrap(true);
    message->setTextFormat(Qt::PlainText);
    message->setText(QString::fromStdWString(Lang::LoadLangString(114) + L":\n\n\t" +
                                             platform::JoinPath(m_parentFolder, m_name)));
    grid->addWidget(message, 0, 0, 1, 3);

    m_rename = new QRadioButton(client);
    lumora::SetControlId(m_rename, 1611);
    m_nameEdit = new QLineEdit(client);
    lumora::SetControlId(m_nameEdit, 1075);
    // A name that is free is offered: OK saves beside the existing set.
    m_nameEdit->setText(QString::fromStdWString(FreeFolderName(m_parentFolder, m_name)));
    m_overwrite = new QRadioButton(client);
    lumora::SetControlId(m_overwrite, 1614);
    m_rename->setChecked(true);
    grid->addWidget(m_rename, 1, 0);
    grid->addWidget(m_nameEdit, 1, 1);
    grid->addWidget(m_overwrite, 2, 0);

    auto* picture = new QLabel(client);
    lumora::SetControlId(picture, 1602);
    picture->setFixedSize(kPictureSize);
    picture->setScaledContents(true);
    grid->addWidget(picture, 1, 2, 2, 1, Qt::AlignTop);
    m_pictureFrame = picture;

    // Picture 441 at (20, 20)-(68, 68).
    auto* warning = new QLabel(client);
    warning->setGeometry(20, 20, 48, 48);
    warning->setPixmap(lumora::LoadResourceImage(441, QStringLiteral("PNG"), QSize(48, 48), devicePixelRatioF()));

    auto* buttons = new QDialogButtonBox(client);
    QPushButton* ok = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    lumora::SetControlId(ok, 1);
    QPushButton* cancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    lumora::SetControlId(cancel, 2);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &CDlgExist::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    ApplyDialogTexts(this, 1113);
    const QImage existing = LoadExistingPicture(platform::JoinPath(m_parentFolder, m_name));
    if (!existing.isNull())
        picture->setPixmap(QPixmap::fromImage(existing.scaled(kPictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    resize(520, 260);
}

void CDlgExist::accept()
{
    if (m_overwrite->isChecked()) {
        QDialog::accept();
        return;
    }
    const std::wstring name = m_nameEdit->text().trimmed().toStdWString();
    if (!IsPlainFolderName(name)) {
        ShowMessageBox(this, Lang::LoadLangString(417) + L": '" + name + L"'");
        return;
    }
    const std::wstring folder = platform::JoinPath(m_parentFolder, name);
    errno = 0;
    if (mkdir(platform::NativePath(folder).c_str(), 0777) != 0) {
        ShowMessageBox(this, SystemErrorMessage(errno ? errno : EIO));
        return;
    }
    m_name = name;
    QDialog::accept();
}

namespace {

std::function<bool(const std::wstring&, std::wstring&)>& ExistingTargetHandler()
{
    static std::function<bool(const std::wstring&, std::wstring&)> handler;
    return handler;
}

}  // namespace

bool AskExistingTarget(QWidget* parent, const std::wstring& parentFolder, std::wstring& name)
{
    if (ExistingTargetHandler())
        return ExistingTargetHandler()(parentFolder, name);
    CDlgExist dialog(parentFolder, name, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    name = dialog.GetName();
    return true;
}

void SetExistingTargetHandler(std::function<bool(const std::wstring&, std::wstring&)> handler)
{
    ExistingTargetHandler() = std::move(handler);
}
