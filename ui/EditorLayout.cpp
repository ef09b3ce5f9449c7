#include "EditorLayout.h"

#include <algorithm>

namespace {

constexpr int kTopBarHeight = 50;
constexpr int kPagesWidth = 400;
constexpr int kPagesRight = 404;      // the pages' column from the right edge
constexpr int kSceneTabWidth = 300;
constexpr int kSplitterWidth = 4;
// Below these the library gives way, so the preview's column keeps room for
// the New, Open and Save row.
constexpr int kLeastSceneTabWidth = 200;
constexpr int kLeastPreviewColumn = 340;
// The preview starts below the button rows: text buttons at 60…88, the
// picture buttons 26 pixels above the preview.
constexpr int kPreviewTop = 88;
constexpr int kPreviewTopClearOfButtons = 118;

int SceneTabWidth(int clientWidth)
{
    return std::clamp(clientWidth - kPagesRight - kSplitterWidth - kLeastPreviewColumn, kLeastSceneTabWidth,
                      kSceneTabWidth);
}

struct PreviewFit {
    int pw = 0, ph = 0, x = 0, y = 0;
};

PreviewFit FitPreview(int aw, int ah, int cw, int ch, int top)
{
    PreviewFit fit;
    if (static_cast<long long>(ah) * cw < static_cast<long long>(aw) * ch) {
        fit.ph = ah;
        fit.pw = static_cast<int>(static_cast<long long>(ah) * cw / ch);
    } else {
        fit.pw = aw;
        fit.ph = static_cast<int>(static_cast<long long>(aw) * ch / cw);
    }
    fit.x = (aw - fit.pw) / 2;
    fit.y = (ah - fit.ph) / 2 + top;
    return fit;
}

}  // namespace

QSize EditorMinimumClientSize()
{
    return QSize(kPagesRight + kSplitterWidth + kLeastSceneTabWidth + kLeastPreviewColumn + 16, 600);
}

EditorLayout ComputeEditorLayout(int w, int h, int cw, int ch)
{
    EditorLayout layout;
    const int sw = SceneTabWidth(w);
    layout.topBar = QRect(0, 0, w, kTopBarHeight);
    layout.tabControl = QRect(w - kPagesWidth, kTopBarHeight, kPagesWidth, h - kTopBarHeight);
    layout.sceneTab = QRect(0, kTopBarHeight, sw, h - kTopBarHeight);
    layout.splitter = QRect(sw, kTopBarHeight, kSplitterWidth, h - kTopBarHeight);
    layout.splitterMin = static_cast<int>(w * 0.1);
    layout.splitterMax = w - 1000;
    layout.panel = QRect(w - kPagesRight, 74, kPagesWidth, h - 74);

    if (cw == 0 || ch == 0) {
        cw = 1280;
        ch = 720;
    }
    const int aw = w - sw - kPagesRight;
    PreviewFit fit = FitPreview(aw, h - kPreviewTop, cw, ch, kPreviewTop);
    // A preview that reaches up to the text buttons would put the picture
    // buttons over them: it starts lower then.
    int top = kPreviewTop;
    if (fit.y < kPreviewTopClearOfButtons) {
        top = kPreviewTopClearOfButtons;
        fit = FitPreview(aw, h - top, cw, ch, top);
    }
    // Where the preview would reach down into the status line, it gives up
    // that height.
    if (fit.y + fit.ph > h - kStatusLineHeight)
        fit = FitPreview(aw, h - top - kStatusLineHeight, cw, ch, top);
    layout.statusLine = QRect(sw + kSplitterWidth, h - kStatusLineHeight, aw - kSplitterWidth, kStatusLineHeight);
    layout.previewLeft = fit.x + sw + kSplitterWidth;
    layout.previewTop = fit.y;
    layout.previewRight = fit.x + fit.pw + sw;
    layout.previewBottom = fit.y + fit.ph;
    PlaceEditorButtons(layout);
    return layout;
}

void PlaceEditorButtons(EditorLayout& layout)
{
    const int left = layout.previewLeft;
    const int width = layout.previewRight - layout.previewLeft;
    const int imageX = left + (width - 152) / 2;
    for (int i = 0; i < 6; ++i)
        layout.imageButtons[i] = QRect(imageX + 24 * i, layout.previewTop - 26, 16, 16);
    for (int i = 0; i < 2; ++i)
        layout.historyButtons[i] = QRect(imageX + 24 * 6 + 16 + 24 * i, layout.previewTop - 26, 16, 16);
    const int textX = left + (width - 320) / 2;
    for (int i = 0; i < 3; ++i)
        layout.textButtons[i] = QRect(textX + 110 * i, 60, 100, 28);
}
