#include "WndEditorShot.h"

#include "formats/SceneRecords.h"
#include "lumora/ControlId.h"
#include "lumora/GdiplusButton.h"
#include "lumora/Label.h"
#include "lumora/Lang.h"
#include "model/ShotSteps.h"
#include "lumora/MyGroupBox.h"
#include "model/MultiViewSource.h"
#include "platform/FileUtil.h"
#include "ui/DialogTexts.h"
#include "ui/EditorMessages.h"
#include "ui/SliderChannel.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTimer>

namespace {

constexpr int IDC_ADD = 1230;
constexpr int IDC_REMOVE = 1138;
constexpr int IDC_REBUILD = 1139;
constexpr int IDC_SHOTS = 1071;
constexpr int IDC_NAME_LABEL = 1488;
constexpr int IDC_NAME = 1489;
constexpr int IDC_PLAY = 1499;
constexpr unsigned kPlaySettledMessage = WM_USER + 171;
constexpr int kGroupIds[4] = {1091, 1090, 1096, 1097};

constexpr ChannelSpec kChannels[CWndEditorShot::kChannelCount] = {
    {1103, 1083, 1092, 1093, 1541, -2000, 2000, 0, 0},      // pan X
    {1104, 1084, 1094, 1095, 1542, -2000, 2000, 0, 0},      // pan Y
    {1105, 1239, 1241, 1242, 1543, 2, 2000, 1000, 1000},    // zoom X
    {1153, 1240, 1243, 1244, 1544, 2, 2000, 1000, 1000},    // zoom Y
    {1154, 1245, 1246, 1247, 1545, 2, 2000, 1000, 1000},    // zoom XY
    {1155, 1203, 1207, 1208, 1546, -6280, 6280, 0, 0},      // rotate X
    {1156, 1204, 1209, 1210, 1547, -6280, 6280, 0, 0},      // rotate Y
    {1157, 1205, 1211, 1212, 1548, -6280, 6280, 0, 0},      // rotate Z
};
constexpr int kXyChannel = 4;
const QSize kThumbnail(64, 52);
constexpr int kPictureDelayMs = 250;
constexpr int kSettleMs = 150;

constexpr int kLeft = 12;
constexpr int kWidth = 376;

float* ShotField(ShotInfo& shot, int channel)
{
    float* fields[CWndEditorShot::kChannelCount] = {&shot.x,      &shot.y,       &shot.zoomX,  &shot.zoomY,
                                                    nullptr,      &shot.rotateX, &shot.rotateY, &shot.rotateZ};
    return fields[channel];
}

QIcon ShotIcon(const std::wstring& path, int index)
{
    QImage picture(QString::fromStdWString(path));
    if (picture.isNull())
        picture = NumberedShotPicture(index);
    return QIcon(QPixmap::fromImage(picture.scaled(kThumbnail, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

}  // namespace

QImage NumberedShotPicture(int index)
{
    QImage picture(kThumbnail, QImage::Format_RGB32);
    picture.fill(QColor(0x33, 0x36, 0x3b));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const int number = (index + 1) % 7;
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(number == 0 ? 16 : 28);
    painter.setFont(font);
    painter.setPen(QColor(0xd8, 0xd8, 0xd8));
    painter.drawText(picture.rect(), Qt::AlignCenter, number == 0 ? QStringLiteral("FULL") : QString::number(number));
    return picture;
}

CWndEditorShot::CWndEditorShot(QWidget* parent, CDlgEditor* editor) : CWndEditorBase(565, parent, editor)
{
    CreateControls();
    m_pictureTimer = new QTimer(this);
    m_pictureTimer->setSingleShot(true);
    QObject::connect(m_pictureTimer, &QTimer::timeout, this, [this] { SavePicture(m_current); });
    SetRowsEnabled(false);
}

void CWndEditorShot::CreateControls()
{
    const int buttonIds[3] = {IDC_ADD, IDC_REMOVE, IDC_REBUILD};
    const int widths[3] = {100, 100, kWidth - 216};
    int x = kLeft;
    for (int i = 0; i < 3; ++i) {
        auto* button = new CGdiplusButton(this);
        lumora::SetControlId(button, buttonIds[i]);
        button->setGeometry(x, 12, widths[i], 28);
        x += widths[i] + 8;
        m_buttons[static_cast<size_t>(i)] = button;
    }

    m_list = new QListWidget(this);
    lumora::SetControlId(m_list, IDC_SHOTS);
    m_list->setViewMode(QListView::IconMode);
    m_list->setFlow(QListView::LeftToRight);
    m_list->setWrapping(false);
    m_list->setMovement(QListView::Static);
    m_list->setIconSize(kThumbnail);
    m_list->setGridSize(QSize(kThumbnail.width() + 10, kThumbnail.height() + 26));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setStyleSheet(QStringLiteral(
        "QListWidget { background: #1b1c1f; border: 1px solid #3d3f44; border-radius: 3px; color: #c0c0c0; }"
        "QListWidget::item { border: 2px solid transparent; border-radius: 3px; padding: 2px; }"
        "QListWidget::item:selected { border-color: #e0413a; background: #2d2f33; color: #ffffff; }"));
    m_list->setGeometry(kLeft, 50, kWidth, kThumbnail.height() + 40);
    QObject::connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { OnRowSelected(row); });

    CreatePlayRow(50 + kThumbnail.height() + 48);

    // Basic information, then pan (rows 0-1), zoom (2-4) and rotation (5-7).
    const int groupRows[4][2] = {{0, 0}, {0, 2}, {2, 5}, {5, 8}};
    int top = 50 + kThumbnail.height() + 88;
    for (int g = 0; g < 4; ++g) {
        const int rows = g == 0 ? 1 : groupRows[g][1] - groupRows[g][0];
        const int height = 26 + rows * (CSliderChannel::RowHeight() + 4) + 4;
        auto* group = new CMyGroupBox(this);
        lumora::SetControlId(group, kGroupIds[g]);
        group->setGeometry(kLeft, top, kWidth, height);
        const int rowTop = top + 22;
        if (g == 0) {
            m_nameLabel = new CLabel(this);
            lumora::SetControlId(m_nameLabel, IDC_NAME_LABEL);
            m_nameLabel->setGeometry(kLeft + 12, rowTop, 60, 28);
            m_nameEdit = new QLineEdit(this);
            lumora::SetControlId(m_nameEdit, IDC_NAME);
            m_nameEdit->setGeometry(kLeft + 76, rowTop, kWidth - 88, 28);
            m_nameLabel->setBuddy(m_nameEdit);  // the caption names the field
            QObject::connect(m_nameEdit, &QLineEdit::textChanged, this, [this] { OnNameEdited(); });
        }
        for (int i = groupRows[g][0]; i < groupRows[g][1]; ++i) {
            auto* channel = new CSliderChannel(kChannels[i], this);
            channel->Place(kLeft + 4, rowTop + (i - groupRows[g][0]) * (CSliderChannel::RowHeight() + 4), kWidth - 8);
            channel->SetChangeHandler([this, i](int value) { OnChannelChanged(i, value); });
            m_channels[static_cast<size_t>(i)] = channel;
        }
        top += height + 10;
    }
}

void CWndEditorShot::CreatePlayRow(int top)
{
    m_playButton = new CGdiplusButton(this);
    lumora::SetControlId(m_playButton, IDC_PLAY);
    m_playButton->setText(QString::fromStdWString(Lang::LoadLangString(907)));
    m_playButton->SetToolTipText(QString::fromStdWString(Lang::LoadLangString(909)));
    m_playButton->setGeometry(kLeft, top, 100, 28);
    auto* label = new CLabel(this);
    label->setText(QString::fromStdWString(Lang::LoadLangString(908)));
    label->setGeometry(kLeft + 112, top, 110, 28);
    m_duration = new QDoubleSpinBox(this);
    m_duration->setRange(kMinDuration, kMaxDuration);
    m_duration->setDecimals(1);
    m_duration->setSingleStep(0.1);
    m_duration->setValue(1.0);
    m_duration->setSuffix(QStringLiteral(" s"));
    m_duration->setGeometry(kLeft + 226, top, kWidth - 226, 28);
    // The caption names the field, and the field's own text part too.
    label->setBuddy(m_duration);
    if (auto* text = m_duration->findChild<QLineEdit*>())
        text->setAccessibleName(label->text());
    m_playTimer = new QTimer(this);
    m_playTimer->setInterval(static_cast<int>(1000.0f / kShotStepsPerSecond));
    QObject::connect(m_playTimer, &QTimer::timeout, this, [this] { PlayStep(); });
}

bool CWndEditorShot::IsPlaying() const { return m_playTimer && m_playTimer->isActive(); }

void CWndEditorShot::PlayTransition()
{
    if (!HasShot(m_current))
        return;
    StopPlaying();
    // From the shot shown before, or for a first selection from the one
    // before it in the list, to the current shot.
    int from = HasShot(m_previousShot) && m_previousShot != m_current ? m_previousShot : m_current - 1;
    if (!HasShot(from))
        from = ShotCount() - 1;
    m_busy = true;
    m_scene->StartShot(from, 0);
    const int milliseconds = static_cast<int>(std::lround(m_duration->value() * 1000.0));
    const bool started = m_scene->StartShot(m_current, milliseconds);
    m_busy = false;
    if (started)
        m_playTimer->start();
}

void CWndEditorShot::PlayStep()
{
    if (!m_scene || !m_scene->ShotTick())
        StopPlaying();
}

void CWndEditorShot::StopPlaying()
{
    if (!IsPlaying())
        return;
    m_playTimer->stop();
    // Wherever it stopped, the camera shows the current shot again.
    if (HasShot(m_current)) {
        m_busy = true;
        m_scene->StartShot(m_current, 0);
        m_busy = false;
    }
    // The transition's moves still queued (the last one included) are no
    // edits: they are dropped until this message, queued behind them, arrives.
    m_settling = true;
    PostMessage(MessageWindow(), kPlaySettledMessage, 0, 0);
}

bool CWndEditorShot::OnInitDialog()
{
    CWndEditorBase::OnInitDialog();
    ApplyDialogTexts(this, 565);
    return true;
}

obs_sceneitem_t* CWndEditorShot::KeptItem() const { return m_scene ? m_scene->GetItem(0) : nullptr; }

bool CWndEditorShot::HasShot(int index) const { return m_scene && index >= 0 && index < ShotCount(); }

int CWndEditorShot::ShotCount() const { return m_scene ? static_cast<int>(m_scene->GetShots().size()) : 0; }

// ---- filling and loading ----

void CWndEditorShot::Refresh()
{
    StopPlaying();
    m_busy = true;
    m_rebuildNext = -1;
    m_pictureTimer->stop();
    m_current = ShotCount() > 0 ? std::clamp(m_current, 0, ShotCount() - 1) : -1;
    if (m_scene) {
        RequestPreviewScene(0);
        SourceInfo* info = m_scene->GetInfo();
        SetCanvasEditing(!info || info->kind != 5);
    }
    FillList();
    LoadShot(m_current);
    // The camera shows the shot the page shows (after an undo too).
    if (HasShot(m_current))
        m_scene->StartShot(m_current, 0);
    m_busy = false;
    m_list->setFocus();
}

void CWndEditorShot::FillList()
{
    const bool wasBusy = m_busy;
    m_busy = true;
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    for (int i = 0; i < ShotCount(); ++i) {
        const ShotInfo& shot = m_scene->GetShots()[static_cast<size_t>(i)];
        auto* item = new QListWidgetItem(ShotIcon(m_scene->GetShotPicturePath(i), i),
                                         QString::fromStdWString(GetRecordName(shot.name)));
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_list->addItem(item);
    }
    if (HasShot(m_current))
        m_list->setCurrentRow(m_current);
    m_list->setUpdatesEnabled(true);
    SetRowsEnabled(ShotCount() > 0);
    m_buttons[0]->setEnabled(m_scene != nullptr);
    m_busy = wasBusy;
}

void CWndEditorShot::SetRowsEnabled(bool enabled)
{
    m_buttons[1]->setEnabled(enabled);
    m_buttons[2]->setEnabled(enabled);
    m_nameEdit->setEnabled(enabled);
    m_playButton->setEnabled(enabled);
    m_duration->setEnabled(enabled);
    for (CSliderChannel* channel : m_channels)
        channel->SetEnabled(enabled);
}

void CWndEditorShot::LoadShot(int index)
{
    ShotInfo shot = HasShot(index) ? m_scene->GetShots()[static_cast<size_t>(index)] : MakeDefaultShot();
    m_nameLoading = true;
    m_nameEdit->setText(HasShot(index) ? QString::fromStdWString(GetRecordName(shot.name)) : QString());
    m_nameLoading = false;
    for (int i = 0; i < kChannelCount; ++i)
        m_channels[static_cast<size_t>(i)]->SetModelValue(*ShotField(shot, i == kXyChannel ? 3 : i));
}

// ---- user changes ----

void CWndEditorShot::OnRowSelected(int row)
{
    if (m_busy || !HasShot(row))
        return;
    StopPlaying();
    m_busy = true;
    if (row != m_current)
        m_previousShot = m_current;
    m_current = row;
    m_scene->StartShot(row, 0);
    LoadShot(row);
    m_busy = false;
}

void CWndEditorShot::OnChannelChanged(int channel, int value)
{
    if (m_busy || !HasShot(m_current))
        return;
    ShotInfo& shot = m_scene->GetShots()[static_cast<size_t>(m_current)];
    if (channel == kXyChannel) {
        const float zoom = m_channels[kXyChannel]->ModelValue();
        m_channels[2]->SetModelValue(zoom);
        m_channels[3]->SetModelValue(zoom);
        shot.zoomX = shot.zoomY = zoom;
    } else {
        *ShotField(shot, channel) = m_channels[static_cast<size_t>(channel)]->ModelValue();
        if (channel == 3)
            m_channels[kXyChannel]->SetModelValue(shot.zoomY);
    }
    ApplyCurrent();
}

void CWndEditorShot::OnNameEdited()
{
    if (m_nameLoading || m_busy || !HasShot(m_current))
        return;
    ShotInfo& shot = m_scene->GetShots()[static_cast<size_t>(m_current)];
    SetRecordName(shot.name, m_nameEdit->text().toStdWString());
    if (QListWidgetItem* item = m_list->item(m_current))
        item->setText(QString::fromStdWString(GetRecordName(shot.name)));
}

// The camera follows at once; the picture is taken once the user pauses, so
// a dragged slider does not write a still per step.
void CWndEditorShot::ApplyCurrent()
{
    m_busy = true;
    m_scene->ApplyShot(m_current);
    m_busy = false;
    m_pictureTimer->start(kPictureDelayMs);
}

void CWndEditorShot::SavePicture(int index)
{
    if (!HasShot(index))
        return;
    const std::wstring path = m_scene->NewShotPicturePath(index);
    if (!path.empty() && m_scene->SaveScreenshot(path)) {
        if (QListWidgetItem* item = m_list->item(index))
            item->setIcon(ShotIcon(path, index));
    }
}

bool CWndEditorShot::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_ADD: AddShot(); return true;
    case IDC_REMOVE: RemoveShot(); return true;
    case IDC_REBUILD: RebuildThumbnails(); return true;
    case IDC_PLAY: PlayTransition(); return true;
    default: return CWndEditorBase::OnCommand(wParam, lParam);
    }
}

void CWndEditorShot::AddShot()
{
    if (!m_scene)
        return;
    const int n = ShotCount();
    if (n >= kMaxShots) {
        QApplication::beep();  // a set holds at most ten shots
        return;
    }
    ShotInfo shot = MakeDefaultShot();
    SetRecordName(shot.name, L"Shot " + std::to_wstring(n + 1));
    m_scene->GetShots().push_back(shot);
    m_busy = true;
    m_scene->CaptureShot(n);  // the camera as it is now
    m_scene->GetShots()[static_cast<size_t>(n)].zoomZ = 1.0f;
    m_current = n;
    SavePicture(n);
    FillList();
    LoadShot(n);
    m_busy = false;
}

void CWndEditorShot::RemoveShot()
{
    if (!HasShot(m_current)) {
        QApplication::beep();
        return;
    }
    const int removed = m_current;
    m_pictureTimer->stop();
    StopRebuilding();
    // The pictures stay as they are: each belongs to what it shows.
    m_scene->RemoveShot(removed);
    m_current = std::min(removed, ShotCount() - 1);
    m_busy = true;
    FillList();
    LoadShot(m_current);
    if (HasShot(m_current))
        m_scene->StartShot(m_current, 0);
    m_busy = false;
}

void CWndEditorShot::hideEvent(QHideEvent* event)
{
    StopPlaying();
    StopRebuilding();
    CWndEditorBase::hideEvent(event);
}

void CWndEditorShot::StopRebuilding()
{
    if (!IsRebuilding())
        return;
    m_rebuildNext = -1;
    m_busy = false;
}

void CWndEditorShot::RebuildThumbnails()
{
    if (IsRebuilding() || ShotCount() == 0)
        return;
    m_pictureTimer->stop();
    m_rebuildNext = 0;
    m_rebuildScene = m_scene;
    m_busy = true;
    QTimer::singleShot(50, this, [this] { RebuildStep(); });
}

// One shot per step: show it, let the engine draw it, then take its still.
void CWndEditorShot::RebuildStep()
{
    if (!IsRebuilding())
        return;
    if (m_scene != m_rebuildScene || !HasShot(m_rebuildNext)) {
        m_rebuildNext = -1;
        m_busy = false;
        m_current = ShotCount() > 0 ? 0 : -1;
        if (HasShot(m_current)) {
            m_scene->StartShot(0, 0);
            FillList();
            LoadShot(0);
        }
        update();
        return;
    }
    const int index = m_rebuildNext;
    m_scene->StartShot(index, 0);
    QTimer::singleShot(kSettleMs, this, [this, index] {
        if (m_rebuildNext != index || m_scene != m_rebuildScene)
            return RebuildStep();
        SavePicture(index);
        ++m_rebuildNext;
        QTimer::singleShot(50, this, [this] { RebuildStep(); });
    });
}

// ---- engine events ----

LRESULT CWndEditorShot::OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (message == kPlaySettledMessage) {
        m_settling = false;
        return 0;
    }
    if (m_settling && message == UM_ITEM_EVENT)
        return 0;  // a move of the transition, queued before it stopped
    if (message != UM_ITEM_EVENT || wParam != kItemTransformed)
        return CWndEditorBase::OnWindowMessage(message, wParam, lParam);
    // The first camera move after a new set is the set placing itself.
    if (m_sceneChanged) {
        m_sceneChanged = false;
        return 0;
    }
    auto* item = reinterpret_cast<obs_sceneitem_t*>(lParam);
    if (m_busy || !HasShot(m_current) || !item || m_scene->FindItem(item) != 0)
        return 0;  // only the camera of this set counts
    m_busy = true;
    TakeCameraIntoShot(m_current);
    m_busy = false;
    return 0;
}

void CWndEditorShot::TakeCameraIntoShot(int index)
{
    ShotInfo& shot = m_scene->GetShots()[static_cast<size_t>(index)];
    const ShotInfo before = shot;
    m_scene->CaptureShot(index);
    // Read back from the engine, the values of the shot just applied differ
    // by float noise: such an echo is no edit.
    const float pairs[][2] = {{shot.x, before.x}, {shot.y, before.y}, {shot.zoomX, before.zoomX},
                              {shot.zoomY, before.zoomY}, {shot.rotateZ, before.rotateZ}};
    bool moved = false;
    for (const auto& pair : pairs)
        moved = moved || !(std::fabs(pair[0] - pair[1]) < 0.0005f);
    if (!moved) {
        shot = before;
        return;
    }
    LoadShot(index);
    m_pictureTimer->start(kPictureDelayMs);
}
