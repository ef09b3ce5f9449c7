#pragma once
// The three pages of the editor's tab: General (name and thumbnail), Layers
// and Shots.
#include "ui/WndEditorBase.h"

class CWndEditorGeneral : public CWndEditorBase {
public:
    CWndEditorGeneral(QWidget* parent, CDlgEditor* editor);
    void MarkInvalid(int index) override;
    bool Validate(std::wstring& message, int& index) override;
};

class CWndEditorPosition : public CWndEditorBase {
public:
    CWndEditorPosition(QWidget* parent, CDlgEditor* editor);
    void MarkInvalid(int index) override;
    bool Validate(std::wstring& message, int& index) override;
    // The selected layer one place up or down the stack.
    void MoveLayerUp();
    void MoveLayerDown();
};

class CWndEditorShot : public CWndEditorBase {
public:
    CWndEditorShot(QWidget* parent, CDlgEditor* editor);
    void MarkInvalid(int index) override;
    bool Validate(std::wstring& message, int& index) override;
};
