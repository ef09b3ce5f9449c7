// Where a native set's pictures are unpacked when it opens: its own folder,
// or the user's cache folder when its own cannot be written, and never a
// picture left there by an earlier unpack.
#include "SetTestData.h"

#include "model/NativeSetLoader.h"
#include "model/SetCache.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace settest;
using testsupport::ReadFileBytes;

namespace {

class NativeSetLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
            m_scene = MakeNativeSet(m_dir.path(), "Studio", {TestLayer{"Red", Qt::red}, TestLayer{"Blue", Qt::blue, 32, 18}},
                                {MakeShot("Wide", 0, 0, 1, 1)});
    }
    std::string Folder() const { return m_dir.file("Studio"); }
    bool Load(NativeSetLoad& load)
    {
        SceneFileHeader header;
        return LoadNativeSet(m_scene, m_layers, m_shots, header, true, true, load);
    }
    // The bytes each loaded layer shows, front-most first.
    std::vector<std::string> Pictures() const
    {
        std::vector<std::string> pictures;
        for (const LayerInfo& layer : m_layers)
            pictures.push_back(ReadFileBytes(LayerImagePath(layer)));
        return pictures;
    }

    testsupport::FreshUserFolders m_user;
    testsupport::TempDir m_dir;
    std::wstring m_scene;
    LayerList m_layers;
    ShotList m_shots;
};

}  // namespace

TEST_F(NativeSetLoader, AWritableSetFolderGetsThePictures)
{
    NativeSetLoad load;
    ASSERT_TRUE(Load(load));
    EXPECT_EQ(load.folder, platform::Utf8ToWide(Folder()));
    ASSERT_EQ(m_layers.size(), 2u);
    EXPECT_EQ(LayerImagePath(m_layers[0]), Folder() + "/s1.png");
    EXPECT_EQ(ReadFileBytes(LayerImagePath(m_layers[0])), ReadFileBytes(m_dir.file("sources/Red.png")));
}

TEST_F(NativeSetLoader, AFolderThatCannotTakeThePicturesUnpacksIntoTheCache)
{
    // An earlier unpack left pictures that cannot be replaced: "s2.png" is a
    // folder now, and "s1.png" holds another set's picture.
    testsupport::WriteFileBytes(Folder() + "/s1.png", "stale picture");
    std::filesystem::create_directories(Folder() + "/s2.png/in the way");
    NativeSetLoad load;
    ASSERT_TRUE(Load(load));
    const std::wstring cache = GetSetCacheFolder(platform::Utf8ToWide(Folder()));
    EXPECT_EQ(load.folder, cache);
    ASSERT_EQ(m_layers.size(), 2u);
    for (const LayerInfo& layer : m_layers)
        EXPECT_EQ(LayerImagePath(layer).rfind(platform::WideToUtf8(cache) + "/", 0), 0u) << LayerImagePath(layer);
    EXPECT_EQ(Pictures(), (std::vector<std::string>{ReadFileBytes(m_dir.file("sources/Red.png")),
                                                     ReadFileBytes(m_dir.file("sources/Blue.png"))}));
    EXPECT_TRUE(testsupport::Exists(platform::WideToUtf8(cache) + "/thumbnail.jpg"));
    EXPECT_EQ(m_shots.size(), 1u);
}

TEST_F(NativeSetLoader, WhenNeitherFolderTakesThePicturesTheLoadSaysSo)
{
    std::filesystem::create_directories(Folder() + "/thumbnail.jpg/in the way");
    // The user data folder cannot hold the cache: a file stands in its place.
    std::filesystem::create_directories(m_user.dataHome() + "/Kelvane");
    testsupport::WriteFileBytes(m_user.dataHome() + "/Kelvane/Cache", "not a folder");
    NativeSetLoad load;
    m_layers.push_back(MakeDefaultLayer());
    EXPECT_FALSE(Load(load));
    EXPECT_TRUE(m_layers.empty());
    EXPECT_EQ(load.error, EEXIST);
}

// The folder of a shared sets library that the user may read but not write.
TEST_F(NativeSetLoader, AReadOnlySetFolderOfAnotherUserUnpacksIntoTheCache)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    testsupport::WriteFileBytes(Folder() + "/s1.png", "stale picture");
    // Everything the other user needs to reach, readable; the set folder not writable.
    for (const std::string& path : {m_dir.path(), Folder(), m_user.root().path(), m_user.dataHome()})
        ::chmod(path.c_str(), 0755);
    ::chmod(Folder().c_str(), 0555);
    std::filesystem::create_directories(m_user.dataHome());
    EXPECT_EXIT(
        {
            if (::chown(m_user.dataHome().c_str(), 65534, 65534) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                std::_Exit(3);
            NativeSetLoad load;
            if (!Load(load) || load.folder == platform::Utf8ToWide(Folder()))
                std::_Exit(1);
            std::_Exit(Pictures()[0] == ReadFileBytes(m_dir.file("sources/Red.png")) ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadFileBytes(Folder() + "/s1.png"), "stale picture");
}
