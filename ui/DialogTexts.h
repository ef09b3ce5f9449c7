#pragma once
// A dialog or menu built in code gets its default captions from the
// program's templates, then the current language's.
#include <initializer_list>

class QMenu;
class QWidget;

void ApplyDialogTexts(QWidget* dialog, int dialogId);
// Adds one action per command (its caption from menu menuId), then translates them.
void FillMenu(QMenu* menu, int menuId, std::initializer_list<int> commands);
