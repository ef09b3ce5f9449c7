// From constructing the editor window to the first composed frame of an
// eight-layer 1920 × 1080 set opened in it, against starting the engine,
// opening the same set and rendering it once as "kelvane-cli render" does.
// The goal is a ratio of 1.3 or less.
//
//   editor_open_bench [WORK_FOLDER] [ROUNDS]
#include "BenchMeasure.h"
#include "BenchTiming.h"
#include "EditorBench.h"
#include "engine/ObsMain.h"
#include "formats/SceneFile.h"
#include "model/MultiViewSource.h"
#include "model/SetPaths.h"
#include "platform/FileUtil.h"
#include "platform/HugePageBuffers.h"
#include "platform/TextConv.h"
#include "preview/ObsQtWindow.h"
#include "ui/DlgEditor.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <util/base.h>

namespace {

constexpr int kLayers = 8;

std::wstring W(const std::string& s) { return platform::Utf8ToWide(s); }


// A photograph-like layer: a gradient with grain and a soft-edged hole.
bool WriteLayerPicture(const std::string& path, int seed)
{
    QImage image(1920, 1080, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 1920, 1080);
    gradient.setColorAt(0, QColor::fromHsv((seed * 45) % 360, 200, 220));
    gradient.setColorAt(1, QColor::fromHsv((seed * 45 + 120) % 360, 160, 90));
    painter.fillRect(image.rect(), gradient);
    painter.end();
    QRandomGenerator random(static_cast<quint32>(seed));
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = static_cast<int>(random.bounded(16)) - 8;
            const QRgb p = row[x];
            const int alpha = y > 900 ? std::max(0, 255 - (y - 900) * 255 / 180) : 255;
            row[x] = qRgba(std::clamp(qRed(p) + grain, 0, 255), std::clamp(qGreen(p) + grain, 0, 255),
                           std::clamp(qBlue(p) + grain, 0, 255), alpha);
        }
    }
    return image.save(QString::fromStdString(path), "PNG");
}

bool RenderLikeTheCommandLine(const std::wstring& setFolder, const std::wstring& output)
{
    g_obsMain = new ObsMain;
    bool ok = g_obsMain->InitEngine();
    if (ok) {
        SourceInfo info;
        ok = MakeSetRecordForFolder(setFolder, info);
        if (ok) {
            CMultiViewSource set(g_obsMain, &info, nullptr);
            ok = set.Open() == S_OK && set.SaveScreenshot(output);
        }
    }
    delete g_obsMain;
    return ok;
}

bool OpenInTheEditor(const std::wstring& setFolder)
{
    CDlgEditor editor;
    editor.SetAutoMaximize(false);
    editor.show();
    editor.ResizeClientArea(1704, 1000);
    if (editor.OpenSetFolder(setFolder, kSetKindNative) != 0)
        return false;
    ObsQtWindow* preview = editor.GetPreview();
    const uint64_t before = preview->GetFramesDrawn();
    // The first frame drawn after the open shows the composed set.
    QElapsedTimer timer;
    timer.start();
    while (preview->GetFramesDrawn() < before + 1 && timer.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    return preview->GetFramesDrawn() > before;
}

}  // namespace

int main(int argc, char** argv)
{
    // As the editor runs: large buffers on huge pages.
    platform::RestartWithHugePageBuffers(argv);
    platform::LocaleCharset();
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    const std::string work =
        argc > 1 ? argv[1] : platform::WideToUtf8(platform::GetTempFolder()) + "/kelvane-editor-bench";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    platform::CreateFolderTree(W(work));

    LayerList layers;
    for (int i = 0; i < kLayers; ++i) {
        const std::string path = work + "/layer" + std::to_string(i) + ".png";
        if (!platform::FileExists(W(path)) && !WriteLayerPicture(path, i)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        LayerInfo layer = MakeDefaultLayer();
        SetRecordName(layer.name, L"layer " + std::to_wstring(i));
        SetLayerImagePath(layer, platform::WideToAnsi(W(path)));
        layers.push_back(layer);
    }
    const std::string thumbnail = work + "/thumbnail-source.jpg";
    QImage(320, 180, QImage::Format_RGB32).save(QString::fromStdString(thumbnail), "JPEG");
    const std::string native = work + "/Studio";
    platform::CreateFolder(W(native));
    if (!WriteSceneFile(W(native + "/scene.tvn"), layers, {}, W(thumbnail))) {
        std::fprintf(stderr, "cannot write the set\n");
        return 1;
    }
    base_set_log_handler([](int, const char*, va_list, void*) {}, nullptr);  // quiet while timing
    PrintEditorMessages();
    auto* x11 = application.nativeInterface<QNativeInterface::QX11Application>();
    SetEngineDisplay(x11 ? x11->display() : nullptr);

    const std::wstring output = W(work + "/render.bmp");
    RenderLikeTheCommandLine(W(native), output);  // the files into the page cache
    const double render = BestOfRounds(rounds, [&] { return RenderLikeTheCommandLine(W(native), output); });
    const double editor = BestOfRounds(rounds, [&] { return OpenInTheEditor(W(native)); });
    std::printf("eight 1920 x 1080 layers, load %s\n", LoadAverageText().c_str());
    std::printf("engine start + open + render once    %8.3f s\n", render);
    std::printf("editor window to first composed frame %8.3f s   ratio %.2f\n", editor, editor / render);
    std::printf("goal: ratio <= 1.30\n");
    return render < 0 || editor < 0 ? 1 : 0;
}
