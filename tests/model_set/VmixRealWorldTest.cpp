// A vMix set as found on disks and in public repositories opens as vMix
// shows it.
#include "SetTestData.h"

#include "formats/UvMapCheck.h"
#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace settest;

// One test case: the set's 2160p UV map alone takes a while to write.
TEST(VmixRealWorld, EveryInputShotAndUvMapReadsAsWritten)
{
    testsupport::TempDir dir;
    const std::wstring config = MakeRealWorldVmixSet(dir.path(), "Studio");
    LayerList layers;
    ShotList shots;
    std::vector<SetFileNote> notes;
    ASSERT_TRUE(LoadVmixVirtualSet(config, layers, shots, true, true, &notes));

    // Eight inputs, front-most first in the list.
    ASSERT_EQ(layers.size(), 8u);
    const std::vector<std::wstring> names = {L"Foreground",  L"Desk",         L"Camera 1 Overlay", L"Main Screen",
                                             L"Screen Right", L"Screen Left", L"Floor",            L"Background"};
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(GetRecordName(layers[i].name), names[i]);
    const LayerInfo& desk = layers[1];
    EXPECT_EQ(desk.x, 0.577f);
    EXPECT_EQ(desk.y, -0.62f);
    EXPECT_EQ(desk.zoomX, 0.5f);
    EXPECT_EQ(desk.zoomY, 0.37f);
    EXPECT_EQ(desk.zoomZ, 1.0f);
    EXPECT_FLOAT_EQ(desk.rotateZ, -2.5f / 360.0f);
    EXPECT_EQ(LayerImagePath(desk), dir.file("Studio/desk.png"));
    EXPECT_EQ(layers[3].dynamic, 1);  // dynamic="True"
    EXPECT_EQ(layers[2].dynamic, 0);  // an overlay never is
    EXPECT_EQ(LayerImagePath(layers[3]), dir.file("Studio/blank.png"));

    ASSERT_EQ(shots.size(), 3u);
    EXPECT_EQ(shots[1].x, 0.4f);
    EXPECT_EQ(shots[1].zoomX, 1.8f);
    EXPECT_EQ(shots[1].zoomZ, 1.0f);
    EXPECT_FLOAT_EQ(shots[1].rotateZ, 5.0f / 360.0f);
    EXPECT_FLOAT_EQ(shots[2].rotateZ, -3.5f / 360.0f);

    // The one missing file is reported; the layer keeps its picture.
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].layer, L"Camera 1 Overlay");
    EXPECT_EQ(notes[0].name, L"overlay_uv.png");
    EXPECT_EQ(notes[0].problem, SetFileProblem::Missing);
    EXPECT_TRUE(notes[0].uvMap);
    EXPECT_FALSE(testsupport::Exists(dir.file("Studio/thumbnail.jpg")));

    // 16-bit UV maps without a gamma chunk are accepted at every size.
    const struct {
        const char* file;
        unsigned width, height;
    } maps[] = {{"screen_left.png", 1280, 720}, {"screen_right.png", 1920, 1080}, {"screen_main.png", 3840, 2160}};
    for (const auto& map : maps) {
        const std::string path = dir.file(std::string("Studio/") + map.file);
        EXPECT_EQ(testsupport::ReadFileBytes(path).find("gAMA"), std::string::npos) << map.file;
        UvMapImageInfo info;
        EXPECT_TRUE(CheckUvMapImage(platform::Utf8ToWide(path), &info)) << map.file << ": " << info.reason;
        EXPECT_EQ(info.width, map.width);
        EXPECT_EQ(info.height, map.height);
        EXPECT_EQ(info.bitsPerPixel, 64u);
    }
}
