#pragma once
// The real editor with a set open, and the few moves the canvas tests make
// through its widgets.
#include "../model_set/SetTestData.h"
#include "../ui_editor/EditorTestSupport.h"
#include "lumora/ControlId.h"
#include "lumora/MyListCtrl.h"
#include "lumora/MyTabCtrl.h"
#include "model/ItemPlacement.h"
#include "model/MultiViewSource.h"
#include "model/SetContent.h"
#include "preview/ObsQtWindow.h"
#include "ui/EditHistory.h"
#include "ui/WndEditorPosition.h"
#include "ui/WndEditorShot.h"

#include <QAbstractButton>
#include <QMimeData>
#include <QTest>
#include <QUrl>

class CanvasTest : public EditorWindowTest {
protected:
    // Two layers at half size, the first left of centre, the second right.
    static std::vector<settest::TestLayer> SideBySide(const std::string& left, const std::string& right)
    {
        settest::TestLayer a{left, Qt::red, 64, 36};
        a.x = -0.5f;
        a.zoomX = a.zoomY = 0.5f;
        settest::TestLayer b{right, Qt::blue, 64, 36};
        b.x = 0.5f;
        b.zoomX = b.zoomY = 0.5f;
        return {a, b};
    }
    CMultiViewSource* scene() { return editor()->GetScene(); }
    CWndEditorPosition* layers() { return static_cast<CWndEditorPosition*>(editor()->GetPanel(1)); }
    CWndEditorShot* shots() { return static_cast<CWndEditorShot*>(editor()->GetPanel(2)); }
    QUndoStack* stack() { return editor()->GetHistory()->Stack(); }
    ObsQtWindow* preview() { return editor()->GetPreview(); }

    void ShowPage(int page)
    {
        editor()->GetTabControl()->setCurrentIndex(page);
        Pump(100);
    }
    // Lets the gesture's step be taken.
    void EndGesture() { SettleGesture(); }
    void Click(QWidget* page, int id)
    {
        auto* button = qobject_cast<QAbstractButton*>(lumora::FindControl(page, id));
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
        EndGesture();
    }
    // Widget pixels of a canvas point on the preview.
    QPoint OnPreview(float x, float y)
    {
        const double ratio = preview()->devicePixelRatioF();
        return QPoint(int((x * preview()->GetScale() + preview()->GetOffsetX()) / ratio),
                      int((y * preview()->GetScale() + preview()->GetOffsetY()) / ratio));
    }
    // A drag on the preview between two canvas points.
    void DragOnPreview(vec2 from, vec2 to)
    {
        preview()->setFocus();
        Pump(30);
        QTest::mousePress(preview(), Qt::LeftButton, {}, OnPreview(from.x, from.y));
        for (int step = 1; step <= 8; ++step)
            QTest::mouseMove(preview(), OnPreview(from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8));
        QTest::mouseRelease(preview(), Qt::LeftButton, {}, OnPreview(to.x, to.y));
        EndGesture();
    }
    // Files dropped on the preview as the window system delivers them.
    void DropOnPreview(const std::vector<std::string>& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(preview(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(preview(), &drop);
        Pump(100);
    }
    ItemPlacement PlacementOfItem(int item) { return GetItemPlacement(scene()->GetItem(item)); }
};
