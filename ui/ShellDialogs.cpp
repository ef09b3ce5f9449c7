#include "ShellDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QStringList>

namespace {

FileChooser& FileHandler()
{
    static FileChooser handler;
    return handler;
}

FolderChooser& FolderHandler()
{
    static FolderChooser handler;
    return handler;
}

}  // namespace

std::wstring QtFilterFromProgramFilter(const std::wstring& filter)
{
    const QStringList parts = QString::fromStdWString(filter).split(u'|', Qt::SkipEmptyParts);
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        entries << parts[i] + QStringLiteral(" (") + patterns + QStringLiteral(")");
    }
    return entries.join(QStringLiteral(";;")).toStdWString();
}

std::wstring ChooseFile(QWidget* parent, const FileDialogRequest& request)
{
    if (FileHandler())
        return FileHandler()(parent, request);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QString::fromStdWString(QtFilterFromProgramFilter(request.filter)));
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromStdWString(request.defaultExtension));
    if (!request.initialFolder.empty() && QDir(QString::fromStdWString(request.initialFolder)).exists())
        dialog.setDirectory(QString::fromStdWString(request.initialFolder));
    if (!request.defaultName.empty())
        dialog.selectFile(QString::fromStdWString(request.defaultName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front().toStdWString();
}

std::wstring ChooseFolder(QWidget* parent, const std::wstring& title)
{
    if (FolderHandler())
        return FolderHandler()(parent, title);
    const QString start = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString folder = QFileDialog::getExistingDirectory(parent, QString::fromStdWString(title), start,
                                                             QFileDialog::ShowDirsOnly);
    return folder.toStdWString();
}

void SetFileChooser(FileChooser chooser) { FileHandler() = std::move(chooser); }
void SetFolderChooser(FolderChooser chooser) { FolderHandler() = std::move(chooser); }
