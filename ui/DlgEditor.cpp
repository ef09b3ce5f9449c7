#include "DlgEditor.h"
#include "ui/EditHistory.h"

#include "app/ProjectSettings.h"
#include "app/SettingsFiles.h"
#include "app/SharedInstance.h"
#include "engine/ObsMain.h"
#include "lumora/ControlId.h"
#include "lumora/Lang.h"
#include "lumora/GdipButton.h"
#include "lumora/GdiplusButton.h"
#include "lumora/MySplitWnd.h"
#include "lumora/MyTabCtrl.h"
#include "lumora/NativeFocusFrame.h"
#include "lumora/TabStepKeys.h"
#include "model/MultiViewSource.h"
#include "model/RecoveryWriter.h"
#include "model/SourceObjectFactory.h"
#include "platform/X11Windows.h"
#include "preview/ObsQtWindow.h"
#include "ui/ClipInfo.h"
#include "ui/DialogTexts.h"
#include "ui/EditorMessages.h"
#include "ui/EditorStatusLine.h"
#include "ui/PageScrollArea.h"
#include "ui/MessageBox.h"
#include "ui/MessageTarget.h"
#include "ui/WndEditorGeneral.h"
#include "ui/WndEditorPosition.h"
#include "ui/WndEditorShot.h"
#include "ui/WndSence.h"
#include "ui/WndTop.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {

// The image buttons: control id, picture id, tooltip string id.
struct ImageButtonSpec {
    int id;
    int picture;
    unsigned tooltip;
};
constexpr ImageButtonSpec kImageButtons[6] = {
    {IDC_STRETCH, 588, 407}, {IDC_FIT, 587, 408}, {IDC_UP, 439, 226},
    {IDC_DOWN, 438, 227},    {IDC_KEEP_RATIO, 427, 410}, {IDC_SNAPSHOT, 295, 155},
};

// Frame flags of the main window: close, maximise, minimise and menu.
constexpr unsigned kEditorFrameFlags = 27;

void* QtX11Display()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

QString LangText(unsigned id)
{
    return QString::fromStdWString(Lang::LoadLangString(id));  // lang-ids: 105 127 129 256 1333
}

WindowRect ToWindowRect(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

}  // namespace

CDlgEditor::CDlgEditor(QWidget* parent) : CMyPopDialog(392, 128, 128, parent, kEditorFrameFlags)
{
    m_messages = new CMessageTarget(
        [this](unsigned message, WPARAM w, LPARAM l) { return OnWindowMessage(message, w, l); }, this);
    SetMenuLoader(&LoadProgramMenu);
    setMinimumSize(EditorMinimumClientSize() + QSize(2 * BorderWidth(), TitleHeight() + BorderWidth()));
    resize(1280, 800);

    // 1. Texts of dialog 392 (after the controls exist, below).
    // 2. The running editor's window, for a second start to bring forward.
    if (SharedInstanceRecord* record = GetSharedInstanceRecord())
        record->Data()->mainWindow.store(static_cast<uint64_t>(winId()));
    // 3.
    InitEngine();
    // The tab control comes first among the members.
    m_tab = new CMyTabCtrl(ClientWidget());
    lumora::SetControlId(m_tab, IDC_EDITOR_TAB);
    // 4. - 8.
    CreateSplitter();
    CreatePreview();
    CreateButtons();
    m_top = new CWndTop(ClientWidget());
    m_sceneTab = new CWndSence(ClientWidget(), MessageWindow());
    CreatePanels();
    CreateHistory();
    CreateRecovery();
    ApplyDialogTexts(this, 392);
    CreateFileShortcuts();
    CreatePageShortcuts();
    CreateViewShortcuts();
    CreateStatusLine();
    CreateCanvasMenu();
    setWindowTitle(QString::fromWCharArray(kMessageBoxTitle));
    // 9., 10.
    ApplyKeepRatioSetting();
    StartTimers();
    ApplyLayout();
}

CDlgEditor::~CDlgEditor() { Shutdown(); }

HWND CDlgEditor::MessageWindow() const { return m_messages; }

void CDlgEditor::InitEngine()
{
    m_engine = g_obsMain;
    if (!m_engine) {
        SetEngineDisplay(QtX11Display());
        m_engine = new ObsMain;
        g_obsMain = m_engine;
        m_ownsEngine = true;
    }
    if (!m_engine->InitEngine()) {
        blog(LOG_ERROR, "Failed to init obs");
        // Once, when the window is up: a black preview alone says nothing.
        QTimer::singleShot(0, this, [this] { ReportEngineFailure(); });
    }
}

void CDlgEditor::CreateSplitter()
{
    m_splitter = new CMySplitWnd(ClientWidget());
    m_splitter->Create(0, QRect(300, 50, 4, 550), ClientWidget(), IDC_SPLITTER);
}

void CDlgEditor::CreatePreview()
{
    m_preview = new ObsQtWindow(ClientWidget());
    // Screen readers (and the acceptance roads) find the canvas by this name.
    m_preview->setAccessibleName(QStringLiteral("Preview"));
    new CNativeFocusFrame(m_preview);
    m_preview->Create(ClientWidget(), ToWindowRect(PreviewGeometry(m_layout)));
    // Without the engine's picture the window would show whatever was
    // under it; it stays black instead.
    if (!m_preview->CreateDisplay())
        platform::PaintX11WindowBlack(QtX11Display(), static_cast<uint64_t>(m_preview->winId()));
    if (m_scene)
        m_preview->SetScene(m_scene->GetMainScene());
    m_preview->SetEditEnabled(false);
    m_preview->SetDeleteHook([this] {
        auto* layers = dynamic_cast<CWndEditorPosition*>(GetPanel(1));
        if (layers && layers->isVisible())
            layers->RemoveLayer();
    });
    m_preview->SetDropHook([this](const std::vector<std::wstring>& paths) { OnFilesDropped(paths); });
}

void CDlgEditor::CreateButtons()
{
    auto makeTextButton = [this](int id) {
        auto* button = new CGdiplusButton(ClientWidget());
        lumora::SetControlId(button, id);
        return button;
    };
    m_newButton = makeTextButton(IDC_NEW);
    m_openButton = makeTextButton(IDC_OPEN);
    m_saveButton = makeTextButton(IDC_SAVE);
    m_saveButton->setEnabled(false);
    for (size_t i = 0; i < m_imageButtons.size(); ++i) {
        const ImageButtonSpec& spec = kImageButtons[i];
        auto* button = new CGdipButton(ClientWidget());
        lumora::SetControlId(button, spec.id);
        button->LoadStdImage(spec.picture, "PNG");
        button->SetToolTipText(QString::fromStdWString(Lang::LoadLangString(spec.tooltip)), true);  // lang-ids: 407 408 226 227 410 155
        m_imageButtons[i] = button;
    }
    m_tab->SetMinTabWidth(100);
}

// The file commands from anywhere in the window; each button's tooltip
// names its keys.
void CDlgEditor::CreateFileShortcuts()
{
    struct FileShortcut {
        QKeySequence keys;
        std::function<void()> action;
    };
    const FileShortcut shortcuts[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_S), [this] { RunCommandFromKeys(ID_SAVE); }},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { RunCommandFromKeys(IDC_SAVE); }},
        {QKeySequence(Qt::CTRL | Qt::Key_O), [this] { RunCommandFromKeys(IDC_OPEN); }},
        {QKeySequence(Qt::CTRL | Qt::Key_N), [this] { RunCommandFromKeys(IDC_NEW); }},
    };
    for (const FileShortcut& entry : shortcuts) {
        auto* shortcut = new QShortcut(entry.keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, this, entry.action);
    }
    const std::pair<CGdiplusButton*, QKeySequence> tips[] = {
        {m_newButton, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {m_openButton, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {m_saveButton, QKeySequence(Qt::CTRL | Qt::Key_S)},
    };
    for (const auto& [button, keys] : tips) {
        QString tip = button->text() + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText);
        if (button == m_saveButton)
            tip += QStringLiteral(", ") + QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S).toString(QKeySequence::NativeText);
        button->SetToolTipText(tip + QStringLiteral(")"), true);
    }
}

// Ctrl+Tab and Ctrl+Shift+Tab step through the pages as clicking their tabs
// does, wrapping round at either end.
void CDlgEditor::CreatePageShortcuts()
{
    lumora::AddTabStepKeys(m_tab, this, QKeySequence(Qt::CTRL | Qt::Key_Tab),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab));
}

// A key press acts as the button or menu item would. A value still being
// typed into a field is taken first, as clicking the button would take it.
void CDlgEditor::RunCommandFromKeys(int id)
{
    const bool needsSet = id == ID_SAVE || id == IDC_SAVE;
    if (needsSet && !m_saveButton->isEnabled())
        return;
    QPointer<QWidget> focused = QApplication::focusWidget();
    if (focused && focused->window() == this)
        focused->clearFocus();
    RunCommand(id);
    if (focused && isActiveWindow())
        focused->setFocus();
}

void CDlgEditor::CreatePanels()
{
    m_general = new CWndEditorGeneral(ClientWidget(), this);
    m_position = new CWndEditorPosition(ClientWidget(), this);
    m_shot = new CWndEditorShot(ClientWidget(), this);
    m_panels = {m_general, m_position, m_shot};
    const unsigned captions[3] = {127, 129, 256};
    for (int i = 0; i < 3; ++i) {
        m_tab->addTab(LangText(captions[i]));
        m_panels[i]->SetPreview(m_preview);
        m_panels[i]->SetScene(m_scene);
        m_panels[i]->setEnabled(false);
        m_pageAreas[i] = MakePageArea(m_panels[i]);
    }
    ShowPage(0);
}

// A page scrolls when the window is lower than its rows; its width stays
// that of its rows, the scroll bar taking the page's right margin.
QScrollArea* CDlgEditor::MakePageArea(CWndEditorBase* page)
{
    constexpr int kRowsWidth = 388;
    return new CPageScrollArea(page, kRowsWidth, ClientWidget());
}

void CDlgEditor::ShowPage(int index)
{
    // While the tabs are being made the pages are not all there yet.
    for (QScrollArea* area : m_pageAreas) {
        if (!area)
            return;
    }
    // Hidden first: a page leaving the screen turns canvas editing off, and
    // the page coming up decides afresh.
    for (int i = 0; i < 3; ++i) {
        if (i != index) {
            m_panels[static_cast<size_t>(i)]->setVisible(false);
            m_pageAreas[static_cast<size_t>(i)]->setVisible(false);
        }
    }
    if (index >= 0 && index < 3) {
        m_pageAreas[static_cast<size_t>(index)]->setVisible(true);
        m_panels[static_cast<size_t>(index)]->setVisible(true);
    }
}

void CDlgEditor::ApplyKeepRatioSetting()
{
    const bool keep = g_settings.KeepRatio != 0;
    m_preview->SetKeepRatio(keep);
    m_imageButtons[4]->SetCheck(keep);
}

void CDlgEditor::StartTimers()
{
    m_updateTimer = new QTimer(this);
    m_updateTimer->setSingleShot(true);
    QObject::connect(m_updateTimer, &QTimer::timeout, this, [this] { m_top->StartUpdateCheck(false); });
    m_updateTimer->start(2000);

    m_maximizeTimer = new QTimer(this);
    m_maximizeTimer->setSingleShot(true);
    QObject::connect(m_maximizeTimer, &QTimer::timeout, this, [this] { showMaximized(); });
    m_maximizeTimer->start(100);

    m_validationTimer = new QTimer(this);
    m_validationTimer->setSingleShot(true);
    QObject::connect(m_validationTimer, &QTimer::timeout, this, [this] { ShowPendingValidation(); });
}

CWndEditorBase* CDlgEditor::GetPanel(int index) const
{
    return index >= 0 && index < 3 ? m_panels[static_cast<size_t>(index)] : nullptr;
}

QWidget* CDlgEditor::GetButton(int id) const { return lumora::FindControl(const_cast<CDlgEditor*>(this), id); }

QWidget* CDlgEditor::GetSplitter() const { return m_splitter; }

void CDlgEditor::SetAutoMaximize(bool maximize)
{
    if (!maximize)
        m_maximizeTimer->stop();
}

void CDlgEditor::ResizeClientArea(int width, int height)
{
    const QSize frame = size() - ClientWidget()->size();
    resize(width + frame.width(), height + frame.height());
    ApplyLayout();
}

// ---- layout ----

void CDlgEditor::OnSize(int width, int height)
{
    CMyPopDialog::OnSize(width, height);
    ApplyLayout();
}

bool CDlgEditor::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = static_cast<int>(LOWORD(wParam));
    if (HIWORD(wParam) == BN_CLICKED && id != 0 && id < static_cast<int>(SC_SIZE)) {
        RunCommand(id);
        return true;
    }
    return CMyPopDialog::OnCommand(wParam, lParam);
}

bool CDlgEditor::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header)
        return false;
    if (header->idFrom == IDC_SPLITTER && header->code == NM_SPLITMOVED) {
        OnSplitterMoved(reinterpret_cast<const NMSPLITWND*>(lParam)->delta);
        return true;
    }
    if (header->idFrom == IDC_EDITOR_TAB && header->code == TCN_SELCHANGE) {
        OnTabChanged(m_tab->currentIndex());
        return true;
    }
    return CMyPopDialog::OnNotify(wParam, lParam, result);
}

void CDlgEditor::ApplyLayout()
{
    if (!m_tab)
        return;
    const QSize client = ClientWidget()->size();
    m_layout = ComputeEditorLayout(client.width(), client.height(), g_settings.Width, g_settings.Height);
    ApplySplitterOffset();
    if (m_top)
        m_top->setGeometry(m_layout.topBar);
    m_tab->setGeometry(m_layout.tabControl.x(), m_layout.tabControl.y(), m_layout.tabControl.width(), 24);
    if (m_sceneTab)
        m_sceneTab->setGeometry(m_layout.sceneTab);
    m_splitter->setGeometry(m_layout.splitter);
    m_splitter->SetRange(m_layout.splitterMin, m_layout.splitterMax);
    for (QScrollArea* area : m_pageAreas) {
        if (area)
            area->setGeometry(m_layout.panel);
    }
    if (m_preview)
        m_preview->Move(ToWindowRect(PreviewGeometry(m_layout)));
    for (size_t i = 0; i < m_imageButtons.size(); ++i)
        m_imageButtons[i]->setGeometry(m_layout.imageButtons[i]);
    for (size_t i = 0; i < m_historyButtons.size(); ++i)
        m_historyButtons[i]->setGeometry(m_layout.historyButtons[i]);
    m_newButton->setGeometry(m_layout.textButtons[0]);
    m_openButton->setGeometry(m_layout.textButtons[1]);
    m_saveButton->setGeometry(m_layout.textButtons[2]);
    if (m_statusLine)
        m_statusLine->setGeometry(m_layout.statusLine);
    ClientWidget()->update();
}

void CDlgEditor::OnSplitterMoved(int delta)
{
    // The offset stays when the window is sized again.
    m_splitterOffset += delta;
    ApplyLayout();
    m_sceneTab->update();
}

void CDlgEditor::OnTabChanged(int index) { ShowPage(index); }

// ---- validation ----

bool CDlgEditor::ValidatePanels()
{
    for (int i = 0; i < 3; ++i) {
        std::wstring message;
        int item = -1;
        if (m_panels[static_cast<size_t>(i)]->Validate(message, item))
            continue;
        m_tab->setCurrentIndex(i);
        OnTabChanged(i);
        m_pending = {message, i, item};
        m_validationTimer->start(100);
        return false;
    }
    return true;
}

void CDlgEditor::ShowPendingValidation()
{
    if (CWndEditorBase* panel = GetPanel(m_pending.panel))
        panel->MarkInvalid(m_pending.item);
    if (!m_pending.text.empty())
        ShowMessageBox(this, m_pending.text);
}

// ---- keyboard and closing ----

void CDlgEditor::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape reaching the window itself must not end the editor.
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        return;
    }
    CMyPopDialog::keyPressEvent(event);
}

void CDlgEditor::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        event->accept();
        QDialog::done(QDialog::Rejected);
        return;
    }
    if (!ConfirmDiscardChanges()) {
        event->ignore();
        return;
    }
    m_closing = true;
    event->accept();
    QDialog::done(QDialog::Rejected);
}

void CDlgEditor::Shutdown()
{
    if (m_shutDown)
        return;
    StoreWorkspace();
    m_shutDown = true;
    m_updateTimer->stop();
    m_maximizeTimer->stop();
    m_validationTimer->stop();
    if (m_top)
        m_top->StopUpdateCheck();
    DisconnectSignals();
    qApp->removeEventFilter(this);
    // A clean end takes the journal away; one asked by the system keeps it.
    if (!m_endingBySignal)
        EndJournal();
    if (m_history)
        m_history->Reset(nullptr);
    m_recovery.reset();
    // Live pictures hold engine sources: they go while the engine runs.
    if (m_position)
        m_position->ForgetLiveSources();
    for (CWndEditorBase* panel : m_panels)
        panel->SetScene(nullptr);
    if (m_preview) {
        m_preview->SetScene(nullptr);
        delete m_preview;
        m_preview = nullptr;
        for (CWndEditorBase* panel : m_panels)
            panel->SetPreview(nullptr);
    }
    delete m_scene;
    m_scene = nullptr;
    m_sceneInfo.reset();
    if (SharedInstanceRecord* record = GetSharedInstanceRecord()) {
        uint64_t mine = static_cast<uint64_t>(winId());
        record->Data()->mainWindow.compare_exchange_strong(mine, 0);
    }
    if (m_ownsEngine) {
        delete m_engine;
        m_engine = nullptr;
        LogMemoryLeaks();
    }
}

// ---- messages ----

LRESULT CDlgEditor::OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_OPEN_VIRTUAL_SET:
        return OnOpenVirtualSet(reinterpret_cast<ClipInfo2_t*>(wParam), static_cast<int>(lParam));
    case UM_PREVIEW_SCENE:
        OnPreviewScene(wParam);
        return 0;
    case UM_ITEM_EVENT:
        OnItemEvent(wParam, reinterpret_cast<obs_sceneitem_t*>(lParam));
        return 0;
    case kSourceNotifyMessage:
        OnMediaNotification(wParam, lParam);
        return 0;
    case kShotTransitionEndedMessage:
        if (m_shot && m_scene)
            SendMessage(m_shot->MessageWindow(), message, wParam, lParam);
        return 0;
    default:
        return 0;
    }
}

void CDlgEditor::DisconnectSignals()
{
    for (OBSSignal& signal : m_signals)
        signal.Disconnect();
}

void CDlgEditor::OnPreviewScene(WPARAM which)
{
    DisconnectSignals();
    obs_scene_t* scene = nullptr;
    if (m_scene && which == 0)
        scene = m_scene->GetMainScene();
    else if (m_scene && which == 1)
        scene = m_scene->GetGroupScene();
    if (!scene) {
        m_preview->SetScene(nullptr);
        UpdateSelectionStatus();
        return;
    }
    signal_handler_t* handler = obs_source_get_signal_handler(obs_scene_get_source(scene));
    m_signals[0].Connect(handler, "item_transform", OnItemTransformSignal, this);
    m_signals[1].Connect(handler, "item_select", OnItemSelectSignal, this);
    m_preview->SetScene(scene);
    UpdateSelectionStatus();
}

// libobs threads: only post. The item travels without a reference; the
// panels compare it with items they hold.
void CDlgEditor::PostItemEvent(void* data, calldata_t* cd, WPARAM what)
{
    auto* editor = static_cast<CDlgEditor*>(data);
    auto* item = static_cast<obs_sceneitem_t*>(calldata_ptr(cd, "item"));
    if (item)
        PostMessage(editor->m_messages, UM_ITEM_EVENT, what, reinterpret_cast<LPARAM>(item));
}

void CDlgEditor::OnItemTransformSignal(void* data, calldata_t* cd) { PostItemEvent(data, cd, kItemTransformed); }

void CDlgEditor::OnItemSelectSignal(void* data, calldata_t* cd) { PostItemEvent(data, cd, kItemSelected); }

// On the interface thread the panels' visibility is read safely.
void CDlgEditor::OnItemEvent(WPARAM what, obs_sceneitem_t* item)
{
    UpdateSelectionStatus();
    const LPARAM lParam = reinterpret_cast<LPARAM>(item);
    if (m_position && m_position->isVisible() && (what == kItemSelected || !m_position->IsApplyingChange()))
        SendMessage(m_position->MessageWindow(), UM_ITEM_EVENT, what, lParam);
    if (m_shot && m_shot->isVisible()) {
        const bool send = what == kItemSelected ? item != m_shot->KeptItem() : !m_shot->IsApplyingChange();
        if (send)
            SendMessage(m_shot->MessageWindow(), UM_ITEM_EVENT, what, lParam);
    }
}

void CDlgEditor::OnMediaNotification(WPARAM object, LPARAM block)
{
    // A notification of an object deleted before it arrived is dropped.
    if (!m_scene || object != reinterpret_cast<WPARAM>(static_cast<CSourceObject*>(m_scene)))
        return;
    (void)block;
}

// ---- frame menu ----

void CDlgEditor::OnMenuPopup(QMenu* menu)
{
    m_languages.clear();
    QAction* about = nullptr;
    for (QAction* action : menu->actions()) {
        if (lumora::GetControlId(action) == ID_ABOUT)
            about = action;
    }
    // View, Video Format and Language, then "Keyboard shortcuts" just
    // before About.
    auto* shortcuts = new QAction(LangText(1333), menu);
    lumora::SetControlId(shortcuts, ID_KEYBOARD_SHORTCUTS);
    menu->insertAction(about, shortcuts);
    about = shortcuts;
    menu->insertMenu(about, MakeViewMenu(menu));
    menu->insertMenu(about, MakeVideoFormatMenu(menu));
    const std::vector<std::wstring> list = Lang::SelectableLanguages();
    if (list.empty()) {
        menu->insertSeparator(about);
        return;
    }
    auto* languages = new QMenu(LangText(105), menu);
    const std::wstring current = Lang::GetCurLanguage();
    int id = ID_LANGUAGE_FIRST;
    for (const std::wstring& name : list) {
        if (id > ID_LANGUAGE_LAST)
            break;
        QAction* action = languages->addAction(QString::fromStdWString(name));
        lumora::SetControlId(action, id);
        action->setCheckable(true);
        action->setChecked(name == current);
        m_languages[id] = name;
        ++id;
    }
    menu->insertMenu(about, languages);
    menu->insertSeparator(about);
}
