#pragma once
// The native virtual-set package: a set folder with one scene file,
// "scene.tvn", in which the thumbnail, every layer image and every UV map are
// embedded. The file is: header, thumbnail bytes, then per layer (back to
// front) its record, its image bytes and its UV-map bytes, then the shot
// records. Integers are little-endian.
#include "SceneRecords.h"

#include <cstdint>
#include <string>
#include <vector>

#pragma pack(push, 1)
struct SceneFileHeader {
    uint32_t magic;          // kSceneMagic
    uint32_t version;        // kSceneVersion
    uint32_t saveTime;       // low 32 bits of the seconds since 1970 (UTC)
    int32_t layerCount;
    int32_t shotCount;
    int32_t thumbnailSize;   // bytes of JPEG after the header; never 0
    int32_t shotMode;        // 0 (as written) reads as kShotModeCamera
    int32_t reserved1;
    int32_t headerValue;     // kSceneHeaderValue when written
    uint8_t reserved2[500];
};
#pragma pack(pop)

static_assert(sizeof(SceneFileHeader) == 536);
static_assert(offsetof(SceneFileHeader, saveTime) == 8);
static_assert(offsetof(SceneFileHeader, layerCount) == 12);
static_assert(offsetof(SceneFileHeader, shotCount) == 16);
static_assert(offsetof(SceneFileHeader, thumbnailSize) == 20);
static_assert(offsetof(SceneFileHeader, shotMode) == 24);
static_assert(offsetof(SceneFileHeader, headerValue) == 32);
static_assert(offsetof(SceneFileHeader, reserved2) == 36);

inline constexpr uint32_t kSceneMagic = 0x32129910;
inline constexpr uint32_t kSceneVersion = 1;
inline constexpr int32_t kSceneHeaderValue = 1000;
inline constexpr int32_t kShotModeCamera = 4;  // shots move the whole set
inline constexpr int32_t kShotModeLayer = 5;   // a shot brings one layer to full frame
inline constexpr const wchar_t* kSceneFileName = L"scene.tvn";

// The stored shot mode as the scene uses it (0 means camera shots).
int32_t EffectiveShotMode(const SceneFileHeader& header);

// Writes the scene file for the layer list (stored last to first) and the
// shot list (in order), embedding the thumbnail (converted to JPEG beside
// itself as "<path>.jpg" when it is not one) and every layer's image and UV
// file as they are on disk now. The file is written under a temporary name in
// the same folder and replaces the old one only when complete, so a failed
// save keeps the previous file. False (errno tells why) for an empty layer
// list, a missing or unconvertible thumbnail, or any read or write failure.
bool WriteSceneFile(const std::wstring& scenePath, const LayerList& layers, const ShotList& shots,
                    const std::wstring& thumbnailPath);

// Reads the whole file into memory: every complete layer record with its
// image bytes in imagePath (imagePathSize = byte count) and UV bytes in uvPath,
// every complete shot record, and the thumbnail bytes. Zooms of 0 or less read
// as 1; visible and UV enabled read as 1. False, with both lists empty, when
// there is no thumbnail output, or the file is missing, has a short or foreign
// header, or its thumbnail is empty or incomplete. A file cut short later
// yields the records before the cut and true. Nothing larger than what is left
// of the file is ever allocated.
bool ReadSceneFile(const std::wstring& scenePath, LayerList& layers, ShotList& shots,
                   std::vector<uint8_t>* thumbnail, SceneFileHeader* header, bool headerOnly);

// Where LoadSceneFile unpacks, and what went wrong there.
struct SceneUnpack {
    std::wstring folder;  // in: where to unpack (empty: the scene file's folder); out: where it did
    int error = 0;        // out: errno of the first file that could not be written, else 0
};

// Reads the scene file and unpacks it into a folder (its own unless another
// is given): "thumbnail.jpg", and for loaded layer n (numbered from 1,
// front-most first) "s<n>.png" and "uv<n>.png". The layer list comes back
// front-most first, holding only the layers with an image, each with its
// image and UV paths pointing at the unpacked files (8-bit locale text).
// Image bytes are streamed from the scene file to the unpacked files, never
// held whole in memory. A file that already holds exactly the bytes it would
// get is kept; every other is made afresh: when one cannot be written the
// load fails with unpack->error (and errno) set and both lists empty, so no
// picture left by an earlier unpack is ever taken for the set's unless it is
// byte for byte the set's own.
bool LoadSceneFile(const std::wstring& scenePath, LayerList& layers, ShotList& shots,
                   SceneFileHeader* header, bool loadLayers, bool loadShots, SceneUnpack* unpack = nullptr);

// Whether the file reads as a scene file. Seeks over the thumbnail, image and
// UV bytes instead of reading them.
bool IsSceneFile(const std::wstring& scenePath);

// The embedded thumbnail (JPEG bytes) without reading further.
bool ReadSceneThumbnail(const std::wstring& scenePath, std::vector<uint8_t>& thumbnail);

// In-place edits of one header word; the file must carry the magic and
// version 1. A changed shot mode also deletes the shot preview pictures
// "0.bmp" … "9.bmp" in the set folder, which belong to the old mode.
bool SetSceneShotMode(const std::wstring& scenePath, int32_t mode);
bool SetSceneHeaderValue(const std::wstring& scenePath, int32_t value);

// Why a scene file does not read, for messages.
enum class SceneFileStatus {
    Ok,
    CannotOpen,       // missing or unreadable
    ShortHeader,
    ForeignHeader,    // wrong magic
    WrongVersion,
    NoThumbnail,      // thumbnail size 0
    BadThumbnail,     // negative or beyond the end of the file
};
std::string SceneFileStatusText(SceneFileStatus status);

// Where everything lies in a scene file, read without the embedded bytes.
struct SceneLayerEntry {
    LayerInfo record;     // as read: no buffers; imagePathSize and uvPathSize hold the byte counts
    uint8_t storedVisible = 1;  // the visible byte as the file holds it (loading shows every layer)
    int64_t imageOffset;  // of the image bytes in the file
    int64_t uvOffset;     // of the UV-map bytes
};
struct SceneFileIndex {
    SceneFileHeader header;
    int64_t thumbnailOffset = 0;
    std::vector<SceneLayerEntry> layers;  // in file order (back to front)
    ShotList shots;
};
// Reads the header and every complete record, seeking over the embedded
// bytes. The same records as ReadSceneFile, in file order, layers without an
// image included.
SceneFileStatus IndexSceneFile(const std::wstring& scenePath, SceneFileIndex& index);

// The scene's rule after loading: the stored crop holds right and bottom as
// edge positions (1 - inset); when any of the four values is not 0 they are
// turned back into insets, otherwise the layer has no crop. Insets that are
// not finite numbers become 0, and all are kept within 0 ... 1.
void CropFromStored(LayerInfo& layer);
