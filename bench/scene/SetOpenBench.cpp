// Opens a virtual set of eight 3840×2160 PNG layers into the engine, until
// every layer's source reports its size, and compares it with decoding the
// same PNGs once with the image facade. The goal is a ratio of 1.3 or less
// for each kind of set. A native set is opened again as a user reopens it
// (its pictures unpacked already by the last opening), and also as a
// package opened for the first time (every picture to be unpacked).
//
//   set_open_bench [WORK_FOLDER] [ROUNDS]
#include "BenchMeasure.h"
#include "BenchPictures.h"
#include "BenchTiming.h"
#include "engine/ObsMain.h"
#include "formats/SceneFile.h"
#include "model/MultiViewSource.h"
#include "model/SetPaths.h"
#include "platform/FileUtil.h"
#include "platform/HugePageBuffers.h"
#include "platform/Image.h"
#include "platform/TextConv.h"

#include <QImage>
#include <QImageWriter>
#include <X11/Xlib.h>
#include <util/platform.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kLayers = 8;

std::wstring W(const std::string& s) { return platform::Utf8ToWide(s); }



bool DecodeAll(const std::vector<std::string>& pngs)
{
    for (const std::string& png : pngs) {
        platform::Image image;
        if (!image.Load(W(png)) || image.Width() != 3840)
            return false;
    }
    return true;
}

// Opens the set and waits until each layer's source has its size.
bool OpenSet(const std::wstring& setFolder)
{
    SourceInfo info;
    if (!MakeSetRecordForFolder(setFolder, info))
        return false;
    CMultiViewSource set(g_obsMain, &info, nullptr);
    if (set.Open() != S_OK || set.GetLayers().size() != size_t(kLayers))
        return false;
    for (const LayerInfo& layer : set.GetLayers()) {
        while (obs_source_get_width(layer.imageSource) == 0)
            os_sleep_ms(1);
    }
    return true;
}

void RemoveUnpackedPictures(const std::string& folder)
{
    for (int i = 1; i <= kLayers; ++i)
        platform::RemoveFile(W(folder + "/s" + std::to_string(i) + ".png"));
    ::sync();  // nothing of the last round left to write back
}

std::string WriteVmixSet(const std::string& folder, const std::vector<std::string>& pngs)
{
    platform::CreateFolder(W(folder));
    std::string xml = "<virtualSet>\r\n";
    for (int i = kLayers; i-- > 0;) {
        const std::string name = "layer" + std::to_string(i) + ".png";
        platform::CopyFileTo(W(pngs[size_t(i)]), W(folder + "/" + name), true);
        xml += "<input name=\"layer " + std::to_string(i) + "\" x=\"0\" y=\"0\" zoomX=\"1\" zoomY=\"1\">" + name +
               "</input>\r\n";
    }
    xml += "</virtualSet>\r\n";
    platform::WriteFileAtomically(W(folder + "/config.xml"), xml);
    return folder;
}

}  // namespace

int main(int argc, char** argv)
{
    // As the editor runs: large buffers on huge pages.
    platform::RestartWithHugePageBuffers(argv);
    platform::LocaleCharset();
    const std::string work = argc > 1 ? argv[1] : platform::WideToUtf8(platform::GetTempFolder()) + "/kelvane-set-bench";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    platform::CreateFolderTree(W(work));

    std::vector<std::string> pngs;
    LayerList layers;
    for (int i = 0; i < kLayers; ++i) {
        const std::string path = work + "/layer" + std::to_string(i) + ".png";
        if (!platform::FileExists(W(path)) && !MakeBenchPng(path, i, true)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        pngs.push_back(path);
        LayerInfo layer = MakeDefaultLayer();
        SetRecordName(layer.name, L"layer " + std::to_wstring(i));
        SetLayerImagePath(layer, platform::WideToAnsi(W(path)));
        layers.push_back(layer);
    }
    const std::string thumbnail = work + "/thumbnail-source.jpg";
    QImage(320, 180, QImage::Format_RGB32).save(QString::fromStdString(thumbnail), "JPEG");
    const std::string native = work + "/Native";
    platform::CreateFolder(W(native));
    if (!WriteSceneFile(W(native + "/scene.tvn"), layers, {}, W(thumbnail))) {
        std::fprintf(stderr, "cannot write the native set\n");
        return 1;
    }
    const std::string vmix = WriteVmixSet(work + "/Vmix", pngs);

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    SetEngineDisplay(display);
    g_obsMain = new ObsMain;
    if (!g_obsMain->InitEngine()) {
        std::fprintf(stderr, "the engine did not start\n");
        return 1;
    }
    base_set_log_handler([](int, const char*, va_list, void*) {}, nullptr);  // quiet while timing

    DecodeAll(pngs);  // the files into the page cache
    const double decode = BestOfRounds(rounds, [&] { return DecodeAll(pngs); });
    const double openNative = BestOfRounds(rounds, [&] { return OpenSet(W(native)); });
    const double firstNative = BestOfPreparedRounds(
        rounds, [&] { RemoveUnpackedPictures(native); }, [&] { return OpenSet(W(native)); });
    const double unpack = BestOfRounds(rounds, [&] {
        LayerList loaded;
        ShotList shots;
        return LoadSceneFile(W(native + "/scene.tvn"), loaded, shots, nullptr, true, true);
    });
    const double sources = BestOfRounds(rounds, [&] {
        for (const std::string& png : pngs) {
            OBSDataAutoRelease settings = obs_data_create();
            obs_data_set_string(settings, "file", png.c_str());
            OBSSourceAutoRelease source = obs_source_create_private("image_source", "bench", settings);
            if (obs_source_get_width(source) != 3840)
                return false;
        }
        return true;
    });
    std::printf("parts: unpack %.3f s; the engine's image sources one by one %.3f s\n", unpack, sources);
    SourceInfo vmixInfo;
    const bool hasVmix = MakeSetRecordForFolder(W(vmix), vmixInfo);
    const double openVmix = hasVmix ? BestOfRounds(rounds, [&] { return OpenSet(W(vmix)); }) : -1.0;

    delete g_obsMain;
    SetEngineDisplay(nullptr);
    XCloseDisplay(display);

    std::printf("decode %d PNGs (image facade), load %s\n", kLayers, LoadAverageText().c_str());
    std::printf("decode %d PNGs once                %8.3f s\n", kLayers, decode);
    std::printf("open native set (unpack + engine)  %8.3f s   ratio %.2f\n", openNative, openNative / decode);
    std::printf("  first opening, all to unpack     %8.3f s   ratio %.2f\n", firstNative, firstNative / decode);
    if (hasVmix)
        std::printf("open vMix set (engine)             %8.3f s   ratio %.2f\n", openVmix, openVmix / decode);
    std::printf("goal: ratio <= 1.30\n");
    return openNative < 0 || firstNative < 0 || (hasVmix && openVmix < 0) ? 1 : 0;
}
