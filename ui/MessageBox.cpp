#include "MessageBox.h"

#include "lumora/Lang.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler;
    return handler;
}

QString Text(unsigned id, const char* fallback)
{
    const std::wstring text = Lang::LoadLangString(id);  // lang-ids: 902 903 904 950 951
    return text.empty() ? QString::fromUtf8(fallback) : QString::fromStdWString(text);
}

int ShowQtMessageBox(QWidget* parent, const std::wstring& text, int type)
{
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromWCharArray(kMessageBoxTitle));
    box.setText(QString::fromStdWString(text));
    const int buttons = type & 0xFFFF & ~MB_DEFBUTTON2;
    if (type == MB_SAVEDISCARDCANCEL || type == MB_RESTOREDISCARDLATER) {
        // lang-ids: 1042 1043 1044
        const bool restore = type == MB_RESTOREDISCARDLATER;
        box.setIcon(QMessageBox::Question);
        QPushButton* yes = box.addButton(restore ? Text(1042, "Restore") : Text(902, "Save"), QMessageBox::AcceptRole);
        QPushButton* no = box.addButton(restore ? Text(1043, "Discard") : Text(903, "Don't Save"),
                                        QMessageBox::DestructiveRole);
        QPushButton* cancel = box.addButton(restore ? Text(1044, "Later") : Text(904, "Cancel"), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == yes)
            return IDYES;
        return box.clickedButton() == no ? IDNO : IDCANCEL;
    }
    // The buttons speak the interface's language, as the question does.
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) {
        box.setIcon(QMessageBox::Question);
        QPushButton* yes = box.addButton(Text(950, "Yes"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(Text(951, "No"), QMessageBox::NoRole);
        QPushButton* cancel = buttons == MB_YESNOCANCEL ? box.addButton(Text(904, "Cancel"), QMessageBox::RejectRole) : nullptr;
        box.setDefaultButton((type & MB_DEFBUTTON2) ? no : yes);
        box.setEscapeButton(cancel ? cancel : no);
        box.exec();
        if (box.clickedButton() == yes)
            return IDYES;
        return box.clickedButton() == no ? IDNO : IDCANCEL;
    }
    box.setIcon(QMessageBox::Information);
    QPushButton* ok = box.addButton(Text(117, "OK"), QMessageBox::AcceptRole);  // lang-ids: 117
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return IDOK;
}

}  // namespace

int ShowMessageBox(QWidget* parent, const std::wstring& text, int type)
{
    if (Handler())
        return Handler()(parent, text, type);
    return ShowQtMessageBox(parent, text, type);
}

void SetMessageBoxHandler(MessageBoxHandler handler) { Handler() = std::move(handler); }
