// Scans a Tolvenar library of 500 native sets, each with a 1280 x 720 JPEG
// thumbnail, and compares the whole scan (until the last row is handed to
// the window thread) with decoding and resampling the same 500 thumbnails
// once, one after the other, from memory. Also reports when the first row
// arrived.
//
//   library_scan_bench [WORK_FOLDER] [ROUNDS]
#include "formats/SceneFile.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "ui/library/LibraryKinds.h"
#include "ui/library/ThumbnailPicture.h"
#include "ui/library/VSetScanner.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kSets = 500;

// A photograph-like thumbnail: gradients with grain.
std::string ThumbnailJpeg(int seed)
{
    QImage image(1280, 720, QImage::Format_RGB32);
    uint32_t noise = 2463534242u + uint32_t(seed) * 7919u;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const int grain = int(noise & 15) - 8;
            row[x] = qRgb(std::clamp((x >> 3) + seed % 60 + grain, 0, 255), std::clamp((y >> 2) + grain, 0, 255),
                          std::clamp(((x + y) >> 4) + grain, 0, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes.toStdString();
}

void WriteNativeSet(const std::wstring& folder, const std::string& jpeg, int seed)
{
    platform::CreateFolderTree(folder);
    SceneFileHeader header{};
    header.magic = kSceneMagic;
    header.version = kSceneVersion;
    header.saveTime = 1700000000u + uint32_t(seed);
    header.thumbnailSize = int32_t(jpeg.size());
    header.headerValue = kSceneHeaderValue;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += jpeg;
    platform::WriteFileAtomically(platform::JoinPath(folder, kSceneFileName), bytes);
}

struct ScanTimes {
    double total = 0;     // seconds until the last row was taken
    double firstRow = 0;  // seconds until the first row was taken
    int rows = 0;
};

ScanTimes TimeScan(const std::wstring& folder, int threads)
{
    CVSetScanner scanner;
    std::vector<std::unique_ptr<CClipEntry>> rows;
    ScanTimes times;
    QElapsedTimer clock;
    QEventLoop loop;
    QObject::connect(&scanner, &CVSetScanner::EntriesReady, [&] {
        for (auto& entry : scanner.TakeEntries())
            rows.push_back(std::move(entry));
        if (times.firstRow == 0 && !rows.empty())
            times.firstRow = clock.nsecsElapsed() / 1e9;
    });
    QObject::connect(&scanner, &CVSetScanner::Finished, [&](int listed) {
        times.total = clock.nsecsElapsed() / 1e9;
        times.rows = listed;
        loop.quit();
    });
    LibraryScanRequest request;
    request.kind = kLibraryTolvenar;
    request.folder = folder;
    request.threads = threads;
    clock.start();
    scanner.Start(request);
    loop.exec();
    return times;
}

double TimeDecodeOnce(const std::vector<std::vector<uint8_t>>& thumbnails)
{
    QElapsedTimer clock;
    clock.start();
    int decoded = 0;
    for (const auto& bytes : thumbnails)
        decoded += DecodeThumbnailFullSize(bytes.data(), bytes.size()).isNull() ? 0 : 1;
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (decoded != kSets)
        std::fprintf(stderr, "only %d of %d thumbnails decoded\n", decoded, kSets);
    return seconds;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::wstring work = argc > 1 ? platform::Utf8ToWide(argv[1]) : platform::MakeTempFolder(L"library-bench-");
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::wstring sets = platform::JoinPath(work, L"VirtualSets");

    std::printf("writing %d native sets in %s\n", kSets, platform::WideToUtf8(sets).c_str());
    std::vector<std::vector<uint8_t>> thumbnails;
    for (int n = 0; n < kSets; ++n) {
        wchar_t name[32];
        std::swprintf(name, 32, L"Set %03d", n);
        const std::wstring folder = platform::JoinPath(sets, name);
        if (!platform::FileExists(platform::JoinPath(folder, kSceneFileName)))
            WriteNativeSet(folder, ThumbnailJpeg(n), n);
        thumbnails.emplace_back();
        ReadSceneThumbnail(platform::JoinPath(folder, kSceneFileName), thumbnails.back());
    }
    size_t bytes = 0;
    for (const auto& t : thumbnails)
        bytes += t.size();
    std::printf("thumbnails: %zu bytes on average\n", bytes / thumbnails.size());

    TimeScan(sets, 0);  // warms the file cache
    std::vector<double> decode, scan, first, scanOne, firstOne;
    int rows = 0;
    for (int r = 0; r < rounds; ++r) {
        decode.push_back(TimeDecodeOnce(thumbnails));
        const ScanTimes times = TimeScan(sets, 0);
        scan.push_back(times.total);
        first.push_back(times.firstRow);
        rows = times.rows;
        const ScanTimes single = TimeScan(sets, 1);
        scanOne.push_back(single.total);
        firstOne.push_back(single.firstRow);
    }
    const double d = Median(decode), s = Median(scan), s1 = Median(scanOne);
    std::printf("decode + resample once, one thread:  %.3f s\n", d);
    std::printf("scan into rows (%u threads):          %.3f s   ratio %.2f (goal <= 1.5)   first row %.3f s (goal <= 0.2)   rows %d\n",
                std::clamp(std::thread::hardware_concurrency(), 1u, 4u), s, s / d, Median(first), rows);
    std::printf("scan into rows (1 thread):           %.3f s   ratio %.2f   first row %.3f s\n", s1, s1 / d,
                Median(firstOne));
    if (argc <= 1)
        platform::RemoveFolderTree(work);
    return 0;
}
