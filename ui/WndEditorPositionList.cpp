// The Layers page's list: rows dragged to another place in the stack, names
// edited in place, the list's own menu and keys, and the small picture of
// each layer's image in its row.
#include "WndEditorPosition.h"

#include "formats/SceneRecords.h"
#include "ui/DlgEditor.h"
#include "lumora/Lang.h"
#include "lumora/MyListCtrl.h"
#include "lumora/ShellOpen.h"
#include "model/MultiViewSource.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "ui/LayerThumbnails.h"

#include <QMenu>
#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>
#include <functional>

namespace {

// The picture room of a row: 16:9 within the row's height.
constexpr QSize kPictureSize(48, 27);

// lang-ids: 1326 1400 1401 1402
QString Text(unsigned id) { return QString::fromStdWString(Lang::LoadLangString(id)); }

void ResetPart(LayerInfo& layer, const LayerInfo& fresh, CWndEditorPosition::LayerReset part)
{
    using Reset = CWndEditorPosition::LayerReset;
    switch (part) {
    case Reset::Position:
        layer.x = fresh.x;
        layer.y = fresh.y;
        break;
    case Reset::Size:
        layer.zoomX = fresh.zoomX;
        layer.zoomY = fresh.zoomY;
        break;
    case Reset::Rotation:
        layer.rotateX = fresh.rotateX;
        layer.rotateY = fresh.rotateY;
        layer.rotateZ = fresh.rotateZ;
        break;
    case Reset::Crop:
        layer.cropLeft = fresh.cropLeft;
        layer.cropTop = fresh.cropTop;
        layer.cropRight = fresh.cropRight;
        layer.cropBottom = fresh.cropBottom;
        break;
    }
}

QString ImagePathOf(const LayerInfo& layer) { return QString::fromStdWString(platform::AnsiToWide(LayerImagePath(layer))); }

}  // namespace

void CWndEditorPosition::ConnectListActions()
{
    m_thumbnails = new CLayerThumbnails(kPictureSize, this);
    m_thumbnails->SetReadyHandler([this](const QString& path) { OnThumbnailReady(path); });
    m_list->SetPictureSize(kPictureSize);
    m_list->EnableRowDrag(true);
    QObject::connect(m_list, &CMyListCtrl::RowDragged, this, [this](int from, int to) { MoveLayerTo(from, to); });
    QObject::connect(m_list, &CMyListCtrl::RowTextEdited, this,
                     [this](int row, const QString& text) { OnRowRenamed(row, text); });
    QObject::connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { StartRenameInList(); });
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(m_list, &QWidget::customContextMenuRequested, this,
                     [this](const QPoint& point) { ShowListMenu(m_list->viewport()->mapToGlobal(point)); });
    const auto addKey = [this](QKeySequence keys, void (CWndEditorPosition::*action)()) {
        auto* shortcut = new QShortcut(keys, m_list);
        shortcut->setContext(Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, this, action);
    };
    addKey(QKeySequence(Qt::Key_F2), &CWndEditorPosition::StartRenameInList);
    addKey(QKeySequence(Qt::Key_Delete), &CWndEditorPosition::RemoveLayer);
    QObject::connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { OnListSelectionChanged(); });
}

std::vector<int> CWndEditorPosition::SelectedRows() const
{
    std::vector<int> rows;
    for (QTreeWidgetItem* item : m_list->selectedItems())
        rows.push_back(m_list->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

// A row picked alone is the current layer; rows picked with Shift or Ctrl
// select their layers on the preview, where moving and nudging take them
// all, and the rows below show the one clicked last.
void CWndEditorPosition::OnListSelectionChanged()
{
    if (m_loading || !m_scene)
        return;
    const std::vector<int> rows = SelectedRows();
    if (rows.size() == 1) {
        OnRowSelected(rows.front());
        return;
    }
    const int count = m_list->GetItemCount();
    m_writing = true;
    for (int row = 0; row < count; ++row) {
        if (obs_sceneitem_t* item = ItemOfLayer(row))
            obs_sceneitem_select(item, std::binary_search(rows.begin(), rows.end(), row));
    }
    m_writing = false;
    const int clicked = m_list->currentItem() ? m_list->indexOfTopLevelItem(m_list->currentItem()) : -1;
    const int shown = std::binary_search(rows.begin(), rows.end(), clicked) ? clicked : (rows.empty() ? -1 : rows.front());
    if (shown >= 0 && shown != m_current) {
        if (IsDrawingScreen())
            CancelDrawScreen();
        LoadRow(shown);
    }
    if (Editor())
        Editor()->UpdateSelectionStatus();
}

void CWndEditorPosition::FollowEngineSelection()
{
    if (m_writing || !m_scene)
        return;
    const bool wasLoading = m_loading;
    m_loading = true;
    int first = -1;
    bool currentSelected = false;
    {
        const QSignalBlocker quiet(m_list);
        for (int row = 0; row < m_list->GetItemCount(); ++row) {
            obs_sceneitem_t* item = ItemOfLayer(row);
            const bool selected = item && obs_sceneitem_selected(item);
            m_list->topLevelItem(row)->setSelected(selected);
            if (selected && first < 0)
                first = row;
            currentSelected = currentSelected || (selected && row == m_current);
        }
    }
    m_list->viewport()->update();
    if (first >= 0 && !currentSelected)
        LoadRow(first);
    m_loading = wasLoading;
}

std::vector<int> CWndEditorPosition::LayersSelectedOnPreview()
{
    std::vector<int> rows;
    const int count = m_scene ? static_cast<int>(m_scene->GetLayers().size()) : 0;
    for (int row = 0; row < count; ++row) {
        obs_sceneitem_t* item = ItemOfLayer(row);
        if (item && obs_sceneitem_selected(item))
            rows.push_back(row);
    }
    return rows;
}

void CWndEditorPosition::SelectLayersAgain(const std::vector<int>& rows)
{
    if (rows.size() < 2 || !m_scene)
        return;
    m_writing = true;
    for (int row : rows) {
        if (obs_sceneitem_t* item = ItemOfLayer(row))
            obs_sceneitem_select(item, true);
    }
    m_writing = false;
    FollowEngineSelection();
    if (Editor())
        Editor()->UpdateSelectionStatus();
}

void CWndEditorPosition::ShowListMenu(const QPoint& global)
{
    // The right button has already made the row under the pointer current.
    const bool onRow = HasRow(m_current) && m_list->itemAt(m_list->viewport()->mapFromGlobal(global)) != nullptr;
    QMenu menu(this);
    const auto add = [&](unsigned text, const QKeySequence& keys, std::function<void()> action) {
        QAction* entry = menu.addAction(Text(text));
        entry->setShortcut(keys);  // shown beside the entry; the keys themselves belong to the list
        entry->setEnabled(onRow);
        QObject::connect(entry, &QAction::triggered, this, std::move(action));
    };
    add(1400, QKeySequence(Qt::Key_F2), [this] { StartRenameInList(); });
    add(1401, {}, [this] { DuplicateLayer(); });
    add(1326, QKeySequence(Qt::Key_Delete), [this] { RemoveLayer(); });
    menu.addSeparator();
    add(1402, {}, [this] { ShowLayerFolder(); });
    if (menu.exec(global) && Editor())
        Editor()->RecordEditSoon();
}

bool CWndEditorPosition::MoveLayerTo(int from, int to)
{
    if (!HasRow(from) || !HasRow(to))
        return false;
    int row = from;
    while (row > to && m_scene->MoveLayerUp(row))
        --row;
    while (row < to && m_scene->MoveLayerDown(row))
        ++row;
    FillList(row);
    return row == to;
}

std::wstring CWndEditorPosition::FreeCopyName(const std::wstring& name) const
{
    const LayerList& layers = m_scene->GetLayers();
    const auto taken = [&](const std::wstring& candidate) {
        for (size_t i = 0; i < layers.size(); ++i) {
            if (GetRecordName(layers[i].name) == candidate)
                return true;
        }
        return false;
    };
    for (int number = 2; number < 1000; ++number) {
        const std::wstring candidate = name + L" " + std::to_wstring(number);
        if (!taken(candidate))
            return candidate;
    }
    return name;
}

bool CWndEditorPosition::DuplicateLayer()
{
    if (!HasRow(m_current))
        return false;
    const int source = m_current;
    const LayerInfo& original = m_scene->GetLayers()[static_cast<size_t>(source)];
    const std::wstring image = platform::AnsiToWide(LayerImagePath(original));
    const std::wstring uv = platform::AnsiToWide(LayerUvPath(original));
    const std::wstring name = FreeCopyName(GetRecordName(original.name));
    if (!m_scene->AddLayer(image)) {
        ReportFailure(962, image);
        return false;
    }
    // The set's own operation puts the copy at the back; it goes up to just
    // above its original, which the addition has not moved.
    int row = static_cast<int>(m_scene->GetLayers().size()) - 1;
    while (row > source && m_scene->MoveLayerUp(row))
        --row;
    LayerList& layers = m_scene->GetLayers();
    const LayerInfo& from = layers[static_cast<size_t>(row + 1)];
    LayerInfo& copy = layers[static_cast<size_t>(row)];
    for (auto field : {&LayerInfo::x, &LayerInfo::y, &LayerInfo::zoomX, &LayerInfo::zoomY, &LayerInfo::zoomZ,
                       &LayerInfo::rotateX, &LayerInfo::rotateY, &LayerInfo::rotateZ, &LayerInfo::cropLeft,
                       &LayerInfo::cropTop, &LayerInfo::cropRight, &LayerInfo::cropBottom})
        copy.*field = from.*field;
    copy.dynamic = from.dynamic;
    const bool visible = from.visible != 0;
    const bool uvEnabled = from.uvEnabled != 0;
    m_scene->RenameLayer(row, name);
    if (!uv.empty())
        m_scene->SetLayerUvMap(row, true, uv);
    m_scene->SetLayerUvEnabled(row, uvEnabled);
    m_scene->ApplyLayerTransform(row);
    m_scene->ApplyLayerCrop(row);
    m_scene->GetLayers()[static_cast<size_t>(row)].visible = visible ? 1 : 0;
    m_scene->SetLayerVisible(row, visible);
    FillList(row);
    return true;
}

void CWndEditorPosition::StartRenameInList()
{
    if (HasRow(m_current))
        m_list->EditRowText(m_current);
}

void CWndEditorPosition::OnRowRenamed(int row, const QString& text)
{
    if (!HasRow(row))
        return;
    const std::wstring name = text.trimmed().toStdWString();
    if (!name.empty())
        m_scene->RenameLayer(row, name);
    // The row shows the name as the record keeps it (an empty one is refused).
    const std::wstring kept = GetRecordName(m_scene->GetLayers()[static_cast<size_t>(row)].name);
    m_list->SetItemText(row, 0, QString::fromStdWString(kept));
    if (row == m_current)
        LoadRow(row);
    if (Editor())
        Editor()->UpdateSelectionStatus();
}

void CWndEditorPosition::ShowLayerFolder()
{
    if (!HasRow(m_current))
        return;
    const std::wstring image = platform::AnsiToWide(LayerImagePath(m_scene->GetLayers()[static_cast<size_t>(m_current)]));
    const std::wstring folder = platform::FolderPart(image);
    if (!folder.empty())
        lumora::ShellOpen(QString::fromStdWString(folder));
}

void CWndEditorPosition::ResetLayer(LayerReset part)
{
    std::vector<int> rows = SelectedRows();
    if (rows.empty() && HasRow(m_current))
        rows.push_back(m_current);
    const LayerInfo fresh = MakeDefaultLayer();
    m_writing = true;
    for (int row : rows) {
        if (!HasRow(row))
            continue;
        LayerInfo& layer = m_scene->GetLayers()[static_cast<size_t>(row)];
        ResetPart(layer, fresh, part);
        if (part == LayerReset::Crop)
            m_scene->ApplyLayerCrop(row);
        else
            m_scene->ApplyLayerTransform(row);
    }
    m_writing = false;
    if (HasRow(m_current))
        LoadRow(m_current);
}

void CWndEditorPosition::SetLayerShown(bool shown)
{
    std::vector<int> rows = SelectedRows();
    if (rows.empty() && HasRow(m_current))
        rows.push_back(m_current);
    for (int row : rows) {
        if (!HasRow(row))
            continue;
        m_list->SetCheck(row, shown ? 1 : 0);
        m_scene->GetLayers()[static_cast<size_t>(row)].visible = shown ? 1 : 0;
        m_scene->SetLayerVisible(row, shown);
    }
}

// ---- pictures in the rows ----

void CWndEditorPosition::RefreshRowPicture(int row)
{
    if (!HasRow(row) || !m_thumbnails)
        return;
    const QPixmap picture = m_thumbnails->Thumbnail(ImagePathOf(m_scene->GetLayers()[static_cast<size_t>(row)]));
    m_list->SetItemPicture(row, picture);
}

void CWndEditorPosition::OnThumbnailReady(const QString& path)
{
    if (!m_scene)
        return;
    const LayerList& layers = m_scene->GetLayers();
    for (size_t i = 0; i < layers.size(); ++i) {
        if (ImagePathOf(layers[i]) == path)
            RefreshRowPicture(static_cast<int>(i));
    }
}
