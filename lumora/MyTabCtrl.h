#pragma once
// A tab bar drawn in the skin: the selected tab of an enabled bar in
// COLOR_TAB_CURITEM, the others in COLOR_TAB_ITEM, each with its optional
// picture and text. A change of tab sends the owner WM_NOTIFY with
// TCN_SELCHANGE (and emits currentChanged).
#include "lumora/LumoraApi.h"

#include <QTabBar>

class LUMORA_API CMyTabCtrl : public QTabBar {
    Q_OBJECT
public:
    explicit CMyTabCtrl(QWidget* parent = nullptr);

    int InsertItem(int index, const QString& text, int imageId = 0);
    int GetCurSel() const { return currentIndex(); }
    void SetCurSel(int index) { setCurrentIndex(index); }
    int GetItemCount() const { return count(); }
    void SetMinTabWidth(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;

private:
    int m_minTabWidth = 0;
};
