// The main window's file commands: new, open, save, save as, save to the
// installed programs' folders, snapshot and the language restart.
#include "DlgEditor.h"
#include "ui/EditHistory.h"

#include "app/ProjectSettings.h"
#include "app/SettingsFiles.h"
#include "app/SharedInstance.h"
#include "app/UserFolders.h"
#include "formats/SceneFile.h"
#include "formats/SetsRoot.h"
#include "formats/VmixFormat.h"
#include "lumora/Lang.h"
#include "lumora/GdipButton.h"
#include "lumora/GdiplusButton.h"
#include "lumora/ShellOpen.h"
#include "model/MultiViewSource.h"
#include "model/SetCache.h"
#include "model/SetPaths.h"
#include "model/SetSaving.h"
#include "model/SourceObjectFactory.h"
#include "platform/FileUtil.h"
#include "platform/IniFile.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"
#include "lumora/ControlId.h"
#include "ui/MessageTarget.h"
#include "preview/ObsQtWindow.h"
#include "ui/ClipInfo.h"
#include "ui/DlgAbout.h"
#include "ui/DlgShortcuts.h"
#include "ui/DlgExist.h"
#include "ui/DialogTexts.h"
#include "ui/DlgMultiView.h"
#include "ui/EditorAddresses.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"
#include "ui/ShellDialogs.h"
#include "ui/WaitCursor.h"
#include "ui/WndEditorGeneral.h"
#include "ui/WndEditorPosition.h"
#include "ui/WndEditorShot.h"
#include "ui/WndSence.h"
#include "ui/WndTop.h"

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <cerrno>
#include <ctime>

namespace {

std::wstring SystemIniPath() { return platform::JoinPath(GetUserDataFolder(), L"system.ini"); }

// One line per file the set's config.xml names but that was not read.
std::wstring SetFileNotesText(const std::vector<SetFileNote>& notes)
{
    std::wstring text;
    for (const SetFileNote& note : notes) {
        if (!text.empty())
            text += L"\n";
        // lang-ids: 1104 1105
        text += Lang::FormatLangString(note.problem == SetFileProblem::Outside ? 1104 : 1105, note.layer, note.name);
    }
    return text;
}

std::wstring TrimTrailingSeparators(std::wstring path)
{
    while (path.size() > 1 && path.back() == L'/')
        path.pop_back();
    return path;
}

// Which file makes the folder a set of the kind; empty when none does.
std::wstring SetFileOf(const std::wstring& folder, int& kind)
{
    const std::wstring native = platform::JoinPath(folder, kSceneFileName);
    const std::wstring vmix = platform::JoinPath(folder, kVmixConfigFileName);
    if ((kind == kSetKindNative || kind == kSetKindAny) && IsSceneFile(native)) {
        kind = kSetKindNative;
        return native;
    }
    if ((kind == kSetKindVmix || kind == kSetKindAny) && IsVmixVirtualSet(vmix)) {
        kind = kSetKindVmix;
        return vmix;
    }
    return {};
}

std::wstring SnapshotDefaultName()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local))
        return {};
    wchar_t text[64];
    return std::wcsftime(text, 64, L"%Y-%m-%d-%H-%M-%S", &local) ? std::wstring(text) : std::wstring();
}

}  // namespace

void CDlgEditor::RunCommand(int id)
{
    // A set handed over meanwhile waits until the command has ended.
    BusyScope busy(*this);
    switch (id) {
    case IDC_NEW: OnNew(); break;
    case IDC_OPEN: OnOpenMenu(); break;
    case IDC_SAVE: OnSaveMenu(); break;
    case ID_OPEN_VMIX: OnOpenByFile(kSetKindVmix); break;
    case ID_OPEN_NATIVE: OnOpenByFile(kSetKindNative); break;
    case ID_OPEN_PSD: OnOpenPsd(); break;
    case ID_SAVE: OnSave(); break;
    case ID_SAVE_AS_NATIVE: OnSaveAs(kSetKindNative); break;
    case ID_SAVE_AS_VMIX: OnSaveAs(kSetKindVmix); break;
    case ID_SAVE_TO_NATIVE: OnSaveToProgramFolder(kSetKindNative); break;
    case ID_SAVE_TO_VMIX: OnSaveToProgramFolder(kSetKindVmix); break;
    case IDC_SNAPSHOT: OnSnapshot(); break;
    case IDC_UNDO: Undo(); break;
    case IDC_REDO: Redo(); break;
    case IDC_KEEP_RATIO: OnKeepRatio(); break;
    case IDC_STRETCH:
        if (m_scene)
            m_scene->StretchToCanvas();
        break;
    case IDC_FIT:
        if (m_scene)
            m_scene->FitToCanvasKeepAspect();
        break;
    case IDC_UP: OnMoveLayer(true); break;
    case IDC_DOWN: OnMoveLayer(false); break;
    case ID_ABOUT: {
        CDlgAbout about(this);
        about.exec();
        break;
    }
    case ID_KEYBOARD_SHORTCUTS: {
        CDlgShortcuts shortcuts(this);
        shortcuts.exec();
        break;
    }
    case ID_HOME_PAGE: lumora::ShellOpen(QString::fromStdWString(GetHomePageAddress())); break;
    case ID_CHECK_UPDATES: m_top->StartUpdateCheck(true); break;
    case ID_RECENT_UPDATES: m_top->ShowRecentUpdates(); break;
    default:
        if (id >= ID_LANGUAGE_FIRST && id <= ID_LANGUAGE_LAST)
            OnLanguage(id);
        else if (id >= ID_VIDEO_FORMAT_FIRST && id <= ID_VIDEO_FORMAT_LAST)
            OnVideoFormat(id);
        break;
    }
}

void CDlgEditor::OnMoveLayer(bool up)
{
    if (!m_scene || !m_position || !m_position->isVisible())
        return;
    if (up)
        m_position->MoveLayerUp();
    else
        m_position->MoveLayerDown();
}

void CDlgEditor::OnKeepRatio()
{
    g_settings.KeepRatio = g_settings.KeepRatio ? 0 : 1;
    m_preview->SetKeepRatio(g_settings.KeepRatio != 0);
    m_imageButtons[4]->SetCheck(g_settings.KeepRatio != 0);
    WriteSettingsFile();
}

// ---- opening ----

void CDlgEditor::RequestOpenFolder(const std::wstring& folder, int kind)
{
    const std::u16string path = platform::WideToUtf16(folder);
    if (path.size() >= static_cast<size_t>(kClipPathLength)) {
        ShowMessageBox(this, Lang::FormatLangString(905, folder));
        return;
    }
    ClipInfo2_t entry{};
    std::copy(path.begin(), path.end(), entry.path);
    SendMessage(m_messages, UM_OPEN_VIRTUAL_SET, reinterpret_cast<WPARAM>(&entry), kind);
}

LRESULT CDlgEditor::OnOpenVirtualSet(ClipInfo2_t* entry, int kind)
{
    if (!entry)
        return -1;
    entry->path[kClipPathLength - 1] = 0;
    std::u16string path(entry->path);
    // A trailing separator goes, in the entry too.
    while (path.size() > 1 && path.back() == u'/')
        path.pop_back();
    std::fill(entry->path + path.size(), entry->path + kClipPathLength, u'\0');
    return OpenSetFolder(platform::Utf16ToWide(path), kind);
}

int CDlgEditor::OpenSetFolder(std::wstring folder, int kind)
{
    folder = TrimTrailingSeparators(std::move(folder));
    if (folder.empty())
        return -1;
    int resolvedKind = kind;
    const std::wstring setFile = SetFileOf(folder, resolvedKind);
    if (setFile.empty()) {
        ShowMessageBox(this, Lang::LoadLangString(317));
        return -1;
    }
    BusyScope busy(*this);
    if (!m_changesConfirmed && !ConfirmDiscardChanges())
        return -1;

    CWaitCursor wait;
    auto info = std::make_unique<SourceInfo>();
    info->kind = resolvedKind == kSetKindNative ? kKindNativeSet : kKindVmixSet;
    info->variant = resolvedKind;
    info->path = setFile;
    // The new set is built beside the open one, which stays until the new one works.
    CSourceObject* object = CreateSourceObject(m_engine, info.get(), m_messages);
    auto* scene = dynamic_cast<CMultiViewSource*>(object);
    if (!scene || scene->Open() != S_OK) {
        const std::wstring why = OpenFailureText(scene, folder);
        delete object;
        ShowMessageBox(this, why);
        return -1;
    }
    scene->Cue();
    std::vector<SetFileNote> notes = scene->GetLoadNotes();
    // A new set's template names pictures the user has still to choose.
    if (platform::IsSameFile(folder, GetUnnamedSetFolder()))
        std::erase_if(notes, [](const SetFileNote& note) { return note.problem == SetFileProblem::Missing; });
    InstallScene(scene, std::move(info), folder);
    if (!notes.empty())
        ShowMessageBox(this, Lang::FormatLangString(1102, SetFileNotesText(notes)));
    if (!m_restoringJournal)
        OfferJournalsOf(folder);
    return 0;
}

bool CDlgEditor::IsOpenSet(const std::wstring& setFolder) const
{
    return m_scene && m_sceneInfo && SetFolderId(SetFolderOf(m_sceneInfo->path)) == SetFolderId(setFolder);
}

int CDlgEditor::OpenFromCommandLine(const std::wstring& path)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    std::wstring folder = TrimTrailingSeparators(path);
    int kind = kSetKindAny;
    if (platform::FileExists(folder)) {
        const std::wstring name = platform::FileNamePart(folder);
        if (name != kSceneFileName && name != kVmixConfigFileName) {
            ShowMessageBox(this, Lang::LoadLangString(317));
            return -1;
        }
        kind = name == kSceneFileName ? kSetKindNative : kSetKindVmix;
        folder = platform::FolderPart(folder);
    }
    // A set handed over that is open already stays as it is, with its edits
    // (those restored at the start among them): opening it again would ask
    // to save or drop them first.
    const int result = IsOpenSet(folder) ? 0 : OpenSetFolder(folder, kind);
    // A set handed over from outside joins the recent sets at once.
    if (result == 0) {
        RecordRecentSet(TrimTrailingSeparators(folder));
        if (m_sceneTab)
            m_sceneTab->Refresh();
    }
    return result;
}

void CDlgEditor::InstallScene(CMultiViewSource* scene, std::unique_ptr<SourceInfo> info, const std::wstring& folder)
{
    DisconnectSignals();
    m_preview->SetScene(nullptr);
    for (CWndEditorBase* panel : m_panels)
        panel->SetScene(nullptr);
    EndJournal();
    m_history->Reset(nullptr);
    delete m_scene;
    m_scene = scene;
    m_sceneInfo = std::move(info);
    m_scene->SetSaveCallbacks(SaveCallbacks{
        [this](const std::wstring& parent, std::wstring& name) { return AskExistingTarget(this, parent, name); },
        [this](const std::wstring& text) { ShowMessageBox(this, text); }});

    UpdateTitle(folder);
    QApplication::alert(this);
    // The preview shows the set's main scene until a panel asks for another;
    // the page on show asks as it refreshes (the Layers page: the layers).
    SendMessage(m_messages, UM_PREVIEW_SCENE, 0, 0);
    for (CWndEditorBase* panel : m_panels) {
        panel->setEnabled(true);
        panel->SetScene(m_scene);
        if (panel->isVisible())
            panel->Refresh();
    }
    m_saveButton->setEnabled(true);
    // Opening another set starts a new history.
    m_history->Reset(m_scene);
    StartJournal(m_sceneInfo->path, m_sceneInfo->variant == kSetKindNative ? kSetKindNative : kSetKindVmix);
}

void CDlgEditor::UpdateTitle(const std::wstring& folder)
{
    std::wstring title = kMessageBoxTitle;
    if (!folder.empty())
        title += L"  - " + folder;
    setWindowTitle(QString::fromStdWString(title));
}

void CDlgEditor::OnOpenMenu()
{
    std::unique_ptr<QMenu> resource = LoadTranslatedMenu(432);
    QWidget* button = m_openButton;
    if (QAction* chosen = MenuItems(resource.get())->exec(button->mapToGlobal(QPoint(0, button->height()))))
        RunCommand(lumora::GetControlId(chosen).value_or(0));
}

void CDlgEditor::OnOpenByFile(int kind)
{
    const std::wstring studio = Lang::LoadLangString(415);
    FileDialogRequest request;
    request.filter = kind == kSetKindVmix ? L"vMix " + studio + L"(*.xml)|*.xml||" : L"Tolvenar " + studio + L"(*.tvn)|*.tvn||";
    request.folderKey = kind == kSetKindVmix ? L"OpenVmix" : L"OpenNative";
    const std::wstring file = ChooseFile(this, request);
    if (file.empty())
        return;
    const bool valid = kind == kSetKindVmix ? IsVmixVirtualSet(file) : IsSceneFile(file);
    if (!valid) {
        ShowMessageBox(this, Lang::LoadLangString(317));
        return;
    }
    RequestOpenFolder(platform::FolderPart(file), kind);
}

void CDlgEditor::OnNew()
{
    if (!ConfirmDiscardChanges())
        return;
    CDlgMultiView chooser(m_lastTemplate, this);
    const QRect button = m_newButton->geometry();
    const QPoint topLeft = m_newButton->parentWidget()->mapToGlobal(QPoint(button.left() - 12, button.bottom() + 4));
    chooser.MoveTo(QRect(topLeft, QSize(button.width() + 28, 206)));
    if (chooser.exec() != QDialog::Accepted)
        return;
    m_changesConfirmed = true;
    OpenNewSet(chooser.GetSelected());
}

void CDlgEditor::OpenNewSet(int templateIndex)
{
    // The unnamed folder may hold the open set: ask before it is written over.
    if (!m_changesConfirmed && !ConfirmDiscardChanges())
        return;
    m_changesConfirmed = true;
    struct ResetConfirmation {
        bool& flag;
        ~ResetConfirmation() { flag = false; }
    } reset{m_changesConfirmed};
    m_lastTemplate = templateIndex;
    const std::wstring folder = GetUnnamedSetFolder();
    platform::CreateFolderTree(folder);
    errno = 0;
    const bool written = m_lastTemplate < 0 ? WriteEmptyVmixConfig(folder) : WriteVmixTemplateConfig(folder, m_lastTemplate);
    // The error is the one of this write, never a leftover.
    const int error = written ? 0 : (errno ? errno : EIO);
    if (!written) {
        ShowMessageBox(this, SystemErrorMessage(error));
        return;
    }
    RequestOpenFolder(folder, kSetKindVmix);
}

// ---- saving ----

bool CDlgEditor::HasUnsavedChanges()
{
    return m_scene && !m_history->IsClean();
}

void CDlgEditor::MarkSaved() { m_history->MarkClean(); }

bool CDlgEditor::ConfirmDiscardChanges()
{
    if (!HasUnsavedChanges())
        return true;
    const int answer = ShowMessageBox(this, Lang::LoadLangString(901), MB_SAVEDISCARDCANCEL);
    if (answer == IDNO)
        return true;
    if (answer != IDYES)
        return false;
    OnSave();
    return !HasUnsavedChanges();
}

void CDlgEditor::OnSaveMenu()
{
    std::unique_ptr<QMenu> resource = LoadTranslatedMenu(431);
    QMenu& menu = *MenuItems(resource.get());
    std::wstring folder;
    for (QAction* action : menu.actions()) {
        const int id = lumora::GetControlId(action).value_or(0);
        if (id == ID_SAVE_TO_NATIVE)
            action->setEnabled(FindSetsRoot(folder));
        else if (id == ID_SAVE_TO_VMIX)
            action->setEnabled(FindVmixVirtualSetsFolder(folder));
    }
    QWidget* button = m_saveButton;
    if (QAction* chosen = menu.exec(button->mapToGlobal(QPoint(0, button->height()))))
        RunCommand(lumora::GetControlId(chosen).value_or(0));
}

void CDlgEditor::OnSave()
{
    if (!m_scene || !m_sceneInfo || !ValidatePanels())
        return;
    const std::wstring setFolder = TrimTrailingSeparators(platform::FolderPart(m_sceneInfo->path));
    const std::wstring parent = platform::FolderPart(setFolder);
    ReportSaveResult(SaveSetTo(parent, m_sceneInfo->variant == kSetKindNative ? kSetKindNative : kSetKindVmix));
}

void CDlgEditor::OnSaveAs(int kind)
{
    if (!m_scene || !ValidatePanels())
        return;
    const std::wstring folder = ChooseFolder(this, Lang::LoadLangString(180), L"SaveAs");
    if (folder.empty())
        return;
    ReportSaveResult(SaveSetTo(folder, kind));
}

void CDlgEditor::OnSaveToProgramFolder(int kind)
{
    if (!m_scene || !ValidatePanels())
        return;
    const wchar_t* key = kind == kSetKindNative ? L"Tolvenar" : L"vMix";
    std::wstring folder = platform::ReadProfileString(SystemIniPath(), L"Path", key, L"", 259);
    if (folder.empty()) {
        const bool found = kind == kSetKindNative ? FindSetsRoot(folder) : FindVmixVirtualSetsFolder(folder);
        if (!found || folder.empty())
            return;
    }
    if (kind == kSetKindNative)
        folder = platform::JoinPath(folder, L"VirtualSets");
    ReportSaveResult(SaveSetTo(folder, kind));
}

int CDlgEditor::SaveSetTo(const std::wstring& parentFolder, int kind)
{
    if (!m_scene || parentFolder.empty())
        return kSaveFailed;
    int result = kSaveFailed;
    {
        CWaitCursor wait;
        result = kind == kSetKindNative ? m_scene->SaveNative(parentFolder) : m_scene->ExportVmix(parentFolder);
    }
    if (result == kSaveDone)
        FollowSavedSet(platform::JoinPath(TrimTrailingSeparators(parentFolder), m_scene->GetSetName()), kind);
    return result;
}

// The saved folder becomes the open set's folder: the title, the General
// page and the next Save follow it. A set saved where it was opened stays
// as it is; one saved elsewhere (or in the other format) is opened from
// there, so every picture it uses is the saved folder's own.
void CDlgEditor::FollowSavedSet(const std::wstring& savedFolder, int kind)
{
    MarkSaved();
    const std::wstring ownFolder = TrimTrailingSeparators(platform::FolderPart(m_sceneInfo->path));
    const int ownKind = m_sceneInfo->variant == kSetKindNative ? kSetKindNative : kSetKindVmix;
    if (kind == ownKind && (savedFolder == ownFolder || platform::IsSameFile(savedFolder, ownFolder)))
        return;
    OpenSetFolder(savedFolder, kind);
}

void CDlgEditor::ReportSaveResult(int result)
{
    if (result == kSaveCancelled)
        return;
    const std::wstring save = Lang::LoadLangString(149);
    if (result == kSaveDone) {
        if (m_sceneTab)
            m_sceneTab->Refresh();
        ShowMessageBox(this, save + L" " + Lang::LoadLangString(150));
    } else {
        ShowMessageBox(this, save + L" " + Lang::LoadLangString(151));
    }
}

// ---- snapshot and temporary bitmap ----

std::wstring CDlgEditor::ExportTempBitmap()
{
    std::wstring path;
    if (m_scene) {
        const std::wstring unique = platform::MakeTempFile(platform::GetTempFolder(), L"_tmp");
        if (!unique.empty()) {
            // Only the name was wanted; the bitmap gets ".bmp" after it.
            platform::RemoveFile(unique);
            path = unique + L".bmp";
            if (!m_scene->SaveScreenshot(path)) {
                platform::RemoveFile(path);
                path.clear();
            }
        }
    }
    if (path.empty())
        ShowMessageBox(this, Lang::LoadLangString(210));
    return path;
}

void CDlgEditor::OnSnapshot()
{
    if (!m_scene)
        return;
    const std::wstring temp = ExportTempBitmap();
    if (temp.empty())
        return;
    FileDialogRequest request;
    request.save = true;
    request.filter = L"Bitmap File(*.bmp)|*.bmp||";
    request.defaultExtension = L"bmp";
    request.defaultName = SnapshotDefaultName();
    request.initialFolder = g_settings.LastCapturePath;
    const std::wstring target = ChooseFile(this, request);
    if (!target.empty()) {
        if (platform::CopyFileTo(temp, target, true)) {
            g_settings.LastCapturePath = platform::FolderPart(target);
            WriteSettingsFile();
        } else {
            ShowMessageBox(this, Lang::LoadLangString(210));
        }
    }
    platform::RemoveFile(temp);
}

// ---- language ----

void CDlgEditor::OnLanguage(int id)
{
    const auto found = m_languages.find(id);
    if (found == m_languages.end() || found->second == Lang::GetCurLanguage())
        return;
    if (ShowMessageBox(this, Lang::LoadLangString(321), MB_YESNO | MB_DEFBUTTON2) != IDYES)
        return;
    // The unsaved edits are asked about once, before anything starts:
    // Cancel leaves the editor and its language as they were.
    if (!ConfirmDiscardChanges())
        return;
    const std::wstring previous = Lang::GetCurLanguage();
    Lang::SetCurLanguage(found->second);
    if (SharedInstanceRecord* record = GetSharedInstanceRecord())
        record->Data()->restartPending.store(1);
    const QString program = QString::fromStdWString(platform::GetExecutablePath());
    if (!QProcess::startDetached(program, {})) {
        if (SharedInstanceRecord* record = GetSharedInstanceRecord())
            record->Data()->restartPending.store(0);
        Lang::SetCurLanguage(previous);
        ShowMessageBox(this, Lang::LoadLangString(210));
        return;
    }
    // The question has been answered: the window closes without asking again.
    m_closing = true;
    close();
}
