// Saves and loads a native set of eight 3840×2160 PNG layers and compares
// each with copying the same bytes through a plain read/write loop. Also
// reports the memory a load needs relative to the largest embedded image,
// and how much of the file the validity check reads.
//
//   scene_file_bench [WORK_FOLDER] [ROUNDS]
#include "BenchPictures.h"
#include "formats/SceneFile.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <QImage>
#include <QImageWriter>
#include <QString>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <malloc.h>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

// ---- heap accounting: live bytes and their peak ---------------------------

namespace {
std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};

void* Allocate(size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const int64_t live = g_live += int64_t(malloc_usable_size(p));
    int64_t peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
    return p;
}

void Release(void* p)
{
    if (!p)
        return;
    g_live -= int64_t(malloc_usable_size(p));
    std::free(p);
}
}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

std::wstring W(const std::string& s) { return platform::Utf8ToWide(s); }


enum class CopyKind {
    NewFile,    // into a file that did not exist
    Overwrite,  // over the previous copy, as cp does
    Flushed,    // into a new file, flushed to the disk at the end
};

bool CopyLoop(const std::vector<std::string>& from, const std::string& to, CopyKind kind)
{
    if (kind != CopyKind::Overwrite)
        ::unlink(to.c_str());
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0)
        return false;
    std::vector<char> buffer(size_t(1) << 20);
    bool ok = true;
    for (const std::string& file : from) {
        const int in = ::open(file.c_str(), O_RDONLY);
        if (in < 0)
            return false;
        ssize_t n;
        while ((n = ::read(in, buffer.data(), buffer.size())) > 0)
            ok = ok && ::write(out, buffer.data(), size_t(n)) == n;
        ::close(in);
    }
    if (kind == CopyKind::Flushed)
        ok = ok && ::fdatasync(out) == 0;
    return ::close(out) == 0 && ok;
}

// Bytes this process has read through read() so far.
int64_t BytesRead()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    int64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:")
            return value;
    }
    return -1;
}

int64_t StatusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atoll(line.c_str() + std::strlen(key));
    }
    return -1;
}

// Resets the resident-memory peak to the present (Linux 4.0 and later).
bool ResetResidentPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return bool(clear.flush());
}

struct Timing {
    double best = 1e30;
    void Add(double s) { best = std::min(best, s); }
};

}  // namespace

int main(int argc, char** argv)
{
    platform::LocaleCharset();
    const std::string work = argc > 1 ? argv[1] : platform::NativePath(platform::MakeTempFolder(L"kelvane-bench-"));
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::string set = work + "/Bench Set";
    platform::CreateFolderTree(W(set));

    std::printf("making 8 layers of 3840x2160 PNG in %s ...\n", work.c_str());
    LayerList layers;
    std::vector<std::string> sources;
    int64_t largest = 0, total = 0;
    for (int i = 0; i < 8; ++i) {
        const std::string path = work + "/layer" + std::to_string(i) + ".png";
        if (!platform::FileExists(W(path)) && !MakeBenchPng(path, i, false)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        LayerInfo layer = MakeDefaultLayer();
        SetRecordName(layer.name, L"layer " + std::to_wstring(i));
        SetLayerImagePath(layer, platform::WideToAnsi(W(path)));
        layers.push_back(layer);
        sources.push_back(path);
        const int64_t size = platform::FileSize(W(path));
        largest = std::max(largest, size);
        total += size;
    }
    const std::string thumb = work + "/thumb.jpg";
    QImage(320, 180, QImage::Format_RGB32).save(QString::fromStdString(thumb), "JPEG");
    sources.insert(sources.begin(), thumb);
    ShotList shots(4, MakeDefaultShot());
    std::printf("images: %.1f MB in all, largest %.1f MB; best of %d rounds\n\n", total / 1e6, largest / 1e6, rounds);

    const std::wstring scene = W(set + "/scene.tvn");
    const std::string copy = work + "/copy.bin";
    Timing write, copyNew, copyOver, copyFlushed, load, copyScene;
    for (int r = 0; r < rounds; ++r) {
        auto t = Clock::now();
        if (!WriteSceneFile(scene, layers, shots, W(thumb))) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        write.Add(Seconds(t));
        t = Clock::now();
        CopyLoop(sources, copy, CopyKind::NewFile);
        copyNew.Add(Seconds(t));
        t = Clock::now();
        CopyLoop(sources, copy, CopyKind::Overwrite);
        copyOver.Add(Seconds(t));
        t = Clock::now();
        CopyLoop(sources, copy, CopyKind::Flushed);
        copyFlushed.Add(Seconds(t));

        LayerList loaded;
        ShotList loadedShots;
        t = Clock::now();
        if (!LoadSceneFile(scene, loaded, loadedShots, nullptr, true, true) || loaded.size() != 8) {
            std::fprintf(stderr, "load failed\n");
            return 1;
        }
        load.Add(Seconds(t));
        t = Clock::now();
        CopyLoop({platform::NativePath(scene)}, copy, CopyKind::NewFile);
        copyScene.Add(Seconds(t));
    }

    // Memory of one load, relative to the largest embedded image.
    const bool peakReset = ResetResidentPeak();
    const int64_t rssBefore = StatusKb("VmRSS:");
    const int64_t heapBefore = g_live.load();
    g_peak = heapBefore;
    {
        LayerList loaded;
        ShotList loadedShots;
        LoadSceneFile(scene, loaded, loadedShots, nullptr, true, true);
    }
    const int64_t heapPeak = g_peak.load() - heapBefore;
    const int64_t rssPeak = (StatusKb("VmHWM:") - rssBefore) * 1024;

    // The validity check: bytes read and heap used.
    const int64_t sceneSize = platform::FileSize(scene);
    const int64_t readBefore = BytesRead();
    g_peak = g_live.load();
    const int64_t checkHeapBefore = g_live.load();
    auto t = Clock::now();
    const bool valid = IsSceneFile(scene);
    const double checkTime = Seconds(t);
    const int64_t checkRead = BytesRead() - readBefore;
    const int64_t checkHeap = g_peak.load() - checkHeapBefore;

    std::printf("save  %7.1f ms, ratio to a plain copy of the same bytes (goal <= 1.2):\n", write.best * 1e3);
    std::printf("      into a new file        %7.1f ms   ratio %.2f\n", copyNew.best * 1e3, write.best / copyNew.best);
    std::printf("      over the previous copy %7.1f ms   ratio %.2f\n", copyOver.best * 1e3, write.best / copyOver.best);
    std::printf("      flushed to the disk    %7.1f ms   ratio %.2f\n", copyFlushed.best * 1e3,
                write.best / copyFlushed.best);
    std::printf("      (the save replaces the old file only once the new one is on the disk)\n");
    std::printf("load  %7.1f ms, plain copy into a new file %7.1f ms   ratio %.2f (goal <= 1.3)\n", load.best * 1e3,
                copyScene.best * 1e3, load.best / copyScene.best);
    std::printf("load memory: heap peak %.2f MB = %.3f x the largest image", heapPeak / 1e6, double(heapPeak) / largest);
    if (peakReset)
        std::printf("; resident growth %.2f MB = %.3f x\n", rssPeak / 1e6, double(rssPeak) / largest);
    else
        std::printf("\n");
    std::printf("validity check: %s in %.3f ms, read %lld of %lld bytes, heap peak %lld bytes\n",
                valid ? "valid" : "INVALID", checkTime * 1e3, static_cast<long long>(checkRead),
                static_cast<long long>(sceneSize), static_cast<long long>(checkHeap));

    if (argc <= 1)
        platform::RemoveFolderTree(W(work));
    else
        platform::RemoveFile(W(copy));
    return valid ? 0 : 1;
}
