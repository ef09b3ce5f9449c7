#include "SceneFile.h"

#include "ThumbnailFile.h"

#include "platform/FileStream.h"
#include "platform/FileUtil.h"
#include "platform/Image.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>

using platform::FileStream;
using platform::ReplacementFile;

// Records and header go to and from the file as they lie in memory.
static_assert(std::endian::native == std::endian::little, "the scene file is little-endian");

namespace {

constexpr int kShotPictureCount = 10;  // "0.bmp" … "9.bmp"

// ---- reading ------------------------------------------------------------

SceneFileStatus ReadHeader(FileStream& file, SceneFileHeader& header)
{
    if (!file.ReadExact(&header, sizeof(header)))
        return file.LastError() == EIO ? SceneFileStatus::ShortHeader : SceneFileStatus::CannotOpen;
    if (header.magic != kSceneMagic)
        return SceneFileStatus::ForeignHeader;
    if (header.version != kSceneVersion)
        return SceneFileStatus::WrongVersion;
    if (header.thumbnailSize == 0)
        return SceneFileStatus::NoThumbnail;
    return SceneFileStatus::Ok;
}

// Opens the file and checks the header and that the whole thumbnail is there;
// leaves the stream at the thumbnail bytes.
SceneFileStatus OpenSceneFile(const std::wstring& path, FileStream& file, SceneFileHeader& header, int64_t& fileSize)
{
    if (!file.Open(path, FileStream::Mode::Read))
        return SceneFileStatus::CannotOpen;
    fileSize = file.Size();
    if (fileSize < 0)
        return SceneFileStatus::CannotOpen;
    const SceneFileStatus status = ReadHeader(file, header);
    if (status != SceneFileStatus::Ok)
        return status;
    if (header.thumbnailSize < 0 || header.thumbnailSize > fileSize - int64_t(sizeof(header)))
        return SceneFileStatus::BadThumbnail;
    return SceneFileStatus::Ok;
}

// A zoom of 0 or less (or one that is not a number) means "not set".
float ReadZoom(float value) { return (std::isfinite(value) && value > 0.0f) ? value : 1.0f; }

void NormaliseReadLayer(LayerInfo& layer)
{
    layer.name[sizeof(layer.name) - 1] = '\0';
    layer.uvFilter = nullptr;
    layer.imageSource = nullptr;
    layer.imagePath = nullptr;
    layer.uvPath = nullptr;
    layer.visible = 1;
    layer.uvEnabled = 1;
    layer.zoomX = ReadZoom(layer.zoomX);
    layer.zoomY = ReadZoom(layer.zoomY);
    layer.zoomZ = ReadZoom(layer.zoomZ);
    ClampLayerPlacement(layer);
}

// Reads the next layer record and works out where its image and UV bytes
// lie. False at a short record, or when a size is negative or reaches past
// the end of the file (read as a short read: the layer loop ends).
bool ReadLayerRecord(FileStream& file, int64_t fileSize, SceneLayerEntry& entry)
{
    entry.record = MakeDefaultLayer();
    if (!file.ReadExact(&entry.record, sizeof(LayerInfo)))
        return false;
    entry.storedVisible = entry.record.visible != 0 ? 1 : 0;
    NormaliseReadLayer(entry.record);
    int64_t position = file.Position();
    const int32_t imageSize = entry.record.imagePathSize;
    const int32_t uvSize = entry.record.uvPathSize;
    if (position < 0 || imageSize < 0 || imageSize > fileSize - position)
        return false;
    entry.imageOffset = position;
    position += imageSize;
    if (uvSize < 0 || uvSize > fileSize - position)
        return false;
    entry.uvOffset = position;
    return true;
}

bool ReadShotRecord(FileStream& file, ShotInfo& shot)
{
    shot = MakeDefaultShot();
    if (!file.ReadExact(&shot, sizeof(shot)))
        return false;
    shot.name[sizeof(shot.name) - 1] = '\0';
    ClampShotPlacement(shot);
    return true;
}

void ReadShotRecords(FileStream& file, int32_t count, ShotList& shots)
{
    for (int32_t i = 0; i < count; ++i) {
        ShotInfo shot;
        if (!ReadShotRecord(file, shot))
            break;
        shots.push_back(shot);
    }
}

// Index of an open file whose header and thumbnail were checked. A layer
// loop that ends early ends the read: the shots lie beyond the cut.
void IndexRecords(FileStream& file, int64_t fileSize, SceneFileIndex& index)
{
    for (int32_t i = 0; i < index.header.layerCount; ++i) {
        SceneLayerEntry entry;
        if (!ReadLayerRecord(file, fileSize, entry) || !file.Seek(entry.uvOffset + entry.record.uvPathSize))
            return;
        index.layers.push_back(entry);
    }
    ReadShotRecords(file, index.header.shotCount, index.shots);
}

SceneFileStatus IndexOpenSceneFile(const std::wstring& path, FileStream& file, SceneFileIndex& index)
{
    index = SceneFileIndex{};
    int64_t fileSize = 0;
    const SceneFileStatus status = OpenSceneFile(path, file, index.header, fileSize);
    if (status != SceneFileStatus::Ok) {
        index = SceneFileIndex{};
        return status;
    }
    index.thumbnailOffset = int64_t(sizeof(SceneFileHeader));
    if (!file.Skip(index.header.thumbnailSize))
        return SceneFileStatus::BadThumbnail;
    IndexRecords(file, fileSize, index);
    return SceneFileStatus::Ok;
}

// Reads count bytes into a new buffer that the caller owns.
char* ReadBytes(FileStream& file, int32_t count)
{
    if (count <= 0)
        return nullptr;
    std::unique_ptr<char[]> bytes(new char[static_cast<size_t>(count)]);
    if (!file.ReadExact(bytes.get(), static_cast<size_t>(count)))
        return nullptr;
    return bytes.release();
}

// Reads the layer's image and UV bytes into its two buffers; false (nothing
// kept) at a short read.
bool ReadLayerBytes(FileStream& file, LayerInfo& layer)
{
    const int32_t imageSize = layer.imagePathSize;
    const int32_t uvSize = layer.uvPathSize;
    layer.imagePath = ReadBytes(file, imageSize);
    if (imageSize > 0 && !layer.imagePath)
        return false;
    layer.uvPath = ReadBytes(file, uvSize);
    if (uvSize > 0 && !layer.uvPath) {
        FreeLayerBuffers(layer);
        return false;
    }
    return true;
}

// ---- writing ------------------------------------------------------------

bool Fail(int error)
{
    errno = error;
    return false;
}

// Opens a file to embed and tells its size. A path that names nothing (any
// more) embeds nothing: size 0. -1 when the file is there but cannot be
// opened, or is too large for the record's size field.
int32_t OpenEmbeddedFile(const std::wstring& path, FileStream& file)
{
    if (path.empty())
        return 0;
    if (!file.Open(path, FileStream::Mode::Read))
        return (errno == ENOENT || errno == ENOTDIR) ? 0 : -1;
    const int64_t size = file.Size();
    if (size < 0)
        return -1;
    if (size > INT32_MAX) {
        errno = EFBIG;
        return -1;
    }
    return static_cast<int32_t>(size);
}

// The record as stored: no in-memory handles or padding, crop right and
// bottom as edge positions, sizes of the files embedded after it.
LayerInfo StoredRecord(const LayerInfo& layer, int32_t imageSize, int32_t uvSize)
{
    LayerInfo stored = layer;
    stored.uvFilter = nullptr;
    stored.imageSource = nullptr;
    stored.imagePath = nullptr;
    stored.uvPath = nullptr;
    std::memset(stored.padding1, 0, sizeof(stored.padding1));
    std::memset(stored.padding2, 0, sizeof(stored.padding2));
    std::memset(stored.padding3, 0, sizeof(stored.padding3));
    std::memset(stored.padding4, 0, sizeof(stored.padding4));
    stored.cropRight = 1.0f - layer.cropRight;
    stored.cropBottom = 1.0f - layer.cropBottom;
    stored.imagePathSize = imageSize;
    stored.uvPathSize = uvSize;
    return stored;
}

bool WriteLayer(FileStream& out, const LayerInfo& layer)
{
    // A record without a path stores size 0, whatever its size field says.
    FileStream image, uv;
    const std::wstring imagePath = layer.imagePathSize > 0 ? platform::AnsiToWide(LayerImagePath(layer)) : L"";
    const std::wstring uvPath = layer.uvPathSize > 0 ? platform::AnsiToWide(LayerUvPath(layer)) : L"";
    const int32_t imageSize = OpenEmbeddedFile(imagePath, image);
    const int32_t uvSize = imageSize < 0 ? 0 : OpenEmbeddedFile(uvPath, uv);
    if (imageSize < 0 || uvSize < 0)
        return false;
    const LayerInfo stored = StoredRecord(layer, imageSize, uvSize);
    if (!out.Write(&stored, sizeof(stored)))
        return Fail(out.LastError());
    return platform::CopyStreamBytes(image, out, imageSize) && platform::CopyStreamBytes(uv, out, uvSize);
}

SceneFileHeader NewHeader(int32_t layerCount, int32_t shotCount, int32_t thumbnailSize)
{
    SceneFileHeader header;
    std::memset(&header, 0, sizeof(header));
    header.magic = kSceneMagic;
    header.version = kSceneVersion;
    header.saveTime = static_cast<uint32_t>(static_cast<uint64_t>(std::time(nullptr)));
    header.layerCount = layerCount;
    header.shotCount = shotCount;
    header.thumbnailSize = thumbnailSize;
    header.shotMode = 0;
    header.headerValue = kSceneHeaderValue;
    return header;
}

bool WriteSceneContents(FileStream& out, const LayerList& layers, const ShotList& shots, FileStream& thumbnail,
                        int32_t thumbnailSize)
{
    const SceneFileHeader header =
        NewHeader(static_cast<int32_t>(layers.size()), static_cast<int32_t>(shots.size()), thumbnailSize);
    if (!out.Write(&header, sizeof(header)))
        return Fail(out.LastError());
    if (!platform::CopyStreamBytes(thumbnail, out, thumbnailSize))
        return false;
    for (size_t i = layers.size(); i-- > 0;) {
        if (!WriteLayer(out, layers[i]))
            return false;
        out.StartWriteback();  // the disk works while the next layer is copied
    }
    for (const ShotInfo& shot : shots) {
        if (!out.Write(&shot, sizeof(shot)))
            return Fail(out.LastError());
    }
    return true;
}

// ---- unpacking ----------------------------------------------------------

// True when the target is a plain file holding exactly that stretch of the
// scene file: an earlier load unpacked the same picture, whatever number it
// gave it, and the file is kept as it is. Reading it costs far less than
// writing a set's pictures again on every opening (and flushing them to the
// disk behind the engine's back).
bool AlreadyUnpacked(FileStream& scene, int64_t offset, int64_t count, const std::wstring& target)
{
    std::error_code ec;
    if (std::filesystem::symlink_status(platform::NativePath(target), ec).type() !=
        std::filesystem::file_type::regular)
        return false;
    FileStream existing;
    const bool same = existing.Open(target, FileStream::Mode::Read) && existing.Size() == count &&
                      scene.Seek(offset) && platform::SameStreamBytes(scene, existing, count);
    errno = 0;  // a difference is no failure
    return same;
}

// Copies a stretch of the scene file into a file of its own, unless the
// file there already holds it. Any other old file belongs to an earlier
// load, whose numbering may differ, so it goes first; a copy that fails
// leaves no file rather than a partial or a stale one. (A new file is also
// much cheaper than one rewritten in place, which some file systems flush
// early.) The unpacked files can always be made again from the scene file,
// so they are not forced to the disk.
bool UnpackBytes(FileStream& scene, int64_t offset, int64_t count, const std::wstring& target)
{
    if (AlreadyUnpacked(scene, offset, count, target))
        return true;
    platform::RemoveFile(target);
    FileStream out;
    if (!scene.Seek(offset) || !out.Open(target, FileStream::Mode::CreateNew))
        return errno ? false : Fail(EIO);
    if (!platform::CopyStreamBytes(scene, out, count) || !out.Close()) {
        const int error = errno ? errno : EIO;
        out.Close();
        platform::RemoveFile(target);
        return Fail(error);
    }
    return true;
}

std::wstring AbsoluteFolder(const std::wstring& scenePath)
{
    std::wstring folder = platform::FolderPart(scenePath);
    if (!folder.empty() && folder[0] == L'/')
        return folder;
    std::error_code ec;
    const std::wstring current = platform::Utf8ToWide(std::filesystem::current_path(ec).string());
    return folder.empty() ? current : platform::JoinPath(current, folder);
}

// Unpacks every layer with an image; false (errno set) at the first file
// that cannot be written.
bool UnpackLayers(FileStream& scene, const SceneFileIndex& index, const std::wstring& folder, LayerList& layers)
{
    std::vector<const SceneLayerEntry*> withImage;
    for (const SceneLayerEntry& entry : index.layers) {
        if (entry.record.imagePathSize > 0)
            withImage.push_back(&entry);
    }
    layers.reserve(withImage.size());
    // Each record read goes to the front of the list, so the list comes out
    // front-most first, and the files are numbered in that order.
    for (auto it = withImage.rbegin(); it != withImage.rend(); ++it) {
        const SceneLayerEntry& entry = **it;
        LayerInfo layer = entry.record;
        layer.imagePathSize = 0;
        layer.uvPathSize = 0;
        const std::wstring number = std::to_wstring(layers.size() + 1);
        const std::wstring imageFile = platform::JoinPath(folder, L"s" + number + L".png");
        if (!UnpackBytes(scene, entry.imageOffset, entry.record.imagePathSize, imageFile))
            return false;
        SetLayerImagePath(layer, platform::WideToAnsi(imageFile));
        layers.push_back(layer);
        if (entry.record.uvPathSize > 0 && !layer.uvFilter) {
            const std::wstring uvFile = platform::JoinPath(folder, L"uv" + number + L".png");
            if (!UnpackBytes(scene, entry.uvOffset, entry.record.uvPathSize, uvFile))
                return false;
            SetLayerUvPath(layers[layers.size() - 1], platform::WideToAnsi(uvFile));
        }
    }
    return true;
}

// ---- header edits -------------------------------------------------------

bool EditHeader(const std::wstring& path, int32_t SceneFileHeader::*word, int32_t value)
{
    FileStream file;
    SceneFileHeader header;
    if (!file.Open(path, FileStream::Mode::ReadWrite) || !file.ReadExact(&header, sizeof(header)))
        return false;
    if (header.magic != kSceneMagic || header.version != kSceneVersion)
        return Fail(EINVAL);
    header.*word = value;
    if (!file.Seek(0) || !file.Write(&header, sizeof(header)))
        return Fail(file.LastError());
    return file.Close();
}

}  // namespace

int32_t EffectiveShotMode(const SceneFileHeader& header)
{
    return header.shotMode == 0 ? kShotModeCamera : header.shotMode;
}

bool WriteSceneFile(const std::wstring& scenePath, const LayerList& layers, const ShotList& shots,
                    const std::wstring& thumbnailPath)
{
    if (layers.empty() || layers.size() > size_t(INT32_MAX) || shots.size() > size_t(INT32_MAX))
        return Fail(EINVAL);
    const std::wstring jpeg = EnsureJpegThumbnail(thumbnailPath);
    if (jpeg.empty())
        return false;
    FileStream thumbnail;
    const int32_t thumbnailSize = OpenEmbeddedFile(jpeg, thumbnail);
    if (thumbnailSize <= 0)
        return thumbnailSize == 0 ? Fail(ENOENT) : false;

    ReplacementFile out;
    if (!out.Create(scenePath))
        return false;
    if (!WriteSceneContents(out.stream(), layers, shots, thumbnail, thumbnailSize)) {
        out.Abandon();
        return false;
    }
    return out.Commit(true);
}

bool ReadSceneFile(const std::wstring& scenePath, LayerList& layers, ShotList& shots,
                   std::vector<uint8_t>* thumbnail, SceneFileHeader* header, bool headerOnly)
{
    layers.clear();
    shots.clear();
    if (!thumbnail)
        return false;
    FileStream file;
    SceneFileHeader read;
    int64_t fileSize = 0;
    if (OpenSceneFile(scenePath, file, read, fileSize) != SceneFileStatus::Ok)
        return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(read.thumbnailSize));
    if (!file.ReadExact(bytes.data(), bytes.size()))
        return false;
    *thumbnail = std::move(bytes);
    if (header)
        *header = read;
    if (headerOnly)
        return true;

    for (int32_t i = 0; i < read.layerCount; ++i) {
        SceneLayerEntry entry;
        if (!ReadLayerRecord(file, fileSize, entry) || !ReadLayerBytes(file, entry.record))
            return true;  // cut short: the shots lie beyond the cut
        layers.push_back(entry.record);
    }
    ReadShotRecords(file, read.shotCount, shots);
    return true;
}

bool LoadSceneFile(const std::wstring& scenePath, LayerList& layers, ShotList& shots, SceneFileHeader* header,
                   bool loadLayers, bool loadShots, SceneUnpack* unpack)
{
    layers.clear();
    shots.clear();
    FileStream scene;
    SceneFileIndex index;
    if (IndexOpenSceneFile(scenePath, scene, index) != SceneFileStatus::Ok)
        return false;
    SceneUnpack local;
    SceneUnpack& where = unpack ? *unpack : local;
    if (where.folder.empty())
        where.folder = AbsoluteFolder(scenePath);
    where.error = 0;
    errno = 0;
    if (!UnpackBytes(scene, index.thumbnailOffset, index.header.thumbnailSize,
                     platform::JoinPath(where.folder, L"thumbnail.jpg")) ||
        (loadLayers && !UnpackLayers(scene, index, where.folder, layers))) {
        where.error = errno ? errno : EIO;
        layers.clear();
        return Fail(where.error);
    }
    if (header)
        *header = index.header;
    if (loadShots)
        shots = index.shots;
    return true;
}

bool IsSceneFile(const std::wstring& scenePath)
{
    SceneFileIndex index;
    return IndexSceneFile(scenePath, index) == SceneFileStatus::Ok;
}

bool ReadSceneThumbnail(const std::wstring& scenePath, std::vector<uint8_t>& thumbnail)
{
    LayerList layers;
    ShotList shots;
    return ReadSceneFile(scenePath, layers, shots, &thumbnail, nullptr, true);
}

bool SetSceneShotMode(const std::wstring& scenePath, int32_t mode)
{
    if (!EditHeader(scenePath, &SceneFileHeader::shotMode, mode))
        return false;
    // The pictures of the shots belong to the old mode.
    const std::wstring folder = platform::FolderPart(scenePath);
    for (int n = 0; n < kShotPictureCount; ++n)
        platform::RemoveFile(platform::JoinPath(folder.empty() ? L"." : folder, std::to_wstring(n) + L".bmp"));
    return true;
}

bool SetSceneHeaderValue(const std::wstring& scenePath, int32_t value)
{
    return EditHeader(scenePath, &SceneFileHeader::headerValue, value);
}

std::string SceneFileStatusText(SceneFileStatus status)
{
    switch (status) {
    case SceneFileStatus::Ok: return "the scene file reads";
    case SceneFileStatus::CannotOpen: return "the scene file is missing or cannot be opened";
    case SceneFileStatus::ShortHeader: return "the scene file is shorter than its header";
    case SceneFileStatus::ForeignHeader: return "the file is not a scene file (unknown magic number)";
    case SceneFileStatus::WrongVersion: return "the scene file has an unknown version";
    case SceneFileStatus::NoThumbnail: return "the scene file has no thumbnail";
    case SceneFileStatus::BadThumbnail: return "the scene file's thumbnail is incomplete";
    }
    return "the scene file does not read";
}

SceneFileStatus IndexSceneFile(const std::wstring& scenePath, SceneFileIndex& index)
{
    FileStream file;
    return IndexOpenSceneFile(scenePath, file, index);
}

void CropFromStored(LayerInfo& layer)
{
    if (layer.cropLeft == 0.0f && layer.cropTop == 0.0f && layer.cropRight == 0.0f && layer.cropBottom == 0.0f)
        return;
    layer.cropRight = 1.0f - layer.cropRight;
    layer.cropBottom = 1.0f - layer.cropBottom;
    for (float* inset : {&layer.cropLeft, &layer.cropTop, &layer.cropRight, &layer.cropBottom})
        *inset = std::isfinite(*inset) ? std::clamp(*inset, 0.0f, 1.0f) : 0.0f;
}
