#include "JournalReaderCheck.h"

#include "fuzz/support/FolderArchive.h"
#include "fuzz/support/RecordChecks.h"
#include "model/RecoveryJournal.h"
#include "platform/FileUtil.h"


namespace {

std::string CheckState(const SetSnapshot& state, const JournalHeader& header)
{
    if (static_cast<int>(state.layers.size()) != header.layerCount)
        return "the state holds another number of layers than its journal names";
    for (const LayerInfo& layer : state.layers) {
        if (std::string fault = CheckLayerRecord(layer); !fault.empty())
            return fault;
    }
    return CheckLayerShotTable(state.shotToItem, state.shots.size(), state.layers.size());
}

}  // namespace

std::string CheckJournalReader(const std::string& bytes, const std::wstring& folder)
{
    const std::wstring journal = platform::JoinPath(folder, L"journal");
    const std::wstring pictures = platform::JoinPath(folder, L"pictures");
    platform::RemoveFolderTree(journal);
    platform::RemoveFolderTree(pictures);
    if (!platform::CreateFolder(journal) || !platform::CreateFolder(pictures) || !UnpackFolderArchive(bytes, journal))
        return "the candidate could not be written";
    const std::vector<std::wstring> before = platform::ListFolder(journal);

    JournalHeader header;
    std::wstring why;
    const bool described = ReadJournalHeader(journal, header, why);
    if (!described && why.empty())
        return "a description was refused without a reason";
    JournalHeader read;
    std::wstring reason;
    const std::shared_ptr<SetSnapshot> state = ReadRecoveryJournal(journal, pictures, read, reason);
    if (!state && reason.empty())
        return "a journal was refused without a reason";
    if (state && !described)
        return "the state read though the description did not";
    if (state) {
        if (const std::string fault = CheckState(*state, read); !fault.empty())
            return fault;
    }
    if (platform::ListFolder(journal) != before)
        return "reading changed the journal";
    for (const std::wstring& name : platform::ListFolder(pictures)) {
        if (platform::FolderExists(platform::JoinPath(pictures, name)))
            return "reading made a folder among the pictures";
    }
    return {};
}
