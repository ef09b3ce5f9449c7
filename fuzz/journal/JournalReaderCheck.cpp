#include "JournalReaderCheck.h"

#include "fuzz/support/FolderArchive.h"
#include "model/RecoveryJournal.h"
#include "platform/FileUtil.h"

#include <cstring>

namespace {

std::string CheckState(const SetSnapshot& state, const JournalHeader& header)
{
    if (static_cast<int>(state.layers.size()) != header.layerCount)
        return "the state holds another number of layers than its journal names";
    for (const LayerInfo& layer : state.layers) {
        if (std::memchr(layer.name, '\0', sizeof layer.name) == nullptr)
            return "a layer name is not terminated";
        if (!layer.imagePath || std::strlen(layer.imagePath) + 1 != static_cast<size_t>(layer.imagePathSize))
            return "a layer's image path and its size disagree";
        if (layer.uvPath && std::strlen(layer.uvPath) + 1 != static_cast<size_t>(layer.uvPathSize))
            return "a layer's UV-map path and its size disagree";
    }
    for (const auto& [shot, item] : state.shotToItem) {
        if (shot < 0 || static_cast<size_t>(shot) >= state.shots.size() || item < 0 ||
            static_cast<size_t>(item) > state.layers.size())
            return "a layer shot points past the lists";
    }
    return {};
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
