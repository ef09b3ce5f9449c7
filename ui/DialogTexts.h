#pragma once
// A dialog or menu built in code gets its default captions from the
// program's templates, then the current language's.
#include <memory>
#include <vector>

class QMenu;
class QWidget;

void ApplyDialogTexts(QWidget* dialog, int dialogId);

// The program's menu resources as the frames load them: a menu whose first
// sub-menu is the menu itself (128: the main window's title-bar menu).
std::unique_ptr<QMenu> LoadProgramMenu(int menuId);
// The command ids of a menu resource in their order; 0 marks a separator.
std::vector<int> ProgramMenuCommands(int menuId);
// The same, translated into the current language.
std::unique_ptr<QMenu> LoadTranslatedMenu(int menuId);
// The items of a menu resource: its first sub-menu.
QMenu* MenuItems(QMenu* menuResource);
