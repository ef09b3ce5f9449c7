// The editor with an eight-layer 1920 × 1080 set open (one screen through a
// 16-bit UV map), in the real window:
//  - idle: the process's CPU time over a stretch in which nothing changes,
//    as a share of one core, once with the preview drawn on every engine
//    frame (as an editor that always draws would) and once as the editor
//    does it. Goal: 10 % of one core or less.
//  - the first change after a rest: engine frames from moving a layer to the
//    preview drawing it. Goal: at most one.
//  - a running shot transition and a live picture in a layer: frames drawn
//    against the engine's frame rate. Goal: 0.98 or more.
//
// With "large" the set has 16 layers of 3840 × 2160 pictures instead.
//
//   idle_cpu_bench [WORK_FOLDER] [SECONDS] [large]
// Run it with the test folders (scripts/testhome.sh) and an X display.
#include "BenchEvents.h"
#include "BenchMeasure.h"
#include "BenchSets.h"
#include "EditorBench.h"
#include "app/ProjectSettings.h"
#include "engine/ObsMain.h"
#include "model/LiveSources.h"
#include "model/MultiViewSource.h"
#include "platform/FileUtil.h"
#include "platform/HugePageBuffers.h"
#include "platform/TextConv.h"
#include "preview/ObsQtWindow.h"
#include "ui/DlgEditor.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"
#include "ui/WndEditorShot.h"
#include "lumora/MyTabCtrl.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <util/base.h>

namespace {

constexpr int kShotsPage = 2;

std::wstring W(const std::string& s) { return platform::Utf8ToWide(s); }

// Engine frames, counted at the start of each.
std::atomic<uint64_t> g_engineFrames{0};
void CountFrame(void*, float) { ++g_engineFrames; }

// Keeps the preview drawing on every frame, as if nothing ever rested.
void RequestEveryFrame(void* preview, float) { static_cast<ObsQtWindow*>(preview)->RequestRedraw(); }

// The engine frame in which the preview first drew after a change.
std::atomic<bool> g_changed{false};
std::atomic<uint64_t> g_drawnAtFrame{0};
void NoteDraw(void*, uint32_t, uint32_t)
{
    if (g_changed.exchange(false))
        g_drawnAtFrame = g_engineFrames.load();
}

// CPU of the whole process over an idle stretch, as a share of one core.
double IdleCpuShare(double seconds)
{
    const double cpu = ProcessCpuSeconds(), wall = WallSeconds();
    RunEventsFor(seconds);
    return (ProcessCpuSeconds() - cpu) / (WallSeconds() - wall);
}

// Frames drawn over `seconds` of events, against the engine's frame rate
// over the time that really passed, and against the frames it composed.
struct DrawnShare {
    double ofRate = 0.0;
    double ofComposed = 0.0;
};
DrawnShare MeasureDrawnShare(ObsQtWindow* preview, double seconds)
{
    const uint64_t drawn = preview->GetFramesDrawn(), composed = g_engineFrames.load();
    const double wall = WallSeconds();
    RunEventsFor(seconds);
    const double frames = double(preview->GetFramesDrawn() - drawn);
    DrawnShare share;
    share.ofRate = frames / ((WallSeconds() - wall) * double(g_settings.FrameRate));
    if (const uint64_t engine = g_engineFrames.load() - composed)
        share.ofComposed = frames / double(engine);
    return share;
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
        argc > 1 ? argv[1] : platform::WideToUtf8(platform::GetTempFolder()) + "/kelvane-idle-bench";
    const double seconds = argc > 2 ? std::max(2.0, std::atof(argv[2])) : 10.0;
    const bool large = argc > 3 && std::string(argv[3]) == "large";
    const BenchSetSpec spec = large ? BenchSetSpec{"IdleLarge", 16, 3840, 2160, true, false}
                                    : BenchSetSpec{"Idle", 8, 1920, 1080, true, false};
    const BenchSet set = WriteBenchSet(work, spec);
    if (set.folder.empty()) {
        std::fprintf(stderr, "cannot write the set\n");
        return 1;
    }
    PrintEditorMessages();
    const std::string loadBefore = LoadAverageText();
    int status = 0;
    {
        CDlgEditor editor;
        base_set_log_handler([](int, const char*, va_list, void*) {}, nullptr);  // quiet while measuring
        editor.SetAutoMaximize(false);
        editor.show();
        editor.ResizeClientArea(1704, 1000);
        if (editor.OpenSetFolder(W(set.folder), kSetKindNative) != 0) {
            std::fprintf(stderr, "the set did not open\n");
            return 1;
        }
        ObsQtWindow* preview = editor.GetPreview();
        obs_add_tick_callback(CountFrame, nullptr);
        obs_display_add_draw_callback(preview->GetDisplay(), NoteDraw, nullptr);
        RunEventsFor(3.0);  // the pictures arrive, then two seconds of nothing

        obs_add_tick_callback(RequestEveryFrame, preview);
        RunEventsFor(1.0);
        const uint64_t drawnBefore = preview->GetFramesDrawn();
        const double always = IdleCpuShare(seconds);
        const double alwaysShare = double(preview->GetFramesDrawn() - drawnBefore) / (seconds * double(g_settings.FrameRate));
        obs_remove_tick_callback(RequestEveryFrame, preview);
        RunEventsFor(2.0);
        const double resting = IdleCpuShare(seconds);

        // The first change after a rest: a layer moved by one pixel.
        obs_sceneitem_t* item = editor.GetScene()->GetItem(1);
        uint64_t worst = 0;
        for (int trial = 0; trial < 10; ++trial) {
            RunEventsFor(0.5);
            vec2 position;
            obs_sceneitem_get_pos(item, &position);
            position.x += trial % 2 ? -1.0f : 1.0f;
            g_drawnAtFrame = 0;
            const uint64_t changedAt = g_engineFrames.load();
            g_changed = true;
            obs_sceneitem_set_pos(item, &position);
            QElapsedTimer timer;
            timer.start();
            while (g_drawnAtFrame == 0 && timer.elapsed() < 2000)
                QApplication::processEvents(QEventLoop::AllEvents, 1);
            worst = std::max(worst, g_drawnAtFrame ? g_drawnAtFrame - changedAt : 999);
        }

        // A shot transition played on the shots page as its Play button
        // plays it: its preview shows the whole set as the shot places it
        // (the layers page shows the layers where they stand in the set).
        // Played so, the camera's moves are no edits of the shot.
        editor.GetTabControl()->SetCurSel(kShotsPage);
        auto* shots = dynamic_cast<CWndEditorShot*>(editor.GetPanel(kShotsPage));
        if (!shots || shots->List()->count() < 2) {
            std::fprintf(stderr, "the shots page has not the set's two shots\n");
            return 1;
        }
        shots->List()->setCurrentRow(0);
        RunEventsFor(0.5);
        shots->List()->setCurrentRow(1);
        shots->DurationField()->setValue(5.5);
        RunEventsFor(0.5);
        shots->PlayTransition();
        const DrawnShare transition = MeasureDrawnShare(preview, 5.0);
        for (int wait = 0; wait < 100 && shots->IsPlaying(); ++wait)
            RunEventsFor(0.05);
        RunEventsFor(0.5);
        CMultiViewSource* scene = editor.GetScene();

        // A live picture in the screen layer, selected first as a user
        // selects it to reach "Show live source".
        obs_sceneitem_select(scene->GetItem(2), true);
        RunEventsFor(1.0);
        std::unique_ptr<CLiveSource> live = CLiveSource::MakeTestPattern();
        const bool placed = live && scene->PlaceSourceInLayerAt(1, live->Source());
        const DrawnShare liveShare = placed ? MeasureDrawnShare(preview, 5.0) : DrawnShare{};

        obs_display_remove_draw_callback(preview->GetDisplay(), NoteDraw, nullptr);
        obs_remove_tick_callback(CountFrame, nullptr);
        std::printf("editor with a %d-layer %d x %d set, canvas %ls, load %s (before) / %s (after)\n", spec.layers,
                    spec.width, spec.height, g_settings.FormatName.c_str(), loadBefore.c_str(), LoadAverageText().c_str());
        std::printf("  idle, preview drawn every frame   %5.1f %% of a core (%.3f of the frame rate drawn)\n", always * 100.0,
                    alwaysShare);
        std::printf("  idle, preview resting             %5.1f %% of a core   (goal <= 10 %%), %.2f of drawing always\n",
                    resting * 100.0, always > 0 ? resting / always : 0.0);
        std::printf("  first change after a rest         %llu frame(s) to the screen   (goal <= 1)\n",
                    static_cast<unsigned long long>(worst));
        // Against the frame rate, and against the preview drawing on every
        // frame: the latter says whether resting ever holds a change back.
        const auto ofAlways = [alwaysShare](double share) { return alwaysShare > 0 ? share / alwaysShare : 0.0; };
        std::printf("  shot transition, frames drawn     %.3f of the frame rate   (goal >= 0.98), %.3f of the frames "
                    "composed, %.2f of drawing always\n",
                    transition.ofRate, transition.ofComposed, ofAlways(transition.ofRate));
        std::printf("  live picture, frames drawn        %.3f of the frame rate   (goal >= 0.98), %.3f of the frames "
                    "composed, %.2f of drawing always%s\n",
                    liveShare.ofRate, liveShare.ofComposed, ofAlways(liveShare.ofRate), placed ? "" : " (no live picture)");
        if (resting > 0.10 || worst > 1 || transition.ofRate < 0.98 || liveShare.ofRate < 0.98)
            status = 2;
        editor.close();
    }
    return status;
}
