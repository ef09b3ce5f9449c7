// Damaged scene files: every truncation point that matters and flipped bits
// in every record field. Nothing may crash, nothing may be allocated beyond
// the file's size, and only complete records may come back. This program
// counts its own allocations (operator new is replaced below).
#include "SceneTestData.h"
#include "support/TestSupport.h"

#include "fuzz/native/SceneReaderCheck.h"

#include "formats/SceneFile.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <malloc.h>
#include <new>
#include <set>

namespace {

std::atomic<bool> g_counting{false};
std::atomic<size_t> g_largest{0};

void* CountedAlloc(size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    if (g_counting.load(std::memory_order_relaxed)) {
        size_t seen = g_largest.load();
        while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
        }
    }
    return p;
}

// The largest single allocation made while the object lives.
class AllocationWatch {
public:
    AllocationWatch()
    {
        g_largest = 0;
        g_counting = true;
    }
    ~AllocationWatch() { g_counting = false; }
    size_t largest() const { return g_largest.load(); }
};

}  // namespace

void* operator new(size_t size) { return CountedAlloc(size); }
void* operator new[](size_t size) { return CountedAlloc(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

using namespace scenetest;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

constexpr size_t kSlack = 4096;  // paths, small vectors

class CorruptSceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        thumb = JpegBytes(24, 12, 0xff204060u);
        // Images far larger than the slack, so reading one shows.
        Build(1000);
    }

    // Three layers (two with UV maps) and two shots; image sizes scale.
    void Build(size_t scale)
    {
        const StoredLayer back("back", std::string(20 * scale, 'b'), std::string(9 * scale, 'u'));
        const StoredLayer middle("middle", std::string(15 * scale, 'm'));
        const StoredLayer front("front", std::string(12 * scale, 'f'), std::string(7 * scale, 'v'));
        good = SceneBytes(99, thumb, {back, middle, front}, {StoredShot("one"), StoredShot("two")});
        // Where each record starts and ends, in file order.
        size_t at = 536 + thumb.size();
        thumbEnd = at;
        recordStarts.clear();
        layerEnds.clear();
        for (const StoredLayer* l : {&back, &middle, &front}) {
            recordStarts.push_back(at);
            at += 176 + l->image.size() + l->uv.size();
            layerEnds.push_back(at);
        }
        shotEnds = {at + 96, at + 192};
    }

    std::wstring probe() const { return dir.wfile("probe/scene.tvn"); }
    void WriteProbe(const std::string& bytes)
    {
        std::filesystem::create_directories(dir.file("probe"));
        std::filesystem::remove(dir.file("probe/scene.tvn"));
        WriteFileBytes(dir.file("probe/scene.tvn"), bytes);
    }

    TempDir dir;
    std::string thumb, good;
    size_t thumbEnd = 0;
    std::vector<size_t> recordStarts, layerEnds, shotEnds;
};

}  // namespace

TEST_F(CorruptSceneTest, TruncatedFilesYieldExactlyTheCompleteRecords)
{
    std::set<size_t> cuts;
    std::vector<size_t> marks = {0, 4, 20, 24, 535, 536, thumbEnd};
    for (size_t s : recordStarts)
        marks.insert(marks.end(), {s + 64, s + 152, s + 168, s + 176});
    marks.insert(marks.end(), layerEnds.begin(), layerEnds.end());
    marks.insert(marks.end(), shotEnds.begin(), shotEnds.end());
    for (size_t m : marks)
        for (size_t d = 0; d < 5; ++d)
            if (m + d >= 2 && m + d - 2 <= good.size())
                cuts.insert(m + d - 2);
    for (size_t c = 0; c < good.size(); c += 1999)
        cuts.insert(c);

    for (size_t cut : cuts) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const std::string bytes = good.substr(0, cut);
        WriteProbe(bytes);
        const bool complete = cut >= thumbEnd;
        const size_t wantLayers = size_t(std::count_if(layerEnds.begin(), layerEnds.end(), [&](size_t e) { return e <= cut; }));
        const size_t wantShots = size_t(std::count_if(shotEnds.begin(), shotEnds.end(), [&](size_t e) { return e <= cut; }));

        LayerList layers;
        ShotList shots;
        std::vector<uint8_t> t;
        {
            AllocationWatch watch;
            EXPECT_EQ(ReadSceneFile(probe(), layers, shots, &t, nullptr, false), complete);
            EXPECT_LE(watch.largest(), cut + kSlack);
        }
        EXPECT_EQ(layers.size(), complete ? wantLayers : 0u);
        EXPECT_EQ(shots.size(), complete ? wantShots : 0u);
        {
            // The validity check seeks over every embedded byte.
            AllocationWatch watch;
            EXPECT_EQ(IsSceneFile(probe()), complete);
            EXPECT_LE(watch.largest(), kSlack);
        }
        {
            AllocationWatch watch;
            LayerList loaded;
            EXPECT_EQ(LoadSceneFile(probe(), loaded, shots, nullptr, true, true), complete);
            EXPECT_LE(watch.largest(), size_t(20000) + kSlack);  // one copy buffer, at most an image
        }
        EXPECT_EQ(CheckSceneReaders(bytes, dir.wfile("probe")), "");
    }
}

TEST_F(CorruptSceneTest, FlippedBitsNeverReadBeyondTheFile)
{
    // Every byte of the header words, the records and the shots; the loader
    // runs where a count or a size changed.
    Build(10);
    std::vector<std::pair<size_t, bool>> positions;
    for (size_t i = 0; i < 40; ++i)
        positions.push_back({i, i >= 12 && i < 24});
    for (size_t s : recordStarts)
        for (size_t i = 0; i < 176; ++i)
            positions.push_back({s + i, (i >= 152 && i < 156) || (i >= 168 && i < 172)});
    for (size_t i = layerEnds.back(); i < good.size(); ++i)
        positions.push_back({i, false});

    for (const auto& [pos, withLoader] : positions) {
        for (uint8_t change : {uint8_t(0x01), uint8_t(0x80), uint8_t(0x7f)}) {
            std::string bytes = good;
            bytes[pos] = char(uint8_t(bytes[pos]) ^ change);
            SCOPED_TRACE("byte " + std::to_string(pos) + " ^ " + std::to_string(change));
            WriteProbe(bytes);
            LayerList layers;
            ShotList shots;
            std::vector<uint8_t> t;
            AllocationWatch watch;
            ReadSceneFile(probe(), layers, shots, &t, nullptr, false);
            ASSERT_LE(watch.largest(), bytes.size() + kSlack);
            ASSERT_EQ(CheckSceneReaders(bytes, dir.wfile("probe"), withLoader), "");
        }
    }
}

TEST_F(CorruptSceneTest, AbsurdCountsAndSizesCostNothing)
{
    auto withWord = [&](size_t offset, int32_t value) {
        std::string bytes = good;
        std::memcpy(bytes.data() + offset, &value, 4);
        return bytes;
    };
    struct Case {
        const char* what;
        std::string bytes;
        bool reads;
        size_t layers;
    };
    const size_t firstImageSize = recordStarts[0] + 152;
    const size_t firstUvSize = recordStarts[0] + 168;
    const size_t middleImageSize = recordStarts[1] + 152;  // a layer without a UV map
    const Case cases[] = {
        {"huge thumbnail", withWord(20, INT32_MAX), false, 0},
        {"negative thumbnail", withWord(20, -1), false, 0},
        {"huge layer count", withWord(12, INT32_MAX), true, 3},
        {"negative layer count", withWord(12, -5), true, 0},
        {"huge shot count", withWord(16, INT32_MAX), true, 3},
        {"huge image", withWord(firstImageSize, INT32_MAX), true, 0},
        {"negative image", withWord(firstImageSize, INT32_MIN), true, 0},
        {"huge image, no UV map", withWord(middleImageSize, 0x7ffffff0), true, 1},
        {"image one byte too long", withWord(middleImageSize, int32_t(good.size() - recordStarts[1] - 175)), true, 1},
        {"huge UV map", withWord(firstUvSize, 0x7ffffff0), true, 0},
        {"negative UV map", withWord(firstUvSize, -9000), true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteProbe(c.bytes);
        LayerList layers;
        ShotList shots;
        std::vector<uint8_t> t;
        AllocationWatch watch;
        EXPECT_EQ(ReadSceneFile(probe(), layers, shots, &t, nullptr, false), c.reads);
        EXPECT_EQ(layers.size(), c.layers);
        EXPECT_LE(watch.largest(), c.bytes.size() + kSlack);
        EXPECT_EQ(CheckSceneReaders(c.bytes, dir.wfile("probe")), "");
    }
}

TEST(SceneFuzzCorpus, EverySeedPassesTheReaderChecks)
{
    const std::string corpus = std::string(KELVANE_SOURCE_DIR) + "/fuzz/native/corpus";
    TempDir dir;
    size_t seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        SCOPED_TRACE(entry.path().filename().string());
        const std::string bytes = testsupport::ReadFileBytes(entry.path().string());
        AllocationWatch watch;
        EXPECT_EQ(CheckSceneReaders(bytes, dir.wpath()), "");
        EXPECT_LE(watch.largest(), 2 * bytes.size() + kSlack);
        ++seeds;
    }
    EXPECT_GE(seeds, 10u);
}
