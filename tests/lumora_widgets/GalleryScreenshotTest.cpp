// lumora-gallery --screenshot writes a picture of the whole gallery.
#include "support/TestSupport.h"

#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QImage Screenshot(const testsupport::TempDir& dir, const std::string& language)
{
    const std::string out = dir.file("gallery.png");
    const std::string command = "cd '" + dir.path() + "' && QT_QPA_PLATFORM=xcb '" +
                                testsupport::BuiltProgram("lumora-gallery") + "' --language '" + language +
                                "' --screenshot '" + out + "'";
    EXPECT_EQ(testsupport::RunCommand(command), 0);
    return QImage(QString::fromStdString(out));
}

TEST(Gallery, ScreenshotShowsTheFrameAndItsControls)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs a display";
    testsupport::TempDir dir;
    const QImage picture = Screenshot(dir, "English");
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(1280, 800));
    // The title bar in the border colour, the frame background below it.
    EXPECT_EQ(picture.pixelColor(400, 4), QColor(0, 0, 0));
    EXPECT_EQ(picture.pixelColor(700, 780), QColor(0x33, 0x33, 0x33));
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 200);  // drawn controls, not a blank window
}

TEST(Gallery, ScreenshotAlsoInTheChineseDefaults)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs a display";
    testsupport::TempDir dir;
    EXPECT_FALSE(Screenshot(dir, "简体中文").isNull());
}

}  // namespace
