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
};

// The chosen file's path, or empty when the user cancelled.
std::wstring ChooseFile(QWidget* parent, const FileDialogRequest& request);
// The chosen folder, or empty.
std::wstring ChooseFolder(QWidget* parent, const std::wstring& title);

// "Name(*.a;*.b)|*.a;*.b||" as Qt's filter list "Name(*.a;*.b) (*.a *.b)".
std::wstring QtFilterFromProgramFilter(const std::wstring& filter);

using FileChooser = std::function<std::wstring(QWidget*, const FileDialogRequest&)>;
using FolderChooser = std::function<std::wstring(QWidget*, const std::wstring& title)>;
void SetFileChooser(FileChooser chooser);
void SetFolderChooser(FolderChooser chooser);
