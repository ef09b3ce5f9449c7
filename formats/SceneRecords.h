#pragma once
// The plain records of a virtual set: one LayerInfo per layer and one
// ShotInfo per shot. One byte layout serves memory and the native scene file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct obs_source;
typedef struct obs_source obs_source_t;

#pragma pack(push, 1)

struct LayerInfo {
    char name[64];              // 8-bit text in the locale charset, NUL-terminated
    obs_source_t* uvFilter;     // in memory: the layer's UV-map filter (not owned)
    float x;                    // centre, -1 left … +1 right
    float y;                    // centre, -1 bottom … +1 top
    float zoomX;                // displayed width as a fraction of the canvas
    float zoomY;                // displayed height as a fraction of the canvas
    float zoomZ;
    float rotateX;
    float rotateY;
    float rotateZ;              // turns (degrees / 360), whichever format the set came from
    float cropLeft;             // insets as fractions of the picture (the file
    float cropTop;              // stores right and bottom as 1 - inset)
    float cropRight;
    float cropBottom;
    uint8_t dynamic;
    uint8_t visible;
    uint8_t padding1[6];
    obs_source_t* imageSource;  // in memory: the layer's image source (the scene item owns it)
    uint8_t uvEnabled;
    uint8_t padding2[7];
    char* imagePath;            // owned by the record; in a freshly read record the image bytes
    int32_t imagePathSize;      // path length + 1 in memory; image bytes in the file; 0 = none
    uint8_t padding3[4];
    char* uvPath;               // owned by the record; likewise for the UV map
    int32_t uvPathSize;
    uint8_t padding4[4];
};

struct ShotInfo {
    char name[64];
    float x;
    float y;
    float zoomX;
    float zoomY;
    float zoomZ;
    float rotateX;
    float rotateY;
    float rotateZ;
};

#pragma pack(pop)

static_assert(sizeof(void*) == 8, "the record layout assumes 64-bit pointers");
static_assert(sizeof(LayerInfo) == 176);
static_assert(offsetof(LayerInfo, name) == 0);
static_assert(offsetof(LayerInfo, uvFilter) == 64);
static_assert(offsetof(LayerInfo, x) == 72);
static_assert(offsetof(LayerInfo, y) == 76);
static_assert(offsetof(LayerInfo, zoomX) == 80);
static_assert(offsetof(LayerInfo, zoomY) == 84);
static_assert(offsetof(LayerInfo, zoomZ) == 88);
static_assert(offsetof(LayerInfo, rotateX) == 92);
static_assert(offsetof(LayerInfo, rotateY) == 96);
static_assert(offsetof(LayerInfo, rotateZ) == 100);
static_assert(offsetof(LayerInfo, cropLeft) == 104);
static_assert(offsetof(LayerInfo, cropTop) == 108);
static_assert(offsetof(LayerInfo, cropRight) == 112);
static_assert(offsetof(LayerInfo, cropBottom) == 116);
static_assert(offsetof(LayerInfo, dynamic) == 120);
static_assert(offsetof(LayerInfo, visible) == 121);
static_assert(offsetof(LayerInfo, imageSource) == 128);
static_assert(offsetof(LayerInfo, uvEnabled) == 136);
static_assert(offsetof(LayerInfo, imagePath) == 144);
static_assert(offsetof(LayerInfo, imagePathSize) == 152);
static_assert(offsetof(LayerInfo, uvPath) == 160);
static_assert(offsetof(LayerInfo, uvPathSize) == 168);

static_assert(sizeof(ShotInfo) == 96);
static_assert(offsetof(ShotInfo, x) == 64);
static_assert(offsetof(ShotInfo, y) == 68);
static_assert(offsetof(ShotInfo, zoomX) == 72);
static_assert(offsetof(ShotInfo, zoomY) == 76);
static_assert(offsetof(ShotInfo, zoomZ) == 80);
static_assert(offsetof(ShotInfo, rotateX) == 84);
static_assert(offsetof(ShotInfo, rotateY) == 88);
static_assert(offsetof(ShotInfo, rotateZ) == 92);

// Fresh records: name empty, position 0, zooms 1, rotations 0, no crop,
// dynamic 0, visible 1, UV enabled 1, no handles, no paths.
LayerInfo MakeDefaultLayer();
ShotInfo MakeDefaultShot();

// Values from a file that no placement can use are brought within reach
// before they meet pixel arithmetic: a position or rotation that is not a
// finite number becomes 0, a zoom that is not one becomes 1, and positions,
// zooms and rotations larger than kMaxPlacementValue (in either direction)
// are cut to it. A layer's zoom is also kept above 0, as the file reader wants it.
inline constexpr float kMaxPlacementValue = 1000.0f;
void ClampLayerPlacement(LayerInfo& layer);
void ClampShotPlacement(ShotInfo& shot);

// Record names: wide text to the locale charset, cut to 63 bytes without
// splitting a character, NUL-terminated.
void SetRecordName(char (&field)[64], std::wstring_view name);
std::wstring GetRecordName(const char (&field)[64]);

// The two owned buffers of a layer. Setting a path replaces (and frees) the
// old buffer; an empty path leaves none (size 0).
void SetLayerImagePath(LayerInfo& layer, std::string_view ansiPath);
void SetLayerUvPath(LayerInfo& layer, std::string_view ansiPath);
std::string LayerImagePath(const LayerInfo& layer);  // empty when none
std::string LayerUvPath(const LayerInfo& layer);
void FreeLayerBuffers(LayerInfo& layer);
// A copy of the record with its own copies of both buffers.
LayerInfo CloneLayer(const LayerInfo& layer);

// A list of layer records that owns their buffers: whoever empties it frees
// both buffers of every record. Move-only, so no buffer has two owners.
class LayerList {
public:
    LayerList() = default;
    ~LayerList() { clear(); }
    LayerList(LayerList&& other) noexcept : m_items(std::move(other.m_items)) { other.m_items.clear(); }
    LayerList& operator=(LayerList&& other) noexcept;
    LayerList(const LayerList&) = delete;
    LayerList& operator=(const LayerList&) = delete;

    size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    LayerInfo& operator[](size_t i) { return m_items[i]; }
    const LayerInfo& operator[](size_t i) const { return m_items[i]; }
    LayerInfo* data() { return m_items.data(); }
    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    // The list takes over the record's buffers.
    void push_back(const LayerInfo& layer) { m_items.push_back(layer); }
    void insert(size_t index, const LayerInfo& layer) { m_items.insert(m_items.begin() + static_cast<ptrdiff_t>(index), layer); }
    // Frees the record's buffers and removes it.
    void erase(size_t index);
    // Removes the record without freeing; the caller takes its buffers.
    LayerInfo take(size_t index);
    void swap(size_t a, size_t b) { std::swap(m_items[a], m_items[b]); }
    void reserve(size_t count) { m_items.reserve(count); }
    void reverse();
    // Moves every record of the other list to the end of this one.
    void append(LayerList&& other);
    void clear();

private:
    std::vector<LayerInfo> m_items;
};

using ShotList = std::vector<ShotInfo>;
