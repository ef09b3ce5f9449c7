// The folder chooser's handler hook for this test program: the editor's own
// ShellDialogs.cpp does not build against this Qt yet, and the library tests
// only ever answer through a handler.
#include "ui/ShellDialogs.h"

namespace {
FolderChooser& Chooser()
{
    static FolderChooser chooser;
    return chooser;
}
}  // namespace

std::wstring ChooseFolder(QWidget* parent, const std::wstring& title)
{
    return Chooser() ? Chooser()(parent, title) : std::wstring();
}

void SetFolderChooser(FolderChooser chooser) { Chooser() = std::move(chooser); }
void SetFileChooser(FileChooser) {}
