#include "LibraryQuestions.h"

#include "lumora/Lang.h"
#include "ui/MessageBox.h"

bool AskRemoveFromRecent(QWidget* parent, const std::wstring& name)
{
    return ShowMessageBox(parent, Lang::FormatLangString(179, name), MB_YESNO | MB_DEFBUTTON2) == IDYES;
}
