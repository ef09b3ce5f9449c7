#pragma once
// The Shots page: the set's camera presets as a strip of thumbnails, and the
// selected shot's name, pan, zoom and rotation.
#include "ui/WndEditorBase.h"

class CWndEditorShot : public CWndEditorBase {
public:
    CWndEditorShot(QWidget* parent, CDlgEditor* editor);
    void MarkInvalid(int index) override;
    bool Validate(std::wstring& message, int& index) override;
};
