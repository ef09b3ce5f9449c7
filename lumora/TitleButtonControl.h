#pragma once
// A title-bar button as a control of its own. The frame still draws the
// button and follows the pointer over it; this widget lies over the button,
// lets the pointer through, and is what the keyboard and screen readers
// reach: a named push button that takes the focus, shows it with the skin's
// ring, and acts on Space, Return and the "press" action.
#include "lumora/LumoraApi.h"

#include <QAbstractButton>

class LUMORA_API CTitleButtonControl : public QAbstractButton {
    Q_OBJECT
public:
    CTitleButtonControl(int buttonId, QWidget* frame);

    int ButtonId() const { return m_buttonId; }
    // The maximize button becomes restore and back; the name follows.
    void SetButtonId(int buttonId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_buttonId;
};

namespace lumora {

// What a title button is called: Menu, Minimise, Maximise, Restore Down, Close or
// OK, in the current language.
LUMORA_API QString TitleButtonName(int buttonId);

}  // namespace lumora
