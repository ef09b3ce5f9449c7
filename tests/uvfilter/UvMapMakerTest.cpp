// UV maps made from four corners: values, coverage along the edges, the
// perspective property, rejected corners and the written file.
#include "formats/UvMapMaker.h"
#include "support/TestSupport.h"

#include "platform/TextConv.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <lodepng.h>

namespace {

double U(const UvMap& m, uint32_t x, uint32_t y) { return m.Texel(x, y)[0] / 65535.0; }
double V(const UvMap& m, uint32_t x, uint32_t y) { return m.Texel(x, y)[1] / 65535.0; }
double A(const UvMap& m, uint32_t x, uint32_t y) { return m.Texel(x, y)[3] / 65535.0; }

UvMap Make(uint32_t w, uint32_t h, const UvQuad& quad)
{
    UvMap map;
    std::string error;
    EXPECT_TRUE(MakeUvMap(w, h, quad, map, error)) << error;
    return map;
}

bool Rejects(uint32_t w, uint32_t h, const UvQuad& quad, const std::string& wanted)
{
    UvMap map;
    std::string error;
    const bool made = MakeUvMap(w, h, quad, map, error);
    EXPECT_NE(error.find(wanted), std::string::npos) << "error was: " << error;
    return !made;
}

}  // namespace

TEST(UvMapMaker, FullFrameMapNamesEveryPixelCentre)
{
    const UvMap map = Make(40, 30, FullFrameQuad(40, 30));
    ASSERT_EQ(map.texels.size(), 40u * 30 * 4);
    for (uint32_t y = 0; y < 30; ++y) {
        for (uint32_t x = 0; x < 40; ++x) {
            const uint16_t* t = map.Texel(x, y);
            ASSERT_EQ(t[0], std::lround((x + 0.5) / 40 * 65535)) << x << "," << y;
            ASSERT_EQ(t[1], std::lround((y + 0.5) / 30 * 65535)) << x << "," << y;
            ASSERT_EQ(t[2], 0);
            ASSERT_EQ(t[3], 65535);
        }
    }
}

TEST(UvMapMaker, CornersOrderedTheOtherWayMirrorThePicture)
{
    const UvMap map = Make(20, 10, UvQuad{{20, 0, 0, 20}, {0, 0, 10, 10}});
    EXPECT_NEAR(U(map, 0, 0), 1 - 0.5 / 20, 1e-5);
    EXPECT_NEAR(U(map, 19, 0), 0.5 / 20, 1e-5);
    EXPECT_NEAR(V(map, 0, 9), 9.5 / 10, 1e-5);
}

TEST(UvMapMaker, PerspectiveQuadKeepsCornersEdgesAndCentre)
{
    const UvQuad quad{{50, 300, 280, 20}, {20, 60, 200, 230}};
    const UvMap map = Make(320, 240, quad);
    // Just inside each corner the map names that corner of the picture.
    const double wantU[4] = {0, 1, 1, 0}, wantV[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        const double x = quad.x[i] + (quad.x[(i + 2) % 4] - quad.x[i]) * 0.01;
        const double y = quad.y[i] + (quad.y[(i + 2) % 4] - quad.y[i]) * 0.01;
        EXPECT_NEAR(U(map, uint32_t(x), uint32_t(y)), wantU[i], 0.03) << "corner " << i;
        EXPECT_NEAR(V(map, uint32_t(x), uint32_t(y)), wantV[i], 0.03) << "corner " << i;
    }
    // The picture's centre lies where the diagonals cross: true of every
    // perspective view and false of a plain bilinear stretch.
    const double d1x = quad.x[2] - quad.x[0], d1y = quad.y[2] - quad.y[0];
    const double d2x = quad.x[3] - quad.x[1], d2y = quad.y[3] - quad.y[1];
    const double s = ((quad.x[1] - quad.x[0]) * d2y - (quad.y[1] - quad.y[0]) * d2x) / (d1x * d2y - d1y * d2x);
    const double cx = quad.x[0] + s * d1x, cy = quad.y[0] + s * d1y;
    // Interpolating between the four pixels around the crossing point.
    const uint32_t px = uint32_t(cx - 0.5), py = uint32_t(cy - 0.5);
    const double fx = cx - 0.5 - px, fy = cy - 0.5 - py;
    auto lerp2 = [&](double (*f)(const UvMap&, uint32_t, uint32_t)) {
        return (f(map, px, py) * (1 - fx) + f(map, px + 1, py) * fx) * (1 - fy) +
               (f(map, px, py + 1) * (1 - fx) + f(map, px + 1, py + 1) * fx) * fy;
    };
    EXPECT_NEAR(lerp2(U), 0.5, 0.002);
    EXPECT_NEAR(lerp2(V), 0.5, 0.002);
}

TEST(UvMapMaker, EdgesAreAntiAliasedAndCoverageAddsUpToTheArea)
{
    // A straight edge through the middle of a pixel column covers half of it.
    const UvMap straight = Make(20, 10, UvQuad{{5.5, 20, 20, 5.5}, {0, 0, 10, 10}});
    EXPECT_EQ(A(straight, 4, 5), 0.0);
    EXPECT_NEAR(A(straight, 5, 5), 0.5, 1e-4);
    EXPECT_EQ(A(straight, 6, 5), 1.0);

    const UvQuad quad{{40.3, 210.7, 190.2, 20.9}, {15.1, 35.6, 170.4, 140.8}};
    const UvMap map = Make(240, 200, quad);
    double total = 0;
    int partial = 0;
    for (uint32_t y = 0; y < 200; ++y) {
        for (uint32_t x = 0; x < 240; ++x) {
            total += A(map, x, y);
            partial += A(map, x, y) > 0.05 && A(map, x, y) < 0.95;
            if (A(map, x, y) == 0) {
                ASSERT_EQ(map.Texel(x, y)[0] | map.Texel(x, y)[1], 0) << "uncovered pixels hold nothing";
            }
        }
    }
    double area = 0;
    for (int i = 0; i < 4; ++i)
        area += quad.x[i] * quad.y[(i + 1) % 4] - quad.x[(i + 1) % 4] * quad.y[i];
    area = std::fabs(area) / 2;
    EXPECT_NEAR(total, area, area * 0.002);
    EXPECT_GT(partial, 300) << "the slanted edges have no soft pixels";
}

TEST(UvMapMaker, CornersOffTheMapAreFine)
{
    const UvMap bigger = Make(16, 16, UvQuad{{-100, 200, 180, -90}, {-50, -60, 250, 240}});
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x)
            ASSERT_EQ(A(bigger, x, y), 1.0);
    const UvMap away = Make(16, 16, UvQuad{{1000, 1100, 1100, 1000}, {1000, 1000, 1100, 1100}});
    for (uint16_t t : away.texels)
        ASSERT_EQ(t, 0);
}

TEST(UvMapMaker, CornersThatNoViewCanGiveAreRejected)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(Rejects(100, 100, UvQuad{{0, 10, 0, 10}, {0, 0, 10, 10}}, "convex"));       // crossed
    EXPECT_TRUE(Rejects(100, 100, UvQuad{{0, 50, 10, 50}, {0, 0, 10, 50}}, "convex"));      // dent
    EXPECT_TRUE(Rejects(100, 100, UvQuad{{0, 10, 20, 30}, {0, 10, 20, 30}}, "convex"));     // one line
    EXPECT_TRUE(Rejects(100, 100, UvQuad{{0, 0.01, 0.01, 0}, {0, 0, 0.01, 0.01}}, "area"));  // a dot
    EXPECT_TRUE(Rejects(100, 100, UvQuad{{0, nan, 10, 0}, {0, 0, 10, 10}}, "finite"));
    EXPECT_TRUE(Rejects(100, 100, UvQuad{{0, inf, 10, 0}, {0, 0, 10, 10}}, "finite"));
    EXPECT_TRUE(Rejects(100, 100, UvQuad{{0, 1e12, 10, 0}, {0, 0, 10, 10}}, "finite"));
}

TEST(UvMapMaker, SizesOutsideTheLimitsAreRejected)
{
    EXPECT_TRUE(Rejects(0, 10, FullFrameQuad(0, 10), "at least"));
    EXPECT_TRUE(Rejects(10, 0, FullFrameQuad(10, 0), "at least"));
    EXPECT_TRUE(Rejects(8193, 10, FullFrameQuad(8193, 10), "larger"));
    EXPECT_TRUE(Rejects(8000, 8000, FullFrameQuad(8000, 8000), "larger"));
}

TEST(UvMapMaker, WrittenFileIsA16BitRgbaPngHoldingTheMap)
{
    testsupport::TempDir dir;
    const UvQuad quad{{3.5, 60, 58, 1}, {2, 4.25, 30, 28}};
    std::string error;
    ASSERT_TRUE(WriteUvMapFile(dir.wfile("map.png"), 64, 32, quad, error)) << error;

    const std::string bytes = testsupport::ReadFileBytes(dir.file("map.png"));
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    lodepng::State state;
    unsigned w = 0, h = 0;
    ASSERT_EQ(lodepng_inspect(&w, &h, &state, data, bytes.size()), 0u);
    EXPECT_EQ(state.info_png.color.colortype, LCT_RGBA);
    EXPECT_EQ(state.info_png.color.bitdepth, 16u);
    std::vector<unsigned char> decoded;
    ASSERT_EQ(lodepng::decode(decoded, w, h, data, bytes.size(), LCT_RGBA, 16), 0u);
    ASSERT_EQ(w, 64u);
    ASSERT_EQ(h, 32u);
    const UvMap map = Make(64, 32, quad);
    for (size_t i = 0; i < map.texels.size(); ++i)
        ASSERT_EQ((decoded[2 * i] << 8) | decoded[2 * i + 1], map.texels[i]) << "channel " << i;
}

TEST(UvMapMaker, FailedWriteLeavesNoFileAndKeepsAnOldOne)
{
    testsupport::TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteUvMapFile(dir.wfile("no/such/folder/map.png"), 8, 8, FullFrameQuad(8, 8), error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;

    testsupport::WriteFileBytes(dir.file("old.png"), "old map");
    EXPECT_FALSE(WriteUvMapFile(dir.wfile("old.png"), 8, 8, UvQuad{{0, 10, 0, 10}, {0, 0, 10, 10}}, error));
    EXPECT_EQ(testsupport::ReadFileBytes(dir.file("old.png")), "old map");
}
