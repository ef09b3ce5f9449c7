#include "ShellDialogs.h"

#include "app/ProjectSettings.h"
#include "platform/FileUtil.h"
#include "ui/EditorWorkspace.h"

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

namespace {

std::wstring RememberedFolder(const std::wstring& key)
{
    const std::wstring folder = ChooserFolder(g_settings, key);
    return !folder.empty() && platform::FolderExists(folder) ? folder : std::wstring();
}

std::wstring AskForFile(QWidget* parent, const FileDialogRequest& request)
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

}  // namespace

std::wstring ChooseFile(QWidget* parent, const FileDialogRequest& request)
{
    FileDialogRequest asked = request;
    if (!request.folderKey.empty() && (asked.initialFolder.empty() || !platform::FolderExists(asked.initialFolder))) {
        if (std::wstring remembered = RememberedFolder(request.folderKey); !remembered.empty())
            asked.initialFolder = std::move(remembered);
    }
    const std::wstring chosen = AskForFile(parent, asked);
    if (!chosen.empty() && !request.folderKey.empty())
        SetChooserFolder(g_settings, request.folderKey, platform::FolderPart(chosen));
    return chosen;
}

std::wstring FolderChooserStart(const std::wstring& folderKey)
{
    const std::wstring remembered = RememberedFolder(folderKey);
    return remembered.empty() ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdWString() : remembered;
}

std::wstring ChooseFolder(QWidget* parent, const std::wstring& title, const std::wstring& folderKey)
{
    std::wstring folder;
    if (FolderHandler()) {
        folder = FolderHandler()(parent, title);
    } else {
        const QString start = QString::fromStdWString(FolderChooserStart(folderKey));
        folder = QFileDialog::getExistingDirectory(parent, QString::fromStdWString(title), start, QFileDialog::ShowDirsOnly)
                     .toStdWString();
    }
    if (!folder.empty() && !folderKey.empty())
        SetChooserFolder(g_settings, folderKey, folder);
    return folder;
}

void SetFileChooser(FileChooser chooser) { FileHandler() = std::move(chooser); }
void SetFolderChooser(FolderChooser chooser) { FolderHandler() = std::move(chooser); }
