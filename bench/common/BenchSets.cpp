#include "BenchSets.h"

#include "BenchPictures.h"
#include "formats/SceneFile.h"
#include "formats/UvMapMaker.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <QImage>

namespace {

std::wstring W(const std::string& s) { return platform::Utf8ToWide(s); }

// A screen on the right half of the picture, seen a little from the side.
UvQuad ScreenQuad(int width, int height)
{
    UvQuad quad;
    const double w = width, h = height;
    const double xs[4] = {0.55, 0.92, 0.90, 0.56}, ys[4] = {0.18, 0.12, 0.70, 0.62};
    for (int i = 0; i < 4; ++i) {
        quad.x[i] = xs[i] * w;
        quad.y[i] = ys[i] * h;
    }
    return quad;
}

std::string WriteVmixConfig(const std::string& folder, const std::vector<std::string>& pictures, const std::string& uvMap)
{
    std::string xml = "<virtualSet>\r\n";
    for (size_t i = pictures.size(); i-- > 0;) {
        const std::string name = "layer" + std::to_string(i) + ".png";
        platform::CopyFileTo(W(pictures[i]), W(folder + "/" + name), true);
        std::string uv;
        if (i == 1 && !uvMap.empty()) {
            platform::CopyFileTo(W(uvMap), W(folder + "/uvmap.png"), true);
            uv = " uvmap=\"uvmap.png\"";
        }
        const double zoom = i == 0 ? 0.33 : 1.0 - 0.05 * double(i);
        xml += "<input name=\"layer " + std::to_string(i) + "\" x=\"0\" y=\"0\" zoomX=\"" + std::to_string(zoom) +
               "\" zoomY=\"" + std::to_string(zoom) + "\"" + uv + ">" + name + "</input>\r\n";
    }
    xml += "</virtualSet>\r\n";
    return platform::WriteFileAtomically(W(folder + "/config.xml"), xml) ? folder : std::string();
}

}  // namespace

BenchSet WriteBenchSet(const std::string& work, const BenchSetSpec& spec)
{
    BenchSet set;
    platform::CreateFolderTree(W(work));
    const std::string size = std::to_string(spec.width) + "x" + std::to_string(spec.height);
    for (int i = 0; i < spec.layers; ++i) {
        const std::string path = work + "/layer" + std::to_string(i) + "-" + size + ".png";
        if (!platform::FileExists(W(path)) && !MakeBenchPng(path, i, true, spec.width, spec.height))
            return {};
        set.pictures.push_back(path);
        set.rawBytes += double(spec.width) * spec.height * 4;
    }
    if (spec.uvScreen) {
        set.uvMap = work + "/uvmap-" + size + ".png";
        std::string error;
        if (!platform::FileExists(W(set.uvMap)) &&
            !WriteUvMapFile(W(set.uvMap), uint32_t(spec.width), uint32_t(spec.height), ScreenQuad(spec.width, spec.height), error))
            return {};
        set.rawBytes += double(spec.width) * spec.height * 8;
    }
    const std::string folder = work + "/" + spec.name;
    platform::CreateFolder(W(folder));
    if (spec.vmix) {
        set.folder = WriteVmixConfig(folder, set.pictures, set.uvMap);
        return set;
    }
    LayerList layers;
    for (int i = 0; i < spec.layers; ++i) {
        LayerInfo layer = MakeDefaultLayer();
        SetRecordName(layer.name, L"layer " + std::to_wstring(i));
        SetLayerImagePath(layer, platform::WideToAnsi(W(set.pictures[size_t(i)])));
        if (i == 1 && spec.uvScreen)
            SetLayerUvPath(layer, platform::WideToAnsi(W(set.uvMap)));
        layer.zoomX = layer.zoomY = i == 0 ? 0.33f : 1.0f - 0.05f * float(i);
        layers.push_back(layer);
    }
    const std::string thumbnail = work + "/thumbnail-source.jpg";
    if (!platform::FileExists(W(thumbnail))) {
        QImage picture(320, 180, QImage::Format_RGB32);
        picture.fill(Qt::darkGray);
        picture.save(QString::fromStdString(thumbnail), "JPEG");
    }
    // Two camera shots: the whole set, and a closer look at the screen.
    ShotList shots(2, MakeDefaultShot());
    SetRecordName(shots[0].name, L"wide");
    SetRecordName(shots[1].name, L"screen");
    shots[1].x = 0.4f;
    shots[1].zoomX = shots[1].zoomY = 1.6f;
    if (WriteSceneFile(W(folder + "/scene.tvn"), layers, shots, W(thumbnail)))
        set.folder = folder;
    return set;
}
