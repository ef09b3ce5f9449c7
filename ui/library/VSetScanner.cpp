#include "VSetScanner.h"

#include "LibraryKinds.h"
#include "ThumbnailPicture.h"
#include "formats/SceneFile.h"
#include "platform/FileStream.h"
#include "platform/FileUtil.h"

#include <QMetaObject>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

std::wstring LastComponent(std::wstring folder)
{
    while (folder.size() > 1 && folder.back() == L'/')
        folder.pop_back();
    return platform::FileNamePart(folder);
}

bool HasSceneHeader(const std::wstring& scenePath)
{
    platform::FileStream file;
    SceneFileHeader header{};
    return file.Open(scenePath, platform::FileStream::Mode::Read) && file.ReadExact(&header, sizeof header) &&
           header.magic == kSceneMagic && header.version == kSceneVersion;
}

std::unique_ptr<CClipEntry> VmixEntry(const std::wstring& folder)
{
    QImage picture = LoadThumbnailFile(platform::JoinPath(folder, L"thumbnail.jpg"));
    if (picture.isNull())
        return nullptr;
    auto entry = CClipEntry::Make(LastComponent(folder), folder);
    if (entry)
        entry->SetPicture(picture);
    return entry;
}

// thumbnailRequired: the recent list skips a native set whose thumbnail
// does not read; the Tolvenar page lists it without a picture.
std::unique_ptr<CClipEntry> NativeEntry(const std::wstring& folder, bool thumbnailRequired)
{
    const std::wstring scene = platform::JoinPath(folder, kSceneFileName);
    std::vector<uint8_t> thumbnail;
    const bool read = ReadSceneThumbnail(scene, thumbnail);
    if (!read && (thumbnailRequired || !HasSceneHeader(scene)))
        return nullptr;
    auto entry = CClipEntry::Make(LastComponent(folder), folder);
    if (entry && read)
        entry->SetPicture(DecodeThumbnail(thumbnail.data(), thumbnail.size()));
    return entry;
}

int ThreadCount(int wanted)
{
    if (wanted > 0)
        return std::min(wanted, 16);
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

}  // namespace

std::unique_ptr<CClipEntry> ReadLibraryEntry(int kind, const std::wstring& folder)
{
    if (!platform::FolderExists(folder))
        return nullptr;
    switch (kind) {
    case kLibraryTolvenar:
        return platform::FileExists(platform::JoinPath(folder, kSceneFileName)) ? NativeEntry(folder, false) : nullptr;
    case kLibraryVmix:
        return platform::FileExists(platform::JoinPath(folder, L"config.xml")) ? VmixEntry(folder) : nullptr;
    default:
        if (platform::FileExists(platform::JoinPath(folder, L"config.xml")))
            return VmixEntry(folder);
        if (platform::FileExists(platform::JoinPath(folder, kSceneFileName)))
            return NativeEntry(folder, true);
        return nullptr;
    }
}

struct CVSetScanner::Job {
    LibraryScanRequest request;
    std::vector<std::wstring> folders;  // candidates, in row order
    std::atomic<bool> cancelled{false};
    std::atomic<size_t> nextIndex{0};

    std::mutex lock;  // guards what follows
    std::vector<std::unique_ptr<CClipEntry>> done;  // by candidate
    std::vector<bool> finished;
    size_t delivered = 0;  // candidates handed over so far
    std::vector<std::unique_ptr<CClipEntry>> ready;
    bool notifyPending = false;
    int listed = 0;

    std::thread thread;
};

CVSetScanner::CVSetScanner(QObject* parent) : QObject(parent) {}

CVSetScanner::~CVSetScanner() { Cancel(); }

void CVSetScanner::Start(LibraryScanRequest request)
{
    Cancel();
    auto job = std::make_shared<Job>();
    job->request = std::move(request);
    m_job = job;
    job->thread = std::thread([this, job] { RunJob(job); });
}

void CVSetScanner::Cancel()
{
    if (!m_job)
        return;
    const std::shared_ptr<Job> job = std::move(m_job);
    job->cancelled = true;
    if (job->thread.joinable())
        job->thread.join();
}

std::vector<std::unique_ptr<CClipEntry>> CVSetScanner::TakeEntries()
{
    std::vector<std::unique_ptr<CClipEntry>> entries;
    if (!m_job)
        return entries;
    std::lock_guard guard(m_job->lock);
    entries.swap(m_job->ready);
    m_job->notifyPending = false;
    return entries;
}

void CVSetScanner::RunJob(const std::shared_ptr<Job>& job)
{
    const LibraryScanRequest& request = job->request;
    if (request.kind == kLibraryRecent) {
        job->folders = request.recentFolders;
    } else {
        for (const std::wstring& name : platform::ListFolder(request.folder))
            job->folders.push_back(platform::JoinPath(request.folder, name));
    }
    job->done.resize(job->folders.size());
    job->finished.assign(job->folders.size(), false);

    std::vector<std::thread> helpers;
    const int threads = std::min<int>(ThreadCount(request.threads), std::max<size_t>(job->folders.size(), 1));
    for (int n = 1; n < threads; ++n)
        helpers.emplace_back([this, job] { Process(job); });
    Process(job);
    for (std::thread& helper : helpers)
        helper.join();
    if (job->cancelled)
        return;
    QMetaObject::invokeMethod(
        this,
        [this, job] {
            if (m_job != job)
                return;
            if (!job->ready.empty())
                emit EntriesReady();
            const int listed = job->listed;
            job->thread.join();
            m_job.reset();
            emit Finished(listed);
        },
        Qt::QueuedConnection);
}

void CVSetScanner::Process(const std::shared_ptr<Job>& job)
{
    for (;;) {
        if (job->cancelled)
            return;
        const size_t index = job->nextIndex.fetch_add(1);
        if (index >= job->folders.size())
            return;
        Deliver(job, index, ReadLibraryEntry(job->request.kind, job->folders[index]));
    }
}

void CVSetScanner::Deliver(const std::shared_ptr<Job>& job, size_t index, std::unique_ptr<CClipEntry> entry)
{
    std::lock_guard guard(job->lock);
    job->done[index] = std::move(entry);
    job->finished[index] = true;
    bool added = false;
    while (job->delivered < job->folders.size() && job->finished[job->delivered]) {
        if (auto& next = job->done[job->delivered]) {
            job->ready.push_back(std::move(next));
            ++job->listed;
            added = true;
        }
        ++job->delivered;
    }
    if (!added || job->notifyPending)
        return;
    job->notifyPending = true;
    QMetaObject::invokeMethod(
        this,
        [this, job] {
            if (m_job == job)
                emit EntriesReady();
        },
        Qt::QueuedConnection);
}
