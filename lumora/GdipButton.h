#pragma once
// A picture button: its standard picture (the alternate one while toggled),
// pressed, hover, checked and disabled (grey) looks, an optional text right
// of the picture, a tooltip, and auto-repeat. A click sends the owner
// WM_COMMAND with the button's control id (and emits clicked()); so do
// Space and Return while it has the focus, which its ring shows.
#include "lumora/LumoraApi.h"

#include <QAbstractButton>
#include <QPixmap>
#include <QTimer>

class LUMORA_API CGdipButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CGdipButton(QWidget* parent = nullptr);

    // Loads a picture of the resources (ResourceImage.h) and sizes the button
    // to it; false when there is none.
    bool LoadStdImage(int id, const QString& type = QStringLiteral("PNG"));
    // The alternate picture; it allows toggling.
    bool LoadAltImage(int id, const QString& type = QStringLiteral("PNG"));
    // Only after LoadAltImage: each click switches between the two pictures.
    void EnableToggle(bool enable);
    bool IsToggled() const { return m_toggled; }
    void SetCheck(bool checked);
    bool GetCheck() const { return m_checked; }
    // True for toggles and for buttons whose owner marks them checked.
    bool HasOnOffState() const { return m_toggleEnabled || m_checkUsed; }
    // Empty text is ignored.
    void SetToolTipText(const QString& text, bool activate = true);
    // While held down the owner gets the command every interval.
    void SetAutoRepeat(bool repeat, int intervalMs = 100);
    bool IsHovered() const { return m_hover; }
    QSize ImageSize() const { return m_imageSize; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPixmap Picture(int id) const;
    void SendCommand();
    void OnClicked();

    int m_stdImage = 0;
    int m_altImage = 0;
    QString m_type = QStringLiteral("PNG");
    QString m_altType = QStringLiteral("PNG");
    QSize m_imageSize;
    bool m_hover = false;
    bool m_checked = false;
    bool m_checkUsed = false;
    bool m_toggleEnabled = false;
    bool m_toggled = false;
    bool m_repeat = false;
    QTimer m_hoverTimer;
    QTimer m_repeatTimer;
};
