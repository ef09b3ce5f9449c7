#pragma once
// The file and folder choosers of the editor. Filters are written as the
// program writes them ("vMix Studio(*.xml)|*.xml||"). Tests replace the
// choosers by handlers that answer without a window.
#include <functional>
#include <string>

class QWidget;

struct FileDialogRequest {
    bool save = false;
    std::wstring filter;
    std::wstring defaultExtension;  // "bmp", without the dot
    std::wstring defaultName;
    std::wstring initialFolder;
    // The chooser's name for the folder it is remembered to have ended in:
    // that folder opens when the request names none (or one that is gone).
    std::wstring folderKey;
};

// The chosen file's path, or empty when the user cancelled.
std::wstring ChooseFile(QWidget* parent, const FileDialogRequest& request);
// The chosen folder, or empty. With a key the chooser starts where the
// chooser of that name last ended, and remembers where this one ends.
std::wstring ChooseFolder(QWidget* parent, const std::wstring& title, const std::wstring& folderKey = {});

// "Name(*.a;*.b)|*.a;*.b||" as Qt's filter list "Name(*.a;*.b) (*.a *.b)".
std::wstring QtFilterFromProgramFilter(const std::wstring& filter);

using FileChooser = std::function<std::wstring(QWidget*, const FileDialogRequest&)>;
using FolderChooser = std::function<std::wstring(QWidget*, const std::wstring& title)>;
// Where a folder chooser with this key starts (for the handlers of tests).
std::wstring FolderChooserStart(const std::wstring& folderKey);
void SetFileChooser(FileChooser chooser);
void SetFolderChooser(FolderChooser chooser);
