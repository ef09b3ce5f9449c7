// Drags one layer of an eight-layer 1920 × 1080 set across the preview for a
// few seconds and compares the frames the display drew with those of an idle
// stretch of the same length; also the mean time from a mouse move to the
// item's new position. Goals: a ratio of 0.9 or more, 1 ms or less per move.
//
//   preview_drag_bench [WORK_FOLDER] [SECONDS]
#include "engine/ObsMain.h"
#include "formats/SceneFile.h"
#include "model/MultiViewSource.h"
#include "model/SetPaths.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "preview/ObsQtWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <util/platform.h>

namespace {

constexpr int kLayers = 8;
using Clock = std::chrono::steady_clock;

std::wstring W(const std::string& s) { return platform::Utf8ToWide(s); }

bool WriteLayerPicture(const std::string& path, int seed)
{
    QImage image(1920, 1080, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 1920, 1080);
    gradient.setColorAt(0, QColor::fromHsv((seed * 45) % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv((seed * 45 + 120) % 360, 160, 120));
    painter.fillRect(image.rect(), gradient);
    painter.end();
    return image.save(QString::fromStdString(path), "PNG");
}

std::string MakeSet(const std::string& work)
{
    LayerList layers;
    for (int i = 0; i < kLayers; ++i) {
        const std::string path = work + "/layer" + std::to_string(i) + ".png";
        if (!platform::FileExists(W(path)) && !WriteLayerPicture(path, i))
            return {};
        LayerInfo layer = MakeDefaultLayer();
        SetRecordName(layer.name, L"layer " + std::to_wstring(i));
        SetLayerImagePath(layer, platform::WideToAnsi(W(path)));
        // Layer 0, on top, is the one dragged: a third of the canvas.
        if (i == 0)
            layer.zoomX = layer.zoomY = 0.33f;
        else
            layer.zoomX = layer.zoomY = 1.0f - 0.05f * float(i);
        layers.push_back(layer);
    }
    const std::string folder = work + "/DragSet";
    platform::CreateFolder(W(folder));
    const std::string thumbnail = work + "/thumbnail-source.jpg";
    QImage(320, 180, QImage::Format_RGB32).save(QString::fromStdString(thumbnail), "JPEG");
    if (!WriteSceneFile(W(folder + "/scene.tvn"), layers, {}, W(thumbnail)))
        return {};
    return folder;
}

void RunEventsFor(double seconds)
{
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    platform::LocaleCharset();
    const std::string work =
        argc > 1 ? argv[1] : platform::WideToUtf8(platform::GetTempFolder()) + "/kelvane-preview-bench";
    const double seconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 5.0;
    platform::CreateFolderTree(W(work));
    const std::string folder = MakeSet(work);
    if (folder.empty()) {
        std::fprintf(stderr, "cannot write the set\n");
        return 1;
    }

    auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    SetEngineDisplay(x11->display());
    g_obsMain = new ObsMain;
    if (!g_obsMain->InitEngine()) {
        std::fprintf(stderr, "the engine did not start\n");
        return 1;
    }
    base_set_log_handler([](int, const char*, va_list, void*) {}, nullptr);  // quiet while timing

    int status = 0;
    {
        SourceInfo info;
        MakeSetRecordForFolder(W(folder), info);
        CMultiViewSource set(g_obsMain, &info, nullptr);
        if (set.Open() != S_OK || set.GetLayers().size() != size_t(kLayers)) {
            std::fprintf(stderr, "the set did not open\n");
            return 1;
        }
        for (const LayerInfo& layer : set.GetLayers())
            while (obs_source_get_width(layer.imageSource) == 0)
                os_sleep_ms(1);
        for (int i = 0; i < kLayers; ++i)
            set.ApplyLayerTransform(i);

        ObsQtWindow preview;
        preview.Create(nullptr, {0, 0, 960, 540});
        RunEventsFor(0.5);
        if (!preview.CreateDisplay()) {
            std::fprintf(stderr, "no display\n");
            return 1;
        }
        preview.SetScene(set.GetGroupScene());
        preview.SetEditEnabled(true);
        RunEventsFor(1.0);  // the first frames warm the textures up

        uint64_t before = preview.GetFramesDrawn();
        RunEventsFor(seconds);
        const uint64_t idleFrames = preview.GetFramesDrawn() - before;

        // The dragged layer sits in the middle of the canvas: window (480, 270).
        obs_sceneitem_t* dragged = set.GetItem(1);
        SendMouse(&preview, QEvent::MouseButtonPress, {480, 270}, Qt::LeftButton);
        double moveSeconds = 0.0, worstMove = 0.0;
        long moves = 0, missed = 0;
        before = preview.GetFramesDrawn();
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            // Back and forth across the window, and up and down a little.
            const double phase = double(moves) * 0.01;
            const QPoint at(480 + int(std::lround(380 * std::sin(phase))), 270 + int(std::lround(150 * std::sin(phase * 0.7))));
            vec2 was;
            obs_sceneitem_get_pos(dragged, &was);
            const auto start = Clock::now();
            SendMouse(&preview, QEvent::MouseMove, at, Qt::LeftButton);
            const double took = std::chrono::duration<double>(Clock::now() - start).count();
            vec2 now;
            obs_sceneitem_get_pos(dragged, &now);
            if (now.x == was.x && now.y == was.y)
                ++missed;
            moveSeconds += took;
            worstMove = std::max(worstMove, took);
            ++moves;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            QThread::msleep(2);
        }
        const uint64_t dragFrames = preview.GetFramesDrawn() - before;
        SendMouse(&preview, QEvent::MouseButtonRelease, {480, 270}, Qt::NoButton);

        const double ratio = idleFrames ? double(dragFrames) / double(idleFrames) : 0.0;
        const double meanMs = moves ? moveSeconds / double(moves) * 1000.0 : 0.0;
        std::printf("preview drag over %d layers, %.0f s each:\n", kLayers, seconds);
        std::printf("  frames drawn idle        %llu\n", static_cast<unsigned long long>(idleFrames));
        std::printf("  frames drawn in the drag %llu\n", static_cast<unsigned long long>(dragFrames));
        std::printf("  ratio                    %.3f (goal >= 0.9)\n", ratio);
        std::printf("  mouse moves              %ld (%ld without a new position)\n", moves, missed);
        std::printf("  mean move to position    %.4f ms (goal <= 1 ms), worst %.3f ms\n", meanMs, worstMove * 1000.0);
        if (ratio < 0.9 || meanMs > 1.0)
            status = 2;
        preview.DestroyDisplay();
    }
    delete g_obsMain;
    LogMemoryLeaks();
    return status;
}
