#pragma once
// The Shots page: the set's camera presets as a strip of thumbnails, and the
// selected shot's name, pan, zoom and rotation. Every change is applied to the
// camera at once; the shot's picture follows shortly after.
#include "ui/WndEditorBase.h"

#include <QImage>
#include <array>

class CGdiplusButton;
class CLabel;
class CMyGroupBox;
class CSliderChannel;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QTimer;
struct ShotInfo;

class CWndEditorShot : public CWndEditorBase {
public:
    static constexpr int kChannelCount = 8;
    static constexpr int kMaxShots = 10;

    CWndEditorShot(QWidget* parent, CDlgEditor* editor);

    bool OnInitDialog() override;
    void Refresh() override;
    void MarkInvalid(int) override {}
    bool Validate(std::wstring&, int&) override { return true; }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;
    // A playing transition moves the camera item: those moves are no edits.
    bool IsApplyingChange() const override { return m_busy || m_settling || IsPlaying(); }
    obs_sceneitem_t* KeptItem() const override;

    int CurrentShot() const { return m_current; }
    QListWidget* List() const { return m_list; }
    CSliderChannel* Channel(int index) const { return m_channels[static_cast<size_t>(index)]; }
    bool IsRebuilding() const { return m_rebuildNext >= 0; }

protected:
    // Leaving the page ends a transition or a rebuild in progress: they
    // would go on moving the picture under the other pages.
    void hideEvent(QHideEvent* event) override;

public:

    void AddShot();
    void RemoveShot();
    void RebuildThumbnails();

    // Runs the timed transition from the shot shown before the current one
    // to the current one, over the duration field's seconds.
    void PlayTransition();
    bool IsPlaying() const;
    QDoubleSpinBox* DurationField() const { return m_duration; }
    static constexpr double kMinDuration = 0.1;
    static constexpr double kMaxDuration = 30.0;

private:
    void CreateControls();
    bool HasShot(int index) const;
    int ShotCount() const;
    void FillList();
    void LoadShot(int index);
    void SetRowsEnabled(bool enabled);
    void OnRowSelected(int row);
    void OnChannelChanged(int channel, int value);
    void OnNameEdited();
    void ApplyCurrent();
    void SavePicture(int index);
    // The shot as the camera is now, unless the camera only echoes the
    // shot's own values back.
    void TakeCameraIntoShot(int index);
    void StopRebuilding();
    void RebuildStep();
    void CreatePlayRow(int top);
    void PlayStep();
    void StopPlaying();

    std::array<CGdiplusButton*, 3> m_buttons{};
    QListWidget* m_list = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    CLabel* m_nameLabel = nullptr;
    std::array<CSliderChannel*, kChannelCount> m_channels{};
    QTimer* m_pictureTimer = nullptr;
    CGdiplusButton* m_playButton = nullptr;
    QDoubleSpinBox* m_duration = nullptr;
    QTimer* m_playTimer = nullptr;
    int m_previousShot = -1;  // the shot shown before the current one
    bool m_settling = false;  // the transition ended; its queued moves are still to come
    int m_current = -1;
    bool m_busy = false;
    bool m_nameLoading = false;
    int m_rebuildNext = -1;  // the next shot to picture, -1 when no rebuild runs
    const void* m_rebuildScene = nullptr;
};

// The picture of a shot whose file is missing: its number, the seventh FULL.
QImage NumberedShotPicture(int index);
