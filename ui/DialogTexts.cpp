#include "DialogTexts.h"

#include "app/ResourceTexts.h"
#include "lumora/ControlId.h"
#include "lumora/DialogControls.h"
#include "lumora/Lang.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace {

void SetDefaultText(QWidget* control, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
}

}  // namespace

void ApplyDialogTexts(QWidget* dialog, int dialogId)
{
    if (const std::wstring title = ResourceDialogTitle(dialogId); !title.empty())
        dialog->setWindowTitle(QString::fromStdWString(title));
    for (QWidget* control : lumora::DialogControls(dialog)) {
        const std::optional<int> id = lumora::GetControlId(control);
        if (!id)
            continue;
        if (const std::wstring text = ResourceDialogText(dialogId, *id); !text.empty())
            SetDefaultText(control, QString::fromStdWString(text));
    }
    Lang::LoadDialogLangStrings(dialog, dialogId);
}

void FillMenu(QMenu* menu, int menuId, std::initializer_list<int> commands)
{
    for (int command : commands) {
        QAction* action = menu->addAction(QString::fromStdWString(ResourceMenuText(menuId, command)));
        lumora::SetControlId(action, command);
    }
    Lang::LoadMenuLangStrings(menu, menuId);
}
