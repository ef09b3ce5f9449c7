#pragma once
// The Layers page: the set's layers, and the selected layer's files, flags,
// position, scale, rotation and crop. Every change goes into the layer's
// record and to the engine at once, so the preview follows a dragged slider;
// a layer dragged on the preview reloads its rows.
#include "model/LiveSources.h"
#include "ui/WndEditorBase.h"

#include <array>
#include <memory>
#include <obs.hpp>
#include <vector>

class CGdipButton;
class CGdiplusButton;
class CImageList;
class CLabel;
class CLayerThumbnails;
class CMyGroupBox;
class CMyListCtrl;
class CMyTabCtrl;
class CPicturePreview;
class CSliderChannel;
class QCheckBox;
class QLineEdit;
struct LayerInfo;

class CWndEditorPosition : public CWndEditorBase {
public:
    static constexpr int kChannelCount = 12;
    static constexpr int kLiveSourceButtonId = 1612;
    static constexpr int kDrawScreenButtonId = 1613;

    CWndEditorPosition(QWidget* parent, CDlgEditor* editor);
    ~CWndEditorPosition() override;

    bool OnInitDialog() override;
    void Refresh() override;
    void MarkInvalid(int index) override;
    bool Validate(std::wstring& message, int& index) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;
    bool IsApplyingChange() const override { return m_writing; }

    // A new layer from the picture file, placed just above the selected layer
    // (on top when none is), as large as its picture where that is smaller
    // than the canvas, and selected; message 962 when the set cannot take it.
    bool AddLayerFromFile(const std::wstring& path);
    // The selected layer one place up or down the stack.
    void MoveLayerUp();
    // A layer to another place in the stack (a row dragged in the list, the
    // front or the back); it stays the current one.
    bool MoveLayerTo(int from, int to);
    // A copy of the current layer (its files, place, size, rotation, crop,
    // flags) just above it, named after it, and made the current one.
    bool DuplicateLayer();
    // The current layer's name edited in its row of the list (F2, a
    // double-click, the list's menu).
    void StartRenameInList();
    // The folder of the current layer's picture in the file manager.
    void ShowLayerFolder();
    // Puts one part of the selected layers' placement back as a new layer
    // has it (centred, the whole canvas, no rotation, no crop).
    enum class LayerReset { Position, Size, Rotation, Crop };
    void ResetLayer(LayerReset part);
    // Hides or shows the selected layers, as their check boxes do.
    void SetLayerShown(bool shown);
    // The selected rows, top first; the list selects several with Shift and
    // Ctrl, and the preview selects the same layers.
    std::vector<int> SelectedRows() const;
    // The list selects the layers selected on the preview.
    void FollowEngineSelection();
    // The layers whose items are selected on the preview, top first.
    std::vector<int> LayersSelectedOnPreview();
    // Selects several layers again after the list was filled anew.
    void SelectLayersAgain(const std::vector<int>& rows);
    // Removes the selected layers after asking (question 179); also Delete on the preview.
    void RemoveLayer();

    // A live picture in a replaceable layer's place, through its UV map when
    // it has one; for the preview only, the record keeps the layer's picture.
    bool ShowTestPattern(int row);
    bool ShowMediaFile(int row, const std::wstring& path);
    bool ShowCamera(int row, const CameraDevice& camera);  // message 918 when it cannot open
    bool ShowLayerPicture(int row);
    bool HasLiveSource(int row) const;
    // The set's items were made again (undo, another set): no live picture is shown.
    void ForgetLiveSources();

    // "Draw screen" for a UV-mapped or replaceable layer: four corners on the
    // preview; Enter (or the button again) writes a UV map of the canvas's
    // size for them into the set folder and gives it to the layer, Escape
    // leaves the layer as it was. Any change of the selected row, the list
    // or the set ends the mode as Escape does.
    void StartDrawScreen();
    bool ApplyDrawnScreen();
    void CancelDrawScreen();
    bool IsDrawingScreen() const { return m_drawRow >= 0; }
    void MoveLayerDown();

    int CurrentRow() const { return m_current; }
    CMyListCtrl* List() const { return m_list; }
    CSliderChannel* Channel(int index) const { return m_channels[static_cast<size_t>(index)]; }
    CMyTabCtrl* Tabs() const { return m_tabs; }
    CPicturePreview* ImagePreview() const { return m_imagePreview; }
    CPicturePreview* UvPreview() const { return m_uvPreview; }

protected:
    // Leaving the page leaves the corner mode too, unchanged.
    void hideEvent(QHideEvent* event) override;
    void OnSceneChanging() override;

private:
    void CreateButtons();
    void CreateList();
    void CreateDetails();
    void CreateChannels();
    void ShowTab(int tab);

    void FillList(int row = 0);
    void LoadRow(int row);
    void LoadChannels(const LayerInfo& layer);
    void SetControlsEnabled(bool enabled);
    int LayerOfItem(obs_sceneitem_t* item);
    obs_sceneitem_t* ItemOfLayer(int row);
    void SizeLayerToItsPicture(int row);
    bool HasRow(int row) const;
    LayerInfo* CurrentLayer();
    void RefreshRowImage(int row);
    void RefreshRowPicture(int row);
    void OnThumbnailReady(const QString& path);
    void ConnectListActions();
    void OnListSelectionChanged();
    void ShowListMenu(const QPoint& global);
    void OnRowRenamed(int row, const QString& text);
    std::wstring FreeCopyName(const std::wstring& name) const;

    void OnRowSelected(int row);
    void OnRowChecked(int row, bool checked);
    void OnChannelChanged(int channel, int value);
    void OnNameEdited();
    void OnReplaceableToggled(bool checked);
    void OnItemTransformed(obs_sceneitem_t* item);
    void OnItemSelected(obs_sceneitem_t* item);
    void OnSceneSelection(obs_scene_t* scene);

    void ChooseImage();
    void ChooseUvMap();
    void ClearImage();
    void ClearUvMap();
    void AddLayer();
    void CreateLiveButtons();
    void OnLiveMenu();
    void UpdateLiveButtons();
    bool PlaceLive(int row, std::unique_ptr<CLiveSource> live);
    // A live picture shown in a layer, kept with the item that shows it in
    // the layer's place: the item follows the layer wherever it moves in the
    // stack, whatever its name.
    struct LiveLayer {
        OBSSceneItem item;
        std::unique_ptr<CLiveSource> live;
    };
    // The entry of the live picture the row's layer shows, or -1.
    int FindLive(int row) const;
    // Lets go of the live pictures of layers that are gone.
    void PruneLiveSources();
    void ReportFailure(unsigned message, const std::wstring& path);

    std::array<CGdiplusButton*, 4> m_buttons{};
    CMyListCtrl* m_list = nullptr;
    std::unique_ptr<CImageList> m_images;
    CLayerThumbnails* m_thumbnails = nullptr;
    CMyGroupBox* m_details = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_imageEdit = nullptr;
    QLineEdit* m_uvEdit = nullptr;
    std::array<CGdiplusButton*, 2> m_chooseButtons{};
    std::array<CGdipButton*, 2> m_clearButtons{};
    std::array<CLabel*, 3> m_detailLabels{};
    QCheckBox* m_replaceable = nullptr;
    CPicturePreview* m_imagePreview = nullptr;
    CPicturePreview* m_uvPreview = nullptr;
    CMyTabCtrl* m_tabs = nullptr;
    std::array<CSliderChannel*, kChannelCount> m_channels{};
    int m_rowsTop = 0;

    int m_current = -1;
    bool m_loading = false;
    bool m_writing = false;
    bool m_nameLoading = false;

    CGdiplusButton* m_liveButton = nullptr;
    CGdiplusButton* m_drawButton = nullptr;
    std::vector<LiveLayer> m_live;
    int m_drawRow = -1;
};
