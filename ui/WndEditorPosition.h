#pragma once
// The Layers page: the set's layers, and the selected layer's files, flags,
// position, scale, rotation and crop.
#include "ui/WndEditorBase.h"

class CWndEditorPosition : public CWndEditorBase {
public:
    CWndEditorPosition(QWidget* parent, CDlgEditor* editor);
    void MarkInvalid(int index) override;
    bool Validate(std::wstring& message, int& index) override;
    // The selected layer one place up or down the stack.
    void MoveLayerUp();
    void MoveLayerDown();
};
