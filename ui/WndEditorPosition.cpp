#include "WndEditorPosition.h"

#include "formats/SceneRecords.h"
#include "formats/UvMapCheck.h"
#include "lumora/AccessibleName.h"
#include "lumora/ControlId.h"
#include "lumora/GdipButton.h"
#include "lumora/GdiplusButton.h"
#include "lumora/ImageList.h"
#include "lumora/Label.h"
#include "lumora/Lang.h"
#include "lumora/MyGroupBox.h"
#include "lumora/MyListCtrl.h"
#include "lumora/MyTabCtrl.h"
#include "lumora/ResourceImage.h"
#include "model/MultiViewSource.h"
#include "model/SourceInfo.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "ui/DialogTexts.h"
#include "ui/DlgEditor.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"
#include "ui/PicturePreview.h"
#include "ui/ShellDialogs.h"
#include "ui/SliderChannel.h"

#include <QCheckBox>
#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <obs.hpp>

namespace {

constexpr int IDC_ADD = 1230;
constexpr int IDC_REMOVE = 1138;
constexpr int IDC_MOVE_UP = 1136;
constexpr int IDC_MOVE_DOWN = 1102;
constexpr int IDC_LAYERS = 1071;
constexpr int IDC_DETAILS = 1091;
constexpr int IDC_NAME = 1075;
constexpr int IDC_IMAGE = 1602;
constexpr int IDC_UV = 1603;
constexpr int IDC_CHOOSE_IMAGE = 1099;
constexpr int IDC_CHOOSE_UV = 1100;
constexpr int IDC_CLEAR_IMAGE = 1101;
constexpr int IDC_CLEAR_UV = 1107;
constexpr int IDC_REPLACEABLE = 1116;
constexpr int IDC_IMAGE_PREVIEW = 1610;
constexpr int IDC_UV_PREVIEW = 1611;
constexpr int IDC_TABS = 1070;
constexpr int kDetailLabelIds[3] = {1108, 1106, 1120};

constexpr ChannelSpec kChannels[CWndEditorPosition::kChannelCount] = {
    {1103, 1083, 1092, 1093, 1541, -2000, 2000, 0, 0},    // X
    {1104, 1084, 1094, 1095, 1542, -2000, 2000, 0, 0},    // Y
    {1105, 1239, 1241, 1242, 1543, 2, 2000, 1000, 1000},  // scale X
    {1153, 1240, 1243, 1244, 1544, 2, 2000, 1000, 1000},  // scale Y
    {1154, 1245, 1246, 1247, 1545, 2, 2000, 1000, 1000},  // scale XY
    {1155, 1203, 1207, 1208, 1546, 0, 1000, 0, 0},        // rotate X
    {1156, 1204, 1209, 1210, 1547, 0, 1000, 0, 0},        // rotate Y
    {1157, 1205, 1211, 1212, 1548, 0, 1000, 0, 0},        // rotate Z
    {1158, 1215, 1219, 1220, 1549, 0, 1000, 0, 0},        // crop X1 (left)
    {1159, 1217, 1223, 1224, 1550, 0, 1000, 0, 0},        // crop X2 (right)
    {1160, 1216, 1221, 1222, 1551, 0, 1000, 0, 0},        // crop Y1 (top)
    {1161, 1218, 1225, 1226, 1552, 0, 1000, 0, 0},        // crop Y2 (bottom)
};
constexpr int kXyChannel = 4;
constexpr int kFirstCropChannel = 8;
// The rows each tab shows: first and one past the last.
constexpr int kTabRows[4][2] = {{0, 2}, {2, 5}, {5, 8}, {8, 12}};

// The record field each channel edits (the XY row edits both zooms).
template <typename Layer>
auto ChannelField(Layer& layer, int channel)
{
    decltype(&layer.x) fields[CWndEditorPosition::kChannelCount] = {
        &layer.x,       &layer.y,        &layer.zoomX,   &layer.zoomY,     nullptr,         &layer.rotateX,
        &layer.rotateY, &layer.rotateZ,  &layer.cropLeft, &layer.cropRight, &layer.cropTop, &layer.cropBottom};
    return fields[channel];
}

constexpr int kPageLeft = 12;
constexpr int kPageWidth = 376;
constexpr int kLiveRowHeight = 36;  // the live-source and draw-screen buttons under the previews
constexpr int kRowHeight = 28;

QString Wide(const std::wstring& text) { return QString::fromStdWString(text); }
std::wstring AnsiPath(const std::string& path) { return platform::AnsiToWide(path); }

// A layer's files are usable when its picture exists and its UV map, if
// any, does too.
bool LayerFilesValid(const LayerInfo& layer)
{
    const std::wstring uv = AnsiPath(LayerUvPath(layer));
    return platform::FileExists(AnsiPath(LayerImagePath(layer))) && (uv.empty() || platform::FileExists(uv));
}

// Transforms read back from the engine differ from what was written by float
// noise; such an echo must not move the rows.
bool SamePlacement(const LayerInfo& a, const LayerInfo& b)
{
    const float pairs[][2] = {{a.x, b.x},           {a.y, b.y},           {a.zoomX, b.zoomX},
                              {a.zoomY, b.zoomY},   {a.rotateX, b.rotateX}, {a.rotateY, b.rotateY},
                              {a.rotateZ, b.rotateZ}, {a.cropLeft, b.cropLeft}, {a.cropTop, b.cropTop},
                              {a.cropRight, b.cropRight}, {a.cropBottom, b.cropBottom}};
    for (const auto& pair : pairs) {
        if (!(std::fabs(pair[0] - pair[1]) < 0.0005f))
            return false;
    }
    return true;
}

struct SelectedSearch {
    obs_sceneitem_t* found = nullptr;
};

bool FindSelected(obs_scene_t*, obs_sceneitem_t* item, void* param)
{
    auto* search = static_cast<SelectedSearch*>(param);
    if (obs_sceneitem_selected(item)) {
        obs_sceneitem_addref(item);
        search->found = item;
        return false;
    }
    if (obs_sceneitem_is_group(item))
        obs_sceneitem_group_enum_items(item, FindSelected, param);
    return search->found == nullptr;
}

}  // namespace

CWndEditorPosition::CWndEditorPosition(QWidget* parent, CDlgEditor* editor) : CWndEditorBase(394, parent, editor)
{
    CreateButtons();
    CreateList();
    CreateDetails();
    CreateChannels();
    SetControlsEnabled(false);
}

CWndEditorPosition::~CWndEditorPosition() = default;

void CWndEditorPosition::CreateButtons()
{
    const int ids[4] = {IDC_ADD, IDC_REMOVE, IDC_MOVE_UP, IDC_MOVE_DOWN};
    const int width = (kPageWidth - 3 * 8) / 4;
    for (int i = 0; i < 4; ++i) {
        auto* button = new CGdiplusButton(this);
        lumora::SetControlId(button, ids[i]);
        button->setGeometry(kPageLeft + i * (width + 8), 12, width, kRowHeight);
        m_buttons[static_cast<size_t>(i)] = button;
    }
}

void CWndEditorPosition::CreateList()
{
    m_images = std::make_unique<CImageList>(QSize(24, 24));
    m_images->Add(lumora::LoadResourceImage(541, QStringLiteral("PNG"), QSize(24, 24)));
    m_images->Add(lumora::LoadResourceImage(542, QStringLiteral("PNG"), QSize(24, 24)));
    m_list = new CMyListCtrl(this);
    lumora::SetControlId(m_list, IDC_LAYERS);
    m_list->SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    m_list->InsertColumn(0, QString(), LVCFMT_LEFT, kPageWidth - 4);
    m_list->SetImageList(m_images.get(), LVSIL_SMALL);
    m_list->SetItemHeight(34);
    m_list->EnableGridLine(true);
    m_list->setHeaderHidden(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setGeometry(kPageLeft, 50, kPageWidth, 206);
    QObject::connect(m_list, &CMyListCtrl::CheckChanged, this,
                     [this](int row, bool checked) { OnRowChecked(row, checked); });
    ConnectListActions();
}

void CWndEditorPosition::CreateDetails()
{
    m_details = new CMyGroupBox(this);
    lumora::SetControlId(m_details, IDC_DETAILS);
    m_details->setGeometry(kPageLeft, 266, kPageWidth, 284 + kLiveRowHeight);

    const int labelLeft = kPageLeft + 12, field = kPageLeft + 84, right = kPageLeft + kPageWidth - 12;
    auto row = [&](int index, int top, int editId, int chooseId, int clearId) {
        auto* label = new CLabel(this);
        lumora::SetControlId(label, kDetailLabelIds[index]);
        label->setGeometry(labelLeft, top, field - labelLeft - 4, kRowHeight);
        m_detailLabels[static_cast<size_t>(index)] = label;
        auto* edit = new QLineEdit(this);
        lumora::SetControlId(edit, editId);
        label->setBuddy(edit);  // the caption names its field
        if (chooseId == 0) {
            edit->setGeometry(field, top, right - field, kRowHeight);
            return edit;
        }
        edit->setReadOnly(true);
        edit->setGeometry(field, top, right - field - 62, kRowHeight);
        auto* choose = new CGdiplusButton(QStringLiteral(".."), this);
        lumora::SetControlId(choose, chooseId);
        choose->SetToolTipText(QString::fromStdWString(Lang::LoadLangString(180)), true);
        choose->setGeometry(right - 56, top, 28, kRowHeight);
        auto* clear = new CGdipButton(this);
        lumora::SetControlId(clear, clearId);
        clear->LoadStdImage(440, QStringLiteral("PNG"));
        clear->SetToolTipText(lumora::AccessibleText(L"Clear"), true);
        clear->setGeometry(right - 24, top + 2, 24, 24);
        m_chooseButtons[static_cast<size_t>(index - 1)] = choose;
        m_clearButtons[static_cast<size_t>(index - 1)] = clear;
        return edit;
    };
    m_nameEdit = row(0, 292, IDC_NAME, 0, 0);
    m_imageEdit = row(1, 326, IDC_IMAGE, IDC_CHOOSE_IMAGE, IDC_CLEAR_IMAGE);
    m_uvEdit = row(2, 360, IDC_UV, IDC_CHOOSE_UV, IDC_CLEAR_UV);
    QObject::connect(m_nameEdit, &QLineEdit::textChanged, this, [this] { OnNameEdited(); });

    m_replaceable = new QCheckBox(this);
    lumora::SetControlId(m_replaceable, IDC_REPLACEABLE);
    m_replaceable->setGeometry(field, 394, right - field, 24);
    QObject::connect(m_replaceable, &QCheckBox::toggled, this, [this](bool on) { OnReplaceableToggled(on); });

    const int previewWidth = (kPageWidth - 24 - 10) / 2;
    m_imagePreview = new CPicturePreview(this);
    m_uvPreview = new CPicturePreview(this);
    lumora::SetControlId(m_imagePreview, IDC_IMAGE_PREVIEW);
    lumora::SetControlId(m_uvPreview, IDC_UV_PREVIEW);
    m_imagePreview->setGeometry(kPageLeft + 12, 426, previewWidth, previewWidth * 9 / 16 + 20);
    m_uvPreview->setGeometry(kPageLeft + 22 + previewWidth, 426, previewWidth, previewWidth * 9 / 16 + 20);
    CreateLiveButtons();
}

void CWndEditorPosition::CreateChannels()
{
    m_tabs = new CMyTabCtrl(this);
    lumora::SetControlId(m_tabs, IDC_TABS);
    m_tabs->setGeometry(kPageLeft, 562 + kLiveRowHeight, kPageWidth, 26);
    m_rowsTop = 562 + kLiveRowHeight + 26 + 20;
    for (int i = 0; i < kChannelCount; ++i) {
        auto* channel = new CSliderChannel(kChannels[i], this);
        channel->SetChangeHandler([this, i](int value) { OnChannelChanged(i, value); });
        m_channels[static_cast<size_t>(i)] = channel;
    }
    QObject::connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) { ShowTab(tab); });
}

bool CWndEditorPosition::OnInitDialog()
{
    CWndEditorBase::OnInitDialog();
    ApplyDialogTexts(this, 394);
    for (unsigned caption : {108u, 109u, 110u, 111u})
        m_tabs->InsertItem(m_tabs->count(), Wide(Lang::LoadLangString(caption)));  // lang-ids: 108 109 110 111
    m_tabs->SetMinTabWidth(80);
    ShowTab(0);
    return true;
}

void CWndEditorPosition::ShowTab(int tab)
{
    if (tab < 0 || tab > 3)
        return;
    for (int i = 0; i < kChannelCount; ++i) {
        const bool shown = i >= kTabRows[tab][0] && i < kTabRows[tab][1];
        CSliderChannel* channel = m_channels[static_cast<size_t>(i)];
        if (shown)
            channel->Place(kPageLeft, m_rowsTop + (i - kTabRows[tab][0]) * (CSliderChannel::RowHeight() + 4),
                           kPageWidth);
        channel->SetVisible(shown);
    }
}

// ---- filling and loading ----

void CWndEditorPosition::Refresh()
{
    // Layers picked together stay picked when their items do (an undone move
    // puts the items back where they were without making them again).
    const std::vector<int> picked = LayersSelectedOnPreview();
    // A layer shot may have left a layer at full frame: this page shows and
    // edits the layers where their records put them.
    if (m_scene) {
        m_writing = true;
        m_scene->ShowAllLayers();
        m_writing = false;
    }
    FillList(m_current >= 0 ? m_current : 0);
    SelectLayersAgain(picked);
}

void CWndEditorPosition::OnSceneChanging()
{
    CancelDrawScreen();
    ForgetLiveSources();
}

void CWndEditorPosition::FillList(int row)
{
    // The list changes: the corners drawn for a row no longer belong to it.
    if (IsDrawingScreen())
        CancelDrawScreen();
    PruneLiveSources();
    m_loading = true;
    m_list->DeleteAllItems();
    m_current = -1;
    const int count = m_scene ? static_cast<int>(m_scene->GetLayers().size()) : 0;
    for (int i = 0; i < count; ++i) {
        const LayerInfo& layer = m_scene->GetLayers()[static_cast<size_t>(i)];
        m_list->InsertItem(i, Wide(GetRecordName(layer.name)), LayerFilesValid(layer) ? 0 : 1);
        m_list->SetCheck(i, layer.visible ? 1 : 0);
        RefreshRowPicture(i);
    }
    SetControlsEnabled(count > 0);
    m_buttons[0]->setEnabled(m_scene != nullptr);
    if (count > 0) {
        const int selected = std::clamp(row, 0, count - 1);
        LoadRow(selected);
        m_writing = true;
        m_scene->SelectItem(selected);
        m_writing = false;
        RequestPreviewScene(1);
    } else {
        LoadChannels(MakeDefaultLayer());
        m_nameEdit->clear();
        m_imageEdit->clear();
        m_uvEdit->clear();
        m_imagePreview->SetPath({});
        m_uvPreview->SetPath({});
        if (m_scene)
            RequestPreviewScene(1);
    }
    SetCanvasEditing(m_scene != nullptr);
    m_loading = false;
}

void CWndEditorPosition::SetControlsEnabled(bool enabled)
{
    for (size_t i = 1; i < m_buttons.size(); ++i)
        m_buttons[i]->setEnabled(enabled);
    for (QWidget* control : {static_cast<QWidget*>(m_nameEdit), static_cast<QWidget*>(m_imageEdit),
                             static_cast<QWidget*>(m_uvEdit), static_cast<QWidget*>(m_replaceable)})
        control->setEnabled(enabled);
    for (size_t i = 0; i < 2; ++i) {
        m_chooseButtons[i]->setEnabled(enabled);
        m_clearButtons[i]->setEnabled(enabled);
    }
    for (CSliderChannel* channel : m_channels)
        channel->SetEnabled(enabled);
    UpdateLiveButtons();
}

bool CWndEditorPosition::HasRow(int row) const
{
    return m_scene && row >= 0 && row < static_cast<int>(m_scene->GetLayers().size()) && row < m_list->GetItemCount();
}

LayerInfo* CWndEditorPosition::CurrentLayer()
{
    return HasRow(m_current) ? &m_scene->GetLayers()[static_cast<size_t>(m_current)] : nullptr;
}

void CWndEditorPosition::LoadRow(int row)
{
    if (!HasRow(row))
        return;
    const bool wasLoading = m_loading;
    m_loading = true;
    m_current = row;
    if (QTreeWidgetItem* item = m_list->topLevelItem(row); item && item->isSelected())
        m_list->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);  // one of several selected rows
    else
        m_list->SetCurSel(row);
    if (QTreeWidgetItem* item = m_list->topLevelItem(row))
        m_list->scrollToItem(item);
    const LayerInfo& layer = m_scene->GetLayers()[static_cast<size_t>(row)];
    LoadChannels(layer);
    m_nameLoading = true;
    m_nameEdit->setText(Wide(GetRecordName(layer.name)));
    m_nameLoading = false;
    const std::wstring image = AnsiPath(LayerImagePath(layer));
    const std::wstring uv = AnsiPath(LayerUvPath(layer));
    m_imageEdit->setText(Wide(image));
    m_uvEdit->setText(Wide(uv));
    m_imageEdit->setCursorPosition(0);
    m_uvEdit->setCursorPosition(0);
    m_replaceable->setChecked(layer.dynamic != 0);
    UpdateLiveButtons();
    if (SourceInfo* info = m_scene->GetInfo(); info && IsVirtualSetKind(info->kind))
        m_scene->SetSelectedIndex(row + 1);
    m_imagePreview->SetPath(image);
    m_uvPreview->SetPath(uv);
    m_loading = wasLoading;
}

void CWndEditorPosition::LoadChannels(const LayerInfo& layer)
{
    // The XY row shows the Y zoom.
    for (int i = 0; i < kChannelCount; ++i) {
        const float* field = ChannelField(layer, i == kXyChannel ? 3 : i);
        m_channels[static_cast<size_t>(i)]->SetModelValue(*field);
    }
}

void CWndEditorPosition::RefreshRowImage(int row)
{
    if (HasRow(row))
        m_list->SetItemImage(row, 0, LayerFilesValid(m_scene->GetLayers()[static_cast<size_t>(row)]) ? 0 : 1);
    RefreshRowPicture(row);
}

// The set's items count the group item first; other items (the group, a
// dropped source, an item of a set closed since) are no layer.
int CWndEditorPosition::LayerOfItem(obs_sceneitem_t* item)
{
    if (!m_scene || !item)
        return -1;
    const int index = m_scene->FindItem(item);
    SourceInfo* info = m_scene->GetInfo();
    const int layer = info && IsVirtualSetKind(info->kind) ? index - 1 : index;
    return index >= 0 && HasRow(layer) ? layer : -1;
}

// ---- user changes ----

void CWndEditorPosition::OnRowSelected(int row)
{
    if (m_loading || !HasRow(row))
        return;
    if (IsDrawingScreen() && row != m_drawRow)
        CancelDrawScreen();
    m_writing = true;
    m_loading = true;
    m_scene->SelectItem(row);
    m_loading = false;
    m_writing = false;
    LoadRow(row);
}

void CWndEditorPosition::OnRowChecked(int row, bool checked)
{
    if (m_loading || !HasRow(row))
        return;
    m_scene->GetLayers()[static_cast<size_t>(row)].visible = checked ? 1 : 0;
    m_scene->SetLayerVisible(row, checked);
}

void CWndEditorPosition::OnChannelChanged(int channel, int value)
{
    LayerInfo* layer = CurrentLayer();
    if (m_loading || !layer)
        return;
    // Only the fields the user moved are written: a value the rows cannot
    // show exactly (or at all) stays as the record has it.
    if (channel == kXyChannel) {
        const float zoom = m_channels[kXyChannel]->ModelValue();
        m_channels[2]->SetModelValue(zoom);
        m_channels[3]->SetModelValue(zoom);
        layer->zoomX = layer->zoomY = zoom;
    } else {
        *ChannelField(*layer, channel) = m_channels[static_cast<size_t>(channel)]->ModelValue();
        if (channel == 3)
            m_channels[kXyChannel]->SetModelValue(layer->zoomY);
    }
    m_writing = true;
    if (channel < kFirstCropChannel)
        m_scene->ApplyLayerTransform(m_current);
    else
        m_scene->ApplyLayerCrop(m_current);
    m_writing = false;
}

void CWndEditorPosition::OnNameEdited()
{
    if (m_nameLoading || m_loading || !HasRow(m_current))
        return;
    if (m_scene->RenameLayer(m_current, m_nameEdit->text().toStdWString())) {
        m_list->SetItemText(m_current, 0, Wide(GetRecordName(m_scene->GetLayers()[static_cast<size_t>(m_current)].name)));
        if (Editor())
            Editor()->UpdateSelectionStatus();
    }
}

void CWndEditorPosition::OnReplaceableToggled(bool checked)
{
    if (LayerInfo* layer = CurrentLayer(); layer && !m_loading)
        layer->dynamic = checked ? 1 : 0;
    UpdateLiveButtons();
}

bool CWndEditorPosition::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_ADD: AddLayer(); return true;
    case IDC_REMOVE: RemoveLayer(); return true;
    case IDC_MOVE_UP: MoveLayerUp(); return true;
    case IDC_MOVE_DOWN: MoveLayerDown(); return true;
    case kLiveSourceButtonId: OnLiveMenu(); return true;
    case kDrawScreenButtonId: IsDrawingScreen() ? (void)ApplyDrawnScreen() : StartDrawScreen(); return true;
    case IDC_CHOOSE_IMAGE: ChooseImage(); return true;
    case IDC_CHOOSE_UV: ChooseUvMap(); return true;
    case IDC_CLEAR_IMAGE: ClearImage(); return true;
    case IDC_CLEAR_UV: ClearUvMap(); return true;
    default: return CWndEditorBase::OnCommand(wParam, lParam);
    }
}

void CWndEditorPosition::ChooseImage()
{
    if (!HasRow(m_current))
        return;
    const std::wstring current = m_imageEdit->text().toStdWString();
    FileDialogRequest request{false, L"Png File(*.png)|*.png||", L"png", current, platform::FolderPart(current), L"LayerPicture"};
    const std::wstring path = ChooseFile(this, request);
    if (path.empty())
        return;
    const int row = m_current;
    if (!m_scene->SetLayerImage(row, path))
        ReportFailure(963, path);
    LoadRow(row);
    RefreshRowImage(row);
}

void CWndEditorPosition::ReportFailure(unsigned message, const std::wstring& path)
{
    ShowMessageBox(this, Lang::FormatLangString(message, path));  // lang-ids: 962 963 964
}

void CWndEditorPosition::ChooseUvMap()
{
    if (!HasRow(m_current))
        return;
    const std::wstring current = m_uvEdit->text().toStdWString();
    FileDialogRequest request{false, L"Png File(*.png)|*.png||", L"png", current,
                              platform::FolderPart(m_imageEdit->text().toStdWString()), L"UvMap"};
    const std::wstring path = ChooseFile(this, request);
    if (path.empty())
        return;
    if (!CheckUvMapImage(path)) {
        ShowMessageBox(this, Lang::LoadLangString(112));
        return;
    }
    const int row = m_current;
    if (!m_scene->SetLayerUvMap(row, true, path))
        ReportFailure(964, path);
    LoadRow(row);
    RefreshRowImage(row);
}

void CWndEditorPosition::ClearImage()
{
    if (!HasRow(m_current))
        return;
    const int row = m_current;
    if (!m_scene->SetLayerImage(row, L""))
        ShowMessageBox(this, Lang::LoadLangString(210));
    LoadRow(row);
    RefreshRowImage(row);
}

void CWndEditorPosition::ClearUvMap()
{
    if (!HasRow(m_current))
        return;
    const int row = m_current;
    if (!m_scene->SetLayerUvMap(row, false, L""))
        ShowMessageBox(this, Lang::LoadLangString(210));
    LoadRow(row);
    RefreshRowImage(row);  // a layer without a map is as valid as its picture
}

void CWndEditorPosition::AddLayer()
{
    if (!m_scene)
        return;
    std::wstring folder;
    if (LayerInfo* layer = CurrentLayer())
        folder = platform::FolderPart(AnsiPath(LayerImagePath(*layer)));
    FileDialogRequest request{false, Lang::LoadLangString(241), L"png", L"", folder, L"LayerPicture"};
    const std::wstring path = ChooseFile(this, request);
    if (!path.empty())
        AddLayerFromFile(path);
}

bool CWndEditorPosition::AddLayerFromFile(const std::wstring& path)
{
    if (!m_scene)
        return false;
    // Where the new layer goes: just above the selected layer, or on top.
    const int target = HasRow(m_current) ? m_current : 0;
    if (!m_scene->AddLayer(path)) {
        ReportFailure(962, path);
        return false;
    }
    // The set's own operation puts it at the back over the whole canvas;
    // there the background hides it. It moves up to its place and takes its
    // picture's size, all in the same step of the history.
    int row = static_cast<int>(m_scene->GetLayers().size()) - 1;
    while (row > target && m_scene->MoveLayerUp(row))
        --row;
    SizeLayerToItsPicture(row);
    FillList(row);
    return true;
}

obs_sceneitem_t* CWndEditorPosition::ItemOfLayer(int row)
{
    if (!m_scene || !HasRow(row))
        return nullptr;
    SourceInfo* info = m_scene->GetInfo();
    return m_scene->GetItem(info && IsVirtualSetKind(info->kind) ? row + 1 : row);
}

void CWndEditorPosition::SizeLayerToItsPicture(int row)
{
    obs_sceneitem_t* item = ItemOfLayer(row);
    obs_source_t* source = item ? obs_sceneitem_get_source(item) : nullptr;
    obs_video_info video{};
    if (!source || !obs_get_video_info(&video) || video.base_width == 0 || video.base_height == 0)
        return;
    const uint32_t width = obs_source_get_width(source);
    const uint32_t height = obs_source_get_height(source);
    // A picture as large as the canvas or larger keeps the whole canvas.
    if (width == 0 || height == 0 || width > video.base_width || height > video.base_height ||
        (width == video.base_width && height == video.base_height))
        return;
    LayerInfo& layer = m_scene->GetLayers()[static_cast<size_t>(row)];
    layer.zoomX = float(width) / float(video.base_width);
    layer.zoomY = float(height) / float(video.base_height);
    m_scene->ApplyLayerTransform(row);
}

void CWndEditorPosition::RemoveLayer()
{
    std::vector<int> rows = SelectedRows();
    if (rows.empty() && HasRow(m_current))
        rows.push_back(m_current);
    if (rows.empty())
        return;
    QStringList names;
    for (int row : rows)
        names << m_list->GetItemText(row, 0);
    const QString question =
        QString::fromStdWString(Lang::LoadLangString(179)).replace(QStringLiteral("%s"), names.join(QStringLiteral(", ")));
    if (ShowMessageBox(this, question.toStdWString(), MB_YESNO) != IDYES)
        return;
    // From the bottom up, so the rows still to go keep their numbers.
    bool removed = false;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        removed = m_scene->RemoveLayer(*row) || removed;
    if (removed)
        FillList(rows.front());
}

void CWndEditorPosition::MoveLayerUp()
{
    const int row = m_current;
    if (HasRow(row) && m_scene->MoveLayerUp(row))
        FillList(row - 1);
}

void CWndEditorPosition::MoveLayerDown()
{
    const int row = m_current;
    if (HasRow(row) && m_scene->MoveLayerDown(row))
        FillList(row + 1);
}

// ---- engine events ----

LRESULT CWndEditorPosition::OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (message != UM_ITEM_EVENT)
        return CWndEditorBase::OnWindowMessage(message, wParam, lParam);
    if (wParam == kItemTransformed)
        OnItemTransformed(reinterpret_cast<obs_sceneitem_t*>(lParam));
    else if (wParam == kItemSelected)
        OnItemSelected(reinterpret_cast<obs_sceneitem_t*>(lParam));
    else if (wParam == 3)
        OnSceneSelection(reinterpret_cast<obs_scene_t*>(lParam));
    return 0;
}

void CWndEditorPosition::OnItemTransformed(obs_sceneitem_t* item)
{
    if (m_writing || m_list->GetItemCount() == 0)
        return;
    const int row = LayerOfItem(item);
    if (row < 0)
        return;
    LayerInfo& layer = m_scene->GetLayers()[static_cast<size_t>(row)];
    // A plain copy: the capture writes only the placement, never the paths.
    const LayerInfo before = layer;
    m_scene->CaptureLayerTransform(row);
    const bool echo = SamePlacement(before, layer);
    if (echo)
        layer = before;
    // Our own slider moves come back late as echoes; only a real move selects.
    if (!echo)
        LoadRow(row);
}

void CWndEditorPosition::OnItemSelected(obs_sceneitem_t* item)
{
    const int row = LayerOfItem(item);
    if (row < 0 || !obs_sceneitem_selected(item))
        return;
    m_loading = true;
    LoadRow(row);
    m_loading = false;
}

void CWndEditorPosition::OnSceneSelection(obs_scene_t* scene)
{
    if (!scene)
        return;
    OBSSceneAutoRelease held = obs_scene_get_ref(scene);
    SelectedSearch search;
    obs_scene_enum_items(held, FindSelected, &search);
    OBSSceneItemAutoRelease found = search.found;
    if (found)
        OnItemSelected(found);
}

// ---- checks before saving ----

void CWndEditorPosition::MarkInvalid(int index)
{
    if (!HasRow(index))
        return;
    LoadRow(index);
    m_list->setFocus();
}

bool CWndEditorPosition::Validate(std::wstring& message, int& index)
{
    if (!m_scene || m_scene->GetLayers().empty()) {
        message = Lang::LoadLangString(419);
        return false;
    }
    const LayerList& layers = m_scene->GetLayers();
    for (size_t i = 0; i < layers.size(); ++i) {
        const std::wstring paths[2] = {AnsiPath(LayerImagePath(layers[i])), AnsiPath(LayerUvPath(layers[i]))};
        for (const std::wstring& path : paths) {
            if (path.empty() || platform::FileExists(path))
                continue;
            m_list->setFocus();
            index = static_cast<int>(i);
            message = L"[" + GetRecordName(layers[i].name) + L"]:" + Lang::LoadLangString(418) + L":\r\n\r\n'" + path +
                      L"'";
            return false;
        }
    }
    return true;
}
