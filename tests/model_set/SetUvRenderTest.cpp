// UV-mapped layers seen through the composed set: every way a map reaches a
// layer, checked at sample pixels of the set's rendered picture, and
// kelvane-cli render against the filter's own output.
#include "SetEngineFixture.h"

#include "engine/Screenshot.h"
#include "formats/SceneFile.h"
#include "formats/UvMapMaker.h"
#include "support/TestSupport.h"

#include <QImage>
#include <filesystem>

using namespace settest;

namespace {

// Two colours side by side: the left half and the right half of the picture.
void WriteHalves(const std::string& path, int width, int height, const QColor& left, const QColor& right)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(right);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixelColor(x, y, left);
    ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG")) << path;
}

void WriteQuadMap(const std::string& path, uint32_t width, uint32_t height, UvQuad quad)
{
    std::string error;
    ASSERT_TRUE(WriteUvMapFile(platform::Utf8ToWide(path), width, height, quad, error)) << error;
}

// The whole picture squeezed into the right half of a 64 x 36 map, nothing left.
void WriteRightHalfMap(const std::string& path) { WriteQuadMap(path, 64, 36, {{32, 64, 64, 32}, {0, 0, 36, 36}}); }

bool Transparent(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) == 0; }

// A full-canvas layer seen through the right-half map.
void ExpectSqueezedRight(const QImage& set, const QColor& left, const QColor& right)
{
    ASSERT_EQ(set.size(), QSize(1920, 1080));
    EXPECT_TRUE(Transparent(set, 480, 540));
    EXPECT_TRUE(Transparent(set, 100, 100));
    EXPECT_TRUE(PixelIs(set, 1200, 540, left));
    EXPECT_TRUE(PixelIs(set, 1700, 540, right));
    EXPECT_TRUE(PixelIs(set, 1700, 1000, right));
}

// The same layer without a map.
void ExpectPlain(const QImage& set, const QColor& left, const QColor& right)
{
    ASSERT_EQ(set.size(), QSize(1920, 1080));
    EXPECT_TRUE(PixelIs(set, 480, 540, left));
    EXPECT_EQ(qAlpha(set.pixel(480, 540)), 255);
    EXPECT_TRUE(PixelIs(set, 1200, 540, right));
    EXPECT_TRUE(PixelIs(set, 1700, 540, right));
}

// One full-canvas layer "Screen" showing a red | blue picture of 160 x 90,
// with the right-half map when asked. The vMix set is "<parent>/<name>".
std::wstring MakeVmixScreenSet(const std::string& parent, const std::string& name, bool uvMap)
{
    TestLayer screen{"Screen", Qt::red, 160, 90};
    screen.uvMap = uvMap;
    const std::wstring config = MakeVmixSet(parent, name, {screen}, {});
    const std::string folder = parent + "/" + name;
    WriteHalves(folder + "/Screen.png", 160, 90, Qt::red, Qt::blue);
    if (uvMap)
        WriteRightHalfMap(folder + "/Screen-uv.png");
    return config;
}

// The same set in the native format, its files embedded in the scene file.
std::wstring MakeNativeScreenSet(const std::string& parent, const std::string& name)
{
    TestLayer screen{"Screen", Qt::red, 160, 90};
    screen.uvMap = true;
    const std::string sources = parent + "/sources";
    const LayerList records = MakeLayers(sources, {screen});
    WriteHalves(sources + "/Screen.png", 160, 90, Qt::red, Qt::blue);
    WriteRightHalfMap(sources + "/Screen-uv.png");
    WritePicture(sources + "/thumb.jpg", 32, 18, Qt::darkCyan, "JPG");
    std::filesystem::create_directories(parent + "/" + name);
    const std::wstring sceneFile = platform::Utf8ToWide(parent + "/" + name + "/scene.tvn");
    EXPECT_TRUE(WriteSceneFile(sceneFile, records, {}, platform::Utf8ToWide(sources + "/thumb.jpg")));
    return sceneFile;
}

class SetUvRenderTest : public SetTest {
protected:
    void SetUp() override
    {
        SetTest::SetUp();
        if (initialised() && !UvFilterRegistered())
            GTEST_SKIP() << "the uvmap_filter module is not loaded";
    }
};

}  // namespace

TEST_F(SetUvRenderTest, OpeningEitherFormatShowsTheMapAndSwitchingItOffShowsThePicture)
{
    SourceInfo vmix = VmixSetInfo(MakeVmixScreenSet(m_dir.path(), "Vmix", true));
    auto set = OpenSet(vmix);
    ExpectSqueezedRight(Render(*set, "vmix.png"), Qt::red, Qt::blue);

    ASSERT_TRUE(set->SetLayerUvEnabled(0, false));
    ExpectPlain(Render(*set, "off.png"), Qt::red, Qt::blue);
    ASSERT_TRUE(set->SetLayerUvEnabled(0, true));
    ExpectSqueezedRight(Render(*set, "on.png"), Qt::red, Qt::blue);

    SourceInfo native = NativeSetInfo(MakeNativeScreenSet(m_dir.path(), "Native"));
    auto nativeSet = OpenSet(native);
    ExpectSqueezedRight(Render(*nativeSet, "native.png"), Qt::red, Qt::blue);
}

TEST_F(SetUvRenderTest, AMapChosenOnAnOpenSetShowsAtOnceAndAnotherMapReplacesIt)
{
    SourceInfo info = VmixSetInfo(MakeVmixScreenSet(m_dir.path(), "Studio", false));
    auto set = OpenSet(info);
    ExpectPlain(Render(*set, "plain.png"), Qt::red, Qt::blue);

    WriteRightHalfMap(m_dir.file("right.png"));
    ASSERT_TRUE(set->SetLayerUvMap(0, true, m_dir.wfile("right.png")));
    ExpectSqueezedRight(Render(*set, "right-map.png"), Qt::red, Qt::blue);

    // A map of another size, the picture in its left half: the layer still
    // covers the canvas.
    WriteQuadMap(m_dir.file("left.png"), 32, 18, {{0, 16, 16, 0}, {0, 0, 18, 18}});
    ASSERT_TRUE(set->SetLayerUvMap(0, true, m_dir.wfile("left.png")));
    const QImage left = Render(*set, "left-map.png");
    EXPECT_TRUE(PixelIs(left, 240, 540, Qt::red));
    EXPECT_TRUE(PixelIs(left, 720, 540, Qt::blue));
    EXPECT_TRUE(Transparent(left, 1440, 540));
    EXPECT_TRUE(Transparent(left, 1900, 1060));

    ASSERT_TRUE(set->SetLayerUvMap(0, false, L""));
    ExpectPlain(Render(*set, "cleared.png"), Qt::red, Qt::blue);
}

TEST_F(SetUvRenderTest, ANewImageAndALiveSourceInAMappedLayerGoThroughTheMap)
{
    SourceInfo info = VmixSetInfo(MakeVmixScreenSet(m_dir.path(), "Studio", true));
    auto set = OpenSet(info);
    WriteHalves(m_dir.file("new.png"), 320, 180, Qt::green, Qt::yellow);
    ASSERT_TRUE(set->SetLayerImage(0, m_dir.wfile("new.png")));
    ExpectSqueezedRight(Render(*set, "new-image.png"), Qt::green, Qt::yellow);

    WriteHalves(m_dir.file("live.png"), 480, 270, Qt::magenta, Qt::cyan);
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_string(settings, "file", m_dir.file("live.png").c_str());
    OBSSourceAutoRelease live = obs_source_create_private("image_source", "live", settings);
    ASSERT_TRUE(set->PlaceSourceInLayer(L"Screen", live));
    ASSERT_TRUE(obs_sceneitem_is_group(set->GetItem(1)));
    ExpectSqueezedRight(Render(*set, "live.png"), Qt::magenta, Qt::cyan);
    ASSERT_TRUE(set->SetLayerUvEnabled(0, false));
    ExpectPlain(Render(*set, "live-off.png"), Qt::magenta, Qt::cyan);
}

TEST_F(SetUvRenderTest, CliRenderOfEitherFormatMatchesTheFiltersOwnOutput)
{
    // Four colours, and a map that tilts the picture, so that every part of
    // the output tells where it came from.
    const std::string folder = m_dir.file("Studio");
    MakeVmixScreenSet(m_dir.path(), "Studio", true);
    QImage picture(160, 90, QImage::Format_ARGB32);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 160; ++x)
            picture.setPixelColor(x, y, y < 45 ? (x < 80 ? Qt::red : Qt::green) : (x < 80 ? Qt::blue : Qt::yellow));
    ASSERT_TRUE(picture.save(QString::fromStdString(folder + "/Screen.png")));
    WriteQuadMap(folder + "/Screen-uv.png", 64, 36, {{10, 60, 54, 4}, {4, 0, 30, 34}});

    std::filesystem::create_directories(m_dir.file("native"));
    const std::string cli = testsupport::BuiltProgram("kelvane-cli");
    ASSERT_EQ(testsupport::RunCommand(cli + " render '" + folder + "' '" + m_dir.file("vmix.bmp") + "' 2>&1"), 0);
    ASSERT_EQ(testsupport::RunCommand(cli + " convert '" + folder + "' '" + m_dir.file("native") + "' --to native 2>&1"), 0);
    ASSERT_EQ(testsupport::RunCommand(cli + " render '" + m_dir.file("native/Studio") + "' '" +
                                      m_dir.file("native.bmp") + "' 2>&1"),
              0);

    // The filter by itself on the same picture, at its own size (the map's).
    OBSDataAutoRelease imageSettings = obs_data_create();
    obs_data_set_string(imageSettings, "file", (folder + "/Screen.png").c_str());
    OBSSourceAutoRelease image = obs_source_create_private("image_source", "image", imageSettings);
    OBSDataAutoRelease filterSettings = obs_data_create();
    obs_data_set_string(filterSettings, kUvMapFilterPathKey, (folder + "/Screen-uv.png").c_str());
    OBSSourceAutoRelease filter = obs_source_create_private(kUvMapFilterType, kUvMapFilterType, filterSettings);
    obs_source_filter_add(image, filter);
    ASSERT_EQ(obs_source_get_width(image), 64u);
    OBSSceneAutoRelease alone = obs_scene_create_private("alone");
    obs_scene_add(alone, image);
    ASSERT_TRUE(TakeScreenshot(OBSSceneAutoRelease(obs_scene_get_ref(alone)), m_dir.wfile("filter.bmp")));
    obs_source_filter_remove(image, filter);
    const QImage own(QString::fromStdString(m_dir.file("filter.bmp")));

    // The set shows the filter's output 30 times as large; compared at the
    // centre of every output pixel whose neighbours match it.
    for (const char* name : {"vmix.bmp", "native.bmp"}) {
        SCOPED_TRACE(name);
        const QImage set(QString::fromStdString(m_dir.file(name)));
        ASSERT_EQ(set.size(), QSize(1920, 1080));
        int compared = 0, transparent = 0;
        for (int y = 1; y < 35; ++y) {
            for (int x = 1; x < 63; ++x) {
                const QRgb centre = own.pixel(x, y);
                bool uniform = true;
                for (int dy = -1; dy <= 1 && uniform; ++dy)
                    for (int dx = -1; dx <= 1 && uniform; ++dx)
                        uniform = own.pixel(x + dx, y + dy) == centre;
                if (!uniform)
                    continue;
                ++compared;
                const QRgb seen = set.pixel(x * 30 + 15, y * 30 + 15);
                if (qAlpha(centre) == 0) {
                    ++transparent;
                    EXPECT_EQ(qAlpha(seen), 0) << x << "," << y;
                } else {
                    EXPECT_TRUE(PixelIs(set, x * 30 + 15, y * 30 + 15, QColor(centre))) << x << "," << y;
                }
            }
        }
        EXPECT_GT(compared, 1000);
        EXPECT_GT(transparent, 100);
        EXPECT_GT(compared - transparent, 800);
    }
}
