// A replaceable layer's screen drawn from four corners on the preview and a
// live test pattern shown through it, in the real editor on the real engine.
#include "../model_set/SetTestData.h"
#include "../ui_editor/EditorTestSupport.h"
#include "formats/SceneFile.h"
#include "formats/UvMapCheck.h"
#include "lumora/ControlId.h"
#include "lumora/Lang.h"
#include "lumora/MyTabCtrl.h"
#include "model/LiveSources.h"
#include "model/MultiViewSource.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "preview/ObsQtWindow.h"
#include "support/TestSupport.h"
#include "ui/DlgExist.h"
#include "ui/EditorMessages.h"
#include "ui/WndEditorPosition.h"

#include <QAbstractButton>
#include <QTest>

#include <cmath>

using namespace settest;

namespace {

QColor Rgb(uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

int Brightness(const QImage& image, QPointF at)
{
    const QRgb p = image.pixel(int(std::floor(at.x())), int(std::floor(at.y())));
    return qRed(p) + qGreen(p) + qBlue(p);
}

class ScreenTest : public EditorWindowTest {
protected:
    CMultiViewSource* scene() { return editor()->GetScene(); }
    CWndEditorPosition* layers() { return static_cast<CWndEditorPosition*>(editor()->GetPanel(1)); }
    void Click(int id)
    {
        auto* button = qobject_cast<QAbstractButton*>(lumora::FindControl(layers(), id));
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
        Pump(50);
    }
    // Window pixels of a canvas point on the preview.
    QPoint OnPreview(vec2 point)
    {
        ObsQtWindow* preview = editor()->GetPreview();
        const double perPixel = preview->devicePixelRatioF();
        return QPoint(int(std::lround((point.x * preview->GetScale() + preview->GetOffsetX()) / perPixel)),
                      int(std::lround((point.y * preview->GetScale() + preview->GetOffsetY()) / perPixel)));
    }
};

}  // namespace

TEST_F(ScreenTest, DrawnCornersCarryATestPatternAndSavingKeepsTheLayersOwnPicture)
{
    MakeNativeSet(dir().path(), "Set", {TestLayer{"Screen", Qt::green}}, {});
    OpenEditor();
    ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
    editor()->GetTabControl()->setCurrentIndex(1);
    Pump(100);
    QWidget* replaceable = lumora::FindControl(layers(), 1116);
    QTest::mouseClick(replaceable, Qt::LeftButton, {}, QPoint(8, replaceable->height() / 2));
    ASSERT_EQ(scene()->GetLayers()[0].dynamic, 1);

    // Four corners: three placed, the fourth dragged with the mouse.
    ObsQtWindow* preview = editor()->GetPreview();
    Click(CWndEditorPosition::kDrawScreenButtonId);
    ASSERT_TRUE(preview->IsQuadEditing());
    preview->SetQuadPoint(0, {400, 200});
    preview->SetQuadPoint(1, {1500, 260});
    preview->SetQuadPoint(2, {1450, 900});
    preview->SetQuadPoint(3, {560, 760});
    QTest::mousePress(preview, Qt::LeftButton, {}, OnPreview({560, 760}));
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(preview, OnPreview({560.0f - 11.0f * step, 760.0f + 6.0f * step}));
    QTest::mouseRelease(preview, Qt::LeftButton, {}, OnPreview({450, 820}));
    const std::array<vec2, 4> corners = preview->QuadPoints();
    EXPECT_NEAR(corners[3].x, 450.0f, 3.0f / preview->GetScale());
    EXPECT_NEAR(corners[3].y, 820.0f, 3.0f / preview->GetScale());
    Pump(100);
    SaveScreenshot("editor-draw-screen");
    QTest::keyClick(preview, Qt::Key_Return);
    EXPECT_FALSE(preview->IsQuadEditing());

    const LayerInfo& layer = scene()->GetLayers()[0];
    const std::wstring map = platform::AnsiToWide(LayerUvPath(layer));
    EXPECT_EQ(map, dir().wfile("Set/screen-uv1.png"));
    UvMapImageInfo info;
    ASSERT_TRUE(CheckUvMapImage(map, &info)) << info.reason;
    EXPECT_EQ(info.width, 1920u);
    EXPECT_EQ(info.height, 1080u);

    // The test pattern's corners land on the four points: just inside each is
    // the pattern, just outside the black canvas.
    ASSERT_TRUE(layers()->ShowTestPattern(0));
    Pump(300);
    ASSERT_TRUE(scene()->SaveScreenshot(dir().wfile("shown.bmp")));
    const QImage shown(QString::fromStdString(dir().file("shown.bmp")), "BMP");
    ASSERT_EQ(shown.size(), QSize(1920, 1080));
    QPointF centre;
    for (const vec2& c : corners)
        centre += QPointF(c.x, c.y) / 4.0;
    for (size_t i = 0; i < 4; ++i) {
        const QPointF corner(corners[i].x, corners[i].y);
        QPointF inward = centre - corner;
        inward /= std::hypot(inward.x(), inward.y());
        EXPECT_GT(Brightness(shown, corner + inward * 1.5), 150) << "corner " << i << " is not covered";
        EXPECT_LT(Brightness(shown, corner - inward * 1.5), 40) << "corner " << i << " spills over";
    }
    // The left bars at the left corners, the right bars at the right ones.
    auto near = [&](int i, float t) {
        return QPointF(corners[size_t(i)].x, corners[size_t(i)].y) * (1 - t) + centre * t;
    };
    EXPECT_TRUE(PixelIs(shown, int(near(0, 0.1f).x()), int(near(0, 0.1f).y()), Rgb(CLiveSource::kBarColours[0]), 40));
    EXPECT_TRUE(PixelIs(shown, int(near(2, 0.1f).x()), int(near(2, 0.1f).y()), Rgb(CLiveSource::kBarColours[6]), 40));

    // Escape leaves the layer as it was, and writes no map.
    Click(CWndEditorPosition::kDrawScreenButtonId);
    preview->SetQuadPoint(0, {10, 10});
    QTest::keyClick(preview, Qt::Key_Escape);
    EXPECT_FALSE(preview->IsQuadEditing());
    EXPECT_EQ(platform::AnsiToWide(LayerUvPath(scene()->GetLayers()[0])), map);
    EXPECT_FALSE(platform::PathExists(dir().wfile("Set/screen-uv2.png")));

    // A camera that is not there: a message, the pattern stays.
    m_messages.clear();
    EXPECT_FALSE(layers()->ShowCamera(0, CameraDevice{"Gone", dir().file("no-video0")}));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(L"no-video0"), std::wstring::npos);
    EXPECT_TRUE(layers()->HasLiveSource(0));

    // Saved while the pattern shows: the file holds the layer's own picture and the drawn map.
    SetExistingTargetHandler([](const std::wstring&, std::wstring&) { return true; });
    m_messages.clear();
    editor()->RunCommand(ID_SAVE);
    Pump(100);
    LayerList saved;
    ShotList shots;
    std::vector<uint8_t> thumbnail;
    ASSERT_TRUE(ReadSceneFile(dir().wfile("Set/scene.tvn"), saved, shots, &thumbnail, nullptr, false));
    ASSERT_EQ(saved.size(), 1u);
    const std::string picture = testsupport::ReadFileBytes(dir().file("sources/Screen.png"));
    EXPECT_EQ(std::string(saved[0].imagePath, size_t(saved[0].imagePathSize)), picture);
    EXPECT_EQ(std::string(saved[0].uvPath, size_t(saved[0].uvPathSize)), testsupport::ReadFileBytes(platform::WideToUtf8(map)));

    // Back to the layer's picture.
    EXPECT_TRUE(layers()->ShowLayerPicture(0));
    EXPECT_FALSE(layers()->HasLiveSource(0));
}
