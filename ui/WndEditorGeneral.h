#pragma once
// The General page: the set's file, its name and its thumbnail.
#include "ui/WndEditorBase.h"

#include <QImage>
#include <QRect>

class CGdipButton;
class CGdiplusButton;
class CLabel;
class QLineEdit;

class CWndEditorGeneral : public CWndEditorBase {
public:
    CWndEditorGeneral(QWidget* parent, CDlgEditor* editor);

    bool OnInitDialog() override;
    void Refresh() override;
    void MarkInvalid(int index) override;
    bool Validate(std::wstring& message, int& index) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

    // Takes this picture as the set's thumbnail (a chosen or captured file).
    void UseThumbnail(const std::wstring& path);
    const std::wstring& ShownThumbnail() const { return m_thumbnail; }
    QRect ThumbnailRect() const { return m_thumbnailRect; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void CreateControls();
    void OnNameEdited();
    void ChooseThumbnail();
    void CaptureThumbnail();
    void ColourLabels();
    void ShowThumbnail(const std::wstring& path);

    CLabel* m_fileLabel;
    CLabel* m_nameLabel;
    CLabel* m_thumbnailLabel;
    QLineEdit* m_fileEdit;
    QLineEdit* m_nameEdit;
    QLineEdit* m_thumbnailEdit;
    CGdiplusButton* m_chooseButton;
    CGdipButton* m_captureButton;
    std::wstring m_thumbnail;
    QImage m_thumbnailImage;
    QRect m_thumbnailRect{40, 140, 320, 180};
    bool m_loading = false;
};

// Whether a set name can become the set's folder name inside the chosen
// parent folder; empty names and "unnamed" cannot.
bool IsUsableSetName(const std::wstring& name);
