#pragma once
// The skin's focus ring round a control that draws into a window of its own
// (the engine's preview): Qt cannot paint over such a window, so the ring is
// four thin native windows laid along its inner edges, shown while the
// control has the keyboard focus. It follows the control's place and size.
#include "lumora/LumoraApi.h"

#include <QObject>
#include <QPointer>
#include <array>

class QWidget;

class LUMORA_API CNativeFocusFrame : public QObject {
public:
    // The frame belongs to the control and goes with it.
    explicit CNativeFocusFrame(QWidget* control);

    bool IsShown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Update();

    QPointer<QWidget> m_control;
    std::array<QPointer<QWidget>, 4> m_edges;
};
