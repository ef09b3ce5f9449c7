#pragma once
#include <QString>
// The bar across the top of the editor: the slogan, three product links and
// the update state. Its worker thread runs the update check; the results
// come back to the bar as UM_UPDATE_STATUS messages, so the check never
// holds up the user-interface thread.
#include "lumora/MyDialog.h"
#include "platform/MyThread.h"
#include "platform/WindowMessage.h"
#include "update/UpdateCheck.h"
#include "update/UpdateInfo.h"

#include <atomic>
#include <mutex>
#include <string>

class CLabel;
class CMessageTarget;

// wParam: manual flag x 0x10000 + state (UpdateState); lParam unused, the
// update information stays in the bar.
inline constexpr unsigned UM_UPDATE_STATUS = WM_USER + 136;

inline constexpr int IDC_TOP_SLOGAN = 1606;
inline constexpr int IDC_TOP_VMIX = 1607;
inline constexpr int IDC_TOP_TOLVENAR = 1608;
inline constexpr int IDC_TOP_SUPPORT = 1609;
inline constexpr int IDC_TOP_STATUS = 1610;

class CWndTop : public CMyDialog, public CMyThread {
public:
    explicit CWndTop(QWidget* parent);
    ~CWndTop() override;

    // The update check, automatic (false) or asked for from the menu (true).
    // A request while a check runs makes that check report as asked.
    void StartUpdateCheck(bool manual);
    // Ends a running check (within a second) and drops its result.
    void StopUpdateCheck();
    // The update dialog with the last downloaded manifest; nothing without one.
    void ShowRecentUpdates();

    // The manifest address; empty (the default) means the address for the
    // current interface language.
    void SetManifestAddress(std::wstring address);

    HWND MessageWindow() const;
    // The state last shown (0 before any check) and the update it offered.
    int LastState() const { return m_lastState; }
    UpdateInfo LastUpdateInfo() const;
    CLabel* StatusLabel() const { return m_status; }

    bool OnInitDialog() override;
    int ThreadMain() override;

    static WPARAM StatusParam(bool manual, int state) { return (manual ? 0x10000u : 0u) + static_cast<unsigned>(state); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CLabel* MakeLabel(int id);
    void MakeLink(CLabel* label, const std::wstring& address);
    void LayoutLabels();
    void SetLabelText(int index, const QString& text);
    LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam);
    void OnUpdateStatus(bool manual, int state);
    void ShowStatus(int state, bool manual);
    void OnStatusClicked();
    void ShowUpdateDialog(bool updateAvailable, const UpdateInfo& info);
    void PostStatus(int state);
    std::wstring ManifestAddress() const;

    CMessageTarget* m_messages;
    CLabel* m_labels[5] = {};
    // What each label says in full; a narrow bar shows them cut with "…".
    QString m_fullTexts[5];
    bool m_textsTaken = false;
    CLabel* m_status = nullptr;

    std::atomic<bool> m_manual{false};
    std::atomic<bool> m_stopRequested{false};
    int m_lastState = 0;
    bool m_dialogOpen = false;

    mutable std::mutex m_infoMutex;  // the worker writes, the user-interface thread reads
    UpdateInfo m_info;
    std::wstring m_manifestAddress;  // as set; empty for the language's
    std::wstring m_checkAddress;     // what the running check fetches
    std::wstring m_updateFolder;
};
