#pragma once
// A static text in its own colour and font on a transparent background; as
// a link it shows the hand cursor and a click opens the target (or its own
// text) with the shell's "open" verb (lumora::ShellOpen). Setters return the
// label for chaining. A label that acts on a click (a link, or one that
// notifies) takes the keyboard focus, shows it with the skin's ring, and acts
// on Return and Space as on a click; screen readers see it as a link with a
// "press" action.
#include "lumora/LumoraApi.h"

#include <QCursor>
#include <QLabel>
#include <cstdint>
#include <optional>

class LUMORA_API CLabel : public QLabel {
    Q_OBJECT
public:
    explicit CLabel(QWidget* parent = nullptr);
    explicit CLabel(const QString& text, QWidget* parent = nullptr);

    CLabel& SetText(const QString& text);
    // Windows colour value 0x00BBGGRR.
    CLabel& SetTextColor(uint32_t color);
    CLabel& SetFontUnderline(bool underline);
    CLabel& SetFontBold(bool bold);
    CLabel& SetFontSize(int points);
    // Link mode with the target (empty: the label's own text); sets notify.
    CLabel& SetLink(bool link, const QString& target = {});
    CLabel& SetLinkCursor(const QCursor& cursor);
    // Clicks reach the owner as WM_COMMAND (STN_CLICKED) and Clicked.
    CLabel& SetNotify(bool notify);

    bool IsLink() const { return m_link; }
    // A click does something: the label is a link or notifies its owner.
    bool IsClickable() const { return m_link || m_notify; }
    // What a click does.
    void Activate();
    QString LinkTarget() const { return m_target; }
    uint32_t TextColor() const { return m_textColor; }

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void UpdateCursor();
    void UpdateFocusPolicy();

    uint32_t m_textColor;
    bool m_link = false;
    bool m_notify = false;
    bool m_hover = false;
    QString m_target;
    std::optional<QCursor> m_linkCursor;
};
