// The main window's recovery journal: every state of the open set that is
// not the saved one is written aside as the history moves, offered back at
// the next start when the editor did not end cleanly, and kept when the
// system ends the editor.
#include "DlgEditor.h"
#include "ui/EditHistory.h"

#include "app/RunningEditors.h"
#include "app/UserFolders.h"
#include "formats/VmixFormat.h"
#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "model/RecoveryWriter.h"
#include "model/SetCache.h"
#include "model/SetPaths.h"
#include "platform/FileUtil.h"
#include "platform/Processes.h"
#include "platform/TextConv.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>

#include <cwchar>
#include <ctime>

namespace {

std::wstring LocalTimeText(std::time_t time)
{
    std::tm local{};
    wchar_t text[64];
    if (!localtime_r(&time, &local) || !std::wcsftime(text, 64, L"%Y-%m-%d %H:%M:%S", &local))
        return {};
    return text;
}

// Another editor of this user data folder runs and writes the journal.
bool IsWrittenByRunningEditor(const JournalHeader& header)
{
    return header.owner.processId != platform::CurrentProcessId() &&
           IsEditorOfDataFolder(header.owner.processId, GetUserDataFolder());
}

// A folder of its own under the set's cache for the pictures a journal
// brings back, so they outlive the journal until the set is saved.
std::wstring MakeRestoredPictureFolder(const std::wstring& setFolder)
{
    const std::wstring cache = GetSetCacheFolder(setFolder);
    if (cache.empty())
        return {};
    const std::wstring base = platform::JoinPath(cache, L"Restored-" + std::to_wstring(static_cast<long long>(std::time(nullptr))));
    std::wstring folder = base;
    for (int n = 2; platform::PathExists(folder) && n < 1000; ++n)
        folder = base + L"-" + std::to_wstring(n);
    return platform::CreatePrivateFolder(folder) ? folder : std::wstring();
}

}  // namespace

void CDlgEditor::CreateRecovery()
{
    m_recovery = std::make_unique<CRecoveryWriter>();
    m_history->SetStateHandler([this](const std::shared_ptr<const SetSnapshot>& state, bool saved) {
        OnHistoryState(state, saved);
    });
}

void CDlgEditor::StartJournal(const std::wstring& setFile, int kind)
{
    m_journalOwner = JournalOwner{SetFolderOf(setFile), kind == kSetKindNative ? JournalSetFormat::Native : JournalSetFormat::Vmix,
                                  platform::CurrentProcessId()};
    m_journalFolder = RecoveryJournalFolderFor(m_journalOwner.setFolder);
    // A journal there was left by an editor that ended (one the user keeps
    // for later, or one not offered yet): it is never written over.
    if (platform::PathExists(m_journalFolder))
        m_journalFolder += L"-" + std::to_wstring(m_journalOwner.processId) + L"-" +
                           std::to_wstring(static_cast<long long>(std::time(nullptr)));
}

void CDlgEditor::EndJournal()
{
    if (m_recovery && !m_journalFolder.empty())
        m_recovery->Remove(m_journalFolder);
    m_journalFolder.clear();
}

void CDlgEditor::OnHistoryState(const std::shared_ptr<const SetSnapshot>& state, bool saved)
{
    if (!m_recovery || m_journalFolder.empty())
        return;
    if (saved)
        m_recovery->Remove(m_journalFolder);
    else
        m_recovery->Post(m_journalFolder, state, m_journalOwner);
}

void CDlgEditor::EndBySignal(int signal)
{
    if (m_endingBySignal)
        return;
    m_endingBySignal = true;
    blog(LOG_INFO, "Ending on signal %d", signal);
    // A gesture not yet recorded is an edit like any other.
    m_recordTimer->stop();
    if (m_history && m_scene)
        m_history->Record();
    if (m_recovery && !m_journalFolder.empty()) {
        if (HasUnsavedChanges() && !m_recovery->Flush())
            blog(LOG_ERROR, "The unsaved edits could not be kept in the recovery journal");
        else if (!HasUnsavedChanges())
            m_recovery->Remove(m_journalFolder);
    }
    CloseModalWindows();
    m_closing = true;
    QDialog::done(QDialog::Rejected);
}

void CDlgEditor::CloseModalWindows()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    // Each dialog's own loop ends as if the user had cancelled it.
    for (int guard = 0; guard < 32; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == this)
            break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal)
            modal->hide();
    }
}

// ---- offering journals ----

void CDlgEditor::OfferRecoveryJournals()
{
    BusyScope busy(*this);
    for (const std::wstring& journal : ListRecoveryJournals()) {
        JournalHeader header;
        std::wstring why;
        if (!ReadJournalHeader(journal, header, why)) {
            ReportDamagedJournal(journal, why);
            continue;
        }
        if (journal == m_journalFolder || IsWrittenByRunningEditor(header))
            continue;
        if (!OfferJournal(journal, header) || m_endingBySignal)
            break;
    }
}

void CDlgEditor::OfferJournalsOf(const std::wstring& setFolder)
{
    const std::wstring id = SetFolderId(setFolder);
    for (const std::wstring& journal : ListRecoveryJournals()) {
        JournalHeader header;
        std::wstring why;
        if (journal == m_journalFolder || !ReadJournalHeader(journal, header, why) ||
            SetFolderId(header.owner.setFolder) != id || IsWrittenByRunningEditor(header))
            continue;
        if (!OfferJournal(journal, header) || m_endingBySignal)
            break;
    }
}

bool CDlgEditor::OfferJournal(const std::wstring& journal, const JournalHeader& header)
{
    const std::wstring text = Lang::FormatLangString(1040, header.owner.setFolder, LocalTimeText(header.time));
    switch (ShowMessageBox(this, text, MB_RESTOREDISCARDLATER)) {
    case IDYES:
        return RestoreJournal(journal, header);
    case IDNO:
        RemoveRecoveryJournal(journal);
        return true;
    default:
        return true;  // kept for the next start
    }
}

bool CDlgEditor::RestoreJournal(const std::wstring& journal, const JournalHeader& header)
{
    // The set opens as it was saved; a set whose folder is gone comes back
    // as a new set in the unnamed folder.
    SourceInfo record;
    const bool setThere = MakeSetRecordForFolder(header.owner.setFolder, record);
    const std::wstring target = setThere ? header.owner.setFolder : GetUnnamedSetFolder();
    const std::wstring pictures = MakeRestoredPictureFolder(target);
    if (pictures.empty()) {
        ShowMessageBox(this, SystemErrorMessage(errno ? errno : EIO));
        return false;
    }
    JournalHeader read;
    std::wstring why;
    const std::shared_ptr<SetSnapshot> state = ReadRecoveryJournal(journal, pictures, read, why);
    if (!state) {
        platform::RemoveFolderTree(pictures);
        ReportDamagedJournal(journal, why);
        return true;
    }

    if (!IsOpenSet(target)) {
        m_restoringJournal = true;
        if (setThere)
            OpenSetFolder(target, record.kind == kKindNativeSet ? kSetKindNative : kSetKindVmix);
        else
            OpenNewSet(-1);
        m_restoringJournal = false;
        if (!IsOpenSet(target))
            return false;  // the user kept the open set, or the set did not open (and said why)
    }
    // One step over the saved set: Ctrl+Z shows the set as it was saved.
    m_history->Record();
    m_scene->RestoreSnapshot(*state);
    m_history->Record();
    OnHistoryRestored();
    // The edits are now the open set's: its own journal holds them before the old one goes.
    if (m_recovery)
        m_recovery->Flush();
    if (journal != m_journalFolder)
        RemoveRecoveryJournal(journal);
    return true;
}

void CDlgEditor::ReportDamagedJournal(const std::wstring& journal, const std::wstring& why)
{
    blog(LOG_ERROR, "The recovery journal %s does not read: %s", platform::WideToUtf8(journal).c_str(),
         platform::WideToUtf8(why).c_str());
    const std::wstring aside = SetJournalAside(journal);
    ShowMessageBox(this, Lang::FormatLangString(1041, aside.empty() ? journal : aside));
}
