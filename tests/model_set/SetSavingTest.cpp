// The save flow shared by both set formats, on real folders: target folder,
// existing-target prompt, failure texts and the recent-set list.
#include "model/SetSaving.h"

#include "app/ResourceTexts.h"
#include "app/SettingsFiles.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

class SetSaving : public ::testing::Test {
protected:
    void SetUp() override { RegisterResourceStrings(); }

    // A writer that records where it wrote and writes a small file there.
    SetFileWriter RecordingWriter()
    {
        return [this](const std::wstring& file, const std::wstring& name) {
            m_written.push_back(file);
            m_names.push_back(name);
            return platform::WriteFileAtomically(file, "set");
        };
    }
    SaveCallbacks Owner(std::function<bool(const std::wstring&, std::wstring&)> prompt = {})
    {
        SaveCallbacks owner;
        owner.existingTarget = std::move(prompt);
        owner.showMessage = [this](const std::wstring& text) { m_shown.push_back(text); };
        return owner;
    }

    testsupport::FreshUserFolders m_user;
    testsupport::TempDir m_dir;
    std::vector<std::wstring> m_written, m_names, m_shown;
};

}  // namespace

TEST_F(SetSaving, ANewSetGetsItsFolderAndJoinsTheRecentList)
{
    std::wstring name = L"Studio";
    ASSERT_EQ(SaveSetFolder(m_dir.wpath(), name, L"scene.tvn", RecordingWriter(), Owner()), kSaveDone);
    const std::wstring folder = m_dir.wfile("Studio");
    EXPECT_EQ(m_written, std::vector<std::wstring>{folder + L"/scene.tvn"});
    EXPECT_TRUE(m_shown.empty());

    CRecentSetList fromDisk;
    ASSERT_TRUE(fromDisk.LoadRecentList());
    ASSERT_EQ(fromDisk.Entries().size(), 1u);
    EXPECT_EQ(fromDisk.Entries()[0].path, folder);
    EXPECT_GT(fromDisk.Entries()[0].time, 1600000000);
}

TEST_F(SetSaving, CancelInThePromptWritesNothing)
{
    std::filesystem::create_directories(m_dir.file("Studio"));
    testsupport::WriteFileBytes(m_dir.file("Studio/scene.tvn"), "old set");
    std::wstring askedParent, askedName;
    std::wstring name = L"Studio";
    const int32_t result =
        SaveSetFolder(m_dir.wpath(), name, L"scene.tvn", RecordingWriter(), Owner([&](const std::wstring& parent, std::wstring& n) {
            askedParent = parent;
            askedName = n;
            return false;
        }));
    EXPECT_EQ(result, kSaveCancelled);
    EXPECT_EQ(askedParent, m_dir.wpath());
    EXPECT_EQ(askedName, L"Studio");
    EXPECT_TRUE(m_written.empty());
    EXPECT_EQ(testsupport::ReadFileBytes(m_dir.file("Studio/scene.tvn")), "old set");
    EXPECT_FALSE(testsupport::Exists(m_user.dataHome() + "/Kelvane/workspace.xml"));

    // Without a prompt an existing set is never overwritten.
    EXPECT_EQ(SaveSetFolder(m_dir.wpath(), name, L"scene.tvn", RecordingWriter(), SaveCallbacks{}), kSaveCancelled);
    EXPECT_TRUE(m_written.empty());
}

// Saving a set where it was opened writes its file in place without a
// question; any other existing folder still asks.
TEST_F(SetSaving, TheSetsOwnFolderIsWrittenInPlaceWithoutAQuestion)
{
    std::filesystem::create_directories(m_dir.file("Studio"));
    testsupport::WriteFileBytes(m_dir.file("Studio/scene.tvn"), "old set");
    int asked = 0;
    auto prompt = [&](const std::wstring&, std::wstring&) {
        ++asked;
        return false;
    };
    std::wstring name = L"Studio";
    ASSERT_EQ(SaveSetFolder(m_dir.wpath(), name, L"scene.tvn", RecordingWriter(), Owner(prompt), m_dir.wfile("Studio")),
              kSaveDone);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(name, L"Studio");
    EXPECT_EQ(testsupport::ReadFileBytes(m_dir.file("Studio/scene.tvn")), "set");

    // The set renamed to the name of another existing set: that one is asked about.
    std::filesystem::create_directories(m_dir.file("Other"));
    name = L"Other";
    EXPECT_EQ(SaveSetFolder(m_dir.wpath(), name, L"scene.tvn", RecordingWriter(), Owner(prompt), m_dir.wfile("Studio")),
              kSaveCancelled);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(testsupport::Exists(m_dir.file("Other/scene.tvn")));
}

TEST_F(SetSaving, AFreeNameIsOfferedBesideAnExistingSet)
{
    EXPECT_EQ(FreeFolderName(m_dir.wpath(), L"Studio"), L"Studio");
    std::filesystem::create_directories(m_dir.file("Studio"));
    EXPECT_EQ(FreeFolderName(m_dir.wpath(), L"Studio"), L"Studio 2");
    std::filesystem::create_directories(m_dir.file("Studio 2"));
    testsupport::WriteFileBytes(m_dir.file("Studio 3"), "a file takes the name too");
    EXPECT_EQ(FreeFolderName(m_dir.wpath(), L"Studio"), L"Studio 4");
}

TEST_F(SetSaving, ThePromptsNameOrOverwriteDecidesWhereTheSetGoes)
{
    std::filesystem::create_directories(m_dir.file("Studio"));
    std::wstring name = L"Studio";
    auto rename = [&](const std::wstring& parent, std::wstring& n) {
        n = L"Studio 2";
        return platform::CreateFolder(parent + L"/" + n);  // the dialog makes the folder
    };
    ASSERT_EQ(SaveSetFolder(m_dir.wpath(), name, L"config.xml", RecordingWriter(), Owner(rename)), kSaveDone);
    EXPECT_EQ(name, L"Studio 2");
    EXPECT_EQ(m_written.back(), m_dir.wfile("Studio 2") + L"/config.xml");
    EXPECT_EQ(m_names.back(), L"Studio 2");

    name = L"Studio";
    auto overwrite = [](const std::wstring&, std::wstring&) { return true; };
    ASSERT_EQ(SaveSetFolder(m_dir.wpath(), name, L"config.xml", RecordingWriter(), Owner(overwrite)), kSaveDone);
    EXPECT_EQ(m_written.back(), m_dir.wfile("Studio") + L"/config.xml");

    name = L"Studio";
    auto escape = [](const std::wstring&, std::wstring& n) {
        n = L"../elsewhere";
        return true;
    };
    EXPECT_EQ(SaveSetFolder(m_dir.wpath(), name, L"config.xml", RecordingWriter(), Owner(escape)), kSaveFailed);
    EXPECT_EQ(m_written.size(), 2u);
    EXPECT_FALSE(testsupport::Exists(m_dir.file("../elsewhere")));
}

TEST_F(SetSaving, FailuresShowTheSystemTextAndLeaveNoNewFolder)
{
    std::wstring name = L"Studio";
    EXPECT_EQ(SaveSetFolder(m_dir.wfile("missing"), name, L"scene.tvn", RecordingWriter(), Owner()), kSaveFailed);
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0], platform::SystemErrorText(ENOENT));
    EXPECT_TRUE(m_written.empty());

    auto denied = [](const std::wstring&, const std::wstring&) {
        errno = EACCES;
        return false;
    };
    EXPECT_EQ(SaveSetFolder(m_dir.wpath(), name, L"scene.tvn", denied, Owner()), kSaveFailed);
    ASSERT_EQ(m_shown.size(), 2u);
    EXPECT_EQ(m_shown[1], platform::SystemErrorText(EACCES) + L"\n" + LoadResourceString(420));
    EXPECT_FALSE(testsupport::Exists(m_dir.file("Studio")));  // made by the save, removed again
    EXPECT_FALSE(testsupport::Exists(m_user.dataHome() + "/Kelvane/workspace.xml"));

    name.clear();
    EXPECT_EQ(SaveSetFolder(m_dir.wpath(), name, L"scene.tvn", RecordingWriter(), Owner()), kSaveFailed);
    name = L"a/b";
    EXPECT_EQ(SaveSetFolder(m_dir.wpath(), name, L"scene.tvn", RecordingWriter(), Owner()), kSaveFailed);
    EXPECT_TRUE(m_written.empty());
}

TEST(SystemErrorMessageText, AccessDeniedAsksForAdministratorRights)
{
    RegisterResourceStrings();
    EXPECT_EQ(SystemErrorMessage(EACCES), platform::SystemErrorText(EACCES) + L"\n请用管理员权限运行本程序！");
    EXPECT_EQ(SystemErrorMessage(ENOSPC), platform::SystemErrorText(ENOSPC));
}
