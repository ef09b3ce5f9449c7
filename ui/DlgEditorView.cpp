// The preview's view from the window: the zoom keys, which work from
// anywhere in the editor, the frame menu's "View" submenu with the zoom
// steps and the guides (safe areas, centre lines, a grid of a chosen
// spacing), and the status line under the preview that tells the pointer's
// place, the selection's place, size and turn, and the zoom. None of it
// touches the open set or its history.
#include "DlgEditor.h"

#include "ui/WndEditorPosition.h"

#include "app/ProjectSettings.h"
#include "app/SettingsFiles.h"
#include "formats/SceneRecords.h"
#include "lumora/Lang.h"
#include "model/MultiViewSource.h"
#include "model/SourceInfo.h"
#include "platform/FileUtil.h"
#include "preview/ObsQtWindow.h"
#include "preview/SceneItemPicking.h"
#include "lumora/MyTabCtrl.h"
#include "ui/EditorStatusLine.h"
#include "ui/EditorWorkspace.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

QString Text(unsigned id) { return QString::fromStdWString(Lang::LoadLangString(id)); }  // lang-ids: 1305 1306 1307 1308 1310 1311 1312 1313 1314 1395

// Canvas pixels between the grid's lines that the menu offers.
constexpr std::array<int, 5> kGridSpacings = {20, 50, 100, 200, 400};
// Zooms the status line's menu offers, in percent.
constexpr std::array<int, 7> kMenuZooms = {25, 50, 100, 200, 400, 600, 800};

int Rounded(float value) { return static_cast<int>(std::lround(value)); }

// The length on the canvas of one side of an item's box.
float SideLength(const matrix4& box, vec2 from, vec2 to)
{
    const vec2 a = TransformPoint(box, from.x, from.y);
    const vec2 b = TransformPoint(box, to.x, to.y);
    return std::hypot(b.x - a.x, b.y - a.y);
}

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
    auto* view = new QMenu(Text(1395), parent);  // lang-ids: 1395
    AddZoomEntries(view);
    view->addSeparator();
    AddGuideEntries(view);
    return view;
}

void CDlgEditor::AddZoomEntries(QMenu* menu)
{
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
        QAction* action = menu->addAction(Text(entry.text));
        // Shown beside the text; the window's own shortcuts do the work.
        action->setShortcut(entry.keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        QObject::connect(action, &QAction::triggered, this, entry.run);
    }
}

void CDlgEditor::AddGuideEntries(QMenu* menu)
{
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
        QAction* action = menu->addAction(Text(toggle.text));
        action->setCheckable(true);
        action->setChecked(toggle.on);
        QObject::connect(action, &QAction::toggled, this, [this, flag = toggle.flag](bool on) {
            CanvasGuides changed = m_preview->Guides();
            changed.*flag = on;
            m_preview->SetGuides(changed);
        });
    }
    QMenu* spacing = menu->addMenu(Text(1314));  // lang-ids: 1314 1315
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
}

// ---- the status line ----

void CDlgEditor::CreateStatusLine()
{
    m_statusLine = new CEditorStatusLine(ClientWidget());
    // The menus are filled as they open, so their marks show the view as it is.
    m_statusLine->SetZoomMenuFiller([this](QMenu* zoom) {
        AddZoomEntries(zoom);
        zoom->addSeparator();
        const int current = m_preview->View().IsFit() ? 0 : m_preview->View().ZoomPercent();
        for (int percent : kMenuZooms) {
            QAction* action = zoom->addAction(QStringLiteral("%1%").arg(percent));
            action->setCheckable(true);
            action->setChecked(percent == current);
            QObject::connect(action, &QAction::triggered, this,
                             [this, percent] { m_preview->ZoomTo(float(percent) / 100.0f); });
        }
    });
    m_statusLine->SetGuidesMenuFiller([this](QMenu* guides) { AddGuideEntries(guides); });

    m_preview->SetViewHook([this] { UpdateZoomStatus(); });
    m_preview->SetPointerHook([this](bool inside, vec2 at) {
        if (inside)
            m_statusLine->SetPointer(Rounded(std::floor(at.x)), Rounded(std::floor(at.y)));
        else
            m_statusLine->ClearPointer();
    });
    m_preview->SetSelectionHook([this] {
        UpdateSelectionStatus();
        // Shift, Ctrl and the band on the preview select the same rows in the list.
        if (m_position && m_position->isVisible())
            m_position->FollowEngineSelection();
    });
    UpdateZoomStatus();
}

void CDlgEditor::UpdateZoomStatus()
{
    if (!m_statusLine || !m_preview)
        return;
    const ViewTransform& view = m_preview->View();
    m_statusLine->SetZoom(view.ZoomPercent(), view.IsFit());
}

void CDlgEditor::UpdateSelectionStatus()
{
    if (!m_statusLine)
        return;
    const std::vector<obs_sceneitem_t*> items =
        m_preview && m_preview->GetScene() ? m_preview->Selection().Items() : std::vector<obs_sceneitem_t*>{};
    if (items.empty()) {
        m_statusLine->SetSelectionText({});
        return;
    }
    if (items.size() > 1) {
        const CanvasBox bounds = m_preview->Selection().Bounds();
        m_statusLine->SetSelectionText(bounds.Empty() ? QString() : QString::fromStdWString(Lang::FormatLangString(
            1302, static_cast<int>(items.size()), Rounded(bounds.topLeft.x), Rounded(bounds.topLeft.y),
            Rounded(bounds.Width()), Rounded(bounds.Height()))));
        return;
    }
    obs_sceneitem_t* item = items.front();
    std::wstring name;
    if (m_scene) {
        const int index = m_scene->FindItem(item);
        SourceInfo* info = m_scene->GetInfo();
        const int layer = info && IsVirtualSetKind(info->kind) ? index - 1 : index;
        if (index >= 0 && layer >= 0 && layer < static_cast<int>(m_scene->GetLayers().size()))
            name = GetRecordName(m_scene->GetLayers()[static_cast<size_t>(layer)].name);
    }
    // The whole set (the General page's one item) goes by the set's name.
    if (name.empty() && m_sceneInfo)
        name = QFileInfo(QString::fromStdWString(platform::FolderPart(m_sceneInfo->path))).fileName().toStdWString();
    // The item's centre, its own width and height, and its turn.
    matrix4 box;
    obs_sceneitem_get_box_transform(item, &box);
    const vec2 centre = TransformPoint(box, 0.5f, 0.5f);
    const float width = SideLength(box, {0, 0}, {1, 0});
    const float height = SideLength(box, {0, 0}, {0, 1});
    m_statusLine->SetSelectionText(QString::fromStdWString(Lang::FormatLangString(
        1301, name, Rounded(centre.x), Rounded(centre.y), Rounded(width), Rounded(height),
        double(obs_sceneitem_get_rot(item)))));  // lang-ids: 1301 1302
}

// ---- the workspace ----

void CDlgEditor::ApplySplitterOffset()
{
    int offset = m_splitterOffset;
    // Within the splitter's range; the user's offset itself is kept for a
    // larger window.
    if (m_layout.splitterMin <= m_layout.splitterMax)
        offset = std::clamp(offset, m_layout.splitterMin - m_layout.splitter.left(),
                            m_layout.splitterMax - m_layout.splitter.left());
    else
        offset = 0;
    if (offset == 0)
        return;
    m_layout.splitter.translate(offset, 0);
    m_layout.sceneTab.setWidth(m_layout.sceneTab.width() + offset);
    m_layout.previewLeft += offset;
    m_layout.statusLine.setLeft(m_layout.statusLine.left() + offset);
    PlaceEditorButtons(m_layout);
}

void CDlgEditor::RestoreWorkspace()
{
    const EditorWorkspace workspace = WorkspaceFromSettings(g_settings);
    m_splitterOffset = workspace.splitterOffset;
    m_preview->SetGuides(workspace.guides);
    if (workspace.zoomPercent > 0)
        m_preview->ZoomTo(float(workspace.zoomPercent) / 100.0f);
    if (workspace.page != m_tab->currentIndex()) {
        m_tab->setCurrentIndex(workspace.page);
        OnTabChanged(workspace.page);
    }
    if (workspace.hasGeometry) {
        std::vector<QRect> screens;
        for (QScreen* screen : QGuiApplication::screens())
            screens.push_back(screen->availableGeometry());
        setGeometry(OnVisibleScreen(workspace.geometry, screens));
    }
    // The window comes up maximised unless it was left otherwise.
    if (!workspace.maximised)
        SetAutoMaximize(false);
    ApplyLayout();
}

void CDlgEditor::StoreWorkspace()
{
    if (!m_tab || !m_preview)
        return;
    EditorWorkspace workspace = WorkspaceFromSettings(g_settings);
    workspace.maximised = isMaximized();
    // The frame it comes back to when it is not maximised.
    const QRect normal = workspace.maximised ? normalGeometry() : geometry();
    if (normal.isValid() && !normal.isEmpty()) {
        workspace.hasGeometry = true;
        workspace.geometry = normal;
    }
    workspace.splitterOffset = m_splitterOffset;
    workspace.page = m_tab->currentIndex();
    workspace.guides = m_preview->Guides();
    workspace.zoomPercent = m_preview->View().IsFit() ? 0 : m_preview->View().ZoomPercent();
    WorkspaceToSettings(workspace, g_settings);
    WriteSettingsFile();
}
