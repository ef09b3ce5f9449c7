// The library's scans on real set folders in temporary libraries.
#include "LibraryTestData.h"
#include "support/TestSupport.h"
#include "ui/library/LibraryFolders.h"
#include "ui/library/LibraryKinds.h"
#include "ui/library/RecentLibrary.h"
#include "ui/library/VSetScanner.h"
#include "platform/TextConv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

using namespace librarytest;
using testsupport::TempDir;

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "library_core_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

struct ScanResult {
    std::vector<std::unique_ptr<CClipEntry>> rows;
    int finishedCount = -1;
};

ScanResult Scan(LibraryScanRequest request)
{
    App();
    ScanResult result;
    CVSetScanner scanner;
    QEventLoop loop;
    QObject::connect(&scanner, &CVSetScanner::EntriesReady, [&] {
        for (auto& entry : scanner.TakeEntries())
            result.rows.push_back(std::move(entry));
    });
    QObject::connect(&scanner, &CVSetScanner::Finished, [&](int listed) {
        result.finishedCount = listed;
        loop.quit();
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    scanner.Start(std::move(request));
    loop.exec();
    return result;
}

std::vector<std::wstring> Names(const ScanResult& result)
{
    std::vector<std::wstring> names;
    for (const auto& row : result.rows)
        names.push_back(row->Name());
    return names;
}

LibraryScanRequest Request(int kind, const std::wstring& folder)
{
    LibraryScanRequest request;
    request.kind = kind;
    request.folder = folder;
    return request;
}

}  // namespace

TEST(LibraryScan, TolvenarPageListsSetsWithASceneHeaderAndEmptyPicturesForBadThumbnails)
{
    TempDir dir;
    const std::string sets = dir.file("Scene/VirtualSets");
    MakeNativeSet(sets + "/A good", JpegBytes(1280, 720, QColor(200, 40, 40)));
    MakeNativeSet(sets + "/B corrupt", std::string("\xFF\xD8 not really a picture \xFF\xD9"));
    MakeNativeSet(sets + "/C claims too much", JpegBytes(64, 48, Qt::green), 0, 512LL * 1024 * 1024);
    QImage grey(300, 200, QImage::Format_Grayscale8);
    grey.fill(128);
    MakeNativeSet(sets + "/D grey png", PictureBytes(grey, "PNG"));
    std::filesystem::create_directories(sets + "/E no scene");
    testsupport::WriteFileBytes(sets + "/F foreign/scene.tvn", std::string(600, 'x'));
    testsupport::WriteFileBytes(sets + "/G a file", "not a folder");
    std::filesystem::create_directories(dir.file("Scene/Others"));

    const ScanResult result = Scan(Request(kLibraryTolvenar, ScanFolderOf(kLibraryTolvenar, dir.wfile("Scene"), 0)));
    ASSERT_EQ(Names(result), (std::vector<std::wstring>{L"A good", L"B corrupt", L"C claims too much", L"D grey png"}));
    EXPECT_EQ(result.finishedCount, 4);
    EXPECT_TRUE(NearColour(CentreColour(result.rows[0]->LargePicture()), QColor(200, 40, 40)));
    EXPECT_EQ(result.rows[0]->Info().thumbSize, kClipThumbBytes);
    EXPECT_EQ(result.rows[0]->SmallPicture().size(), QSize(40, 30));
    EXPECT_EQ(result.rows[0]->Folder(), dir.wfile("Scene/VirtualSets/A good"));
    EXPECT_FALSE(result.rows[1]->HasPicture());
    EXPECT_FALSE(result.rows[2]->HasPicture());
    EXPECT_EQ(result.rows[2]->Info().thumbPixels, nullptr);
    EXPECT_TRUE(NearColour(CentreColour(result.rows[3]->LargePicture()), QColor(128, 128, 128)));
    for (const auto& row : result.rows)
        EXPECT_TRUE(row->IsValid());

    // A missing "MultiViews" folder lists nothing on that tab; "Others" is empty.
    EXPECT_TRUE(Scan(Request(kLibraryTolvenar, ScanFolderOf(kLibraryTolvenar, dir.wfile("Scene"), 1))).rows.empty());
    EXPECT_EQ(Scan(Request(kLibraryTolvenar, ScanFolderOf(kLibraryTolvenar, dir.wfile("Scene"), 5))).finishedCount, 0);
}

TEST(LibraryScan, VmixPageListsOnlySetsWhoseThumbnailLoads)
{
    TempDir dir;
    QImage palette(320, 240, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(10, 20, 230), qRgb(250, 250, 0)});
    palette.fill(0);
    QImage argb(100, 80, QImage::Format_ARGB32);
    argb.fill(QColor(0, 180, 0, 255));
    MakeVmixSet(dir.file("Studio 1"), JpegBytes(1920, 1080, QColor(30, 30, 200)));
    MakeVmixSet(dir.file("Studio 2 palette"), PictureBytes(palette, "PNG"));
    MakeVmixSet(dir.file("Studio 3 argb"), PictureBytes(argb, "PNG"));
    MakeVmixSet(dir.file("Studio 4 no thumbnail"), "");
    MakeVmixSet(dir.file("Studio 5 corrupt"), "\xFF\xD8\xFF\xE0 cut");
    testsupport::WriteFileBytes(dir.file("Studio 6 no config/thumbnail.jpg"), JpegBytes(64, 48, Qt::red));

    const ScanResult result = Scan(Request(kLibraryVmix, dir.wpath()));
    ASSERT_EQ(Names(result), (std::vector<std::wstring>{L"Studio 1", L"Studio 2 palette", L"Studio 3 argb"}));
    EXPECT_TRUE(NearColour(CentreColour(result.rows[0]->LargePicture()), QColor(30, 30, 200)));
    EXPECT_TRUE(NearColour(CentreColour(result.rows[1]->LargePicture()), QColor(10, 20, 230), 0));
    EXPECT_TRUE(NearColour(CentreColour(result.rows[2]->LargePicture()), QColor(0, 180, 0), 0));
}

TEST(LibraryScan, RecentPageShowsNewestFirstAndRemovesByTheRowsFolder)
{
    testsupport::FreshUserFolders folders;
    TempDir dir;
    MakeNativeSet(dir.file("old"), JpegBytes(64, 48, Qt::red));
    MakeVmixSet(dir.file("vmix"), JpegBytes(64, 48, Qt::blue));
    MakeNativeSet(dir.file("gone thumbnail"), "", 0, 0);  // no readable thumbnail: not shown
    MakeNativeSet(dir.file("newest"), JpegBytes(64, 48, Qt::green));
    CRecentSetList list;
    int64_t time = 1000;
    for (const char* name : {"old", "vmix", "missing folder", "gone thumbnail", "newest"})
        list.TouchRecentEntry(dir.wfile(name), ++time);
    ASSERT_TRUE(list.WriteRecentList());

    LibraryScanRequest request;
    request.kind = kLibraryRecent;
    request.recentFolders = RecentFoldersNewestFirst(list);
    ScanResult result = Scan(request);
    ASSERT_EQ(Names(result), (std::vector<std::wstring>{L"newest", L"vmix", L"old"}));

    // Row 1 is list entry 1, not entry 5 - 1 - 1 = 3 ("missing folder").
    ASSERT_TRUE(RemoveRecentFolder(list, result.rows[1]->Folder()));
    CRecentSetList reread;
    request.recentFolders = RecentFoldersNewestFirst(reread);
    EXPECT_EQ(reread.Entries().size(), 4u);
    EXPECT_EQ(Names(Scan(request)), (std::vector<std::wstring>{L"newest", L"old"}));
    ASSERT_TRUE(RemoveRecentFolder(reread, Scan(request).rows[0]->Folder()));
    EXPECT_EQ(RecentFoldersNewestFirst(reread).front(), dir.wfile("gone thumbnail"));
}

TEST(LibraryScan, FoldersVanishingMidScanCostOnlyTheirRows)
{
    TempDir dir;
    const std::string jpeg = JpegBytes(1280, 720, QColor(90, 90, 90));
    for (int n = 0; n < 80; ++n)
        MakeNativeSet(dir.file("set" + std::to_string(100 + n)), jpeg);
    App();
    CVSetScanner scanner;
    std::vector<std::unique_ptr<CClipEntry>> rows;
    bool finished = false;
    QObject::connect(&scanner, &CVSetScanner::EntriesReady, [&] {
        for (auto& entry : scanner.TakeEntries())
            rows.push_back(std::move(entry));
    });
    QObject::connect(&scanner, &CVSetScanner::Finished, [&] { finished = true; });
    scanner.Start(Request(kLibraryTolvenar, dir.wpath()));
    for (int n = 0; n < 80; n += 2)
        std::filesystem::remove_all(dir.file("set" + std::to_string(100 + n)));
    QElapsedTimer clock;
    clock.start();
    while (!finished && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_TRUE(finished);
    EXPECT_GE(rows.size(), 40u);
    EXPECT_LE(rows.size(), 80u);
    for (size_t n = 1; n < rows.size(); ++n)
        EXPECT_LT(rows[n - 1]->Name(), rows[n]->Name());
}

TEST(LibraryScan, ANewScanReplacesTheRunningOne)
{
    TempDir first, second;
    const std::string jpeg = JpegBytes(1280, 720, Qt::white);
    for (int n = 0; n < 40; ++n)
        MakeNativeSet(first.file("first" + std::to_string(n)), jpeg);
    MakeVmixSet(second.file("only"), jpeg);
    App();
    CVSetScanner scanner;
    std::vector<std::wstring> names;
    int finishedCount = 0;
    QObject::connect(&scanner, &CVSetScanner::EntriesReady, [&] {
        for (auto& entry : scanner.TakeEntries())
            names.push_back(entry->Name());
    });
    QObject::connect(&scanner, &CVSetScanner::Finished, [&] { ++finishedCount; });
    scanner.Start(Request(kLibraryTolvenar, first.wpath()));
    QCoreApplication::processEvents();
    scanner.Start(Request(kLibraryVmix, second.wpath()));
    QElapsedTimer clock;
    clock.start();
    while (finishedCount == 0 && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(finishedCount, 1);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), L"only");
    for (size_t n = 0; n + 1 < names.size(); ++n)
        EXPECT_EQ(names[n].rfind(L"first", 0), 0u);
}

TEST(LibraryFolders, SystemIniRemembersEachProductsFolder)
{
    testsupport::FreshUserFolders folders;
    EXPECT_EQ(ReadLibraryFolder(kLibraryTolvenar), L"");
    ASSERT_TRUE(WriteLibraryFolder(kLibraryTolvenar, L"/sets/tolvenar"));
    ASSERT_TRUE(WriteLibraryFolder(kLibraryVmix, L"/sets/vmix"));
    EXPECT_FALSE(WriteLibraryFolder(kLibraryRecent, L"/x"));
    EXPECT_EQ(ReadLibraryFolder(kLibraryTolvenar), L"/sets/tolvenar");
    EXPECT_EQ(ReadLibraryFolder(kLibraryVmix), L"/sets/vmix");
    const std::string ini = testsupport::ReadFileBytes(folders.dataHome() + "/Kelvane/system.ini");
    EXPECT_NE(ini.find("[Path]"), std::string::npos);
    EXPECT_NE(ini.find("Tolvenar=/sets/tolvenar"), std::string::npos);

    // The Tolvenar search wants both VirtualSets and MultiViews.
    std::wstring found;
    std::filesystem::create_directories(folders.commonData() + "/Merokai/Tolvenar/Scene/VirtualSets");
    EXPECT_FALSE(FindLibraryFolder(kLibraryTolvenar, found));
    std::filesystem::create_directories(folders.commonData() + "/Merokai/Tolvenar/Scene/MultiViews");
    ASSERT_TRUE(FindLibraryFolder(kLibraryTolvenar, found));
    EXPECT_EQ(found, platform::Utf8ToWide(folders.commonData() + "/Merokai/Tolvenar/Scene"));
}
