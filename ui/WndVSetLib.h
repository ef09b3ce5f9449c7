#pragma once
// One page of the scene tab: the sets of one library (recent, Tolvenar or
// vMix) as large pictures or rows. It finds or asks for the library's folder,
// scans it off the window thread (rows appear as their thumbnails are
// ready), explains a set in a tooltip and opens it on a double-click by
// sending UM_OPEN_VIRTUAL_SET to the editor.
#include "lumora/MyDialog.h"
#include "platform/WindowMessage.h"
#include "ui/WaitCursor.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>

class CVSetListView;
class CVSetScanner;
class QLabel;
class QTabBar;
class QToolButton;

inline constexpr int IDD_VSETLIB = 386;
inline constexpr int IDC_VSETLIB_TABS = 1070;
inline constexpr int IDC_VSETLIB_LIST = 1071;
inline constexpr int IDC_VSETLIB_REFRESH = 1167;
inline constexpr int IDC_VSETLIB_REMOVE = 1168;
inline constexpr int IDC_VSETLIB_VIEW = 1170;
inline constexpr int IDC_VSETLIB_LINK = 1609;
inline constexpr int IDC_VSETLIB_FOLDER = 1610;

class CWndVSetLib : public CMyDialog {
public:
    // kind: kLibraryRecent, kLibraryTolvenar or kLibraryVmix.
    CWndVSetLib(int kind, HWND openTarget, QWidget* parent);
    ~CWndVSetLib() override;

    int Kind() const { return m_kind; }
    // Empty until known (always empty for the recent page).
    const std::wstring& LibraryFolder() const { return m_folder; }

    // Rescans when the folder is known (or for the recent page), else runs
    // the folder search. Showing the page and refresh do this.
    void ShowView();
    // The button commands and the folder label's click.
    void ToggleView();
    void RemoveSelected();
    void ChooseLibraryFolder();

    bool IsRowView() const;
    bool IsScanning() const;
    CVSetListView* List() const { return m_list; }
    QTabBar* SubTabs() const { return m_tabs; }
    QLabel* FolderLabel() const { return m_folderLabel; }
    QLabel* LinkLabel() const { return m_linkLabel; }
    // Told after every scan with the number of rows (tests wait on it).
    void SetScanFinishedHandler(std::function<void(int rows)> handler) { m_onScanFinished = std::move(handler); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void ApplyViewMode(bool rows);
    void Rescan();
    void SearchFolder();
    void ShowFolderMissing();
    void StartScan(const std::wstring& scanFolder);
    void OnEntriesReady();
    void OnScanFinished(int rows);
    void OpenRow(int row);
    void Layout();
    void SetFolderText(const QString& text);
    void ElideFolderText();

    int m_kind;
    HWND m_openTarget;
    std::wstring m_folder;
    std::wstring m_scannedFolder;
    QString m_folderText;
    std::wstring m_chosenFolder;  // a folder the user picked, kept once its scan lists a set
    bool m_linkShown = false;
    int m_restoreTopRow = -1;

    CVSetListView* m_list = nullptr;
    QTabBar* m_tabs = nullptr;
    QToolButton* m_viewButton = nullptr;
    QToolButton* m_removeButton = nullptr;
    QToolButton* m_refreshButton = nullptr;
    QLabel* m_linkLabel = nullptr;
    QLabel* m_folderLabel = nullptr;
    CVSetScanner* m_scanner = nullptr;
    std::unique_ptr<CWaitCursor> m_wait;
    std::function<void(int)> m_onScanFinished;
};
