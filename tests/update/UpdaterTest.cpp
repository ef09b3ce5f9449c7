// CUpdater, the update check and the recent-updates lookup against a real
// HTTP server on 127.0.0.1.
#include "update/HttpDownload.h"
#include "update/UpdateCheck.h"
#include "update/Updater.h"

#include "HttpTestServer.h"
#include "support/RecordingWindow.h"
#include "support/TestSupport.h"
#include "app/UserFolders.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::string Manifest(const std::string& version, const std::string& source = "https://dl.example.com/setup.exe")
{
    return R"({"Application":"Kelvane","Version":)" + version + R"(,"ReleaseDate":"2024-05-01","Source":")" + source
        + R"(","Size":123})";
}

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApplication();
        ASSERT_TRUE(server.Running()) << "the test HTTP server did not start";
    }
    void Serve(const std::string& name, const std::string& text) { testsupport::WriteFileBytes(served.file(name), text); }
    void Store(const std::string& text) { testsupport::WriteFileBytes(updates.file("update.json"), text); }
    UpdateState Check(int ownVersion, const std::string& path, UpdateInfo& info)
    {
        return CheckForUpdate(ownVersion, updates.wpath(), server.WideUrl(path), info);
    }

    testsupport::TempDir served;
    testsupport::TempDir updates;
    HttpTestServer server{served.path()};
};

TEST_F(UpdaterTest, NewerManifestVersionOffersTheUpdate)
{
    Serve("m13.json", Manifest("1.3"));
    Serve("m12.json", Manifest("1.2"));
    Serve("m113.json", Manifest("1.13"));
    UpdateInfo info;
    ASSERT_EQ(Check(120, "/files/m13.json", info), kUpdateAvailable);
    EXPECT_EQ(info.version, 130);
    EXPECT_EQ(info.releaseDate, L"2024-05-01");
    EXPECT_EQ(Check(120, "/files/m12.json", info), kUpdateNone);
    EXPECT_EQ(Check(112, "/files/m113.json", info), kUpdateNone);  // 112.999... is 112
    ASSERT_EQ(Check(111, "/files/m113.json", info), kUpdateAvailable);
    EXPECT_EQ(info.version, 112);
    // The last manifest is stored for the recent-updates command.
    EXPECT_EQ(testsupport::ReadFileBytes(updates.file("update.json")), Manifest("1.13"));
}

TEST_F(UpdaterTest, MissingManifestIsNoUpdateAndRefusedConnectionFailed)
{
    Store(Manifest("9.9"));  // an older check's manifest must not count for this one
    UpdateInfo info;
    EXPECT_EQ(Check(120, "/status/404", info), kUpdateNone);
    EXPECT_FALSE(info.valid);

    RefusingPort refusing;
    CUpdater updater(120, updates.wpath(), platform::Utf8ToWide(refusing.Url("/update.json")));
    ASSERT_TRUE(updater.Start());
    updater.Stop();  // not running any more, or stopped: either way failed
    EXPECT_EQ(updater.GetExitCode(), CUpdater::kExitFailed);
    EXPECT_EQ(CheckForUpdate(120, updates.wpath(), platform::Utf8ToWide(refusing.Url("/u")), info), kUpdateFailed);
    EXPECT_EQ(testsupport::ReadFileBytes(updates.file("update.json")), Manifest("9.9"));
}

TEST_F(UpdaterTest, UnparsableManifestOrNonWebSourceIsNoUpdate)
{
    Serve("broken.json", "{\"Version\": 9.9,");
    Serve("shell.json", Manifest("9.9", "file:///usr/bin/xterm"));
    UpdateInfo info;
    EXPECT_EQ(Check(120, "/files/broken.json", info), kUpdateNone);
    EXPECT_FALSE(LoadRecentUpdate(120, updates.wpath()).has_value());
    EXPECT_EQ(Check(120, "/files/shell.json", info), kUpdateNone);
    const auto recent = LoadRecentUpdate(120, updates.wpath());
    ASSERT_TRUE(recent.has_value());
    EXPECT_FALSE(recent->updateAvailable);
}

TEST_F(UpdaterTest, TruncatedDownloadKeepsTheStoredManifest)
{
    Store(Manifest("1.3"));
    UpdateInfo info;
    EXPECT_EQ(Check(120, "/truncated/4000/100", info), kUpdateFailed);
    EXPECT_EQ(testsupport::ReadFileBytes(updates.file("update.json")), Manifest("1.3"));
    EXPECT_EQ(platform::ListFolder(updates.wpath()), std::vector<std::wstring>{L"update.json"});
    const auto recent = LoadRecentUpdate(120, updates.wpath());
    ASSERT_TRUE(recent.has_value());
    EXPECT_TRUE(recent->updateAvailable);
    EXPECT_EQ(recent->info.version, 130);
}

TEST_F(UpdaterTest, MissingUpdateFolderIsCreated)
{
    testsupport::FreshUserFolders folders;
    Serve("m.json", Manifest("1.3"));
    ASSERT_FALSE(platform::FolderExists(GetUpdateFolder()));
    UpdateInfo info;
    EXPECT_EQ(CheckForUpdate(120, GetUpdateFolder(), server.WideUrl("/files/m.json"), info), kUpdateAvailable);
    EXPECT_TRUE(platform::FileExists(platform::JoinPath(GetUpdateFolder(), L"update.json")));
}

TEST_F(UpdaterTest, StopEndsTheUpdaterBetweenBlocks)
{
    RecordingWindow window;
    CUpdater updater(120, updates.wpath(), server.WideUrl("/bytes/307200"));
    updater.SetProgressWindow(&window);
    ASSERT_TRUE(updater.Start());
    ASSERT_TRUE(window.WaitForMessage(WM_DOWNLOAD_PROGRESS));
    const auto stopped = Clock::now();
    updater.Stop();
    EXPECT_LT(Clock::now() - stopped, std::chrono::milliseconds(1000));
    EXPECT_EQ(updater.GetExitCode(), CUpdater::kExitFailed);
    EXPECT_FALSE(updater.Info().valid);
    EXPECT_TRUE(platform::ListFolder(updates.wpath()).empty());
}

TEST_F(UpdaterTest, CallersStopEventEndsAHangingCheck)
{
    platform::CEvent stop;
    UpdateInfo info;
    UpdateState state = kUpdateChecking;
    std::thread worker([&] { state = CheckForUpdate(120, updates.wpath(), server.WideUrl("/hang"), info, nullptr, &stop); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto stopped = Clock::now();
    stop.Set();
    worker.join();
    EXPECT_LT(Clock::now() - stopped, std::chrono::milliseconds(2000));
    EXPECT_EQ(state, kUpdateFailed);
}

}  // namespace
