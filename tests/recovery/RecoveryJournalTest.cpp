// The recovery journal on disk: a state written and read back whole, its
// pictures kept where the user's files still hold them, private to the user,
// replaced atomically, damaged journals refused and set aside; the writer
// thread's throttle, flush and removal.
#include "../model_set/SetTestData.h"
#include "formats/SceneFile.h"
#include "model/RecoveryJournal.h"
#include "model/RecoveryWriter.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace settest;

namespace {

namespace fs = std::filesystem;

class RecoveryJournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WritePicture(m_dir.file("thumb.png"), 32, 18, Qt::yellow);
        TestLayer red{"Red", Qt::red, 64, 36};
        red.x = -0.25f;
        red.crop[0] = 0.125f;
        red.crop[2] = 0.25f;
        red.uvMap = true;
        TestLayer blue{"Blue", Qt::blue, 48, 30};
        blue.rotateZ = 0.125f;
        m_state.layers = MakeLayers(m_dir.path(), {red, blue});
        m_state.layers[1].visible = 0;
        m_state.layers[0].uvEnabled = 0;
        m_state.shots = {MakeShot("Wide", 0.0f, 0.0f, 1.0f, 1.0f), MakeShot("Close", 0.5f, -0.5f, 2.0f, 2.0f, 0.25f)};
        m_state.shotToItem = {{0, 0}, {1, 2}};
        m_state.name = L"Studio ä";
        m_state.thumbnailPath = m_dir.wfile("thumb.png");
        m_state.shotMode = kShotModeLayer;
        m_state.headerValue = 1234;
        m_owner = {m_dir.wfile("Studio"), JournalSetFormat::Native, 4242};
        m_journal = RecoveryJournalFolderFor(m_owner.setFolder);
        m_pictures = m_dir.wfile("restored");
        platform::CreateFolder(m_pictures);
    }

    std::shared_ptr<SetSnapshot> ReadBack(std::wstring* why = nullptr)
    {
        JournalHeader header;
        std::wstring reason;
        auto state = ReadRecoveryJournal(m_journal, m_pictures, header, reason);
        if (why)
            *why = reason;
        return state;
    }
    std::wstring SceneOf(const std::wstring& journal)
    {
        for (const std::wstring& name : platform::ListFolder(journal))
            if (name.rfind(L"state-", 0) == 0)
                return platform::JoinPath(platform::JoinPath(journal, name), L"scene.tvn");
        return {};
    }

    testsupport::FreshUserFolders m_folders;
    testsupport::TempDir m_dir;
    SetSnapshot m_state;
    JournalOwner m_owner;
    std::wstring m_journal;
    std::wstring m_pictures;
};

void ExpectSameRecords(const SetSnapshot& a, const SetSnapshot& b)
{
    ASSERT_EQ(a.layers.size(), b.layers.size());
    for (size_t i = 0; i < a.layers.size(); ++i) {
        const LayerInfo& x = a.layers[i];
        const LayerInfo& y = b.layers[i];
        EXPECT_STREQ(x.name, y.name);
        for (auto field : {&LayerInfo::x, &LayerInfo::y, &LayerInfo::zoomX, &LayerInfo::zoomY, &LayerInfo::rotateZ,
                           &LayerInfo::cropLeft, &LayerInfo::cropTop, &LayerInfo::cropRight, &LayerInfo::cropBottom})
            EXPECT_FLOAT_EQ(x.*field, y.*field) << "layer " << i;
        EXPECT_EQ(x.visible, y.visible) << "layer " << i;
        EXPECT_EQ(x.uvEnabled, y.uvEnabled) << "layer " << i;
        EXPECT_EQ(LayerUvPath(x).empty(), LayerUvPath(y).empty()) << "layer " << i;
    }
    ASSERT_EQ(a.shots.size(), b.shots.size());
    for (size_t i = 0; i < a.shots.size(); ++i) {
        EXPECT_STREQ(a.shots[i].name, b.shots[i].name);
        EXPECT_FLOAT_EQ(a.shots[i].zoomX, b.shots[i].zoomX);
        EXPECT_FLOAT_EQ(a.shots[i].rotateZ, b.shots[i].rotateZ);
    }
    EXPECT_EQ(a.shotToItem, b.shotToItem);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.shotMode, b.shotMode);
    EXPECT_EQ(a.headerValue, b.headerValue);
}

int Mode(const std::wstring& path)
{
    struct stat st {};
    return ::stat(platform::NativePath(path).c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
}

}  // namespace

TEST_F(RecoveryJournalTest, StateComesBackWholeAndNamesItsOwner)
{
    ASSERT_TRUE(WriteRecoveryJournal(m_journal, m_state, m_owner));
    JournalHeader header;
    std::wstring why;
    ASSERT_TRUE(ReadJournalHeader(m_journal, header, why)) << platform::WideToUtf8(why);
    EXPECT_EQ(header.owner.setFolder, m_owner.setFolder);
    EXPECT_EQ(header.owner.format, JournalSetFormat::Native);
    EXPECT_EQ(header.owner.processId, 4242u);
    EXPECT_NEAR(static_cast<double>(header.time), static_cast<double>(std::time(nullptr)), 60.0);
    EXPECT_EQ(header.layerCount, 2);

    auto state = ReadBack(&why);
    ASSERT_TRUE(state) << platform::WideToUtf8(why);
    ExpectSameRecords(m_state, *state);
    // The user's own pictures are still there: the state keeps their paths.
    EXPECT_EQ(LayerImagePath(state->layers[0]), LayerImagePath(m_state.layers[0]));
    EXPECT_EQ(LayerUvPath(state->layers[0]), LayerUvPath(m_state.layers[0]));
    EXPECT_EQ(state->thumbnailPath, m_state.thumbnailPath);
}

TEST_F(RecoveryJournalTest, PicturesGoneOrChangedComeFromTheJournal)
{
    ASSERT_TRUE(WriteRecoveryJournal(m_journal, m_state, m_owner));
    const std::string redPath = LayerImagePath(m_state.layers[0]);
    const std::string bluePath = LayerImagePath(m_state.layers[1]);
    const QImage red(QString::fromStdString(redPath));
    fs::remove(redPath);
    WritePicture(bluePath, 48, 30, Qt::green);  // the file now shows something else
    fs::remove(m_dir.file("thumb.png"));

    auto state = ReadBack();
    ASSERT_TRUE(state);
    const std::wstring restoredRed = platform::AnsiToWide(LayerImagePath(state->layers[0]));
    const std::wstring restoredBlue = platform::AnsiToWide(LayerImagePath(state->layers[1]));
    EXPECT_EQ(platform::FolderPart(restoredRed), m_pictures);
    EXPECT_EQ(platform::FolderPart(restoredBlue), m_pictures);
    EXPECT_EQ(QImage(QString::fromStdWString(restoredRed)).convertToFormat(QImage::Format_ARGB32),
              red.convertToFormat(QImage::Format_ARGB32));
    EXPECT_TRUE(PixelIs(QImage(QString::fromStdWString(restoredBlue)), 2, 2, Qt::blue));
    EXPECT_EQ(platform::FolderPart(state->thumbnailPath), m_pictures);
    EXPECT_TRUE(platform::FileExists(state->thumbnailPath));
}

TEST_F(RecoveryJournalTest, JournalIsPrivateAndReplacedWhole)
{
    ASSERT_TRUE(WriteRecoveryJournal(m_journal, m_state, m_owner));
    m_state.layers[0].x = 0.75f;
    m_state.shots.pop_back();
    m_state.shotToItem.erase(1);
    ASSERT_TRUE(WriteRecoveryJournal(m_journal, m_state, m_owner));

    EXPECT_EQ(Mode(GetRecoveryFolder()), 0700);
    EXPECT_EQ(Mode(m_journal), 0700);
    int generations = 0;
    for (const auto& entry : fs::recursive_directory_iterator(platform::NativePath(m_journal))) {
        const std::wstring path = platform::Utf8ToWide(entry.path().string());
        EXPECT_EQ(Mode(path), entry.is_directory() ? 0700 : 0600) << entry.path();
        generations += entry.is_directory();
    }
    EXPECT_EQ(generations, 1);  // the older state went once the new one was complete
    auto state = ReadBack();
    ASSERT_TRUE(state);
    ExpectSameRecords(m_state, *state);
}

TEST_F(RecoveryJournalTest, SetWithoutLayersOrThumbnailIsKept)
{
    m_state.layers.clear();
    m_state.shots.clear();
    m_state.shotToItem.clear();
    m_state.thumbnailPath = m_dir.wfile("missing.jpg");
    ASSERT_TRUE(WriteRecoveryJournal(m_journal, m_state, m_owner));
    auto state = ReadBack();
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->layers.empty());
    EXPECT_TRUE(state->thumbnailPath.empty());
    EXPECT_EQ(state->name, m_state.name);
}

TEST_F(RecoveryJournalTest, DamagedJournalsAreRefusedAndSetAside)
{
    ASSERT_TRUE(WriteRecoveryJournal(m_journal, m_state, m_owner));
    const std::wstring scene = SceneOf(m_journal);
    const int64_t size = platform::FileSize(scene);
    fs::resize_file(platform::NativePath(scene), static_cast<uintmax_t>(size - 100));
    std::wstring why;
    EXPECT_FALSE(ReadBack(&why));
    EXPECT_NE(why.find(L"cut short"), std::wstring::npos);

    const std::wstring description = platform::JoinPath(m_journal, L"journal.xml");
    const std::string good = platform::ReadWholeFile(description).value();
    const auto expectRefused = [&](const std::string& text) {
        ASSERT_TRUE(platform::WriteFileAtomically(description, text));
        JournalHeader header;
        std::wstring reason;
        EXPECT_FALSE(ReadJournalHeader(m_journal, header, reason)) << text;
        EXPECT_FALSE(reason.empty());
        EXPECT_FALSE(ReadRecoveryJournal(m_journal, m_pictures, header, reason)) << text;
    };
    expectRefused("");
    expectRefused("not xml at all");
    expectRefused(good.substr(0, good.size() / 2));
    std::string huge = good;
    huge.replace(huge.find("LayerCount=\"2\""), 14, "LayerCount=\"2000000000\"");
    expectRefused(huge);
    std::string relative = good;
    relative.replace(relative.find("SetFolder=\"/"), 12, "SetFolder=\"x");
    expectRefused(relative);
    std::string version = good;
    version.replace(version.find("Version=\"1\""), 11, "Version=\"7\"");
    expectRefused(version);

    const std::wstring aside = SetJournalAside(m_journal);
    ASSERT_FALSE(aside.empty());
    EXPECT_FALSE(platform::PathExists(m_journal));
    EXPECT_TRUE(platform::FileExists(platform::JoinPath(aside, L"journal.xml")));
    // The folder kept aside is no journal to offer.
    EXPECT_TRUE(ListRecoveryJournals().empty());
}

TEST_F(RecoveryJournalTest, OnlyJournalsAreEverRemoved)
{
    ASSERT_TRUE(WriteRecoveryJournal(m_journal, m_state, m_owner));
    ASSERT_EQ(ListRecoveryJournals(), std::vector<std::wstring>{m_journal});
    EXPECT_FALSE(RemoveRecoveryJournal(m_dir.wpath()));
    EXPECT_TRUE(platform::FolderExists(m_dir.wpath()));
    EXPECT_TRUE(RemoveRecoveryJournal(m_journal));
    EXPECT_FALSE(platform::PathExists(m_journal));
}

TEST_F(RecoveryJournalTest, WriterThrottlesFlushesAndRemoves)
{
    CRecoveryWriter writer(std::chrono::milliseconds(400));
    for (int i = 0; i < 30; ++i) {
        auto state = std::make_shared<SetSnapshot>();
        for (const LayerInfo& layer : m_state.layers)
            state->layers.push_back(CloneLayer(layer));
        state->layers[0].x = static_cast<float>(i) / 100.0f;
        state->thumbnailPath = m_state.thumbnailPath;
        writer.Post(m_journal, state, m_owner);
    }
    ASSERT_TRUE(writer.Flush());
    // Thirty states in a burst: the first one and the last one are written.
    EXPECT_LE(writer.WriteCount(), 2);
    auto state = ReadBack();
    ASSERT_TRUE(state);
    EXPECT_FLOAT_EQ(state->layers[0].x, 0.29f);

    auto next = std::make_shared<SetSnapshot>();
    next->layers.push_back(CloneLayer(m_state.layers[0]));
    writer.Post(m_journal, next, m_owner);
    writer.Remove(m_journal);  // the waiting state never reaches the disk
    EXPECT_FALSE(platform::PathExists(m_journal));
    writer.Flush();
    EXPECT_FALSE(platform::PathExists(m_journal));
}
