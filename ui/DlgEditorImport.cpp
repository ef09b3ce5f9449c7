// The editor's Photoshop import: a layered PSD becomes a new native set in
// the user's sets folder and opens at once; what the set shows differently
// from the file (blend modes, skipped and renamed layers) is listed after.
#include "DlgEditor.h"

#include "app/UserFolders.h"
#include "formats/PsdSet.h"
#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "ui/EditHistory.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"
#include "ui/ShellDialogs.h"
#include "ui/WaitCursor.h"
#include "ui/WndEditorBase.h"

namespace {

// The file's name, or the first "name N" that no folder of the sets folder has.
std::wstring FreeSetFolder(const std::wstring& setsFolder, const std::wstring& name)
{
    std::wstring folder = platform::JoinPath(setsFolder, name);
    for (int n = 2; platform::PathExists(folder); ++n)
        folder = platform::JoinPath(setsFolder, name + L" " + std::to_wstring(n));
    return folder;
}

// One line of the import report in the user's language.
std::wstring ReportLine(const PsdReportEntry& entry)
{
    switch (entry.change) {
    case PsdChange::BlendShownNormal: return Lang::FormatLangString(981, entry.layer, entry.detail);
    case PsdChange::EmptySkipped: return Lang::FormatLangString(982, entry.layer);
    case PsdChange::AdjustmentSkipped: return Lang::FormatLangString(983, entry.layer);
    case PsdChange::Renamed: return Lang::FormatLangString(984, entry.layer, entry.detail);
    case PsdChange::ClippedToGroup: return Lang::FormatLangString(985, entry.layer);
    case PsdChange::FlattenedOnly: return Lang::LoadLangString(986);
    case PsdChange::HiddenLeftOut: break;
    }
    return DescribePsdChange(entry);
}

// What the set shows differently from the file; empty when nothing.
std::wstring ReportText(const PsdImportReport& report)
{
    constexpr size_t kShownLines = 12;
    if (report.empty())
        return {};
    std::wstring text = Lang::LoadLangString(980);
    for (size_t i = 0; i < report.size() && i < kShownLines; ++i)
        text += L"\n" + ReportLine(report[i]);
    if (report.size() > kShownLines)
        text += L"\n" + Lang::FormatLangString(987, static_cast<int>(report.size() - kShownLines));
    return text;
}

std::wstring SetNameFor(const std::wstring& psdFile)
{
    std::wstring name = platform::StemPart(psdFile);
    if (name.empty() || name == L"." || name == L"..")
        name = L"Photoshop set";
    return name;
}

}  // namespace

void CDlgEditor::OnOpenPsd()
{
    FileDialogRequest request;
    request.filter = L"Photoshop (*.psd;*.psb)|*.psd;*.psb||";
    request.folderKey = L"OpenPsd";
    const std::wstring file = ChooseFile(this, request);
    if (!file.empty())
        ImportPsdFile(file);
}

int CDlgEditor::ImportPsdFile(const std::wstring& psdFile)
{
    if (!m_changesConfirmed && !ConfirmDiscardChanges())
        return -1;
    PsdDocument document;
    PsdImportReport report;
    std::string error;
    const std::wstring setsFolder = GetVirtualSetsFolder();
    platform::CreateFolderTree(setsFolder);
    const std::wstring target = FreeSetFolder(setsFolder, SetNameFor(psdFile));
    {
        CWaitCursor wait;
        if (!ReadPsdDocument(psdFile, document, error))
            error = platform::WideToUtf8(platform::FileNamePart(psdFile)) + " " + error;
        else {
            report = document.report;
            WritePsdSet(document, target, PsdSetFormat::Native, report, error);
        }
    }
    if (!error.empty()) {
        ShowMessageBox(this, Lang::FormatLangString(906, platform::Utf8ToWide(error)));
        return -1;
    }
    m_changesConfirmed = true;
    const int opened = OpenSetFolder(target, kSetKindNative);
    m_changesConfirmed = false;
    if (opened != 0 || !m_scene)
        return -1;
    // Loading shows every layer; the file's hidden layers are hidden again,
    // and that is the state just saved.
    for (size_t i = 0; i < document.layers.size(); ++i) {
        if (!document.layers[i].visible)
            m_scene->SetLayerVisible(static_cast<int>(i), false);
    }
    // The file's state is where the history starts.
    GetHistory()->Reset(m_scene);
    if (CWndEditorBase* layers = GetPanel(1); layers && layers->isVisible())
        layers->Refresh();
    if (const std::wstring text = ReportText(report); !text.empty())
        ShowMessageBox(this, text);
    return 0;
}
