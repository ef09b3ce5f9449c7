#include "LibraryTestHooks.h"

#include "ui/MessageBox.h"
#include "ui/ShellDialogs.h"
#include "lumora/ShellOpen.h"

namespace librarytest {

void AnswerDialogs(DialogAnswers* answers)
{
    if (!answers) {
        SetMessageBoxHandler({});
        SetFolderChooser({});
        lumora::SetShellOpenHandler({});
        return;
    }
    SetMessageBoxHandler([answers](QWidget*, const std::wstring& text, int type) {
        answers->questions.push_back({text, type});
        return answers->yes ? IDYES : IDNO;
    });
    SetFolderChooser([answers](QWidget*, const std::wstring&) { return answers->folder; });
    lumora::SetShellOpenHandler([answers](const QString& target) {
        answers->opened.push_back(target.toStdWString());
        return true;
    });
}

int YesNoDefaultNoFlags() { return MB_YESNO | MB_DEFBUTTON2; }

}  // namespace librarytest
