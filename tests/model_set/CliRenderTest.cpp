// kelvane-cli render: a set's look checked without the editor, at sample
// pixels of the written bitmap (the command starts its own engine).
#include "SetEngineFixture.h"

#include "support/TestSupport.h"

using namespace settest;

namespace {

std::string Cli() { return testsupport::BuiltProgram("kelvane-cli"); }

int Render(const std::string& arguments, std::string* output = nullptr)
{
    return testsupport::RunCommand(Cli() + " render " + arguments + " 2>&1", output);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

const ShotList kShots = {MakeShot("Wide", 0, 0, 1, 1), MakeShot("Close", 0.5f, 0, 2, 2)};

// The three layers at rest: red in front of green in front of blue.
void ExpectThreeLayers(const QImage& picture)
{
    ASSERT_EQ(picture.size(), QSize(1920, 1080));
    EXPECT_TRUE(PixelIs(picture, 300, 200, Qt::red));
    EXPECT_TRUE(PixelIs(picture, 600, 350, Qt::red));  // red over green
    EXPECT_TRUE(PixelIs(picture, 960, 540, Qt::green));
    EXPECT_TRUE(PixelIs(picture, 1400, 800, Qt::green));
    EXPECT_TRUE(PixelIs(picture, 100, 1000, Qt::blue));
    EXPECT_TRUE(PixelIs(picture, 1800, 100, Qt::blue));
}

// Shot "Close": the set twice as large, centred on the right third.
void ExpectCloseShot(const QImage& picture)
{
    EXPECT_TRUE(PixelIs(picture, 100, 100, Qt::red));
    EXPECT_TRUE(PixelIs(picture, 100, 1000, Qt::blue));
    EXPECT_TRUE(PixelIs(picture, 1440, 540, Qt::green));
}

}  // namespace

TEST(CliRender, ANativeSetShowsItsLayersInOrderAndPlace)
{
    testsupport::TempDir dir;
    MakeNativeSet(dir.path(), "Studio", ThreeLayers(), kShots);
    const std::string out = dir.file("out.bmp");
    ASSERT_EQ(Render("'" + dir.file("Studio") + "' '" + out + "'"), 0);
    ExpectThreeLayers(QImage(QString::fromStdString(out)));

    // A set file named relative to the current folder opens the same set.
    ASSERT_EQ(testsupport::RunCommand("cd '" + dir.path() + "' && " + Cli() + " render Studio/scene.tvn out.bmp --shot 1"), 0);
    ExpectCloseShot(QImage(QString::fromStdString(out)));
}

TEST(CliRender, AVmixSetShowsTheSamePicture)
{
    testsupport::TempDir dir;
    MakeVmixSet(dir.path(), "Studio", ThreeLayers(), kShots);
    const std::string out = dir.file("out.bmp");
    ASSERT_EQ(Render("'" + dir.file("Studio") + "' '" + out + "' --shot 1"), 0);
    ExpectCloseShot(QImage(QString::fromStdString(out)));
    const std::vector<std::string> inFolder = FolderTree(dir.file("Studio"));
    ASSERT_EQ(Render("'" + dir.file("Studio/config.xml") + "' '" + out + "'"), 0);
    ExpectThreeLayers(QImage(QString::fromStdString(out)));
    EXPECT_EQ(FolderTree(dir.file("Studio")), inFolder);  // a vMix set is only read
}

TEST(CliRender, FailuresExitWithTwoAndOneReason)
{
    testsupport::TempDir dir;
    MakeNativeSet(dir.path(), "Studio", ThreeLayers(), kShots);
    const std::string out = dir.file("out.bmp");
    const std::string set = "'" + dir.file("Studio") + "' ";
    for (const std::string& arguments :
         {std::string("'") + dir.file("nothing") + "' '" + out + "'", set, set + "'" + out + "' --shot x",
          set + "'" + out + "' --shot -1", set + "'" + out + "' --shot"}) {
        std::string output;
        EXPECT_EQ(Render(arguments, &output), 2) << arguments;
        const std::vector<std::string> lines = Lines(output);
        ASSERT_EQ(lines.size(), 1u) << output;
        EXPECT_EQ(lines[0].rfind("kelvane-cli: ", 0), 0u) << output;
    }

    // Found out once the set is open: the reason is the last line, after the engine's log.
    std::string output;
    EXPECT_EQ(Render(set + "'" + out + "' --shot 2", &output), 2);
    ASSERT_FALSE(Lines(output).empty());
    EXPECT_EQ(Lines(output).back(), "kelvane-cli: the set has no shot 2 (it has 2)");
    EXPECT_EQ(Render(set + "'" + dir.file("no/such/folder/out.bmp") + "'", &output), 2);
    EXPECT_FALSE(testsupport::Exists(out));
}

// A set as found in the wild shows its layers where vMix places them: the
// desk right of centre below the middle, the floor below, the background
// around; the live screens hold their transparent placeholder.
TEST(CliRender, ARealWorldVmixSetShowsItsLayersInPlace)
{
    testsupport::TempDir dir;
    MakeRealWorldVmixSet(dir.path(), "Studio");
    const std::string out = dir.file("out.bmp");
    ASSERT_EQ(Render("'" + dir.file("Studio") + "' '" + out + "'"), 0);
    const QImage picture(QString::fromStdString(out));
    ASSERT_EQ(picture.size(), QSize(1920, 1080));
    EXPECT_TRUE(PixelIs(picture, 1514, 875, Qt::red, 12));       // desk at x +0.577, y -0.62
    EXPECT_TRUE(PixelIs(picture, 1100, 875, Qt::red, 12));
    EXPECT_TRUE(PixelIs(picture, 100, 800, Qt::darkGray, 12));   // floor
    EXPECT_TRUE(PixelIs(picture, 100, 100, Qt::darkBlue, 12));   // background
    EXPECT_TRUE(PixelIs(picture, 380, 240, Qt::darkBlue, 12));   // through the left screen's blank picture
}
