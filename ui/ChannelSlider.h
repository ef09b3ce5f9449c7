#pragma once
// The slider of a numeric row. It moves over integer positions, but screen
// readers hear what the row's field shows: the value in the field's units,
// its range in those units, and the row's caption as its name.
#include "ui/SliderChannel.h"

#include <QSlider>

class QLabel;

class CChannelSlider : public QSlider {
public:
    CChannelSlider(const ChannelSpec& spec, QLabel* caption, QWidget* parent);

    // The row's value at the slider's position, and the position nearest a value.
    double Number() const;
    double NumberAt(int position) const;
    void SetNumber(double number);
    // The caption's text without its mnemonic mark.
    QString CaptionText() const;

protected:
    // The wheel moves the slider only once the user has put the focus on
    // it; otherwise it scrolls the page the rows stand on, so scrolling
    // past a row never changes its value.
    void wheelEvent(QWheelEvent* event) override;

private:
    ChannelSpec m_spec;
    QLabel* m_caption;
};
