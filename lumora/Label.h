#pragma once
// A static text in its own colour and font on a transparent background; as
// a link it shows the hand cursor and a click opens the target (or its own
// text) with the shell's "open" verb (lumora::ShellOpen). Setters return the
// label for chaining.
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
    QString LinkTarget() const { return m_target; }
    uint32_t TextColor() const { return m_textColor; }

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void UpdateCursor();

    uint32_t m_textColor;
    bool m_link = false;
    bool m_notify = false;
    bool m_hover = false;
    QString m_target;
    std::optional<QCursor> m_linkCursor;
};
