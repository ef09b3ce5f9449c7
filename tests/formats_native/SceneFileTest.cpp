// The native set package: writer, reader, loader, checks and header edits,
// on real files in temporary folders.
#include "SceneTestData.h"
#include "support/TestSupport.h"

#include "formats/SceneFile.h"
#include "formats/SetsRoot.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <QImage>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <limits>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace scenetest;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

std::wstring W(const std::string& s) { return platform::Utf8ToWide(s); }

// A set folder with three layer images A, B, C (B with a UV map), a JPEG
// thumbnail and two shots.
class SceneFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(set());
        for (const char* n : {"a", "b", "c"}) {
            images[n] = PngBytes(16 + int(images.size()) * 4, 9, 0xff102030u + uint32_t(images.size()));
            WriteFileBytes(media.file(std::string(n) + ".png"), images[n]);
        }
        uv = PngBytes(8, 8, 0xffff0000u);
        WriteFileBytes(media.file("uv.png"), uv);
        thumb = JpegBytes(32, 18, 0xff336699u);
        WriteFileBytes(media.file("thumb.jpg"), thumb);

        LayerInfo a = MakeLayer("A", media.file("a.png"));
        a.x = -0.5f;
        a.y = 0.25f;
        a.zoomX = 0.5f;
        a.zoomY = 0.75f;
        a.zoomZ = 2.0f;
        a.rotateX = 0.125f;
        a.rotateY = -0.375f;
        a.rotateZ = 0.0625f;
        a.cropLeft = 0.25f;
        a.cropTop = 0.125f;
        a.cropRight = 0.5f;
        a.cropBottom = 0.0625f;
        a.dynamic = 1;
        layers.push_back(a);
        layers.push_back(MakeLayer("B", media.file("b.png"), media.file("uv.png")));
        layers.push_back(MakeLayer("C", media.file("c.png")));

        ShotInfo one = MakeDefaultShot();
        SetRecordName(one.name, L"Wide");
        ShotInfo two = MakeDefaultShot();
        SetRecordName(two.name, L"Close");
        two.x = 0.5f;
        two.zoomX = two.zoomY = 2.5f;
        two.rotateZ = -0.25f;
        shots = {one, two};
    }

    std::string set() const { return root.file("My Set"); }
    std::wstring scene() const { return W(set() + "/scene.tvn"); }
    std::wstring thumbPath() const { return media.wfile("thumb.jpg"); }
    bool Save() { return WriteSceneFile(scene(), layers, shots, thumbPath()); }

    TempDir root{"kelvane-sets-"};
    TempDir media{"kelvane-media-"};
    std::map<std::string, std::string> images;
    std::string uv, thumb;
    LayerList layers;
    ShotList shots;
};

void ExpectSamePlacement(const LayerInfo& a, const LayerInfo& b)
{
    EXPECT_STREQ(a.name, b.name);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.zoomX, b.zoomX);
    EXPECT_EQ(a.zoomY, b.zoomY);
    EXPECT_EQ(a.zoomZ, b.zoomZ);
    EXPECT_EQ(a.rotateX, b.rotateX);
    EXPECT_EQ(a.rotateY, b.rotateY);
    EXPECT_EQ(a.rotateZ, b.rotateZ);
    EXPECT_EQ(a.cropLeft, b.cropLeft);
    EXPECT_EQ(a.cropTop, b.cropTop);
    EXPECT_EQ(a.cropRight, b.cropRight);
    EXPECT_EQ(a.cropBottom, b.cropBottom);
    EXPECT_EQ(a.dynamic, b.dynamic);
}

std::vector<std::string> TempLeftovers(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".scene.tvn.", 0) == 0)
            names.push_back(name);
    }
    return names;
}

}  // namespace

TEST_F(SceneFileTest, LayersAreStoredBackToFrontAndLoadInListOrder)
{
    ASSERT_TRUE(Save());
    SceneFileIndex index;
    ASSERT_EQ(IndexSceneFile(scene(), index), SceneFileStatus::Ok);
    ASSERT_EQ(index.layers.size(), 3u);
    EXPECT_STREQ(index.layers[0].record.name, "C");
    EXPECT_STREQ(index.layers[1].record.name, "B");
    EXPECT_STREQ(index.layers[2].record.name, "A");

    LayerList loaded;
    ShotList loadedShots;
    SceneFileHeader header;
    ASSERT_TRUE(LoadSceneFile(scene(), loaded, loadedShots, &header, true, true));
    ASSERT_EQ(loaded.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        LayerInfo layer = loaded[i];
        CropFromStored(layer);
        ExpectSamePlacement(layer, layers[i]);
        EXPECT_EQ(layer.visible, 1);
        EXPECT_EQ(layer.uvEnabled, 1);
    }
    // Unpacked in list order beside the scene file, bytes unchanged.
    EXPECT_EQ(LayerImagePath(loaded[0]), set() + "/s1.png");
    EXPECT_EQ(ReadFileBytes(set() + "/s1.png"), images["a"]);
    EXPECT_EQ(ReadFileBytes(set() + "/s2.png"), images["b"]);
    EXPECT_EQ(ReadFileBytes(set() + "/s3.png"), images["c"]);
    EXPECT_EQ(LayerUvPath(loaded[1]), set() + "/uv2.png");
    EXPECT_EQ(ReadFileBytes(set() + "/uv2.png"), uv);
    EXPECT_EQ(loaded[0].uvPath, nullptr);
    EXPECT_FALSE(testsupport::Exists(set() + "/uv1.png"));
    EXPECT_EQ(ReadFileBytes(set() + "/thumbnail.jpg"), thumb);

    ASSERT_EQ(loadedShots.size(), 2u);
    EXPECT_EQ(std::memcmp(&loadedShots[0], &shots[0], sizeof(ShotInfo)), 0);
    EXPECT_EQ(std::memcmp(&loadedShots[1], &shots[1], sizeof(ShotInfo)), 0);
    EXPECT_EQ(header.layerCount, 3);
    EXPECT_EQ(header.shotCount, 2);
    EXPECT_EQ(header.headerValue, 1000);
    EXPECT_EQ(header.shotMode, 0);
    EXPECT_EQ(EffectiveShotMode(header), kShotModeCamera);
}

TEST_F(SceneFileTest, HandBuiltFileReadsAndWriterProducesTheSameBytes)
{
    // The records of the fixture, back to front as they lie in the file.
    const StoredLayer c("C", images["c"]);
    const StoredLayer b("B", images["b"], uv);
    StoredLayer a("A", images["a"]);
    a.x = -0.5f;
    a.y = 0.25f;
    a.zoomX = 0.5f;
    a.zoomY = 0.75f;
    a.zoomZ = 2.0f;
    a.rotateX = 0.125f;
    a.rotateY = -0.375f;
    a.rotateZ = 0.0625f;
    a.crop[0] = 0.25f;
    a.crop[1] = 0.125f;
    a.crop[2] = 0.5f;     // 1 - 0.5
    a.crop[3] = 0.9375f;  // 1 - 0.0625
    a.dynamic = 1;
    const StoredShot wide("Wide");
    StoredShot close("Close");
    close.x = 0.5f;
    close.zoomX = close.zoomY = 2.5f;
    close.rotateZ = -0.25f;
    const std::string fixture = SceneBytes(0x5eadbeefu, thumb, {c, b, a}, {wide, close});
    WriteFileBytes(root.file("fixture.tvn"), fixture);

    LayerList read;
    ShotList readShots;
    std::vector<uint8_t> readThumb;
    SceneFileHeader header;
    ASSERT_TRUE(ReadSceneFile(W(root.file("fixture.tvn")), read, readShots, &readThumb, &header, false));
    EXPECT_EQ(header.saveTime, 0x5eadbeefu);
    EXPECT_EQ(std::string(readThumb.begin(), readThumb.end()), thumb);
    ASSERT_EQ(read.size(), 3u);
    const LayerInfo& ra = read[2];
    EXPECT_STREQ(ra.name, "A");
    EXPECT_EQ(ra.x, -0.5f);
    EXPECT_EQ(ra.zoomZ, 2.0f);
    EXPECT_EQ(ra.rotateY, -0.375f);
    EXPECT_EQ(ra.cropRight, 0.5f);     // still as stored: edge position
    EXPECT_EQ(ra.cropBottom, 0.9375f);
    EXPECT_EQ(ra.dynamic, 1);
    EXPECT_EQ(std::string(ra.imagePath, size_t(ra.imagePathSize)), images["a"]);
    EXPECT_EQ(std::string(read[1].uvPath, size_t(read[1].uvPathSize)), uv);
    EXPECT_EQ(read[0].uvPath, nullptr);
    ASSERT_EQ(readShots.size(), 2u);
    EXPECT_STREQ(readShots[1].name, "Close");
    EXPECT_EQ(readShots[1].zoomY, 2.5f);
    EXPECT_EQ(readShots[1].rotateZ, -0.25f);

    ASSERT_TRUE(Save());
    std::string written = ReadFileBytes(set() + "/scene.tvn");
    ASSERT_EQ(written.size(), fixture.size());
    std::memcpy(written.data() + 8, fixture.data() + 8, 4);  // the save time differs
    EXPECT_TRUE(written == fixture);
}

TEST_F(SceneFileTest, SaveTimeIsNow)
{
    const uint32_t before = static_cast<uint32_t>(std::time(nullptr));
    ASSERT_TRUE(Save());
    SceneFileHeader header;
    LayerList l;
    ShotList s;
    std::vector<uint8_t> t;
    ASSERT_TRUE(ReadSceneFile(scene(), l, s, &t, &header, true));
    EXPECT_GE(header.saveTime, before);
    EXPECT_LE(header.saveTime, static_cast<uint32_t>(std::time(nullptr)));
    EXPECT_TRUE(l.empty());  // header only
}

TEST_F(SceneFileTest, DeletedImageIsSavedEmptyAndDroppedOnLoad)
{
    std::filesystem::remove(media.file("b.png"));
    ASSERT_TRUE(Save());
    SceneFileIndex index;
    ASSERT_EQ(IndexSceneFile(scene(), index), SceneFileStatus::Ok);
    ASSERT_EQ(index.layers.size(), 3u);
    EXPECT_EQ(index.layers[1].record.imagePathSize, 0);
    EXPECT_EQ(index.layers[1].record.uvPathSize, int32_t(uv.size()));  // its UV map still goes in

    LayerList loaded;
    ShotList s;
    ASSERT_TRUE(LoadSceneFile(scene(), loaded, s, nullptr, true, false));
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_STREQ(loaded[0].name, "A");
    EXPECT_STREQ(loaded[1].name, "C");
    // Numbering follows the loaded list, so C becomes s2.
    EXPECT_EQ(ReadFileBytes(set() + "/s2.png"), images["c"]);
    EXPECT_FALSE(testsupport::Exists(set() + "/uv2.png"));
    EXPECT_TRUE(s.empty());
}

TEST_F(SceneFileTest, StoredFlagsAndZoomsReadWithTheReadersDefaults)
{
    StoredLayer odd("odd", "x");
    odd.zoomX = 0.0f;
    odd.zoomY = -1.0f;
    odd.zoomZ = std::numeric_limits<float>::quiet_NaN();
    odd.visible = 0;
    odd.uvEnabled = 0;
    WriteFileBytes(root.file("odd.tvn"), SceneBytes(1, thumb, {odd}, {}));
    LayerList read;
    ShotList s;
    std::vector<uint8_t> t;
    ASSERT_TRUE(ReadSceneFile(W(root.file("odd.tvn")), read, s, &t, nullptr, false));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].zoomX, 1.0f);
    EXPECT_EQ(read[0].zoomY, 1.0f);
    EXPECT_EQ(read[0].zoomZ, 1.0f);
    EXPECT_EQ(read[0].visible, 1);
    EXPECT_EQ(read[0].uvEnabled, 1);

    // The writer stores the flags as held.
    layers[0].visible = 0;
    layers[0].uvEnabled = 0;
    ASSERT_TRUE(Save());
    const std::string bytes = ReadFileBytes(set() + "/scene.tvn");
    SceneFileIndex index;
    ASSERT_EQ(IndexSceneFile(scene(), index), SceneFileStatus::Ok);
    const size_t recordA = size_t(index.layers[2].imageOffset) - sizeof(LayerInfo);
    EXPECT_EQ(bytes[recordA + 121], 0);
    EXPECT_EQ(bytes[recordA + 136], 0);
}

TEST_F(SceneFileTest, CropWithoutInsetsStoresEdgesAndAllZeroMeansNoCrop)
{
    // No crop is stored as 0, 0, 1, 1 and comes back as no crop.
    ASSERT_TRUE(Save());
    SceneFileIndex index;
    ASSERT_EQ(IndexSceneFile(scene(), index), SceneFileStatus::Ok);
    LayerInfo c = index.layers[0].record;
    EXPECT_EQ(c.cropRight, 1.0f);
    EXPECT_EQ(c.cropBottom, 1.0f);
    CropFromStored(c);
    EXPECT_EQ(c.cropRight, 0.0f);
    EXPECT_EQ(c.cropBottom, 0.0f);
    // Four stored zeros also mean no crop (not a crop of the whole picture).
    LayerInfo zero = MakeDefaultLayer();
    CropFromStored(zero);
    EXPECT_EQ(zero.cropRight, 0.0f);
    EXPECT_EQ(zero.cropBottom, 0.0f);
}

TEST_F(SceneFileTest, LongNamesKeep63BytesAndUnterminatedNamesAreCut)
{
    SetRecordName(layers[2].name, std::wstring(80, L'n'));
    ASSERT_TRUE(Save());
    LayerList loaded;
    ShotList s;
    ASSERT_TRUE(LoadSceneFile(scene(), loaded, s, nullptr, true, true));
    EXPECT_EQ(std::string(loaded[2].name), std::string(63, 'n'));

    // A foreign file with 64 name bytes and no NUL reads with the last cut off.
    const StoredLayer full("", "i");
    std::string bytes = SceneBytes(1, thumb, {full}, {});
    std::memset(bytes.data() + 536 + thumb.size(), 'z', 64);
    WriteFileBytes(root.file("long.tvn"), bytes);
    LayerList read;
    std::vector<uint8_t> t;
    ASSERT_TRUE(ReadSceneFile(W(root.file("long.tvn")), read, s, &t, nullptr, false));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(std::string(read[0].name), std::string(63, 'z'));
}

TEST_F(SceneFileTest, ValidityCheckNeedsHeaderAndThumbnailOnly)
{
    ASSERT_TRUE(Save());
    const std::string good = ReadFileBytes(set() + "/scene.tvn");
    const std::wstring probe = W(root.file("probe.tvn"));
    auto check = [&](const std::string& bytes) {
        WriteFileBytes(root.file("probe.tvn"), bytes);
        return IsSceneFile(probe);
    };
    EXPECT_TRUE(check(good));
    EXPECT_TRUE(check(good.substr(0, 536 + thumb.size())));          // no records at all
    EXPECT_TRUE(check(good.substr(0, 536 + thumb.size() + 100)));    // cut inside a record
    EXPECT_TRUE(check(good.substr(0, good.size() - 10)));            // cut inside a shot
    EXPECT_FALSE(check(good.substr(0, 536 + thumb.size() - 1)));     // thumbnail incomplete
    EXPECT_FALSE(check(good.substr(0, 535)));
    EXPECT_FALSE(check(""));
    std::string bad = good;
    bad[0] ^= 1;
    EXPECT_FALSE(check(bad));
    bad = good;
    bad[4] = 2;  // version
    EXPECT_FALSE(check(bad));
    bad = good;
    std::memset(bad.data() + 20, 0, 4);  // thumbnail size 0
    EXPECT_FALSE(check(bad));
    EXPECT_FALSE(IsSceneFile(W(root.file("missing.tvn"))));
    EXPECT_FALSE(IsSceneFile(W(set())));  // a folder

    SceneFileIndex index;
    WriteFileBytes(root.file("probe.tvn"), good.substr(0, 536 + thumb.size() + 176 + 3));
    EXPECT_EQ(IndexSceneFile(probe, index), SceneFileStatus::Ok);
    EXPECT_TRUE(index.layers.empty());  // the first layer's image is cut
    WriteFileBytes(root.file("probe.tvn"), good.substr(0, 100));
    EXPECT_EQ(IndexSceneFile(probe, index), SceneFileStatus::ShortHeader);
}

TEST_F(SceneFileTest, ThumbnailThatIsNotJpegIsConvertedBesideItself)
{
    const std::string png = PngBytes(40, 20, 0x80ff8800u);  // with transparency
    WriteFileBytes(media.file("thumb.png"), png);
    ASSERT_TRUE(WriteSceneFile(scene(), layers, shots, media.wfile("thumb.png")));
    const std::string converted = ReadFileBytes(media.file("thumb.png.jpg"));
    ASSERT_GT(converted.size(), 4u);
    EXPECT_EQ(uint8_t(converted[0]), 0xFF);
    EXPECT_EQ(uint8_t(converted[1]), 0xD8);
    EXPECT_EQ(ReadFileBytes(media.file("thumb.png")), png);  // the original stays
    std::vector<uint8_t> embedded;
    ASSERT_TRUE(ReadSceneThumbnail(scene(), embedded));
    EXPECT_EQ(std::string(embedded.begin(), embedded.end()), converted);
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(embedded.data(), int(embedded.size())));
    EXPECT_EQ(decoded.size(), QSize(40, 20));
}

TEST_F(SceneFileTest, NothingToSaveOrNoThumbnailWritesNothing)
{
    LayerList none;
    EXPECT_FALSE(WriteSceneFile(scene(), none, shots, thumbPath()));
    EXPECT_FALSE(WriteSceneFile(scene(), layers, shots, L""));
    EXPECT_FALSE(WriteSceneFile(scene(), layers, shots, media.wfile("nothing.jpg")));
    WriteFileBytes(media.file("garbage.jpg"), "not a picture");
    EXPECT_FALSE(WriteSceneFile(scene(), layers, shots, media.wfile("garbage.jpg")));
    EXPECT_FALSE(testsupport::Exists(set() + "/scene.tvn"));
    EXPECT_TRUE(TempLeftovers(set()).empty());
    EXPECT_FALSE(WriteSceneFile(W(root.file("no such folder/scene.tvn")), layers, shots, thumbPath()));
}

TEST_F(SceneFileTest, SaveThatCannotReadAnImageKeepsThePreviousFile)
{
    ASSERT_TRUE(Save());
    const std::string previous = ReadFileBytes(set() + "/scene.tvn");
    // An image that is there but cannot be read now (a folder in its place).
    std::filesystem::remove(media.file("c.png"));
    std::filesystem::create_directory(media.file("c.png"));
    layers[0].x = 0.75f;
    EXPECT_FALSE(Save());
    EXPECT_EQ(errno, EISDIR);
    EXPECT_EQ(ReadFileBytes(set() + "/scene.tvn"), previous);
    EXPECT_TRUE(TempLeftovers(set()).empty());
}

TEST_F(SceneFileTest, SaveThatFailsToWriteHalfWayKeepsThePreviousFile)
{
    ASSERT_TRUE(Save());
    const std::string previous = ReadFileBytes(set() + "/scene.tvn");
    // Let writing fail once the new file has grown past its header and thumbnail.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = 536 + thumb.size() + 200;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    layers[1].x = 0.75f;
    const bool saved = Save();
    const int error = errno;
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(ReadFileBytes(set() + "/scene.tvn"), previous);
    EXPECT_TRUE(TempLeftovers(set()).empty());
}

TEST_F(SceneFileTest, ReaderWithoutThumbnailOutputOrForeignFileLeavesListsEmpty)
{
    ASSERT_TRUE(Save());
    LayerList read;
    read.push_back(MakeLayer("stale", "/x"));
    ShotList s(1, MakeDefaultShot());
    EXPECT_FALSE(ReadSceneFile(scene(), read, s, nullptr, nullptr, false));
    EXPECT_TRUE(read.empty());
    EXPECT_TRUE(s.empty());
    WriteFileBytes(root.file("foreign.tvn"), std::string(2000, 'q'));
    std::vector<uint8_t> t;
    SceneFileHeader header{};
    header.magic = 7;
    EXPECT_FALSE(ReadSceneFile(W(root.file("foreign.tvn")), read, s, &t, &header, false));
    EXPECT_EQ(header.magic, 7u);  // untouched
    LayerList loaded;
    EXPECT_FALSE(LoadSceneFile(W(root.file("foreign.tvn")), loaded, s, nullptr, true, true));
    EXPECT_FALSE(testsupport::Exists(root.file("thumbnail.jpg")));
}

TEST_F(SceneFileTest, LoaderReplacesUnpackedFilesAndHonoursItsFlags)
{
    ASSERT_TRUE(Save());
    WriteFileBytes(set() + "/thumbnail.jpg", "old");
    LayerList loaded;
    ShotList loadedShots;
    ASSERT_TRUE(LoadSceneFile(scene(), loaded, loadedShots, nullptr, false, true));
    EXPECT_TRUE(loaded.empty());
    EXPECT_EQ(loadedShots.size(), 2u);
    EXPECT_EQ(ReadFileBytes(set() + "/thumbnail.jpg"), thumb);
    EXPECT_FALSE(testsupport::Exists(set() + "/s1.png"));

    WriteFileBytes(set() + "/s1.png", "stale picture");
    ASSERT_TRUE(LoadSceneFile(scene(), loaded, loadedShots, nullptr, true, false));
    EXPECT_EQ(loaded.size(), 3u);
    EXPECT_TRUE(loadedShots.empty());
    EXPECT_EQ(ReadFileBytes(set() + "/s1.png"), images["a"]);
}

TEST_F(SceneFileTest, AnUnpackKeepsAFileThatHoldsThePictureAlreadyAndRemakesAnyOther)
{
    ASSERT_TRUE(Save());
    LayerList loaded;
    ShotList s;
    ASSERT_TRUE(LoadSceneFile(scene(), loaded, s, nullptr, true, true));
    // Dated long ago: a file written again carries the time of the load.
    const auto longAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365);
    for (const char* name : {"s1.png", "uv2.png"})
        std::filesystem::last_write_time(set() + "/" + name, longAgo);
    // Same size, one byte changed.
    std::string changed = ReadFileBytes(set() + "/s2.png");
    changed.back() = char(changed.back() ^ 1);
    WriteFileBytes(set() + "/s2.png", changed);
    // The right bytes, behind a link to a file elsewhere.
    WriteFileBytes(media.file("copy.png"), images["c"]);
    std::filesystem::remove(set() + "/s3.png");
    std::filesystem::create_symlink(media.file("copy.png"), set() + "/s3.png");

    ASSERT_TRUE(LoadSceneFile(scene(), loaded, s, nullptr, true, true));
    EXPECT_EQ(std::filesystem::last_write_time(set() + "/s1.png"), longAgo) << "an unpacked picture was written again";
    EXPECT_EQ(std::filesystem::last_write_time(set() + "/uv2.png"), longAgo);
    EXPECT_EQ(ReadFileBytes(set() + "/s1.png"), images["a"]);
    EXPECT_EQ(ReadFileBytes(set() + "/s2.png"), images["b"]);
    EXPECT_FALSE(std::filesystem::is_symlink(set() + "/s3.png"));
    EXPECT_EQ(ReadFileBytes(set() + "/s3.png"), images["c"]);
    EXPECT_EQ(ReadFileBytes(set() + "/thumbnail.jpg"), thumb);
}

TEST_F(SceneFileTest, LoadedListSavesAgainToTheSameBytes)
{
    ASSERT_TRUE(Save());
    const std::string first = ReadFileBytes(set() + "/scene.tvn");
    LayerList loaded;
    ShotList loadedShots;
    ASSERT_TRUE(LoadSceneFile(scene(), loaded, loadedShots, nullptr, true, true));
    for (LayerInfo& layer : loaded)
        CropFromStored(layer);
    // Saved from its own unpacked files into the same folder.
    ASSERT_TRUE(WriteSceneFile(scene(), loaded, loadedShots, W(set() + "/thumbnail.jpg")));
    std::string second = ReadFileBytes(set() + "/scene.tvn");
    ASSERT_EQ(second.size(), first.size());
    std::memcpy(second.data() + 8, first.data() + 8, 4);
    EXPECT_TRUE(second == first);
}

TEST_F(SceneFileTest, HeaderEditsChangeOneWordAndShotModeDropsShotPictures)
{
    ASSERT_TRUE(Save());
    const std::string before = ReadFileBytes(set() + "/scene.tvn");
    for (int n : {0, 5, 9, 10})
        WriteFileBytes(set() + "/" + std::to_string(n) + ".bmp", "bmp");
    ASSERT_TRUE(SetSceneShotMode(scene(), kShotModeLayer));
    for (int n : {0, 5, 9})
        EXPECT_FALSE(testsupport::Exists(set() + "/" + std::to_string(n) + ".bmp"));
    EXPECT_TRUE(testsupport::Exists(set() + "/10.bmp"));
    ASSERT_TRUE(SetSceneHeaderValue(scene(), 77));

    std::string after = ReadFileBytes(set() + "/scene.tvn");
    SceneFileHeader header;
    std::memcpy(&header, after.data(), sizeof(header));
    EXPECT_EQ(header.shotMode, kShotModeLayer);
    EXPECT_EQ(EffectiveShotMode(header), kShotModeLayer);
    EXPECT_EQ(header.headerValue, 77);
    std::memcpy(after.data() + 24, before.data() + 24, 4);
    std::memcpy(after.data() + 32, before.data() + 32, 4);
    EXPECT_TRUE(after == before);

    const std::string foreign(600, 'f');
    WriteFileBytes(root.file("foreign.tvn"), foreign);
    WriteFileBytes(root.file("1.bmp"), "keep");
    EXPECT_FALSE(SetSceneShotMode(W(root.file("foreign.tvn")), 5));
    EXPECT_FALSE(SetSceneHeaderValue(W(root.file("foreign.tvn")), 5));
    EXPECT_FALSE(SetSceneHeaderValue(W(root.file("missing.tvn")), 5));
    EXPECT_EQ(ReadFileBytes(root.file("foreign.tvn")), foreign);
    EXPECT_TRUE(testsupport::Exists(root.file("1.bmp")));
}

TEST(SetsRoot, FirstProgramWithBothSetFoldersWins)
{
    testsupport::FreshUserFolders folders;
    std::wstring found;
    EXPECT_FALSE(FindSetsRoot(found));
    const std::string maker = folders.commonData() + "/Merokai";
    std::filesystem::create_directories(maker + "/Quillan/Scene/VirtualSets");  // no MultiViews
    std::filesystem::create_directories(maker + "/Zembra/Scene/VirtualSets");
    std::filesystem::create_directories(maker + "/Zembra/Scene/MultiViews");
    ASSERT_TRUE(FindSetsRoot(found));
    EXPECT_EQ(found, W(maker + "/Zembra/Scene"));
    std::filesystem::create_directories(maker + "/Tolvenar/Scene/VirtualSets");
    std::filesystem::create_directories(maker + "/Tolvenar/Scene/MultiViews");
    ASSERT_TRUE(FindSetsRoot(found));
    EXPECT_EQ(found, W(maker + "/Tolvenar/Scene"));
}

TEST_F(SceneFileTest, AnUnpackThatCannotWriteAFileFailsAndLeavesNoPartialOrStaleFile)
{
    images["c"] = PngBytes(300, 200, 0xff00ff00u) + std::string(50000, 'x');
    WriteFileBytes(media.file("c.png"), images["c"]);
    ASSERT_TRUE(Save());
    LayerList loaded;
    ShotList s;
    // s1.png cannot be made: a folder holds its name.
    std::filesystem::create_directory(set() + "/s1.png");
    SceneUnpack unpack;
    loaded.push_back(MakeDefaultLayer());
    EXPECT_FALSE(LoadSceneFile(scene(), loaded, s, nullptr, true, true, &unpack));
    EXPECT_NE(unpack.error, 0);
    EXPECT_TRUE(loaded.empty());
    EXPECT_TRUE(s.empty());
    std::filesystem::remove(set() + "/s1.png");

    // s3.png cannot be written whole (the process may write no file as large as it).
    WriteFileBytes(set() + "/s3.png", "stale picture of another layer");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = std::max({images["a"].size(), images["b"].size(), uv.size(), thumb.size()}) + 1;
    ASSERT_LT(limit.rlim_cur, images["c"].size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool ok = LoadSceneFile(scene(), loaded, s, nullptr, true, true, &unpack);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(ok);
    EXPECT_EQ(unpack.error, EFBIG);
    EXPECT_TRUE(loaded.empty());
    EXPECT_FALSE(testsupport::Exists(set() + "/s3.png"));  // neither partial nor stale
    EXPECT_EQ(ReadFileBytes(set() + "/s2.png"), images["b"]);

    // Unpacked elsewhere, the pictures and the thumbnail go there.
    TempDir elsewhere;
    SceneUnpack into;
    into.folder = elsewhere.wpath();
    ASSERT_TRUE(LoadSceneFile(scene(), loaded, s, nullptr, true, true, &into));
    EXPECT_EQ(into.error, 0);
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(LayerImagePath(loaded[2]), elsewhere.file("s3.png"));
    EXPECT_EQ(ReadFileBytes(elsewhere.file("s3.png")), images["c"]);
    EXPECT_EQ(ReadFileBytes(elsewhere.file("thumbnail.jpg")), thumb);
}

TEST_F(SceneFileTest, ValuesNoPlacementCanUseAreBroughtWithinReach)
{
    StoredLayer layer("Wild", images["a"]);
    layer.x = std::numeric_limits<float>::quiet_NaN();
    layer.y = -1e30f;
    layer.zoomX = 1e30f;
    layer.zoomY = std::numeric_limits<float>::infinity();
    layer.rotateZ = std::numeric_limits<float>::quiet_NaN();
    layer.crop[0] = std::numeric_limits<float>::quiet_NaN();
    layer.crop[1] = -3.0f;
    layer.crop[2] = 1e30f;  // right edge far beyond the picture
    layer.crop[3] = 0.75f;
    StoredShot shot("Wild");
    shot.zoomX = -1e30f;
    shot.rotateZ = std::numeric_limits<float>::infinity();
    WriteFileBytes(set() + "/scene.tvn", SceneBytes(1, thumb, {layer}, {shot}));
    LayerList loaded;
    ShotList shots;
    ASSERT_TRUE(LoadSceneFile(scene(), loaded, shots, nullptr, true, true));
    ASSERT_EQ(loaded.size(), 1u);
    LayerInfo& read = loaded[0];
    CropFromStored(read);
    EXPECT_EQ(read.x, 0.0f);
    EXPECT_EQ(read.y, -kMaxPlacementValue);
    EXPECT_EQ(read.zoomX, kMaxPlacementValue);
    EXPECT_EQ(read.zoomY, 1.0f);
    EXPECT_EQ(read.rotateZ, 0.0f);
    EXPECT_EQ(read.cropLeft, 0.0f);
    EXPECT_EQ(read.cropTop, 0.0f);
    EXPECT_EQ(read.cropRight, 0.0f);  // 1 - 1e30, cut to no inset
    EXPECT_EQ(read.cropBottom, 0.25f);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0].zoomX, -kMaxPlacementValue);
    EXPECT_EQ(shots[0].rotateZ, 0.0f);
}
