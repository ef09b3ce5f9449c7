#pragma once
// The editor's one top-level window. It owns the engine, the preview, the
// open set and the panels; it lays them out, routes the engine's item signals
// to the panels and carries out the file commands.
#include "lumora/MyPopDialog.h"
#include "model/RecoveryJournal.h"
#include "model/SetContent.h"
#include "model/SourceInfo.h"
#include "platform/WindowMessage.h"
#include "ui/EditorLayout.h"

#include <array>
#include <map>
#include <memory>
#include <obs.hpp>
#include <string>
#include <vector>

class CEditorStatusLine;
struct CanvasHit;
class CGdipButton;
class CGdiplusButton;
class CMessageTarget;
class CMultiViewSource;
class CMySplitWnd;
class CRecoveryWriter;
class CMyTabCtrl;
class CWndEditorBase;
class CWndEditorGeneral;
class CWndEditorPosition;
class CWndEditorShot;
class CWndSence;
class CWndTop;
class InstanceBusyMark;
class ObsMain;
class ObsQtWindow;
class QMenu;
class QScrollArea;
class QTimer;
struct ClipInfo2_t;

// Frame menu commands.
inline constexpr int ID_ABOUT = 32816;
inline constexpr int ID_KEYBOARD_SHORTCUTS = 32890;
inline constexpr int ID_HOME_PAGE = 32874;
inline constexpr int ID_CHECK_UPDATES = 32877;
inline constexpr int ID_RECENT_UPDATES = 32878;
// Open menu 432 and save menu 431.
inline constexpr int ID_OPEN_VMIX = 32870;
inline constexpr int ID_OPEN_NATIVE = 32869;
inline constexpr int ID_OPEN_PSD = 32880;
inline constexpr int ID_SAVE = 32872;
inline constexpr int ID_SAVE_AS_VMIX = 32866;
inline constexpr int ID_SAVE_AS_NATIVE = 32865;
inline constexpr int ID_SAVE_TO_VMIX = 32868;
inline constexpr int ID_SAVE_TO_NATIVE = 32867;
inline constexpr int ID_LANGUAGE_FIRST = 800;
inline constexpr int ID_LANGUAGE_LAST = 850;
// The frame menu's video formats, in the order they are offered.
inline constexpr int ID_VIDEO_FORMAT_FIRST = 860;
inline constexpr int ID_VIDEO_FORMAT_LAST = 879;

// Control ids of dialog 392.
inline constexpr int IDC_EDITOR_TAB = 1070;
inline constexpr int IDC_NEW = 1603;
inline constexpr int IDC_OPEN = 1604;
inline constexpr int IDC_SAVE = 1605;
inline constexpr int IDC_STRETCH = 1591;
inline constexpr int IDC_FIT = 1592;
inline constexpr int IDC_UNDO = 1593;
inline constexpr int IDC_REDO = 1594;
inline constexpr int IDC_UP = 1136;
inline constexpr int IDC_DOWN = 1102;
inline constexpr int IDC_KEEP_RATIO = 1124;
inline constexpr int IDC_SNAPSHOT = 1077;
inline constexpr int IDC_SPLITTER = 110;

class CEditHistory;
class CDlgEditor : public CMyPopDialog {
public:
    explicit CDlgEditor(QWidget* parent = nullptr);
    ~CDlgEditor() override;

    // The window that receives the editor's messages (UM_OPEN_VIRTUAL_SET,
    // UM_PREVIEW_SCENE, the set's notifications).
    HWND MessageWindow() const;
    LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam);

    // All three panels accept their data; else the failing one is shown and
    // its message follows 100 ms later.
    bool ValidatePanels();
    // A bitmap of the open set in a new temporary file, or empty (message 210 shown).
    std::wstring ExportTempBitmap();
    // Runs a command of a menu or button by its id.
    void RunCommand(int id);
    // An edit made from a menu is a step of the history once the engine's
    // moves are in, without waiting for the next gesture.
    void RecordEditSoon();
    // The selection's part of the status line again (its layer renamed, say).
    void UpdateSelectionStatus();
    // Opens a set folder as UM_OPEN_VIRTUAL_SET does: 0 opened, -1 refused.
    int OpenSetFolder(std::wstring folder, int kind);
    // A set named on the command line or handed over by a second start: its
    // folder, "scene.tvn" or "config.xml". Brings the window to the front
    // first; anything else is no set (message 317).
    int OpenFromCommandLine(const std::wstring& path);
    // Whether the set of `setFolder` is the one open in the editor.
    bool IsOpenSet(const std::wstring& setFolder) const;
    // A set handed to the editor from outside (the command line, a second
    // start): the window comes forward at once, and the set opens as
    // OpenFromCommandLine opens it as soon as no dialog, menu, save or open
    // is running, so nothing is replaced under a running operation. An empty
    // path only brings the window forward.
    void RequestOpen(const std::wstring& path);
    // Restores the window when minimised (keeping it maximised when it was),
    // raises and activates it.
    void BringToFront();
    // A modal dialog or pop-up menu above the editor, or a save or an open,
    // is running.
    bool IsBusy() const;
    // Sets handed over that wait until the editor is no longer busy.
    size_t QueuedOpenCount() const { return m_queuedOpens.size(); }
    // Imports the Photoshop file as a new native set and opens it: 0, or -1
    // with a message.
    int ImportPsdFile(const std::wstring& psdFile);
    // Writes the template (or, for -1, an empty set) into the unnamed set
    // folder and opens it, as New does after its chooser.
    void OpenNewSet(int templateIndex);

    // The system asked the program to end (SIGTERM, SIGINT, SIGHUP): the
    // unsaved state goes into the recovery journal, open dialogs close, and
    // the editor ends through its normal shutdown without asking.
    void EndBySignal(int signal);
    // Offers, one after another, the recovery journals that editors no
    // longer running left behind: Restore, Discard or Later.
    void OfferRecoveryJournals();
    // The journal the open set's unsaved state is written to (empty when no
    // set is open), and the writer, for tests.
    const std::wstring& GetJournalFolder() const { return m_journalFolder; }
    CRecoveryWriter* GetRecoveryWriter() const { return m_recovery.get(); }

    // Whether the open set differs from what was last opened or saved.
    bool HasUnsavedChanges();
    // Asks Save / Discard / Cancel when there are unsaved changes; true when
    // the caller may go on.
    bool ConfirmDiscardChanges();

    CMultiViewSource* GetScene() const { return m_scene; }
    // The open set's undo history (Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y, the two
    // buttons beside the image buttons).
    CEditHistory* GetHistory() const { return m_history; }
    void Undo();
    void Redo();
    ObsQtWindow* GetPreview() const { return m_preview; }
    CEditorStatusLine* GetStatusLine() const { return m_statusLine; }
    // Puts back the workspace of the last session (the settings' workspace
    // values, read from Setting.xml at start); the editor keeps the current
    // one there when it ends.
    void RestoreWorkspace();
    const EditorLayout& GetLayout() const { return m_layout; }
    CWndTop* GetTopBar() const { return m_top; }
    CWndSence* GetSceneTab() const { return m_sceneTab; }
    CWndEditorBase* GetPanel(int index) const;
    CMyTabCtrl* GetTabControl() const { return m_tab; }
    QWidget* GetButton(int id) const;
    QWidget* GetSplitter() const;
    int GetLastTemplate() const { return m_lastTemplate; }
    // Whether the window maximises itself right after it is shown (tests keep a fixed size).
    void SetAutoMaximize(bool maximize);
    // Resizes the window so its client area has this size.
    void ResizeClientArea(int width, int height);

    void OnMenuPopup(QMenu* menu) override;
    void OnSize(int width, int height) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // Enter and Escape reaching the window itself do not end the editor.
    void OnOK() override {}
    void OnCancel() override {}

protected:
    void closeEvent(QCloseEvent* event) override;
    // Ends of gestures anywhere in the window: the edits they made become a step.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // While one lives the editor is busy (a save or an open runs), and a
    // second start is told so through the instance record.
    class BusyScope {
    public:
        explicit BusyScope(CDlgEditor& editor);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        CDlgEditor& m_editor;
        std::unique_ptr<InstanceBusyMark> m_mark;
    };

    void InitEngine();
    // An engine that did not start is shown once, after the window is up.
    void ReportEngineFailure();
    // Why the set did not open, for a failure after the format check.
    std::wstring OpenFailureText(const CMultiViewSource* scene, const std::wstring& folder) const;
    void OpenQueuedSets();
    void CreateSplitter();
    void CreatePreview();
    void CreateButtons();
    void CreatePanels();
    QScrollArea* MakePageArea(CWndEditorBase* page);
    void ShowPage(int index);
    void CreateFileShortcuts();
    void CreatePageShortcuts();
    // Ctrl+=, Ctrl+-, Ctrl+0 and Ctrl+1 zoom the preview from anywhere.
    void CreateViewShortcuts();
    void RunCommandFromKeys(int id);
    void ApplyKeepRatioSetting();
    void StartTimers();
    void ApplyLayout();
    void OnSplitterMoved(int delta);
    void OnTabChanged(int index);
    void ShowPendingValidation();
    void Shutdown();

    // Commands.
    void OnNew();
    void OnOpenMenu();
    void OnSaveMenu();
    void OnOpenByFile(int kind);
    // "Open a Photoshop file as a new set": the file's layers as a new native
    // set in the sets folder, opened with the file's hidden layers hidden.
    void OnOpenPsd();
    void OnSave();
    void OnSaveAs(int kind);
    void OnSaveToProgramFolder(int kind);
    void OnSnapshot();
    void OnKeepRatio();
    void OnLanguage(int id);
    // The frame menu's "Video format" submenu, and a choice made in it: the
    // engine's canvas changes, the open set and its unsaved edits stay.
    QMenu* MakeVideoFormatMenu(QWidget* parent);
    // The frame menu's "View" submenu: the zoom steps and the guides.
    QMenu* MakeViewMenu(QWidget* parent);
    void AddZoomEntries(QMenu* menu);
    void AddGuideEntries(QMenu* menu);
    // The line under the preview: pointer, selection, zoom and guides.
    void CreateStatusLine();
    // The preview's context menu for the layer under the pointer.
    void CreateCanvasMenu();
    void ShowCanvasMenu(const QPoint& global, const CanvasHit& hit);
    void StoreWorkspace();
    // Moves the splitter and its neighbours by the user's offset from the
    // layout's own place, within the splitter's range.
    void ApplySplitterOffset();
    void UpdateZoomStatus();
    void OnVideoFormat(int id);
    int ResetEngineVideo();
    void OnMoveLayer(bool up);
    int SaveSetTo(const std::wstring& parentFolder, int kind);
    void FollowSavedSet(const std::wstring& savedFolder, int kind);
    void ReportSaveResult(int result);

    // Messages.
    LRESULT OnOpenVirtualSet(ClipInfo2_t* entry, int kind);
    void OnPreviewScene(WPARAM which);
    void OnItemEvent(WPARAM what, obs_sceneitem_t* item);
    void OnMediaNotification(WPARAM object, LPARAM block);
    // Files dropped on the preview.
    void OnFilesDropped(const std::vector<std::wstring>& paths);
    // Sends UM_OPEN_VIRTUAL_SET for a folder; a path too long for the
    // request's field is refused with a message.
    void RequestOpenFolder(const std::wstring& folder, int kind);
    void DisconnectSignals();
    void InstallScene(CMultiViewSource* scene, std::unique_ptr<SourceInfo> info, const std::wstring& folder);
    void MarkSaved();
    void CreateHistory();
    void OnHistoryRestored();
    // Ends "Draw screen" on the Layers page; false when it was not on.
    bool EndDrawScreenFirst();
    void UpdateHistoryButtons();
    void UpdateTitle(const std::wstring& folder);

    // The recovery journal of the open set.
    void CreateRecovery();
    void StartJournal(const std::wstring& setFile, int kind);
    void EndJournal();
    void OnHistoryState(const std::shared_ptr<const SetSnapshot>& state, bool saved);
    // Journals of this set folder that no running editor writes.
    void OfferJournalsOf(const std::wstring& setFolder);
    // Asks about one journal and does what the user chose; false when the
    // offers should stop (the user kept the current set).
    bool OfferJournal(const std::wstring& journal, const JournalHeader& header);
    bool RestoreJournal(const std::wstring& journal, const JournalHeader& header);
    void ReportDamagedJournal(const std::wstring& journal, const std::wstring& why);
    void CloseModalWindows();

    static void PostItemEvent(void* data, calldata_t* cd, WPARAM what);
    static void OnItemTransformSignal(void* data, calldata_t* cd);
    static void OnItemSelectSignal(void* data, calldata_t* cd);

    // Members in the order they are built.
    CMyTabCtrl* m_tab = nullptr;
    CGdiplusButton* m_newButton = nullptr;
    CGdiplusButton* m_openButton = nullptr;
    CGdiplusButton* m_saveButton = nullptr;
    std::array<CGdipButton*, 6> m_imageButtons{};  // Stretch, Fit, Up, Down, Keep ratio, Snapshot
    std::array<CGdipButton*, 2> m_historyButtons{};  // Undo, Redo
    CMySplitWnd* m_splitter = nullptr;
    CWndTop* m_top = nullptr;
    CWndEditorGeneral* m_general = nullptr;
    CWndEditorPosition* m_position = nullptr;
    CWndEditorShot* m_shot = nullptr;
    CWndSence* m_sceneTab = nullptr;
    std::array<CWndEditorBase*, 3> m_panels{};
    std::array<QScrollArea*, 3> m_pageAreas{};

    struct PendingMessage {
        std::wstring text;
        int panel = -1;
        int item = -1;
    } m_pending;

    std::array<OBSSignal, 4> m_signals;
    ObsQtWindow* m_preview = nullptr;
    CEditorStatusLine* m_statusLine = nullptr;
    int m_splitterOffset = 0;
    EditorLayout m_layout;
    CMultiViewSource* m_scene = nullptr;
    ObsMain* m_engine = nullptr;
    bool m_ownsEngine = false;
    std::unique_ptr<SourceInfo> m_sceneInfo;
    int m_lastTemplate = -1;
    std::map<int, std::wstring> m_languages;

    CMessageTarget* m_messages = nullptr;
    QTimer* m_updateTimer = nullptr;
    QTimer* m_maximizeTimer = nullptr;
    QTimer* m_validationTimer = nullptr;
    CEditHistory* m_history = nullptr;
    QTimer* m_recordTimer = nullptr;
    bool m_shutDown = false;
    bool m_closing = false;
    bool m_changesConfirmed = false;
    std::vector<std::wstring> m_queuedOpens;
    QTimer* m_queueTimer = nullptr;
    int m_busyDepth = 0;
    std::unique_ptr<CRecoveryWriter> m_recovery;
    std::wstring m_journalFolder;
    JournalOwner m_journalOwner;
    bool m_endingBySignal = false;
    bool m_restoringJournal = false;
};
