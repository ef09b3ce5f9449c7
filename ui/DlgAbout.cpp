#include "DlgAbout.h"

#include "lumora/ControlId.h"
#include "lumora/Lang.h"
#include "lumora/Label.h"
#include "ui/DialogTexts.h"
#include "ui/EditorAddresses.h"
#include "ui/MessageBox.h"
#include "update/FileVersion.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cwchar>

#ifndef KELVANE_SPECIAL_BUILD
#define KELVANE_SPECIAL_BUILD "0"
#endif

namespace {

constexpr wchar_t kNoticeChinese[] = L"© Merokai 保留所有权利。";
constexpr wchar_t kNoticeEnglish[] = L"© Merokai. All rights reserved.";

}  // namespace

std::wstring CDlgAbout::VersionLine(const std::wstring& fileVersion, const std::wstring& build)
{
    const wchar_t separator = fileVersion.find(L',') != std::wstring::npos ? L',' : L'.';
    int numbers[2] = {0, 0};
    size_t start = 0;
    for (int i = 0; i < 2 && start <= fileVersion.size(); ++i) {
        const size_t end = fileVersion.find(separator, start);
        const std::wstring part = fileVersion.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        numbers[i] = static_cast<int>(std::wcstol(part.c_str(), nullptr, 10));
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return std::wstring(kMessageBoxTitle) + L"  Version " + std::to_wstring(numbers[0]) + L"." +
           std::to_wstring(numbers[1]) + L" Build " + build;
}

CDlgAbout::CDlgAbout(QWidget* parent) : CMyPopDialog(100, 128, 0, parent, 1)
{
    QWidget* client = ClientWidget();
    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(24, 20, 24, 18);
    layout->setSpacing(18);

    auto* icon = new QLabel(client);
    icon->setPixmap(QIcon(":/kelvane/icons/kelvane.svg").pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    layout->addWidget(icon);

    auto* lines = new QVBoxLayout;
    lines->setSpacing(8);
    auto* title = new CLabel(client);
    lumora::SetControlId(title, 1137);
    title->SetText(QString::fromStdWString(VersionLine(GetFileVersionText(), QString(KELVANE_SPECIAL_BUILD).toStdWString())));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* notice = new CLabel(client);
    lumora::SetControlId(notice, 1148);
    notice->SetText(QString::fromWCharArray(Lang::GetCurLanguage() == kChineseLanguageName ? kNoticeChinese : kNoticeEnglish));
    auto* link = new CLabel(client);
    lumora::SetControlId(link, 1149);
    const QString home = QString::fromStdWString(GetHomePageAddress());
    link->SetText(home);
    link->SetFontUnderline(true);
    link->SetLink(true, home);
    auto* ok = new QPushButton(client);
    lumora::SetControlId(ok, 1);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    lines->addWidget(title);
    lines->addWidget(notice);
    lines->addWidget(link);
    lines->addStretch(1);
    lines->addWidget(ok, 0, Qt::AlignRight);
    layout->addLayout(lines, 1);
    ApplyDialogTexts(this, 100);
    // Return closes the box at once; Tab reaches the link.
    ok->setFocus();
}
