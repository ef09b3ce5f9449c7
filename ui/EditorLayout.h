#pragma once
// Where the main window puts its parts for a client size: pure arithmetic so
// it is the same on every platform.
#include <QRect>

struct EditorLayout {
    QRect topBar;
    QRect tabControl;
    QRect sceneTab;
    QRect splitter;
    int splitterMin = 0;  // drag range; empty or inverted in narrow windows
    int splitterMax = 0;
    QRect panel;
    // The preview rectangle with inclusive right and bottom.
    int previewLeft = 0, previewTop = 0, previewRight = 0, previewBottom = 0;
    QRect imageButtons[6];  // Stretch, Fit, Up, Down, Keep ratio, Snapshot
    QRect historyButtons[2];  // Undo, Redo: after the image buttons
    QRect textButtons[3];   // New, Open, Save
    // Across the bottom of the preview's column, under the preview.
    QRect statusLine;
};

inline constexpr int kStatusLineHeight = 24;

// canvasWidth/Height of 0 mean 1280 x 720. In a narrow window the library
// column gives way (down to 200 pixels) before the preview's column gets
// too narrow for the New, Open and Save row; in a low one the preview starts
// below the button rows.
EditorLayout ComputeEditorLayout(int clientWidth, int clientHeight, int canvasWidth, int canvasHeight);

// The least client area in which nothing overlaps.
QSize EditorMinimumClientSize();

// The button rows for a preview rectangle (after the splitter moved it).
void PlaceEditorButtons(EditorLayout& layout);

inline QRect PreviewGeometry(const EditorLayout& layout)
{
    return QRect(layout.previewLeft, layout.previewTop, layout.previewRight - layout.previewLeft + 1,
                 layout.previewBottom - layout.previewTop + 1);
}
