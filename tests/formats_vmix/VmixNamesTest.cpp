// Names from config.xml as machines in the wild write them, and names that
// would reach outside the set folder.
#include "formats/SceneFile.h"
#include "formats/SetFileNames.h"
#include "formats/VmixFormat.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>

using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

// A set folder "Studio" with img/desk.png, logo.png and the given config.
struct NamedSet {
    explicit NamedSet(const std::string& inputs)
    {
        std::filesystem::create_directories(folder() + "/img");
        WriteFileBytes(folder() + "/img/desk.png", "desk");
        WriteFileBytes(folder() + "/logo.png", "logo");
        WriteFileBytes(folder() + "/config.xml", "<virtualSet>\n" + inputs + "</virtualSet>\n");
        ok = LoadVmixVirtualSet(platform::Utf8ToWide(folder() + "/config.xml"), layers, shots, true, true, &notes);
    }
    std::string folder() const { return root.path() + "/Studio"; }
    std::string ImageOf(size_t layer) const { return LayerImagePath(layers[layer]); }

    TempDir root;
    LayerList layers;
    ShotList shots;
    std::vector<SetFileNote> notes;
    bool ok = false;
};

std::string Input(const std::string& text, const std::string& attributes = "")
{
    return "  <input name=\"L\" " + attributes + ">" + text + "</input>\n";
}

}  // namespace

TEST(VmixNames, WindowsPathsBackslashesBlanksAndCaseFindTheFileInsideTheSet)
{
    for (const std::string& text :
         {std::string("C:\\Users\\op\\Sets\\Studio\\img\\desk.png"), std::string("img\\desk.png"), std::string("\n      img/desk.png  \r\n  "), std::string("IMG\\Desk.PNG"),
          std::string("\\\\server\\share\\studio\\IMG\\desk.png"), std::string("./img/../img/desk.png")}) {
        NamedSet set(Input(text));
        ASSERT_TRUE(set.ok) << text;
        ASSERT_EQ(set.layers.size(), 1u);
        EXPECT_EQ(set.ImageOf(0), set.folder() + "/img/desk.png") << text;
        EXPECT_TRUE(set.notes.empty()) << text;
    }
    // A Windows path that does not go through the set folder is looked up by its file name.
    NamedSet byName(Input("C:\\Program Files\\vMix\\VirtualSets\\Other\\logo.png", "uvmap=\" C:\\x\\LOGO.png \""));
    EXPECT_EQ(byName.ImageOf(0), byName.folder() + "/logo.png");
    EXPECT_EQ(LayerUvPath(byName.layers[0]), byName.folder() + "/logo.png");
}

TEST(VmixNames, NamesLeadingOutOfTheSetFolderAreRefusedAndReported)
{
    TempDir outside;
    WriteFileBytes(outside.file("secret.txt"), "private");
    NamedSet set(Input("../../../../../../../../etc/passwd") + Input("img/../../config.xml", "uvmap=\"..\\..\\x.png\"") +
                 Input("logo.png"));
    ASSERT_TRUE(set.ok);
    // The layers stay, without the refused files, so the user sees what the set holds.
    ASSERT_EQ(set.layers.size(), 3u);
    EXPECT_EQ(set.ImageOf(0), set.folder() + "/logo.png");
    EXPECT_EQ(set.layers[1].imagePath, nullptr);
    EXPECT_EQ(set.layers[1].uvPath, nullptr);
    EXPECT_EQ(set.layers[2].imagePath, nullptr);
    ASSERT_EQ(set.notes.size(), 3u);
    EXPECT_EQ(set.notes[0].name, L"../../../../../../../../etc/passwd");
    EXPECT_FALSE(set.notes[0].uvMap);
    EXPECT_TRUE(set.notes[2].uvMap);
    for (const SetFileNote& note : set.notes)
        EXPECT_EQ(note.problem, SetFileProblem::Outside);

    // A link inside the set folder that points outside it is refused too.
    std::filesystem::create_symlink(outside.file("secret.txt"), set.folder() + "/linked.png");
    SetFileLookup linked = FindSetFile(platform::Utf8ToWide(set.folder()), L"linked.png");
    EXPECT_EQ(linked.path, L"");
    EXPECT_EQ(linked.problem, SetFileProblem::Outside);
    // An absolute path outside is only looked up by its name inside.
    SetFileLookup absolute = FindSetFile(platform::Utf8ToWide(set.folder()), platform::Utf8ToWide(outside.file("secret.txt")));
    EXPECT_EQ(absolute.path, platform::Utf8ToWide(set.folder() + "/secret.txt"));
    EXPECT_EQ(absolute.problem, SetFileProblem::Missing);
}

TEST(VmixNames, ARefusedFileIsNeverEmbeddedInANativeSave)
{
    TempDir outside;
    const std::string secret = "PRIVATE-KEY-0123456789";
    WriteFileBytes(outside.file("secret.png"), secret);
    const std::string relative = "../" + std::filesystem::path(outside.path()).filename().string() + "/secret.png";
    NamedSet set(Input("logo.png", "uvmap=\"../../" + relative + "\"") + Input("../" + relative));
    ASSERT_TRUE(set.ok);
    QImage thumbnail(8, 8, QImage::Format_RGB32);
    thumbnail.fill(Qt::gray);
    ASSERT_TRUE(thumbnail.save(QString::fromStdString(set.folder() + "/thumbnail.jpg"), "JPG"));
    const std::wstring scene = platform::Utf8ToWide(set.root.file("scene.tvn"));
    ASSERT_TRUE(WriteSceneFile(scene, set.layers, set.shots, platform::Utf8ToWide(set.folder() + "/thumbnail.jpg")));
    EXPECT_EQ(testsupport::ReadFileBytes(set.root.file("scene.tvn")).find(secret), std::string::npos);
}

TEST(VmixNames, DynamicWithoutCaseAndNumbersWithAPlusSign)
{
    NamedSet set(Input("logo.png", "dynamic=\" True \" x=\"+0.577\" y=\"+.25\" zoomX=\"+1.5e-1\""));
    ASSERT_TRUE(set.ok);
    EXPECT_EQ(set.layers[0].dynamic, 1);
    EXPECT_EQ(set.layers[0].x, 0.577f);
    EXPECT_EQ(set.layers[0].y, 0.25f);
    EXPECT_EQ(set.layers[0].zoomX, 0.15f);
}

TEST(VmixNames, ValuesNoPlacementCanUseAreBroughtWithinReach)
{
    NamedSet set(Input("logo.png", "x=\"1e30\" y=\"-1e30\" zoomX=\"1e30\" zoomY=\"3e38\" cropping=\"nan,-5,1e30,0.5\"") +
                 "  <zoom name=\"S\" x=\"-1e300\" zoomX=\"1e30\" rotateZ=\"1e39\"/>\n");
    ASSERT_TRUE(set.ok);
    const LayerInfo& layer = set.layers[0];
    EXPECT_EQ(layer.x, kMaxPlacementValue);
    EXPECT_EQ(layer.y, -kMaxPlacementValue);
    EXPECT_EQ(layer.zoomX, kMaxPlacementValue);
    EXPECT_EQ(layer.zoomY, kMaxPlacementValue);
    // Crop edges within 0 ... 1: left 0, top 0, right edge 1, bottom edge 0.5.
    EXPECT_EQ(layer.cropLeft, 0.0f);
    EXPECT_EQ(layer.cropTop, 0.0f);
    EXPECT_EQ(layer.cropRight, 1.0f);
    EXPECT_EQ(layer.cropBottom, 0.5f);
    ASSERT_EQ(set.shots.size(), 1u);
    EXPECT_EQ(set.shots[0].x, -kMaxPlacementValue);
    EXPECT_EQ(set.shots[0].zoomX, kMaxPlacementValue);
    EXPECT_EQ(set.shots[0].rotateZ, kMaxPlacementValue);
}

TEST(VmixNames, ExportedFileNamesAreOnesWindowsCanHold)
{
    EXPECT_EQ(WindowsSafeFileName(L"a:b?c\"d|e*f<g>h\\i.png"), L"a_b_c_d_e_f_g_h_i.png");
    EXPECT_EQ(WindowsSafeFileName(L"desk. "), L"desk__");
    EXPECT_EQ(WindowsSafeFileName(L"tab\there.png"), L"tab_here.png");
    EXPECT_EQ(WindowsSafeFileName(L"con.png"), L"con_.png");
    EXPECT_EQ(WindowsSafeFileName(L"LPT1"), L"LPT1_");
    EXPECT_EQ(WindowsSafeFileName(L"COM10.png"), L"COM10.png");
    EXPECT_EQ(WindowsSafeFileName(L"Bühne 演播室.png"), L"Bühne 演播室.png");
}
