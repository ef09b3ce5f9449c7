#include "SetTestData.h"

#include "formats/SceneFile.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <lodepng.h>

namespace settest {

void WritePicture(const std::string& path, int width, int height, const QColor& colour, const char* format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(QString::fromStdString(path), format)) << path;
}

void WriteUvMap(const std::string& path, int width, int height)
{
    std::vector<unsigned char> texels(size_t(width) * height * 8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned u = unsigned(std::lround((x + 0.5) / width * 65535.0));
            const unsigned v = unsigned(std::lround((y + 0.5) / height * 65535.0));
            const unsigned values[4] = {u, v, 0, 65535};
            unsigned char* texel = &texels[(size_t(y) * width + x) * 8];
            for (int c = 0; c < 4; ++c) {
                texel[c * 2] = static_cast<unsigned char>(values[c] >> 8);  // big-endian samples
                texel[c * 2 + 1] = static_cast<unsigned char>(values[c] & 0xFF);
            }
        }
    }
    // Exactly RGBA 16: the encoder would otherwise drop the opaque alpha.
    lodepng::State state;
    state.info_raw.colortype = state.info_png.color.colortype = LCT_RGBA;
    state.info_raw.bitdepth = state.info_png.color.bitdepth = 16;
    state.encoder.auto_convert = 0;
    std::vector<unsigned char> png;
    EXPECT_EQ(lodepng::encode(png, texels, unsigned(width), unsigned(height), state), 0u) << path;
    EXPECT_EQ(lodepng::save_file(png, path), 0u) << path;
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

std::string Degrees(float radians) { return Number(radians * 180.0 / M_PI); }

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
