#pragma once
// The gallery: one of every Lumora frame and control in its states, laid out
// like an editor window (top bar, list panel, splitter, tabbed page).
#include "lumora/MyPopDialog.h"

#include <vector>

class CMyDialog;
class CMyListCtrl;
class CMySplitWnd;
class CMyTabCtrl;
class CGdipButton;
class CGdiplusButton;
class QAbstractButton;
class QWidget;

class GalleryWindow : public CMyPopDialog {
public:
    GalleryWindow();

    // Makes the current language the one named and translates every part.
    void SwitchLanguage(const QString& name);
    // Puts the hover and pressed looks on the buttons that show them.
    void ShowStates();

protected:
    void OnSize(int width, int height) override;
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnMenuPopup(QMenu* menu) override;

private:
    void BuildTopBar();
    void BuildSidePanel();
    void BuildPage();
    QWidget* BuildPictureButtons(QWidget* parent);
    QWidget* BuildTextButtons(QWidget* parent);
    QWidget* BuildLabels(QWidget* parent);
    QWidget* BuildFrames(QWidget* parent);
    void FillList();
    void TranslateTexts();

    CMyDialog* m_top = nullptr;
    CMyDialog* m_side = nullptr;
    CMyDialog* m_page = nullptr;
    CMyListCtrl* m_list = nullptr;
    CMySplitWnd* m_split = nullptr;
    CMyTabCtrl* m_tabs = nullptr;
    CMyPopDialog* m_about = nullptr;
    std::vector<QAbstractButton*> m_hovered;
    std::vector<QAbstractButton*> m_pressed;
    std::vector<CGdipButton*> m_topButtons;
    int m_sideWidth = 340;
};
