#pragma once
// The chooser of a new set's layout: an empty set or one of the twelve
// multi-view templates. It drops down below the editor's New button.
#include "lumora/MyDialog.h"

#include <QRect>

class QAbstractButton;

class CDlgMultiView : public CMyDialog {
public:
    // selected: -1 for an empty set, 0 … 11 for a template.
    CDlgMultiView(int selected, QWidget* parent = nullptr);

    int GetSelected() const { return m_selected; }
    // The dialog's place on the screen: its top-left corner is kept, its
    // size follows its content.
    void MoveTo(const QRect& screenRect);
    QAbstractButton* ButtonFor(int index) const;

    // Enter takes the focused picture (or the checked one); Escape leaves
    // without a choice.
    void OnOK() override;
    void OnCancel() override;

private:
    void Choose(int index);

    int m_selected;
    QAbstractButton* m_buttons[13] = {};
};
