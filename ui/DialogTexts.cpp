#include "DialogTexts.h"

#include "app/ResourceTexts.h"
#include "lumora/ControlId.h"
#include "lumora/Lang.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <vector>

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

// The dialog's own controls: nested dialogs have their own texts.
void CollectControls(QWidget* widget, std::vector<QWidget*>& controls)
{
    for (QObject* object : widget->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || lumora::GetTemplateId(child))
            continue;
        if (lumora::GetControlId(child))
            controls.push_back(child);
        CollectControls(child, controls);
    }
}

}  // namespace

void ApplyDialogTexts(QWidget* dialog, int dialogId)
{
    if (const std::wstring title = ResourceDialogTitle(dialogId); !title.empty())
        dialog->setWindowTitle(QString::fromStdWString(title));
    std::vector<QWidget*> controls;
    CollectControls(dialog, controls);
    for (QWidget* control : controls) {
        const std::optional<int> id = lumora::GetControlId(control);
        if (!id)
            continue;
        if (const std::wstring text = ResourceDialogText(dialogId, *id); !text.empty())
            SetDefaultText(control, QString::fromStdWString(text));
    }
    Lang::LoadDialogLangStrings(dialog, dialogId);
}

std::unique_ptr<QMenu> LoadTranslatedMenu(int menuId)
{
    std::unique_ptr<QMenu> menu = LoadProgramMenu(menuId);
    Lang::LoadMenuLangStrings(menu.get(), menuId);
    return menu;
}

QMenu* MenuItems(QMenu* menuResource)
{
    const QList<QAction*> actions = menuResource ? menuResource->actions() : QList<QAction*>();
    return actions.isEmpty() ? nullptr : actions.front()->menu();
}

std::unique_ptr<QMenu> LoadProgramMenu(int menuId)
{
    auto bar = std::make_unique<QMenu>();
    QMenu* menu = bar->addMenu(QString());
    for (int command : ProgramMenuCommands(menuId)) {
        if (command == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromStdWString(ResourceMenuText(menuId, command)));
        lumora::SetControlId(action, command);
    }
    return bar;
}

std::vector<int> ProgramMenuCommands(int menuId)
{
    switch (menuId) {
    case 128: return {32874, 0, 32877, 32878, 0, 32816};
    case 431: return {32872, 0, 32866, 32865, 0, 32868, 32867};
    case 432: return {32870, 32869, 0, 32880};
    default: return {};
    }
}
