#pragma once
// A text button drawn in the skin: a rounded frame, a vertical two-colour
// fill (reversed while pressed), an optional icon at the left and picture in
// the middle. When not clickable it never looks pressed. A click sends the
// owner WM_COMMAND with the button's control id (and emits clicked()); so do
// Space and Return while it has the focus, which its ring shows.
#include "lumora/LumoraApi.h"

#include <QAbstractButton>
#include <QIcon>

class LUMORA_API CGdiplusButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CGdiplusButton(QWidget* parent = nullptr);
    explicit CGdiplusButton(const QString& text, QWidget* parent = nullptr);

    // A picture of the resources drawn in the middle; false when there is none.
    bool SetImage(int id, const QString& type = QStringLiteral("PNG"));
    void SetIcon(const QIcon& icon);
    void SetClickable(bool clickable);
    bool IsClickable() const { return m_clickable; }
    void SetToolTipText(const QString& text, bool activate = true);
    bool IsHovered() const { return m_hover; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_image = 0;
    QString m_imageType;
    QIcon m_icon;
    bool m_clickable = true;
    bool m_hover = false;
};
