// Exporting a vMix set over a folder that is still being read from, and
// exports that fail part-way.
#include "formats/VmixFormat.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using testsupport::ReadFileBytes;
using testsupport::TempDir;

namespace {

void WritePng(const std::string& path, Qt::GlobalColor colour)
{
    QImage image(16, 9, QImage::Format_ARGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
}

LayerInfo Layer(const std::wstring& name, const std::string& image)
{
    LayerInfo layer = MakeDefaultLayer();
    SetRecordName(layer.name, name);
    SetLayerImagePath(layer, platform::WideToAnsi(platform::Utf8ToWide(image)));
    return layer;
}

// Every entry below the folder with its bytes (folders as "<dir>").
std::vector<std::pair<std::string, std::string>> Contents(const std::string& folder)
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = std::filesystem::relative(entry.path(), folder).string();
        entries.emplace_back(name, entry.is_directory() ? "<dir>" : ReadFileBytes(entry.path().string()));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The set "Studio" in its own folder: sub/desk.png (red) and desk.png (blue).
struct OwnFolderSet {
    OwnFolderSet()
    {
        std::filesystem::create_directories(folder + "/sub");
        WritePng(folder + "/sub/desk.png", Qt::red);
        WritePng(folder + "/desk.png", Qt::blue);
        WritePng(folder + "/thumbnail.jpg", Qt::gray);
        testsupport::WriteFileBytes(folder + "/notes.txt", "the user's own file");
        layers.push_back(Layer(L"Red desk", folder + "/sub/desk.png"));
        layers.push_back(Layer(L"Blue desk", folder + "/desk.png"));
    }
    bool Export()
    {
        return WriteVmixConfig(platform::Utf8ToWide(folder + "/config.xml"), layers, {},
                               {L"Studio", platform::Utf8ToWide(folder + "/thumbnail.jpg")});
    }

    TempDir root;
    std::string folder = root.path() + "/Studio";
    LayerList layers;
};

}  // namespace

TEST(VmixExport, OverwritingTheSetsOwnFolderKeepsEveryLayersPicture)
{
    OwnFolderSet set;
    const std::string red = ReadFileBytes(set.folder + "/sub/desk.png");
    const std::string blue = ReadFileBytes(set.folder + "/desk.png");
    ASSERT_TRUE(set.Export());
    ASSERT_TRUE(set.Export());  // and again, over its own result

    LayerList read;
    ShotList shots;
    ASSERT_TRUE(LoadVmixVirtualSet(platform::Utf8ToWide(set.folder + "/config.xml"), read, shots, true, true));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(ReadFileBytes(LayerImagePath(read[0])), red);
    EXPECT_EQ(ReadFileBytes(LayerImagePath(read[1])), blue);
    // The layers' own files are where they were, with what they held.
    EXPECT_EQ(ReadFileBytes(set.folder + "/desk.png"), blue);
    EXPECT_EQ(ReadFileBytes(set.folder + "/sub/desk.png"), red);
    EXPECT_EQ(ReadFileBytes(set.folder + "/notes.txt"), "the user's own file");
    // Nothing is left beside the set.
    EXPECT_EQ(platform::ListFolder(set.root.wpath()), std::vector<std::wstring>{L"Studio"});
}

TEST(VmixExport, AFileThatCannotBeCopiedFailsTheExportAndLeavesTheOldFolder)
{
    OwnFolderSet set;
    ASSERT_TRUE(set.Export());
    const auto before = Contents(set.folder);
    // A layer whose picture cannot be read (a folder where a file should be).
    std::filesystem::create_directories(set.root.path() + "/broken.png");
    set.layers.push_back(Layer(L"Broken", set.root.path() + "/broken.png"));
    set.layers[0].x = 0.5f;
    errno = 0;
    EXPECT_FALSE(set.Export());
    EXPECT_NE(errno, 0);
    EXPECT_EQ(Contents(set.folder), before);
    EXPECT_EQ(platform::ListFolder(set.root.wpath()), (std::vector<std::wstring>{L"Studio", L"broken.png"}));
}

TEST(VmixExport, AnEmptySetOrAMissingThumbnailWritesNothing)
{
    OwnFolderSet set;
    const auto before = Contents(set.folder);
    LayerList none;
    errno = 0;
    EXPECT_FALSE(WriteVmixConfig(platform::Utf8ToWide(set.folder + "/config.xml"), none, {}, {L"S", L""}));
    EXPECT_EQ(errno, ENODATA);
    EXPECT_FALSE(WriteVmixConfig(platform::Utf8ToWide(set.folder + "/config.xml"), set.layers, {},
                                 {L"S", platform::Utf8ToWide(set.folder + "/none.jpg")}));
    EXPECT_EQ(Contents(set.folder), before);
    EXPECT_EQ(platform::ListFolder(set.root.wpath()), std::vector<std::wstring>{L"Studio"});
}

TEST(VmixExport, NamesWindowsCannotHoldAndControlCharactersAreMadeSafe)
{
    TempDir src, out;
    WritePng(src.file("a:b?.png"), Qt::red);
    WritePng(src.file("CON.png"), Qt::green);
    WritePng(src.file("trailing. "), Qt::blue);
    WritePng(src.file("thumb.jpg"), Qt::gray);
    LayerList layers;
    layers.push_back(Layer(L"Cam\x01 1\t<\"Main\">\n", src.file("a:b?.png")));
    layers.push_back(Layer(L"Con", src.file("CON.png")));
    layers.push_back(Layer(L"Dot", src.file("trailing. ")));
    ASSERT_TRUE(WriteVmixConfig(out.wfile("config.xml"), layers, {}, {L"S", src.wfile("thumb.jpg")}));
    EXPECT_EQ(platform::ListFolder(out.wpath()),
              (std::vector<std::wstring>{L"CON_.png", L"a_b_.png", L"config.xml", L"thumbnail.jpg", L"trailing__"}));
    const std::string xml = ReadFileBytes(out.file("config.xml"));
    EXPECT_NE(xml.find("name=\"Cam&#x1; 1&#x9;&lt;&quot;Main&quot;&gt;&#xA;\""), std::string::npos) << xml;
    for (char c : xml)
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\r' || c == '\n') << int(c);

    LayerList read;
    ShotList shots;
    ASSERT_TRUE(LoadVmixVirtualSet(out.wfile("config.xml"), read, shots, true, true));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(GetRecordName(read[0].name), L"Cam\x01 1\t<\"Main\">\n");
    for (size_t i = 0; i < read.size(); ++i)
        EXPECT_EQ(ReadFileBytes(LayerImagePath(read[i])), ReadFileBytes(LayerImagePath(layers[i])));
}
