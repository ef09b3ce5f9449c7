// The Layers page and the preview in the real editor: files dropped on the
// preview, "Draw screen" ending on any change, live pictures that follow
// their layer, failures that are shown, and previews decoded once.
#include "CanvasFixture.h"

#include "formats/SceneFile.h"
#include "lumora/Lang.h"
#include "platform/FileUtil.h"
#include "ui/DlgExist.h"
#include "ui/EditorMessages.h"
#include "ui/MessageBox.h"
#include "ui/PicturePreview.h"
#include "ui/SliderChannel.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

using namespace settest;

namespace {

class LayersCanvasTest : public CanvasTest {
protected:
    void OpenTwoScreens()
    {
        MakeNativeSet(dir().path(), "Set", SideBySide("Screen", "Screen"), {});
        MakeNativeSet(dir().path(), "Other", {TestLayer{"Green", Qt::green}}, {});
        OpenEditor();
        ASSERT_EQ(SendOpen(dir().file("Set"), kSetKindNative), 0);
        ShowPage(1);
    }
    // Answers the next real message box with the button of this text.
    void AnswerNextBox(const QString& button)
    {
        SetMessageBoxHandler({});
        QTimer::singleShot(300, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            m_messages.push_back(box->text().toStdWString());
            for (QAbstractButton* each : box->buttons())
                if (each->text() == button)
                    QTest::mouseClick(each, Qt::LeftButton);
        });
    }
};

}  // namespace

TEST_F(LayersCanvasTest, DroppedPicturesBecomeLayersSetsOpenAndOtherFilesAreRefused)
{
    OpenTwoScreens();
    ShowPage(0);
    WritePicture(dir().file("Desk.PNG"), 32, 18, Qt::green);
    testsupport::WriteFileBytes(dir().file("notes.txt"), "text");
    testsupport::WriteFileBytes(dir().file("fake.png"), "not a picture");
    DropOnPreview({dir().file("Desk.PNG")});
    ASSERT_EQ(scene()->GetLayers().size(), 3u);
    // Above the selected (first) layer, at its picture's size: in sight.
    const LayerInfo& dropped = scene()->GetLayers()[0];
    EXPECT_EQ(GetRecordName(dropped.name), L"Desk");
    obs_video_info video{};
    ASSERT_TRUE(obs_get_video_info(&video));
    EXPECT_NEAR(dropped.zoomX * float(video.base_width), 32.0f, 0.01f);
    EXPECT_NEAR(dropped.zoomY * float(video.base_height), 18.0f, 0.01f);
    EXPECT_TRUE(layers()->isVisible());
    EXPECT_EQ(layers()->CurrentRow(), 0);
    EXPECT_EQ(stack()->count(), 1);
    EXPECT_TRUE(editor()->HasUnsavedChanges());

    DropOnPreview({dir().file("notes.txt"), dir().file("fake.png")});
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(L"notes.txt"), std::wstring::npos);
    EXPECT_NE(m_messages[0].find(L"fake.png"), std::wstring::npos);
    EXPECT_EQ(scene()->GetLayers().size(), 3u);

    // Saved: the dropped layer is in the file.
    SetExistingTargetHandler([](const std::wstring&, std::wstring&) { return true; });
    editor()->RunCommand(ID_SAVE);
    LayerList saved;
    ShotList shots;
    std::vector<uint8_t> thumbnail;
    ASSERT_TRUE(ReadSceneFile(dir().wfile("Set/scene.tvn"), saved, shots, &thumbnail, nullptr, false));
    EXPECT_EQ(saved.size(), 3u);

    // A set dropped over unsaved changes asks first; Cancel keeps the set open.
    layers()->Channel(0)->Slider()->setFocus();
    QTest::keyClick(layers()->Channel(0)->Slider(), Qt::Key_Right);
    EndGesture();
    const QString cancel = QString::fromStdWString(Lang::LoadLangString(904));
    AnswerNextBox(cancel);
    DropOnPreview({dir().file("Other")});
    Pump(500);
    EXPECT_EQ(m_messages.back(), Lang::LoadLangString(901));
    EXPECT_EQ(scene()->GetLayers().size(), 3u);
    AnswerNextBox(QString::fromStdWString(Lang::LoadLangString(903)));  // Don't Save
    DropOnPreview({dir().file("Other/scene.tvn")});
    Pump(500);
    ASSERT_EQ(scene()->GetLayers().size(), 1u);
    EXPECT_EQ(GetRecordName(scene()->GetLayers()[0].name), L"Green");
}

TEST_F(LayersCanvasTest, DrawScreenEndsUnchangedOnAnyChangeAndLivePicturesFollowTheirLayer)
{
    OpenTwoScreens();
    // The right-hand "Screen" shows the pattern; renamed and moved up, it keeps it.
    ASSERT_TRUE(layers()->ShowTestPattern(1));
    EXPECT_FALSE(layers()->HasLiveSource(0));
    layers()->List()->SetCurSel(1);
    Pump(50);
    auto* name = qobject_cast<QLineEdit*>(lumora::FindControl(layers(), 1075));
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Wall"));
    EndGesture();
    EXPECT_TRUE(layers()->HasLiveSource(1));
    Click(layers(), 1136);  // Up
    EXPECT_TRUE(layers()->HasLiveSource(0));
    EXPECT_FALSE(layers()->HasLiveSource(1));
    EXPECT_TRUE(layers()->ShowLayerPicture(0));

    // Draw screen: another row, Ctrl+Z and another set each end it, writing nothing.
    auto drawing = [&] {
        layers()->StartDrawScreen();
        return preview()->IsQuadEditing();
    };
    const int steps = stack()->count();
    ASSERT_TRUE(drawing());
    QTest::mouseClick(layers()->List()->viewport(), Qt::LeftButton, {}, layers()->List()->visualItemRect(
                                                                            layers()->List()->topLevelItem(1)).center());
    EXPECT_FALSE(preview()->IsQuadEditing());
    ASSERT_TRUE(drawing());
    QApplication::setActiveWindow(editor());
    QTest::keyClick(preview(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(preview()->IsQuadEditing());
    EXPECT_EQ(stack()->index(), steps) << "the Ctrl+Z that ends the mode undoes nothing";
    ASSERT_TRUE(drawing());
    m_answers = {IDNO};  // the rename is not kept
    ASSERT_EQ(SendOpen(dir().file("Other"), kSetKindNative), 0);
    EXPECT_FALSE(preview()->IsQuadEditing());
    QTest::keyClick(preview(), Qt::Key_Return);
    EXPECT_TRUE(LayerUvPath(scene()->GetLayers()[0]).empty());
    EXPECT_FALSE(platform::PathExists(dir().wfile("Set/screen-uv1.png")));
    EXPECT_FALSE(platform::PathExists(dir().wfile("Other/screen-uv1.png")));
}

TEST_F(LayersCanvasTest, FailuresAreShownAndPreviewsDecodeOncePerPicture)
{
    OpenTwoScreens();
    // A file gone between choosing and adding.
    m_fileAnswers = {dir().wfile("gone.png")};
    Click(layers(), 1230);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(L"gone.png"), std::wstring::npos);
    EXPECT_EQ(scene()->GetLayers().size(), 2u);

    // A drag over the layer reloads its rows, not its pictures.
    const int decodes = layers()->ImagePreview()->DecodeCount();
    DragOnPreview({480, 540}, {700, 600});
    EXPECT_GT(scene()->GetLayers()[0].x, -0.45f) << "the drag did not move the layer";
    EXPECT_EQ(layers()->ImagePreview()->DecodeCount(), decodes);
    // A new picture in the file is read again.
    Pump(1100);  // a new modification time
    WritePicture(LayerImagePath(scene()->GetLayers()[0]), 48, 27, Qt::yellow);
    layers()->List()->SetCurSel(1);
    Pump(50);
    layers()->List()->SetCurSel(0);
    Pump(50);
    EXPECT_EQ(layers()->ImagePreview()->Caption(), QStringLiteral("48 x 27 x 32"));
}
