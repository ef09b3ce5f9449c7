// The preview's context menu: the stack order, the fit to the canvas,
// removing and the Layers page for the layer that was clicked. Each choice
// runs the page's own operations, so it is one step of the history.
#include "DlgEditor.h"

#include "lumora/Lang.h"
#include "lumora/MyListCtrl.h"
#include "lumora/MyTabCtrl.h"
#include "preview/ObsQtWindow.h"
#include "ui/WndEditorPosition.h"

#include <QMenu>
#include <functional>
#include <utility>

namespace {

constexpr int kLayersPage = 1;

// lang-ids: 407 408 1316 1317 1318 1319 1326 1327 1403 1404 1405 1406 1407 1408
QString Text(unsigned id) { return QString::fromStdWString(Lang::LoadLangString(id)); }

}  // namespace

void CDlgEditor::CreateCanvasMenu()
{
    m_preview->SetContextMenuHook([this](const QPoint& global, const CanvasHit& hit) { ShowCanvasMenu(global, hit); });
}

void CDlgEditor::ShowCanvasMenu(const QPoint& global, const CanvasHit& hit)
{
    auto* layers = dynamic_cast<CWndEditorPosition*>(GetPanel(kLayersPage));
    // The layer operations belong to the Layers page and its current row; the
    // click has already made the layer under the pointer that row.
    const bool onLayer = layers && layers->isVisible() && hit.kind != CanvasHitKind::None && layers->CurrentRow() >= 0;
    const int rows = layers ? layers->List()->GetItemCount() : 0;
    const int row = layers ? layers->CurrentRow() : -1;

    QMenu menu(this);
    const auto add = [&](unsigned text, bool enabled, std::function<void()> run) {
        QAction* action = menu.addAction(Text(text));
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, this, std::move(run));
    };
    add(1316, onLayer && row > 0, [layers, row] { layers->MoveLayerTo(row, 0); });
    add(1317, onLayer && row > 0, [layers] { layers->MoveLayerUp(); });
    add(1318, onLayer && row + 1 < rows, [layers] { layers->MoveLayerDown(); });
    add(1319, onLayer && row + 1 < rows, [layers, row, rows] { layers->MoveLayerTo(row, rows - 1); });
    menu.addSeparator();
    add(408, onLayer, [this] { RunCommand(IDC_FIT); });
    add(407, onLayer, [this] { RunCommand(IDC_STRETCH); });
    QMenu* reset = menu.addMenu(Text(1403));
    reset->setEnabled(onLayer);
    const std::pair<unsigned, CWndEditorPosition::LayerReset> resets[] = {
        {1404, CWndEditorPosition::LayerReset::Position},
        {1405, CWndEditorPosition::LayerReset::Size},
        {1406, CWndEditorPosition::LayerReset::Rotation},
        {1407, CWndEditorPosition::LayerReset::Crop},
    };
    for (const auto& [text, part] : resets) {
        QObject::connect(reset->addAction(Text(text)), &QAction::triggered, this,
                         [layers, part = part] { layers->ResetLayer(part); });
    }
    menu.addSeparator();
    add(1408, onLayer, [layers] { layers->SetLayerShown(false); });
    add(1326, onLayer, [layers] { layers->RemoveLayer(); });
    add(1327, m_scene != nullptr, [this, layers] {
        if (m_tab->currentIndex() != kLayersPage) {
            m_tab->setCurrentIndex(kLayersPage);
            OnTabChanged(kLayersPage);
        }
        if (layers)
            layers->List()->setFocus();
    });
    if (menu.exec(global))
        RecordEditSoon();
}
