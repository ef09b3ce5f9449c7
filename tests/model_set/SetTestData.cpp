#include "SetTestData.h"

#include "formats/SceneFile.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <zlib.h>

namespace settest {

void WritePicture(const std::string& path, int width, int height, const QColor& colour, const char* format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(QString::fromStdString(path), format)) << path;
}

namespace {

void AppendBigEndian(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void AppendChunk(std::string& png, const char* type, const std::string& data)
{
    AppendBigEndian(png, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    png += typed;
    AppendBigEndian(png, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size()))));
}

uint16_t UvSample(double value) { return static_cast<uint16_t>(std::lround(std::clamp(value, 0.0, 1.0) * 65535.0)); }

}  // namespace

void WriteUvMap(const std::string& path, int width, int height) { WriteLensUvMap(path, width, height, 0.0); }

void WriteLensUvMap(const std::string& path, int width, int height, double barrel)
{
    // Rows filtered with "Sub" (the difference to the texel on the left), so
    // smooth maps deflate to little even at the fastest level.
    const size_t rowBytes = 1 + size_t(width) * 8;
    std::string raw(rowBytes * size_t(height), '\0');
    for (int y = 0; y < height; ++y) {
        unsigned char* row = reinterpret_cast<unsigned char*>(&raw[rowBytes * size_t(y)]);
        row[0] = 1;
        uint16_t previous[4] = {0, 0, 0, 0};
        const double dy = (y + 0.5) / height - 0.5;
        for (int x = 0; x < width; ++x) {
            const double dx = (x + 0.5) / width - 0.5;
            const double scale = 1.0 + barrel * (dx * dx + dy * dy);
            const double u = 0.5 + dx * scale, v = 0.5 + dy * scale;
            const bool inside = u >= 0.0 && u <= 1.0 && v >= 0.0 && v <= 1.0;
            const uint16_t texel[4] = {inside ? UvSample(u) : uint16_t(0), inside ? UvSample(v) : uint16_t(0), 0,
                                       inside ? uint16_t(65535) : uint16_t(0)};
            unsigned char* out = row + 1 + size_t(x) * 8;
            for (int c = 0; c < 4; ++c) {
                out[2 * c] = static_cast<unsigned char>((texel[c] >> 8) - (previous[c] >> 8));
                out[2 * c + 1] = static_cast<unsigned char>((texel[c] & 0xFF) - (previous[c] & 0xFF));
                previous[c] = texel[c];
            }
        }
    }
    uLongf size = compressBound(uLong(raw.size()));
    std::string deflated(size, '\0');
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(deflated.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                        uLong(raw.size()), 1),
              Z_OK);
    deflated.resize(size);
    std::string header;
    AppendBigEndian(header, uint32_t(width));
    AppendBigEndian(header, uint32_t(height));
    header += std::string("\x10\x06\x00\x00\x00", 5);  // 16 bits, RGBA, deflate, adaptive filters, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", deflated);
    AppendChunk(png, "IEND", "");
    testsupport::WriteFileBytes(path, png);
}

LayerList MakeLayers(const std::string& folder, const std::vector<TestLayer>& specs)
{
    std::filesystem::create_directories(folder);
    LayerList layers;
    for (const TestLayer& spec : specs) {
        LayerInfo layer = MakeDefaultLayer();
        SetRecordName(layer.name, platform::Utf8ToWide(spec.name));
        const std::string image = folder + "/" + spec.name + ".png";
        WritePicture(image, spec.width, spec.height, spec.colour);
        SetLayerImagePath(layer, platform::WideToAnsi(platform::Utf8ToWide(image)));
        if (spec.uvMap) {
            const std::string uv = folder + "/" + spec.name + "-uv.png";
            WriteUvMap(uv, spec.width, spec.height);
            SetLayerUvPath(layer, platform::WideToAnsi(platform::Utf8ToWide(uv)));
        }
        layer.x = spec.x;
        layer.y = spec.y;
        layer.zoomX = spec.zoomX;
        layer.zoomY = spec.zoomY;
        layer.rotateZ = spec.rotateZ;
        layer.cropLeft = spec.crop[0];
        layer.cropTop = spec.crop[1];
        layer.cropRight = spec.crop[2];
        layer.cropBottom = spec.crop[3];
        layers.push_back(layer);
    }
    return layers;
}

ShotInfo MakeShot(const std::string& name, float x, float y, float zoomX, float zoomY, float rotateZ)
{
    ShotInfo shot = MakeDefaultShot();
    SetRecordName(shot.name, platform::Utf8ToWide(name));
    shot.x = x;
    shot.y = y;
    shot.zoomX = zoomX;
    shot.zoomY = zoomY;
    shot.rotateZ = rotateZ;
    return shot;
}

std::wstring MakeNativeSet(const std::string& parent, const std::string& name, const std::vector<TestLayer>& layers,
                           const ShotList& shots, int32_t shotMode)
{
    const std::string sources = parent + "/sources";
    const LayerList records = MakeLayers(sources, layers);
    const std::string thumbnail = sources + "/thumb-" + name + ".jpg";
    WritePicture(thumbnail, 32, 18, Qt::darkCyan, "JPG");
    const std::string folder = parent + "/" + name;
    std::filesystem::create_directories(folder);
    const std::wstring sceneFile = platform::Utf8ToWide(folder + "/scene.tvn");
    EXPECT_TRUE(WriteSceneFile(sceneFile, records, shots, platform::Utf8ToWide(thumbnail)));
    if (shotMode != 0) {
        EXPECT_TRUE(SetSceneShotMode(sceneFile, shotMode));
    }
    return sceneFile;
}

namespace {

std::string Number(double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%f", value);
    return text;
}

std::string Degrees(float turns) { return Number(turns * 360.0); }

}  // namespace

std::wstring MakeVmixSet(const std::string& parent, const std::string& name, const std::vector<TestLayer>& layers,
                         const ShotList& shots)
{
    const std::string folder = parent + "/" + name;
    std::filesystem::create_directories(folder);
    std::string xml = "<virtualSet>\r\n";
    for (auto it = layers.rbegin(); it != layers.rend(); ++it) {
        const TestLayer& spec = *it;
        WritePicture(folder + "/" + spec.name + ".png", spec.width, spec.height, spec.colour);
        xml += "<input name=\"" + spec.name + "\" x=\"" + Number(spec.x) + "\" y=\"" + Number(spec.y) +
               "\" zoomX=\"" + Number(spec.zoomX) + "\" zoomY=\"" + Number(spec.zoomY) +
               "\" zoomZ=\"1.000000\" rotateX=\"0.000000\" rotateY=\"0.000000\" rotateZ=\"" + Degrees(spec.rotateZ) +
               "\"";
        if (spec.crop[0] != 0 || spec.crop[1] != 0 || spec.crop[2] != 0 || spec.crop[3] != 0)
            xml += " cropping=\"" + Number(spec.crop[0]) + "," + Number(spec.crop[1]) + "," +
                   Number(1.0 - spec.crop[2]) + "," + Number(1.0 - spec.crop[3]) + "\"";
        if (spec.uvMap) {
            WriteUvMap(folder + "/" + spec.name + "-uv.png", spec.width, spec.height);
            xml += " uvmap=\"" + spec.name + "-uv.png\"";
        }
        xml += ">" + spec.name + ".png</input>\r\n";
    }
    for (const ShotInfo& shot : shots) {
        xml += "<zoom name=\"" + std::string(shot.name) + "\" x=\"" + Number(shot.x) + "\" y=\"" + Number(shot.y) +
               "\" zoomX=\"" + Number(shot.zoomX) + "\" zoomY=\"" + Number(shot.zoomY) + "\" zoomZ=\"" +
               Number(shot.zoomZ) + "\" rotateX=\"0.000000\" rotateY=\"0.000000\" rotateZ=\"" +
               Degrees(shot.rotateZ) + "\"></zoom>\r\n";
    }
    xml += "</virtualSet>\r\n";
    WritePicture(folder + "/thumbnail.jpg", 32, 18, Qt::darkCyan, "JPG");
    testsupport::WriteFileBytes(folder + "/config.xml", xml);
    return platform::Utf8ToWide(folder + "/config.xml");
}

std::wstring MakeRealWorldVmixSet(const std::string& parent, const std::string& name)
{
    const std::string folder = parent + "/" + name;
    std::filesystem::create_directories(folder);
    WritePicture(folder + "/background.jpg", 192, 108, Qt::darkBlue, "JPG");
    WritePicture(folder + "/floor.png", 192, 54, Qt::darkGray);
    WritePicture(folder + "/desk.png", 96, 40, Qt::red);
    WritePicture(folder + "/foreground.png", 192, 108, Qt::transparent);
    WritePicture(folder + "/blank.png", 32, 32, Qt::transparent);
    WriteLensUvMap(folder + "/screen_left.png", 1280, 720, 0.3);
    WriteLensUvMap(folder + "/screen_right.png", 1920, 1080, -0.2);
    WriteLensUvMap(folder + "/screen_main.png", 3840, 2160, 0.0);
    // As exported by hand-edited sets in the wild: back-most input first.
    const std::string xml =
        "<virtualSet>\n"
        "  <input name=\"Background\"        x=\"0\"       y=\"0\"      zoomX=\"1\"     zoomY=\"1\"     >background.jpg</input>\n"
        "  <input name=\"Floor\"             x=\"0\"       y=\"-0.5\"   zoomX=\"1\"     zoomY=\"0.5\"   >floor.png</input>\n"
        "  <input name=\"Screen Left\"       x=\"-0.6\"    y=\"+0.3\"   zoomX=\"0.35\"  zoomY=\"0.35\"  dynamic=\"True\"  uvmap=\"screen_left.png\">blank.png</input>\n"
        "  <input name=\"Screen Right\"      x=\"+0.6\"    y=\"+0.3\"   zoomX=\"0.35\"  zoomY=\"0.35\"  dynamic=\"True\"  uvmap=\"screen_right.png\">blank.png</input>\n"
        "  <input name=\"Main Screen\"       x=\"0\"       y=\"+0.45\"  zoomX=\"0.5\"   zoomY=\"0.4\"   dynamic=\"True\"  uvmap=\"screen_main.png\">blank.png</input>\n"
        "  <input name=\"Camera 1 Overlay\"  x=\"0\"       y=\"0\"      zoomX=\"1\"     zoomY=\"1\"     dynamic=\"True\"  uvmap=\"overlay_uv.png\">blank.png</input>\n"
        "  <input name=\"Desk\"              x=\"+0.577\"  y=\"-0.62\"  zoomX=\"0.5\"   zoomY=\"0.37\"  rotateZ=\"-2.5\" >desk.png</input>\n"
        "  <input name=\"Foreground\"        x=\"0\"       y=\"0\"      zoomX=\"1\"     zoomY=\"1\"     >foreground.png</input>\n"
        "  <zoom  name=\"Wide\"         x=\"0\"      y=\"0\"      zoomX=\"1\"    zoomY=\"1\"    rotateX=\"0\"  rotateY=\"0\"  rotateZ=\"0\" />\n"
        "  <zoom  name=\"Close Left\"   x=\"+0.4\"   y=\"-0.2\"   zoomX=\"1.8\"  zoomY=\"1.8\"  rotateX=\"0\"  rotateY=\"0\"  rotateZ=\"5\" />\n"
        "  <zoom  name=\"Desk\"         x=\"-0.35\"  y=\"+0.5\"   zoomX=\"2.2\"  zoomY=\"2.2\"  rotateX=\"0\"  rotateY=\"0\"  rotateZ=\"-3.5\" />\n"
        "</virtualSet>\n";
    testsupport::WriteFileBytes(folder + "/config.xml", xml);
    return platform::Utf8ToWide(folder + "/config.xml");
}

SourceInfo NativeSetInfo(const std::wstring& sceneFile)
{
    SourceInfo info;
    info.kind = kKindNativeSet;
    info.variant = 1;
    info.path = sceneFile;
    return info;
}

SourceInfo VmixSetInfo(const std::wstring& configFile)
{
    SourceInfo info;
    info.kind = kKindVmixSet;
    info.variant = 2;
    info.path = configFile;
    return info;
}

std::vector<std::string> FolderTree(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        names.push_back(std::filesystem::relative(it->path(), folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

bool PixelIs(const QImage& image, int x, int y, const QColor& colour, int tolerance)
{
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return false;
    const QColor pixel = image.pixelColor(x, y);
    return std::abs(pixel.red() - colour.red()) <= tolerance && std::abs(pixel.green() - colour.green()) <= tolerance &&
           std::abs(pixel.blue() - colour.blue()) <= tolerance;
}

}  // namespace settest
