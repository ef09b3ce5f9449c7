#include "EditorLayout.h"

EditorLayout ComputeEditorLayout(int w, int h, int cw, int ch)
{
    EditorLayout layout;
    layout.topBar = QRect(0, 0, w, 50);
    layout.tabControl = QRect(w - 400, 50, 400, h - 50);
    layout.sceneTab = QRect(0, 50, 300, h - 50);
    layout.splitter = QRect(300, 50, 4, h - 50);
    layout.splitterMin = static_cast<int>(w * 0.1);
    layout.splitterMax = w - 1000;
    layout.panel = QRect(w - 404, 74, 400, h - 74);

    if (cw == 0 || ch == 0) {
        cw = 1280;
        ch = 720;
    }
    const int ah = h - 88;
    const int aw = w - 704;
    int pw = 0;
    int ph = 0;
    if (static_cast<long long>(ah) * cw < static_cast<long long>(aw) * ch) {
        ph = ah;
        pw = static_cast<int>(static_cast<long long>(ah) * cw / ch);
    } else {
        pw = aw;
        ph = static_cast<int>(static_cast<long long>(aw) * ch / cw);
    }
    const int x = (aw - pw) / 2;
    const int y = (ah - ph) / 2 + 88;
    layout.previewLeft = x + 304;
    layout.previewTop = y;
    layout.previewRight = x + pw + 300;
    layout.previewBottom = y + ph;
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
