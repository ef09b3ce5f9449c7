// The "uvmap_filter" module with the real engine under Xvfb: pictures go
// through real image sources and UV maps written as 16-bit PNG files, and
// each frame is read back from the engine's own render.
#include "FrameGrabber.h"
#include "TestPictures.h"
#include "support/EngineFixture.h"

#include "formats/UvMapMaker.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cmath>
#include <memory>
#include <obs.hpp>
#include <string>

namespace {

constexpr const char* kWarningMark = "[uvmap_filter: 'uvmap_filter'] UV map";

int CountOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class UvFilterTest : public EngineTest {
protected:
    void ConfigureSettings() override
    {
        testing::internal::CaptureStderr();
        m_capturing = true;
    }
    void SetUp() override
    {
        EngineTest::SetUp();
        if (initialised())
            m_grabber = std::make_unique<FrameGrabber>();  // needs the running engine
    }
    void TearDown() override
    {
        m_grabber.reset();
        TakeLog();
        EngineTest::TearDown();
    }
    std::string TakeLog()
    {
        // Set-up may stop before the capture started (no display).
        if (!m_logTaken && m_capturing)
            m_log = testing::internal::GetCapturedStderr();
        m_logTaken = true;
        return m_log;
    }

    OBSSourceAutoRelease MakeImageSource(const Picture& picture, const std::string& name = "picture")
    {
        const std::string path = m_dir.file(name + ".png");
        EXPECT_TRUE(WritePicturePng(path, picture));
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_string(settings, "file", path.c_str());
        OBSSourceAutoRelease source = obs_source_create("image_source", name.c_str(), settings, nullptr);
        EXPECT_EQ(obs_source_get_width(source), picture.width);
        return source;
    }

    std::string MakeMap(const std::string& name, uint32_t width, uint32_t height, const UvQuad& quad)
    {
        const std::string path = m_dir.file(name);
        std::string error;
        EXPECT_TRUE(WriteUvMapFile(platform::Utf8ToWide(path), width, height, quad, error)) << error;
        return path;
    }

    OBSSourceAutoRelease AttachFilter(obs_source_t* source, const std::string& mapPath)
    {
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_string(settings, "image_path", mapPath.c_str());
        OBSSourceAutoRelease filter = obs_source_create_private("uvmap_filter", "uvmap_filter", settings);
        EXPECT_NE(filter.Get(), nullptr);
        obs_source_filter_add(source, filter);
        return filter;
    }

    static void SetMapPath(obs_source_t* filter, const std::string& path)
    {
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_string(settings, "image_path", path.c_str());
        obs_source_update(filter, settings);
    }

    Picture Grab(obs_source_t* source)
    {
        Picture picture;
        EXPECT_TRUE(m_grabber && m_grabber->GrabNextFrame(source, picture));
        return picture;
    }

    testsupport::TempDir m_dir;
    std::unique_ptr<FrameGrabber> m_grabber;
    std::string m_log;
    bool m_logTaken = false;
    bool m_capturing = false;
};

// The picture sampled between pixels at (u, v), the way the effect reads it.
void SampleBetweenPixels(const Picture& p, double u, double v, double out[4])
{
    const double fx = std::clamp(u * p.width - 0.5, 0.0, double(p.width - 1));
    const double fy = std::clamp(v * p.height - 0.5, 0.0, double(p.height - 1));
    const uint32_t x0 = uint32_t(fx), y0 = uint32_t(fy);
    const uint32_t x1 = std::min(x0 + 1, p.width - 1), y1 = std::min(y0 + 1, p.height - 1);
    const double ax = fx - x0, ay = fy - y0;
    for (int c = 0; c < 4; ++c) {
        const double top = p.At(x0, y0)[c] * (1 - ax) + p.At(x1, y0)[c] * ax;
        const double bottom = p.At(x0, y1)[c] * (1 - ax) + p.At(x1, y1)[c] * ax;
        out[c] = top * (1 - ay) + bottom * ay;
    }
}

}  // namespace

TEST_F(UvFilterTest, ModuleRegistersTheFilterQuietly)
{
    EXPECT_STREQ(obs_source_get_display_name("uvmap_filter"), "uvmap_filter");
    EXPECT_NE(obs_get_source_output_flags("uvmap_filter") & OBS_SOURCE_VIDEO, 0u);
    const std::string log = TakeLog();
    EXPECT_NE(log.find("uvmap-filter.so"), std::string::npos);
    EXPECT_EQ(log.find("[uvmap_filter"), std::string::npos) << "loading the module logged a filter message";
}

TEST_F(UvFilterTest, FullFrameMapShowsThePictureUnchanged)
{
    const Picture picture = MakeRampPicture(320, 180);
    OBSSourceAutoRelease source = MakeImageSource(picture);
    const Picture unfiltered = Grab(source);
    ASSERT_LE(MaxDifference(unfiltered, picture), 1) << "the read-back itself changes the picture";

    OBSSourceAutoRelease filter = AttachFilter(source, MakeMap("identity.png", 320, 180, FullFrameQuad(320, 180)));
    const Picture filtered = Grab(source);
    EXPECT_EQ(filtered.width, 320u);
    EXPECT_EQ(filtered.height, 180u);
    EXPECT_LE(MaxDifference(filtered, picture), 1);
}

TEST_F(UvFilterTest, FullFrameMapAtBroadcastSizeShowsThePictureUnchanged)
{
    // At 1920 x 1080 a 16-bit map names each pixel centre only to within a
    // hundredth of a pixel; the picture must still come through unblurred.
    const Picture picture = MakeRampPicture(1920, 1080);
    OBSSourceAutoRelease source = MakeImageSource(picture);
    OBSSourceAutoRelease filter = AttachFilter(source, MakeMap("identity.png", 1920, 1080, FullFrameQuad(1920, 1080)));
    EXPECT_LE(MaxDifference(Grab(source), picture), 1);
}

TEST_F(UvFilterTest, MapTexelsNameThePictureCoordinatesExactly)
{
    // A hand-made map that mirrors left and right and shows only rows of the
    // bottom half, with alpha telling coverage.
    const uint32_t w = 64, h = 32;
    const Picture picture = MakeRampPicture(w, 2 * h);
    std::vector<uint16_t> texels(size_t(w) * h * 4);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            uint16_t* t = &texels[(size_t(y) * w + x) * 4];
            t[0] = uint16_t(std::lround((w - 1 - x + 0.5) / w * 65535));
            t[1] = uint16_t(std::lround((h + y + 0.5) / (2.0 * h) * 65535));
            t[3] = x < w / 2 ? 65535 : 32768;
        }
    }
    const std::string mapPath = m_dir.file("mirror.png");
    ASSERT_TRUE(WriteTexelsPng(mapPath, w, h, texels));
    OBSSourceAutoRelease source = MakeImageSource(picture);
    OBSSourceAutoRelease filter = AttachFilter(source, mapPath);

    const Picture out = Grab(source);
    ASSERT_EQ(out.width, w);
    ASSERT_EQ(out.height, h);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t* want = picture.At(w - 1 - x, h + y);
            const uint8_t* got = out.At(x, y);
            for (int c = 0; c < 3; ++c)
                ASSERT_LE(std::abs(got[c] - want[c]), 1) << "pixel " << x << "," << y;
            ASSERT_NEAR(got[3], x < w / 2 ? 255 : 128, 1) << "pixel " << x << "," << y;
        }
    }
}

TEST_F(UvFilterTest, RightHalfMapSqueezesTheWholePictureIntoTheRightHalf)
{
    const Picture picture = MakeRampPicture(320, 180);
    OBSSourceAutoRelease source = MakeImageSource(picture);
    const UvQuad rightHalf{{160, 320, 320, 160}, {0, 0, 180, 180}};
    OBSSourceAutoRelease filter = AttachFilter(source, MakeMap("right.png", 320, 180, rightHalf));

    const Picture out = Grab(source);
    ASSERT_EQ(out.width, 320u);
    ASSERT_EQ(out.height, 180u);
    int worst = 0;
    for (uint32_t y = 0; y < 180; ++y) {
        for (uint32_t x = 0; x < 160; ++x)
            ASSERT_EQ(out.At(x, y)[3], 0) << "left half not transparent at " << x << "," << y;
        for (uint32_t x = 160; x < 320; ++x) {
            double want[4];
            SampleBetweenPixels(picture, (x - 160 + 0.5) / 160.0, (y + 0.5) / 180.0, want);
            for (int c = 0; c < 4; ++c)
                worst = std::max(worst, int(std::lround(std::fabs(out.At(x, y)[c] - want[c]))));
        }
    }
    EXPECT_LE(worst, 2);
}

TEST_F(UvFilterTest, QuadMapPutsTheCheckerboardCornersOnTheGivenCorners)
{
    const Picture board = MakeCheckerboard(320, 8);
    OBSSourceAutoRelease source = MakeImageSource(board);
    // A strong perspective: the right side much shorter than the left.
    const UvQuad quad{{60.5, 400.25, 390, 40}, {30, 110, 250.75, 330}};
    OBSSourceAutoRelease filter = AttachFilter(source, MakeMap("quad.png", 480, 360, quad));
    const Picture out = Grab(source);
    ASSERT_EQ(out.width, 480u);
    ASSERT_EQ(out.height, 360u);

    // Each edge of the picture, found from the rendered coverage: where alpha
    // crosses one half along the rows (left and right edges) or columns (top
    // and bottom edges), fitted with a straight line.
    auto alpha = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= int(out.width) || y >= int(out.height))
            return 0.0;
        return out.At(x, y)[3] / 255.0;
    };
    struct Line { double a, b; };  // coordinate = a + b * other coordinate
    auto fit = [](const std::vector<std::pair<double, double>>& points) {
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (auto [t, c] : points) { sx += t; sy += c; sxx += t * t; sxy += t * c; }
        const double n = double(points.size());
        const double b = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        return Line{(sy - b * sx) / n, b};
    };
    // Half-alpha crossing between two neighbouring pixels, in pixel edge coordinates.
    auto crossing = [](double inner, double outer, int innerPos, int step) {
        return innerPos + 0.5 + step * (inner - 0.5) / (inner - outer);
    };
    std::vector<std::pair<double, double>> left, right, top, bottom;
    // Rows and columns are taken where only the one edge bounds the picture.
    for (int y = 40; y < 320; ++y) {
        for (int x = 0; x + 1 < int(out.width); ++x)
            if (alpha(x, y) < 0.5 && alpha(x + 1, y) >= 0.5) { left.push_back({y + 0.5, crossing(alpha(x + 1, y), alpha(x, y), x + 1, -1)}); break; }
    }
    for (int y = 120; y < 240; ++y) {
        for (int x = int(out.width) - 1; x > 0; --x)
            if (alpha(x, y) < 0.5 && alpha(x - 1, y) >= 0.5) { right.push_back({y + 0.5, crossing(alpha(x - 1, y), alpha(x, y), x - 1, 1)}); break; }
    }
    for (int x = 70; x < 380; ++x) {
        for (int y = 0; y + 1 < int(out.height); ++y)
            if (alpha(x, y) < 0.5 && alpha(x, y + 1) >= 0.5) { top.push_back({x + 0.5, crossing(alpha(x, y + 1), alpha(x, y), y + 1, -1)}); break; }
        for (int y = int(out.height) - 1; y > 0; --y)
            if (alpha(x, y) < 0.5 && alpha(x, y - 1) >= 0.5) { bottom.push_back({x + 0.5, crossing(alpha(x, y - 1), alpha(x, y), y - 1, 1)}); break; }
    }
    ASSERT_GT(left.size(), 200u);
    ASSERT_GT(right.size(), 100u);
    ASSERT_GT(top.size(), 200u);
    ASSERT_GT(bottom.size(), 200u);
    const Line l = fit(left), r = fit(right), t = fit(top), b = fit(bottom);
    // x = a + b*y meets y = c + d*x.
    auto meet = [](Line vertical, Line horizontal, double& x, double& y) {
        x = (vertical.a + vertical.b * horizontal.a) / (1 - vertical.b * horizontal.b);
        y = horizontal.a + horizontal.b * x;
    };
    double cx[4], cy[4];
    meet(l, t, cx[0], cy[0]);
    meet(r, t, cx[1], cy[1]);
    meet(r, b, cx[2], cy[2]);
    meet(l, b, cx[3], cy[3]);
    const uint8_t cornerColours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_LE(std::hypot(cx[i] - quad.x[i], cy[i] - quad.y[i]), 1.0)
            << "corner " << i << " at " << cx[i] << "," << cy[i];
        // Just inside each corner lies the matching corner field of the board.
        const double ix = quad.x[i] + (quad.x[(i + 2) % 4] - quad.x[i]) * 0.03;
        const double iy = quad.y[i] + (quad.y[(i + 2) % 4] - quad.y[i]) * 0.03;
        const uint8_t* px = out.At(uint32_t(ix), uint32_t(iy));
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(px[c], cornerColours[i][c], 8) << "corner " << i << " channel " << c;
    }

    // A perspective view puts the picture's centre where the diagonals cross
    // (not at the corners' average): around that point the four fields meet.
    const double d1x = quad.x[2] - quad.x[0], d1y = quad.y[2] - quad.y[0];
    const double d2x = quad.x[3] - quad.x[1], d2y = quad.y[3] - quad.y[1];
    const double s = ((quad.x[1] - quad.x[0]) * d2y - (quad.y[1] - quad.y[0]) * d2x) / (d1x * d2y - d1y * d2x);
    const double mx = quad.x[0] + s * d1x, my = quad.y[0] + s * d1y;
    const double avgX = (quad.x[0] + quad.x[1] + quad.x[2] + quad.x[3]) / 4;
    const double avgY = (quad.y[0] + quad.y[1] + quad.y[2] + quad.y[3]) / 4;
    ASSERT_GT(std::hypot(mx - avgX, my - avgY), 8.0) << "the quad is not perspective enough to tell";
    auto shade = [&](double dx, double dy) { return out.At(uint32_t(mx + dx), uint32_t(my + dy))[0]; };
    EXPECT_LT(shade(-2.5, -2.5), 64);   // field (3, 3): black
    EXPECT_GT(shade(2.5, -2.5), 192);   // field (4, 3): white
    EXPECT_GT(shade(-2.5, 2.5), 192);   // field (3, 4): white
    EXPECT_LT(shade(2.5, 2.5), 64);     // field (4, 4): black
}

TEST_F(UvFilterTest, ChangingTheMapPathTakesEffectOnTheNextFrame)
{
    const Picture picture = MakeRampPicture(320, 180);
    OBSSourceAutoRelease source = MakeImageSource(picture);
    const std::string full = MakeMap("full.png", 320, 180, FullFrameQuad(320, 180));
    const std::string small = MakeMap("small.png", 160, 90, FullFrameQuad(160, 90));
    OBSSourceAutoRelease filter = AttachFilter(source, full);
    ASSERT_EQ(Grab(source).width, 320u);

    SetMapPath(filter, small);
    const Picture next = Grab(source);
    EXPECT_EQ(next.width, 160u);
    EXPECT_EQ(next.height, 90u);
    EXPECT_EQ(obs_source_get_width(source), 160u);

    SetMapPath(filter, full);
    EXPECT_LE(MaxDifference(Grab(source), picture), 1);

    // An empty path means no map: the picture passes through without a warning.
    SetMapPath(filter, "");
    EXPECT_LE(MaxDifference(Grab(source), picture), 1);
    EXPECT_EQ(CountOf(TakeLog(), kWarningMark), 0);
}

TEST_F(UvFilterTest, DisabledFilterShowsTheUnfilteredSource)
{
    const Picture picture = MakeRampPicture(320, 180);
    OBSSourceAutoRelease source = MakeImageSource(picture);
    const UvQuad rightHalf{{160, 320, 320, 160}, {0, 0, 180, 180}};
    OBSSourceAutoRelease filter = AttachFilter(source, MakeMap("half.png", 200, 100, rightHalf));
    ASSERT_EQ(Grab(source).width, 200u);

    obs_source_set_enabled(filter, false);
    const Picture off = Grab(source);
    EXPECT_EQ(obs_source_get_width(source), 320u);
    EXPECT_LE(MaxDifference(off, picture), 1);

    obs_source_set_enabled(filter, true);
    const Picture on = Grab(source);
    EXPECT_EQ(on.width, 200u);
    EXPECT_EQ(on.At(10, 50)[3], 0);
}

TEST_F(UvFilterTest, UnusableMapsPassThePictureThroughWithOneWarningEach)
{
    const Picture picture = MakeRampPicture(320, 180);
    OBSSourceAutoRelease source = MakeImageSource(picture);
    const std::string missing = m_dir.file("missing.png");
    OBSSourceAutoRelease filter = AttachFilter(source, missing);
    for (int i = 0; i < 4; ++i)
        EXPECT_LE(MaxDifference(Grab(source), picture), 1) << "frame " << i;

    // A PNG cut short: its header reads but its pixel data does not.
    const std::string good = MakeMap("good.png", 320, 180, FullFrameQuad(320, 180));
    std::string bytes = testsupport::ReadFileBytes(good);
    const std::string cut = m_dir.file("cut.png");
    testsupport::WriteFileBytes(cut, bytes.substr(0, bytes.size() / 2));
    SetMapPath(filter, cut);
    for (int i = 0; i < 3; ++i)
        EXPECT_LE(MaxDifference(Grab(source), picture), 1) << "frame " << i;

    // Applying the same unusable path again says nothing new.
    SetMapPath(filter, cut);
    EXPECT_LE(MaxDifference(Grab(source), picture), 1);

    const std::string log = TakeLog();
    EXPECT_EQ(CountOf(log, kWarningMark), 2) << log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
    EXPECT_EQ(CountOf(log, "UV map '" + missing + "' not used"), 1);
    EXPECT_EQ(CountOf(log, "UV map '" + cut + "' not used"), 1);
}

TEST_F(UvFilterTest, AMapThatAppearsUnderTheSamePathIsUsedWhenAppliedAgain)
{
    const Picture picture = MakeRampPicture(320, 180);
    OBSSourceAutoRelease source = MakeImageSource(picture);
    const std::string later = m_dir.file("later.png");
    OBSSourceAutoRelease filter = AttachFilter(source, later);
    EXPECT_EQ(Grab(source).width, 320u);

    MakeMap("later.png", 100, 50, FullFrameQuad(100, 50));
    SetMapPath(filter, later);
    EXPECT_EQ(Grab(source).width, 100u);
    // Rewritten under the same name: the new map replaces the old one.
    MakeMap("later.png", 80, 40, FullFrameQuad(80, 40));
    SetMapPath(filter, later);
    EXPECT_EQ(Grab(source).width, 80u);
    EXPECT_EQ(CountOf(TakeLog(), kWarningMark), 1);
}

TEST_F(UvFilterTest, FiltersOfOneMapFileShareItsTextureWhileAnyHoldsIt)
{
    const Picture picture = MakeRampPicture(320, 180);
    OBSSourceAutoRelease first = MakeImageSource(picture, "first");
    OBSSourceAutoRelease second = MakeImageSource(picture, "second");
    const std::string map = MakeMap("shared.png", 100, 50, FullFrameQuad(100, 50));
    OBSSourceAutoRelease firstFilter = AttachFilter(first, map);
    const Picture throughFirst = Grab(first);
    EXPECT_EQ(throughFirst.width, 100u);

    // The file spoilt behind the filters' backs, its size and time kept: a
    // second filter of it takes the map the first one read, not the file.
    const auto written = std::filesystem::last_write_time(map);
    const std::string bytes = testsupport::ReadFileBytes(map);
    testsupport::WriteFileBytes(map, std::string(bytes.size(), 'x'));
    std::filesystem::last_write_time(map, written);
    OBSSourceAutoRelease secondFilter = AttachFilter(second, map);
    const Picture throughSecond = Grab(second);
    EXPECT_EQ(throughSecond.width, 100u);
    EXPECT_LE(MaxDifference(throughSecond, throughFirst), 1);

    // Once no filter holds it, the file is read again: spoilt, it is not used.
    obs_source_filter_remove(first, firstFilter);
    obs_source_filter_remove(second, secondFilter);
    firstFilter = nullptr;
    secondFilter = nullptr;
    EXPECT_LE(MaxDifference(Grab(first), picture), 1);
    OBSSourceAutoRelease again = AttachFilter(first, map);
    EXPECT_LE(MaxDifference(Grab(first), picture), 1);
    EXPECT_EQ(CountOf(TakeLog(), kWarningMark), 1);
}

TEST_F(UvFilterTest, RemovingTheFilterWhileShownFreesIt)
{
    const Picture picture = MakeRampPicture(320, 180);
    OBSSourceAutoRelease source = MakeImageSource(picture);
    OBSSourceAutoRelease filter = AttachFilter(source, MakeMap("a.png", 100, 50, FullFrameQuad(100, 50)));
    EXPECT_EQ(Grab(source).width, 100u);
    obs_source_filter_remove(source, filter);
    EXPECT_LE(MaxDifference(Grab(source), picture), 1);
    // The fixture checks that libobs holds nothing once the engine is gone.
}

TEST_F(UvFilterTest, AStillPictureShowsThroughTheMapAfterEveryChangeOfItsPicture)
{
    const Picture picture = MakeRampPicture(320, 180);
    Picture negative = picture;
    for (size_t i = 0; i < negative.rgba.size(); ++i) {
        if (i % 4 != 3)
            negative.rgba[i] = uint8_t(255 - negative.rgba[i]);
    }
    OBSSourceAutoRelease source = MakeImageSource(picture);
    OBSSourceAutoRelease filter = AttachFilter(source, MakeMap("identity.png", 320, 180, FullFrameQuad(320, 180)));
    for (int frame = 0; frame < 3; ++frame)
        ASSERT_LE(MaxDifference(Grab(source), picture), 1) << "frame " << frame;

    // Another file in the picture's settings: the next frame shows it.
    const std::string other = m_dir.file("negative.png");
    ASSERT_TRUE(WritePicturePng(other, negative));
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_string(settings, "file", other.c_str());
    obs_source_update(source, settings);
    EXPECT_LE(MaxDifference(Grab(source), negative), 1) << "a replaced picture";

    // The same file rewritten on disk: its source reloads it by itself, and the
    // screen follows within a few seconds, nobody touching the settings.
    ASSERT_TRUE(WritePicturePng(other, picture));
    // The source looks only while shown, and compares whole seconds: the
    // rewrite is dated later.
    std::filesystem::last_write_time(other, std::filesystem::last_write_time(other) + std::chrono::seconds(2));
    obs_source_inc_showing(source);
    int differs = 255;
    for (int frame = 0; frame < 150 && differs > 1; ++frame)
        differs = MaxDifference(Grab(source), picture);
    obs_source_dec_showing(source);
    EXPECT_LE(differs, 1) << "a picture rewritten on disk";

    // A new map of the same size: drawn through at once.
    const UvQuad rightHalf{{160, 320, 320, 160}, {0, 0, 180, 180}};
    SetMapPath(filter, MakeMap("half.png", 320, 180, rightHalf));
    EXPECT_EQ(Grab(source).At(10, 90)[3], 0) << "the left half is left uncovered";
}
