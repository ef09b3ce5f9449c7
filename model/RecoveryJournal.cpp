#include "RecoveryJournal.h"

#include "SetCache.h"

#include "app/UserFolders.h"
#include "formats/SceneFile.h"
#include "formats/XmlDocument.h"
#include "platform/FileStream.h"
#include "platform/FileUtil.h"
#include "platform/Image.h"
#include "platform/TextConv.h"

#include <QImage>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <filesystem>

namespace {

constexpr const wchar_t* kDescriptionName = L"journal.xml";
constexpr const wchar_t* kRootName = L"RecoveryJournal";
constexpr const wchar_t* kDamagedFolderName = L"Damaged";
constexpr const wchar_t* kThumbnailName = L"thumbnail.jpg";
constexpr int kJournalVersion = 1;
// A description holds a few lines per layer; anything near this is not one.
constexpr int64_t kMaxDescriptionBytes = 4 << 20;
constexpr int kMaxLayers = 10000;

std::wstring GenerationFolder(const std::wstring& journalFolder, long long generation)
{
    return platform::JoinPath(journalFolder, L"state-" + std::to_wstring(generation));
}

std::wstring FormatName(JournalSetFormat format) { return format == JournalSetFormat::Native ? L"native" : L"vmix"; }

// A whole decimal number in [low, high]; false for anything else.
bool ParseNumber(const std::wstring& text, long long low, long long high, long long& value)
{
    if (text.empty() || text.size() > 18)
        return false;
    size_t start = text[0] == L'-' ? 1 : 0;
    if (start == text.size())
        return false;
    long long result = 0;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        result = result * 10 + (text[i] - L'0');
    }
    value = start ? -result : result;
    return value >= low && value <= high;
}

bool Fail(int error)
{
    errno = error;
    return false;
}

bool IsJpegFile(const std::wstring& path)
{
    platform::FileStream file;
    uint8_t head[3] = {};
    return file.Open(path, platform::FileStream::Mode::Read) && file.ReadExact(head, sizeof head) && head[0] == 0xFF &&
           head[1] == 0xD8 && head[2] == 0xFF;
}

// The thumbnail as a JPEG in the generation folder: the set's own when it
// has one, else a plain dark picture (the description then names none).
bool PrepareThumbnail(const std::wstring& source, const std::wstring& target)
{
    if (!source.empty() && platform::FileExists(source)) {
        if (IsJpegFile(source))
            return platform::CopyFileTo(source, target, true);
        platform::Image picture;
        if (picture.Load(source))
            return picture.SaveJpeg(target);
    }
    QImage blank(160, 90, QImage::Format_RGB32);
    blank.fill(Qt::black);
    return platform::Image(blank).SaveJpeg(target);
}

// Both files hold the same bytes.
bool SameBytes(const std::wstring& a, const std::wstring& b)
{
    const int64_t size = platform::FileSize(a);
    if (size < 0 || size != platform::FileSize(b))
        return false;
    platform::FileStream fa, fb;
    if (!fa.Open(a, platform::FileStream::Mode::Read) || !fb.Open(b, platform::FileStream::Mode::Read))
        return false;
    std::vector<uint8_t> ba(1 << 16), bb(1 << 16);
    for (int64_t left = size; left > 0;) {
        const size_t chunk = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(ba.size())));
        if (!fa.ReadExact(ba.data(), chunk) || !fb.ReadExact(bb.data(), chunk) ||
            std::memcmp(ba.data(), bb.data(), chunk) != 0)
            return false;
        left -= static_cast<int64_t>(chunk);
    }
    return true;
}

// The path the restored state uses for one picture: the original while it
// still holds the journal's bytes, else the journal's copy.
std::string ChoosePicture(const std::wstring& original, const std::string& copy)
{
    if (copy.empty())
        return {};
    if (!original.empty() && SameBytes(original, platform::AnsiToWide(copy)))
        return platform::WideToAnsi(original);
    return copy;
}

void RemoveOtherGenerations(const std::wstring& journalFolder, const std::wstring& keep)
{
    for (const std::wstring& name : platform::ListFolder(journalFolder)) {
        const std::wstring path = platform::JoinPath(journalFolder, name);
        if (name.rfind(L"state-", 0) == 0 && path != keep)
            platform::RemoveFolderTree(path);
    }
}

// The generation the journal's description names; 0 when none reads.
long long CurrentGeneration(const std::wstring& journalFolder)
{
    CXmlDocument document;
    long long generation = 0;
    const std::wstring path = platform::JoinPath(journalFolder, kDescriptionName);
    if (platform::FileSize(path) > kMaxDescriptionBytes || !document.LoadFile(path) ||
        !document.FindElement(kRootName) || !ParseNumber(document.GetAttribute(L"State"), 1, INT64_MAX / 2, generation))
        return 0;
    return generation;
}

std::string Describe(const SetSnapshot& state, const JournalOwner& owner, long long generation, int64_t sceneBytes,
                     bool hasThumbnail)
{
    CXmlDocument document;
    document.SetDocumentText(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    document.AddElement(kRootName);
    document.SetAttribute(L"Version", std::to_wstring(kJournalVersion));
    document.SetAttribute(L"SetFolder", owner.setFolder);
    document.SetAttribute(L"Format", FormatName(owner.format));
    document.SetAttribute(L"ProcessId", std::to_wstring(owner.processId));
    document.SetAttribute(L"Time", std::to_wstring(static_cast<long long>(std::time(nullptr))));
    document.SetAttribute(L"State", std::to_wstring(generation));
    document.SetAttribute(L"SceneBytes", std::to_wstring(sceneBytes));
    document.SetAttribute(L"LayerCount", std::to_wstring(state.layers.size()));
    document.SetAttribute(L"Name", state.name);
    document.SetAttribute(L"Thumbnail", hasThumbnail ? state.thumbnailPath : std::wstring());
    document.SetAttribute(L"ShotMode", std::to_wstring(state.shotMode));
    document.SetAttribute(L"HeaderValue", std::to_wstring(state.headerValue));
    document.EnterElement();
    // What the set file does not keep as the set has it: where each picture
    // came from and the two switches its reader sets.
    for (const LayerInfo& layer : state.layers) {
        document.AddElement(L"Layer");
        document.SetAttribute(L"Image", platform::AnsiToWide(LayerImagePath(layer)));
        document.SetAttribute(L"UvMap", platform::AnsiToWide(LayerUvPath(layer)));
        document.SetAttribute(L"Visible", layer.visible ? L"1" : L"0");
        document.SetAttribute(L"UvEnabled", layer.uvEnabled ? L"1" : L"0");
    }
    for (const auto& [shot, item] : state.shotToItem) {
        document.AddElement(L"ShotLayer");
        document.SetAttribute(L"Shot", std::to_wstring(shot));
        document.SetAttribute(L"Item", std::to_wstring(item));
    }
    std::string bytes;
    if (!document.SaveToBytes(bytes))
        bytes.clear();
    return bytes;
}

// The journal's description, checked; the document stays at its root.
bool LoadDescription(const std::wstring& journalFolder, CXmlDocument& document, JournalHeader& header,
                     long long& generation, long long& sceneBytes, std::wstring& why)
{
    const std::wstring path = platform::JoinPath(journalFolder, kDescriptionName);
    const int64_t size = platform::FileSize(path);
    if (size < 0) {
        why = L"the journal has no description";
        return false;
    }
    if (size > kMaxDescriptionBytes || !document.LoadFile(path) || !document.FindElement(kRootName)) {
        why = L"the journal's description does not read";
        return false;
    }
    long long version = 0, pid = 0, time = 0, layers = 0;
    if (!ParseNumber(document.GetAttribute(L"Version"), kJournalVersion, kJournalVersion, version)) {
        why = L"the journal has an unknown version";
        return false;
    }
    const std::wstring format = document.GetAttribute(L"Format");
    header.owner.setFolder = document.GetAttribute(L"SetFolder");
    if (header.owner.setFolder.empty() || header.owner.setFolder[0] != L'/' || (format != L"native" && format != L"vmix") ||
        !ParseNumber(document.GetAttribute(L"ProcessId"), 0, UINT32_MAX, pid) ||
        !ParseNumber(document.GetAttribute(L"Time"), 0, INT64_MAX / 2, time) ||
        !ParseNumber(document.GetAttribute(L"State"), 1, INT64_MAX / 2, generation) ||
        !ParseNumber(document.GetAttribute(L"SceneBytes"), 0, INT64_MAX / 2, sceneBytes) ||
        !ParseNumber(document.GetAttribute(L"LayerCount"), 0, kMaxLayers, layers) || (layers > 0) != (sceneBytes > 0)) {
        why = L"the journal's description is incomplete";
        return false;
    }
    header.owner.format = format == L"native" ? JournalSetFormat::Native : JournalSetFormat::Vmix;
    header.owner.processId = static_cast<uint32_t>(pid);
    header.time = static_cast<std::time_t>(time);
    header.layerCount = static_cast<int>(layers);
    return true;
}

// The set file's layers and shots, with their pictures unpacked into the
// picture folder.
bool UnpackSetFile(const std::wstring& sceneFile, const std::wstring& pictureFolder, LayerList& layers,
                   ShotList& shots, std::wstring& why)
{
    const std::wstring copy = platform::JoinPath(pictureFolder, kSceneFileName);
    std::error_code ec;
    std::filesystem::copy_file(platform::NativePath(sceneFile), platform::NativePath(copy),
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        why = L"the journal's set file cannot be copied: " + platform::SystemErrorText(ec.value());
        return false;
    }
    SceneFileHeader fileHeader;
    const bool loaded = LoadSceneFile(copy, layers, shots, &fileHeader, true, true);
    platform::RemoveFile(copy);
    if (!loaded) {
        why = L"the journal's set file does not read";
        return false;
    }
    return true;
}

}  // namespace

std::wstring GetRecoveryFolder() { return platform::JoinPath(GetUserDataFolder(), L"Recovery"); }

std::wstring RecoveryJournalFolderFor(const std::wstring& setFolder)
{
    return platform::JoinPath(GetRecoveryFolder(), SetFolderId(setFolder));
}

std::vector<std::wstring> ListRecoveryJournals()
{
    std::vector<std::wstring> journals;
    const std::wstring root = GetRecoveryFolder();
    for (const std::wstring& name : platform::ListFolder(root)) {
        const std::wstring path = platform::JoinPath(root, name);
        if (name != kDamagedFolderName && name[0] != L'.' && platform::FolderExists(path))
            journals.push_back(path);
    }
    return journals;
}

bool WriteRecoveryJournal(const std::wstring& journalFolder, const SetSnapshot& state, const JournalOwner& owner)
{
    if (!platform::CreateFolderTree(GetUserDataFolder()) || !platform::CreatePrivateFolder(GetRecoveryFolder()) ||
        !platform::CreatePrivateFolder(journalFolder))
        return false;
    const long long generation = CurrentGeneration(journalFolder) + 1;
    const std::wstring folder = GenerationFolder(journalFolder, generation);
    platform::RemoveFolderTree(folder);  // a write cut short before its description
    if (!platform::CreatePrivateFolder(folder))
        return false;
    const std::wstring thumbnail = platform::JoinPath(folder, kThumbnailName);
    const std::wstring scene = platform::JoinPath(folder, kSceneFileName);
    const bool hasThumbnail = !state.thumbnailPath.empty() && platform::FileExists(state.thumbnailPath);
    bool written = PrepareThumbnail(state.thumbnailPath, thumbnail);
    if (written && !state.layers.empty())
        written = WriteSceneFile(scene, state.layers, state.shots, thumbnail);
    const int64_t sceneBytes = state.layers.empty() ? 0 : platform::FileSize(scene);
    const std::string description = written ? Describe(state, owner, generation, sceneBytes, hasThumbnail) : std::string();
    const std::wstring descriptionPath = platform::JoinPath(journalFolder, kDescriptionName);
    if (!written || sceneBytes < 0 || description.empty() || !platform::MakeFileOwnerOnly(thumbnail) ||
        (!state.layers.empty() && !platform::MakeFileOwnerOnly(scene)) ||
        !platform::WriteFileAtomically(descriptionPath, description)) {
        const int error = errno ? errno : EIO;
        platform::RemoveFolderTree(folder);
        return Fail(error);
    }
    platform::MakeFileOwnerOnly(descriptionPath);
    RemoveOtherGenerations(journalFolder, folder);
    return true;
}

bool ReadJournalHeader(const std::wstring& journalFolder, JournalHeader& header, std::wstring& why)
{
    CXmlDocument document;
    long long generation = 0, sceneBytes = 0;
    return LoadDescription(journalFolder, document, header, generation, sceneBytes, why);
}

std::shared_ptr<SetSnapshot> ReadRecoveryJournal(const std::wstring& journalFolder, const std::wstring& pictureFolder,
                                                 JournalHeader& header, std::wstring& why)
{
    CXmlDocument document;
    long long generation = 0, sceneBytes = 0;
    if (!LoadDescription(journalFolder, document, header, generation, sceneBytes, why))
        return nullptr;
    const std::wstring folder = GenerationFolder(journalFolder, generation);
    const std::wstring scene = platform::JoinPath(folder, kSceneFileName);
    if (header.layerCount > 0 && platform::FileSize(scene) != sceneBytes) {
        why = L"the journal's set file is missing or cut short";
        return nullptr;
    }
    auto state = std::make_shared<SetSnapshot>();
    if (header.layerCount > 0 && !UnpackSetFile(scene, pictureFolder, state->layers, state->shots, why))
        return nullptr;
    if (static_cast<int>(state->layers.size()) != header.layerCount) {
        why = L"the journal's set file holds fewer layers than the journal names";
        return nullptr;
    }

    long long shotMode = 0, headerValue = 0;
    if (!ParseNumber(document.GetAttribute(L"ShotMode"), INT32_MIN, INT32_MAX, shotMode) ||
        !ParseNumber(document.GetAttribute(L"HeaderValue"), INT32_MIN, INT32_MAX, headerValue)) {
        why = L"the journal's description is incomplete";
        return nullptr;
    }
    state->shotMode = static_cast<int>(shotMode);
    state->headerValue = static_cast<int>(headerValue);
    state->name = document.GetAttribute(L"Name");
    const std::wstring thumbnail = document.GetAttribute(L"Thumbnail");
    const std::wstring thumbnailCopy = platform::JoinPath(pictureFolder, kThumbnailName);
    if (!thumbnail.empty() && platform::FileExists(thumbnail)) {
        state->thumbnailPath = thumbnail;
    } else if (!thumbnail.empty()) {
        // The set file's reader unpacked it already when there were layers.
        if (!platform::FileExists(thumbnailCopy))
            platform::CopyFileTo(platform::JoinPath(folder, kThumbnailName), thumbnailCopy, true);
        state->thumbnailPath = thumbnailCopy;
    }

    // Layer n is item n + 1, item 0 the whole set; a pair that points past
    // the lists shows nothing and is left out.
    const long long layerItems = static_cast<long long>(state->layers.size());
    const long long shotCount = static_cast<long long>(state->shots.size());
    size_t index = 0;
    document.EnterElement();
    while (document.FindElement()) {
        const std::wstring tag = document.GetTagName();
        if (tag == L"Layer") {
            if (index >= state->layers.size()) {
                why = L"the journal names more layers than it holds";
                return nullptr;
            }
            LayerInfo& layer = state->layers[index++];
            CropFromStored(layer);
            SetLayerImagePath(layer, ChoosePicture(document.GetAttribute(L"Image"), LayerImagePath(layer)));
            SetLayerUvPath(layer, ChoosePicture(document.GetAttribute(L"UvMap"), LayerUvPath(layer)));
            layer.visible = document.GetAttribute(L"Visible") == L"0" ? 0 : 1;
            layer.uvEnabled = document.GetAttribute(L"UvEnabled") == L"0" ? 0 : 1;
        } else if (tag == L"ShotLayer") {
            long long shot = 0, item = 0;
            if (!ParseNumber(document.GetAttribute(L"Shot"), 0, INT32_MAX, shot) ||
                !ParseNumber(document.GetAttribute(L"Item"), 0, INT32_MAX, item)) {
                why = L"the journal's layer shots do not read";
                return nullptr;
            }
            if (shot < shotCount && item <= layerItems)
                state->shotToItem[static_cast<int32_t>(shot)] = static_cast<int32_t>(item);
        }
    }
    if (index != state->layers.size()) {
        why = L"the journal names fewer layers than it holds";
        return nullptr;
    }
    return state;
}

bool RemoveRecoveryJournal(const std::wstring& journalFolder)
{
    const std::wstring parent = platform::FolderPart(journalFolder);
    if (journalFolder.empty() ||
        (parent != GetRecoveryFolder() && parent != platform::JoinPath(GetRecoveryFolder(), kDamagedFolderName)))
        return false;
    return platform::RemoveFolderTree(journalFolder);
}

std::wstring SetJournalAside(const std::wstring& journalFolder)
{
    const std::wstring damaged = platform::JoinPath(GetRecoveryFolder(), kDamagedFolderName);
    if (!platform::CreatePrivateFolder(damaged))
        return {};
    const std::wstring base = platform::JoinPath(damaged, platform::FileNamePart(journalFolder) + L"-" +
                                                              std::to_wstring(static_cast<long long>(std::time(nullptr))));
    std::wstring target = base;
    for (int n = 2; platform::PathExists(target) && n < 1000; ++n)
        target = base + L"-" + std::to_wstring(n);
    std::error_code ec;
    std::filesystem::rename(platform::NativePath(journalFolder), platform::NativePath(target), ec);
    return ec ? std::wstring() : target;
}
