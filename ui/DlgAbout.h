#pragma once
// The about box: the program's name, version and build, the maker's notice
// and a link to the home page.
#include "lumora/MyPopDialog.h"

#include <string>

class CDlgAbout : public CMyPopDialog {
public:
    explicit CDlgAbout(QWidget* parent = nullptr);

    // "Zantrel  Version 1.2 Build 0" for file version 1.2.0.0.
    static std::wstring VersionLine(const std::wstring& fileVersion, const std::wstring& build);
};
