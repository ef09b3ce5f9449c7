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
    const std::wstring text = Lang::LoadLangString(id);  // lang-ids: 902 903 904
    return text.empty() ? QString::fromUtf8(fallback) : QString::fromStdWString(text);
}

int ShowQtMessageBox(QWidget* parent, const std::wstring& text, int type)
{
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromWCharArray(kMessageBoxTitle));
    box.setText(QString::fromStdWString(text));
    const int buttons = type & 0xFFFF & ~MB_DEFBUTTON2;
    if (type == MB_SAVEDISCARDCANCEL) {
        box.setIcon(QMessageBox::Question);
        QPushButton* save = box.addButton(Text(902, "Save"), QMessageBox::AcceptRole);
        QPushButton* discard = box.addButton(Text(903, "Don't Save"), QMessageBox::DestructiveRole);
        QPushButton* cancel = box.addButton(Text(904, "Cancel"), QMessageBox::RejectRole);
        box.setDefaultButton(save);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == save)
            return IDYES;
        return box.clickedButton() == discard ? IDNO : IDCANCEL;
    }
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) {
        box.setIcon(QMessageBox::Question);
        QMessageBox::StandardButtons set = QMessageBox::Yes | QMessageBox::No;
        if (buttons == MB_YESNOCANCEL)
            set |= QMessageBox::Cancel;
        box.setStandardButtons(set);
        box.setDefaultButton((type & MB_DEFBUTTON2) ? QMessageBox::No : QMessageBox::Yes);
        const int answer = box.exec();
        if (answer == QMessageBox::Yes)
            return IDYES;
        return answer == QMessageBox::No ? IDNO : IDCANCEL;
    }
    box.setIcon(QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
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
