#include "UvMapMaker.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <lodepng.h>

namespace {

// Largest corner coordinate taken; keeps the arithmetic far from overflow.
constexpr double kMaxCoordinate = 1e6;
// A quadrilateral smaller than this (in square pixels) covers no pixel.
constexpr double kMinArea = 1e-3;

using Matrix3 = std::array<double, 9>;  // row-major

// The projective mapping of the unit square (u, v) onto the quadrilateral:
// (x, y, w) = M (u, v, 1). Corner 0 is (0, 0), 1 is (1, 0), 2 is (1, 1), 3 is (0, 1).
Matrix3 SquareToQuad(const UvQuad& q)
{
    const double sx = q.x[0] - q.x[1] + q.x[2] - q.x[3];
    const double sy = q.y[0] - q.y[1] + q.y[2] - q.y[3];
    double g = 0;
    double h = 0;
    if (sx != 0 || sy != 0) {
        const double dx1 = q.x[1] - q.x[2], dx2 = q.x[3] - q.x[2];
        const double dy1 = q.y[1] - q.y[2], dy2 = q.y[3] - q.y[2];
        const double det = dx1 * dy2 - dx2 * dy1;  // non-zero for a convex quadrilateral
        g = (sx * dy2 - dx2 * sy) / det;
        h = (dx1 * sy - sx * dy1) / det;
    }
    return {q.x[1] - q.x[0] + g * q.x[1], q.x[3] - q.x[0] + h * q.x[3], q.x[0],
            q.y[1] - q.y[0] + g * q.y[1], q.y[3] - q.y[0] + h * q.y[3], q.y[0],
            g, h, 1.0};
}

Matrix3 Adjugate(const Matrix3& m)
{
    return {m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
            m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
            m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
}

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

bool CheckSize(uint32_t width, uint32_t height, std::string& error)
{
    if (width == 0 || height == 0) {
        error = "the map size must be at least 1 x 1";
        return false;
    }
    if (width > kMaxUvMapMakerSide || height > kMaxUvMapMakerSide ||
        uint64_t(width) * height > kMaxUvMapMakerPixels) {
        error = "the map size " + std::to_string(width) + " x " + std::to_string(height) +
                " is larger than a UV map may be (at most 8192 on a side and 7680 x 4320 pixels)";
        return false;
    }
    return true;
}

// Returns +1 or -1 for the turning direction of a convex quadrilateral, 0 when
// the corners do not make one.
int ConvexOrientation(const UvQuad& q, std::string& error)
{
    for (int i = 0; i < 4; ++i) {
        if (!std::isfinite(q.x[i]) || !std::isfinite(q.y[i]) || std::fabs(q.x[i]) > kMaxCoordinate ||
            std::fabs(q.y[i]) > kMaxCoordinate) {
            error = "the corner coordinates must be finite numbers of reasonable size";
            return 0;
        }
    }
    int positive = 0;
    int negative = 0;
    double area = 0;
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        const int k = (i + 2) % 4;
        const double turn = Cross(q.x[j] - q.x[i], q.y[j] - q.y[i], q.x[k] - q.x[j], q.y[k] - q.y[j]);
        positive += turn > 0;
        negative += turn < 0;
        area += Cross(q.x[i], q.y[i], q.x[j], q.y[j]);
    }
    if (positive != 4 && negative != 4) {
        error = "the four corners must form a convex quadrilateral, given in order "
                "top-left, top-right, bottom-right, bottom-left";
        return 0;
    }
    if (std::fabs(area) / 2 < kMinArea) {
        error = "the four corners enclose no area";
        return 0;
    }
    return positive == 4 ? 1 : -1;
}

// One edge line of the quadrilateral, as a signed distance that is positive inside.
struct EdgeLine {
    double nx, ny, offset;
    double Distance(double x, double y) const { return nx * x + ny * y + offset; }
};

std::array<EdgeLine, 4> EdgeLines(const UvQuad& q, int orientation)
{
    std::array<EdgeLine, 4> lines{};
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        const double dx = q.x[j] - q.x[i];
        const double dy = q.y[j] - q.y[i];
        const double length = std::hypot(dx, dy);
        // Rotating the edge direction a quarter turn towards the inside.
        const double nx = -dy * orientation / length;
        const double ny = dx * orientation / length;
        lines[i] = {nx, ny, -(nx * q.x[i] + ny * q.y[i])};
    }
    return lines;
}

// Share of the pixel around (x, y) inside all four edges: each edge within
// half a pixel of the centre cuts the pixel in proportion to its distance.
double Coverage(const std::array<EdgeLine, 4>& lines, double x, double y)
{
    double coverage = 1.0;
    for (const EdgeLine& line : lines)
        coverage *= std::clamp(line.Distance(x, y) + 0.5, 0.0, 1.0);
    return coverage;
}

uint16_t ToChannel(double unit) { return static_cast<uint16_t>(std::lround(std::clamp(unit, 0.0, 1.0) * 65535.0)); }

// Pixels that can be touched: the corners' bounding box grown by one pixel.
void CandidateRange(const double* c, uint32_t limit, uint32_t& first, uint32_t& end)
{
    const double lo = std::floor(*std::min_element(c, c + 4)) - 1;
    const double hi = std::ceil(*std::max_element(c, c + 4)) + 1;
    first = static_cast<uint32_t>(std::clamp(lo, 0.0, double(limit)));
    end = static_cast<uint32_t>(std::clamp(hi, 0.0, double(limit)));
}

}  // namespace

UvQuad FullFrameQuad(uint32_t width, uint32_t height)
{
    const double w = width;
    const double h = height;
    return {{0, w, w, 0}, {0, 0, h, h}};
}

bool MakeUvMap(uint32_t width, uint32_t height, const UvQuad& quad, UvMap& map, std::string& error)
{
    if (!CheckSize(width, height, error))
        return false;
    const int orientation = ConvexOrientation(quad, error);
    if (orientation == 0)
        return false;

    const Matrix3 toSquare = Adjugate(SquareToQuad(quad));
    const std::array<EdgeLine, 4> lines = EdgeLines(quad, orientation);
    map.width = width;
    map.height = height;
    map.texels.assign(size_t(width) * height * 4, 0);

    uint32_t x0, x1, y0, y1;
    CandidateRange(quad.x, width, x0, x1);
    CandidateRange(quad.y, height, y0, y1);
    for (uint32_t py = y0; py < y1; ++py) {
        const double y = py + 0.5;
        for (uint32_t px = x0; px < x1; ++px) {
            const double x = px + 0.5;
            const double coverage = Coverage(lines, x, y);
            if (coverage <= 0)
                continue;
            const double u = toSquare[0] * x + toSquare[1] * y + toSquare[2];
            const double v = toSquare[3] * x + toSquare[4] * y + toSquare[5];
            const double w = toSquare[6] * x + toSquare[7] * y + toSquare[8];
            uint16_t* texel = &map.texels[(size_t(py) * width + px) * 4];
            texel[0] = ToChannel(u / w);
            texel[1] = ToChannel(v / w);
            texel[3] = ToChannel(coverage);
        }
    }
    return true;
}

bool EncodeUvMapPng(const UvMap& map, std::string& png, std::string& error)
{
    if (map.width == 0 || map.height == 0 || map.texels.size() != size_t(map.width) * map.height * 4) {
        error = "the map holds no pixels";
        return false;
    }
    // The encoder takes 16-bit channels most significant byte first.
    std::vector<unsigned char> raw(map.texels.size() * 2);
    for (size_t i = 0; i < map.texels.size(); ++i) {
        raw[2 * i] = static_cast<unsigned char>(map.texels[i] >> 8);
        raw[2 * i + 1] = static_cast<unsigned char>(map.texels[i] & 0xff);
    }
    lodepng::State state;
    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 16;
    state.info_png.color.colortype = LCT_RGBA;
    state.info_png.color.bitdepth = 16;
    state.encoder.auto_convert = 0;  // a map must stay 16-bit RGBA whatever it holds
    std::vector<unsigned char> out;
    const unsigned code = lodepng::encode(out, raw, map.width, map.height, state);
    if (code) {
        error = std::string("cannot encode the PNG: ") + lodepng_error_text(code);
        return false;
    }
    png.assign(out.begin(), out.end());
    return true;
}

bool WriteUvMapFile(const std::wstring& path, uint32_t width, uint32_t height, const UvQuad& quad,
                    std::string& error)
{
    UvMap map;
    std::string png;
    if (!MakeUvMap(width, height, quad, map, error) || !EncodeUvMapPng(map, png, error))
        return false;
    if (!platform::WriteFileAtomically(path, png)) {
        error = "cannot write " + platform::WideToUtf8(path) + ": " + platform::WideToUtf8(platform::SystemErrorText(errno));
        return false;
    }
    return true;
}
