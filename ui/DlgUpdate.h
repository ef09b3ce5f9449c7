#pragma once
// The update dialog: the offered version with its size and date, the release
// notes, and the action button that opens the installer's address in the
// desktop's browser when an update is available.
#include "lumora/MyPopDialog.h"
#include "update/UpdateInfo.h"

#include <string>

class QLabel;
class QPushButton;
class QTextBrowser;

inline constexpr int IDC_UPDATE_VERSION_CAPTION = 1174;
inline constexpr int IDC_UPDATE_VERSION = 1470;
inline constexpr int IDC_UPDATE_NOTES_CAPTION = 1176;
inline constexpr int IDC_UPDATE_NOTES = 1017;
inline constexpr int IDC_UPDATE_PICTURE = 3;
inline constexpr int IDC_UPDATE_ACTION = 1012;

class CDlgUpdate : public CMyPopDialog {
public:
    CDlgUpdate(bool updateAvailable, const UpdateInfo& info, QWidget* parent = nullptr);

    // String 115 with the version (two decimals and a point in every
    // locale), the size and the release date.
    static std::wstring VersionLine(const UpdateInfo& info);
    // "1.30" for 130; the point whatever the locale.
    static std::wstring VersionText(int32_t version);

    bool OnInitDialog() override;
    // Opens the installer's address when an update is available, then closes.
    void OnAction();

    // True when the action button opens the source address: an update is
    // available and the address is http or https.
    bool OpensSource() const { return m_updateAvailable && m_sourceOpens; }

private:
    void BuildControls();

    bool m_updateAvailable;
    bool m_sourceOpens;
    UpdateInfo m_info;
    QLabel* m_version = nullptr;
    QTextBrowser* m_notes = nullptr;
    QLabel* m_source = nullptr;
    QPushButton* m_action = nullptr;
};
