#pragma once
// Holds one of the editor's right-hand pages and scrolls it when the window
// is lower than the page's rows. The pages place their controls themselves
// (rows appear and move as tabs change), so the area watches them and keeps
// the page as tall as its lowest shown control.
#include <QScrollArea>

class CPageScrollArea : public QScrollArea {
public:
    // rowsWidth: the width the page's rows need; the scroll bar takes the
    // page's right margin.
    CPageScrollArea(QWidget* page, int rowsWidth, QWidget* parent);

    // The height the page's shown controls reach, with its bottom margin.
    int ContentHeight() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QObject* child);
    void UpdatePageHeight();

    QWidget* m_page;
    int m_rowsWidth;
    bool m_updating = false;
};
