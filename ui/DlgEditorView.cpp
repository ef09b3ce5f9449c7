// The preview's view from the window: the zoom keys, which work from
// anywhere in the editor, and the frame menu's "View" submenu with the zoom
// steps and the guides (safe areas, centre lines, a grid of a chosen
// spacing). None of it touches the open set or its history.
#include "DlgEditor.h"

#include "lumora/Lang.h"
#include "preview/ObsQtWindow.h"

#include <QMenu>
#include <QShortcut>
#include <array>

namespace {

QString Text(unsigned id) { return QString::fromStdWString(Lang::LoadLangString(id)); }

// Canvas pixels between the grid's lines that the menu offers.
constexpr std::array<int, 5> kGridSpacings = {20, 50, 100, 200, 400};

}  // namespace

void CDlgEditor::CreateViewShortcuts()
{
    const std::array<std::pair<QKeySequence, std::function<void()>>, 5> keys = {{
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { m_preview->ZoomStep(1); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { m_preview->ZoomStep(1); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { m_preview->ZoomStep(-1); }},
        {QKeySequence(Qt::CTRL | Qt::Key_0), [this] { m_preview->FitCanvas(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_1), [this] { m_preview->ShowActualPixels(); }},
    }};
    for (const auto& [sequence, action] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, this, action);
    }
}

QMenu* CDlgEditor::MakeViewMenu(QWidget* parent)
{
    auto* view = new QMenu(Text(1395), parent);
    struct Entry {
        unsigned text;
        QKeySequence keys;
        std::function<void()> run;
    };
    const Entry zooms[] = {
        {1307, QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { m_preview->ZoomStep(1); }},
        {1308, QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { m_preview->ZoomStep(-1); }},
        {1305, QKeySequence(Qt::CTRL | Qt::Key_0), [this] { m_preview->FitCanvas(); }},
        {1306, QKeySequence(Qt::CTRL | Qt::Key_1), [this] { m_preview->ShowActualPixels(); }},
    };  // lang-ids: 1305 1306 1307 1308
    for (const Entry& entry : zooms) {
        QAction* action = view->addAction(Text(entry.text));
        // Shown beside the text; the window's own shortcuts do the work.
        action->setShortcut(entry.keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        QObject::connect(action, &QAction::triggered, this, entry.run);
    }
    view->addSeparator();

    const CanvasGuides guides = m_preview->Guides();
    struct Toggle {
        unsigned text;
        bool on;
        bool CanvasGuides::*flag;
    };
    const Toggle toggles[] = {
        {1310, guides.titleSafe, &CanvasGuides::titleSafe},
        {1311, guides.actionSafe, &CanvasGuides::actionSafe},
        {1312, guides.centreLines, &CanvasGuides::centreLines},
        {1313, guides.grid, &CanvasGuides::grid},
    };  // lang-ids: 1310 1311 1312 1313
    for (const Toggle& toggle : toggles) {
        QAction* action = view->addAction(Text(toggle.text));
        action->setCheckable(true);
        action->setChecked(toggle.on);
        QObject::connect(action, &QAction::toggled, this, [this, flag = toggle.flag](bool on) {
            CanvasGuides changed = m_preview->Guides();
            changed.*flag = on;
            m_preview->SetGuides(changed);
        });
    }
    QMenu* spacing = view->addMenu(Text(1314));  // lang-ids: 1314 1315 1395
    for (int pixels : kGridSpacings) {
        QAction* action = spacing->addAction(QString::fromStdWString(Lang::FormatLangString(1315, pixels)));
        action->setCheckable(true);
        action->setChecked(guides.gridSpacing == pixels);
        QObject::connect(action, &QAction::triggered, this, [this, pixels] {
            // Choosing a spacing shows the grid.
            CanvasGuides changed = m_preview->Guides();
            changed.gridSpacing = pixels;
            changed.grid = true;
            m_preview->SetGuides(changed);
        });
    }
    return view;
}
