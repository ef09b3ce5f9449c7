#pragma once
// A group frame drawn in the skin: a 1-pixel frame in COLOR_GROUPBOX_BORDER
// and its caption in COLOR_GROUPBOX_TEXT while it and its parent are enabled.
#include "lumora/LumoraApi.h"

#include <QGroupBox>

class LUMORA_API CMyGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit CMyGroupBox(QWidget* parent = nullptr);
    explicit CMyGroupBox(const QString& title, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
