// The editor's memory with a sixteen-layer 3840 × 2160 set open (one screen
// through a 16-bit UV map), in the real window with the engine and the
// preview running:
//  - the process's resident memory (the engine's textures included) against
//    the raw bytes of the set's pictures as 8-bit RGBA (the UV map's as
//    16-bit RGBA). Goal: 1.5 or less.
//  - the memory 200 undo steps on the set hold: what the editor's thread
//    gets back when the history lets them go (ThreadAllocations counts that
//    thread's own blocks; the engine's threads allocate and free megabytes a
//    second alongside). Goal: less than 1 MB. Also printed: what that thread
//    took and kept over the edits, the steps and the windows' own caches.
//
//   editor_memory_bench [WORK_FOLDER]
// Run it with the test folders (scripts/testhome.sh) and an X display.
#include "BenchEvents.h"
#include "BenchMeasure.h"
#include "BenchSets.h"
#include "EditorBench.h"
#include "ThreadAllocations.h"
#include "lumora/MyTabCtrl.h"
#include "model/MultiViewSource.h"
#include "platform/FileUtil.h"
#include "platform/HugePageBuffers.h"
#include "platform/TextConv.h"
#include "preview/ObsQtWindow.h"
#include "ui/DlgEditor.h"
#include "ui/EditHistory.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QUndoStack>
#include <cstdio>
#include <util/base.h>

namespace {

constexpr int kUndoSteps = CEditHistory::kUndoLimit;

std::wstring W(const std::string& s) { return platform::Utf8ToWide(s); }

double ResidentMegabytes() { return double(StatusKilobytes("VmRSS")) / 1024.0; }

// Waits until every layer's picture is in the engine and the preview drew it.
bool WaitForPictures(CMultiViewSource* scene, ObsQtWindow* preview)
{
    for (int waited = 0; waited < 600; ++waited) {
        bool all = true;
        for (const LayerInfo& layer : scene->GetLayers())
            all = all && obs_source_get_width(layer.imageSource) > 0;
        if (all) {
            const uint64_t drawn = preview->GetFramesDrawn();
            RunEventsFor(2.0);
            return preview->GetFramesDrawn() > drawn;
        }
        RunEventsFor(0.1);
    }
    return false;
}

// One step as the layers page makes it: the screen layer's place changed
// and applied, the gesture's end recorded.
bool MoveLayerOneStep(CDlgEditor& editor, int step)
{
    CMultiViewSource* scene = editor.GetScene();
    scene->GetLayers()[1].x += step % 2 ? -0.003f : 0.004f;
    scene->ApplyLayerTransform(1);
    QApplication::processEvents();
    return editor.GetHistory()->Record();
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
        argc > 1 ? argv[1] : platform::WideToUtf8(platform::GetTempFolder()) + "/kelvane-preview-bench";
    const BenchSet set = WriteBenchSet(work, {"Large16", 16, 3840, 2160, true, false});
    if (set.folder.empty()) {
        std::fprintf(stderr, "cannot write the set\n");
        return 1;
    }
    PrintEditorMessages();
    int status = 0;
    {
        CDlgEditor editor;
        base_set_log_handler([](int, const char*, va_list, void*) {}, nullptr);  // quiet while measuring
        editor.SetAutoMaximize(false);
        editor.show();
        editor.ResizeClientArea(1704, 1000);
        RunEventsFor(1.0);
        editor.GetTabControl()->setCurrentIndex(1);  // the layers page, where drags are edits
        RunEventsFor(0.5);
        const double empty = ResidentMegabytes();
        if (editor.OpenSetFolder(W(set.folder), kSetKindNative) != 0 ||
            !WaitForPictures(editor.GetScene(), editor.GetPreview())) {
            std::fprintf(stderr, "the set did not open\n");
            return 1;
        }
        const double open = ResidentMegabytes();
        const double anon = double(StatusKilobytes("RssAnon")) / 1024.0;
        const double raw = set.rawBytes / 1048576.0;

        const int64_t heldOpen = ThreadHeldBytes();
        int recorded = 0;
        for (int step = 0; step < kUndoSteps; ++step)
            recorded += MoveLayerOneStep(editor, step) ? 1 : 0;
        RunEventsFor(1.0);
        const int64_t heldEdited = ThreadHeldBytes();
        const double edited = double(heldEdited - heldOpen) / 1048576.0;
        const int kept = editor.GetHistory()->Stack()->count();
        editor.GetHistory()->Stack()->clear();
        const double held = double(heldEdited - ThreadHeldBytes()) / 1048576.0;

        std::printf("editor with a 16-layer 3840 x 2160 set (one 16-bit UV map), load %s\n", LoadAverageText().c_str());
        std::printf("  pictures as raw RGBA                %8.1f MB\n", raw);
        std::printf("  resident, editor without a set      %8.1f MB\n", empty);
        std::printf("  resident, set open                  %8.1f MB (%.1f MB anonymous)   ratio %.2f   (goal <= 1.50)\n",
                    open, anon, open / raw);
        std::printf("  added by opening the set            %8.1f MB   ratio %.2f\n", open - empty, (open - empty) / raw);
        std::printf("  held by %d undo steps (%d kept)    %8.3f MB   (goal < 1 MB)\n", recorded, kept, held);
        std::printf("  taken and kept over those edits     %8.3f MB (the editor's thread)\n", edited);
        if (open / raw > 1.5 || held >= 1.0 || recorded != kUndoSteps)
            status = 2;
        editor.close();
    }
    return status;
}
