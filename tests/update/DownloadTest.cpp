// The download routine against a real HTTP server on 127.0.0.1.
#include "update/HttpDownload.h"

#include "HttpTestServer.h"
#include "support/RecordingWindow.h"
#include "support/TestSupport.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApplication();
        ASSERT_TRUE(server.Running()) << "the test HTTP server did not start";
    }
    int Download(const std::string& path, HWND window = nullptr, platform::CEvent* stop = nullptr)
    {
        return DownloadToFile(server.WideUrl(path), target, window, stop);
    }
    // Only the target may be in the folder: no temporary file stays behind.
    std::vector<std::wstring> FolderEntries() { return platform::ListFolder(dir.wpath()); }

    testsupport::TempDir dir;
    HttpTestServer server{dir.path()};
    std::wstring target = dir.wfile("update.json");
};

TEST_F(DownloadTest, CompleteFileWithProgressReachingHundred)
{
    constexpr size_t kSize = 1024 * 1024;
    RecordingWindow window;
    // Without a stop event the blocks follow each other without the wait.
    ASSERT_EQ(Download("/bytes/" + std::to_string(kSize), &window), kDownloadComplete);
    EXPECT_TRUE(testsupport::ReadFileBytes(dir.file("update.json")) == TestPattern(kSize));
    EXPECT_EQ(FolderEntries(), std::vector<std::wstring>{L"update.json"});

    QCoreApplication::processEvents();
    const auto messages = window.Messages();
    ASSERT_GE(messages.size(), kSize / kDownloadBlockBytes);  // at least one per 1024-byte block
    LPARAM last = 0;
    for (const auto& m : messages) {
        ASSERT_EQ(m.message, WM_USER + 5212);
        ASSERT_EQ(m.wParam, 2u);
        ASSERT_GE(m.lParam, last);
        last = m.lParam;
    }
    EXPECT_EQ(last, 100);
}

TEST_F(DownloadTest, RedirectIsFollowedWithAStopEventPresent)
{
    platform::CEvent stop;
    ASSERT_EQ(Download("/redirect/bytes/3000", nullptr, &stop), kDownloadComplete);
    EXPECT_EQ(platform::FileSize(target), 3000);
}

TEST_F(DownloadTest, StatusOtherThan200IsMinusTwoAndCreatesNothing)
{
    EXPECT_EQ(Download("/status/404"), kDownloadHttpStatus);
    EXPECT_EQ(Download("/status/500"), kDownloadHttpStatus);
    EXPECT_EQ(Download("/redirect/status/403"), kDownloadHttpStatus);
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(DownloadTest, MissingOrZeroLengthFails)
{
    EXPECT_EQ(Download("/nolength/5000"), kDownloadFailed);
    EXPECT_EQ(Download("/empty"), kDownloadFailed);
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(DownloadTest, TruncatedBodyKeepsThePreviousFile)
{
    testsupport::WriteFileBytes(dir.file("update.json"), "previous");
    EXPECT_EQ(Download("/truncated/4000/1000"), kDownloadFailed);
    EXPECT_EQ(testsupport::ReadFileBytes(dir.file("update.json")), "previous");
    EXPECT_EQ(FolderEntries(), std::vector<std::wstring>{L"update.json"});
}

TEST_F(DownloadTest, RefusedConnectionBadAddressAndUnwritableFileFail)
{
    RefusingPort refusing;
    ASSERT_GT(refusing.Port(), 0);
    EXPECT_EQ(DownloadToFile(platform::Utf8ToWide(refusing.Url("/x")), target, nullptr, nullptr), kDownloadFailed);
    for (const wchar_t* bad : {L"", L"not an address", L"file:///etc/hosts", L"ftp://127.0.0.1/x", L"http://"})
        EXPECT_EQ(DownloadToFile(bad, target, nullptr, nullptr), kDownloadFailed) << bad;
    EXPECT_EQ(DownloadToFile(server.WideUrl("/bytes/10"), dir.wfile("missing/update.json"), nullptr, nullptr),
        kDownloadFailed);
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(DownloadTest, StopEventEndsARunningDownloadBetweenBlocks)
{
    RecordingWindow window;
    platform::CEvent stop;
    int result = 1;
    Clock::time_point stopped;
    // 300 blocks at 10 ms each would take three seconds.
    std::thread worker([&] { result = Download("/bytes/307200", &window, &stop); });
    ASSERT_TRUE(window.WaitForMessage(WM_DOWNLOAD_PROGRESS));
    stopped = Clock::now();
    stop.Set();
    worker.join();
    EXPECT_LT(Clock::now() - stopped, std::chrono::milliseconds(1000));
    EXPECT_EQ(result, kDownloadFailed);
    QCoreApplication::processEvents();
    EXPECT_LT(window.Messages().back().lParam, 100);
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(DownloadTest, StopEventEndsWaitingForAnAnswer)
{
    platform::CEvent stop;
    int result = 1;
    std::thread worker([&] { result = Download("/hang", nullptr, &stop); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto stopped = Clock::now();
    stop.Set();
    worker.join();
    EXPECT_LT(Clock::now() - stopped, std::chrono::milliseconds(2000));
    EXPECT_EQ(result, kDownloadFailed);
}

}  // namespace
