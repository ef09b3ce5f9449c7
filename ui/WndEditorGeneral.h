#pragma once
// The General page: the set's file, its name and its thumbnail.
#include "ui/WndEditorBase.h"

class CWndEditorGeneral : public CWndEditorBase {
public:
    CWndEditorGeneral(QWidget* parent, CDlgEditor* editor);
    void MarkInvalid(int index) override;
    bool Validate(std::wstring& message, int& index) override;
};
