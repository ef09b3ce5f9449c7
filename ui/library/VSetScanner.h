#pragma once
// Scans one library page off the user-interface thread: lists the candidate
// set folders, reads and decodes their thumbnails on a few worker threads,
// and hands the entries over in row order as soon as each next one is ready.
// A folder that vanishes or a thumbnail that does not decode costs that one
// entry its picture (or its row, where the rules skip it), nothing more.
//
// Which folders become rows:
// - Tolvenar: every sub-folder whose "scene.tvn" has a scene header; the
//   picture stays empty when its thumbnail does not read or decode.
// - vMix: every sub-folder with "config.xml" whose "thumbnail.jpg" decodes.
// - recent: each folder in the given order; a vMix folder ("config.xml")
//   as above, else a native one whose thumbnail reads.
#include "ClipEntry.h"

#include <QObject>
#include <memory>
#include <string>
#include <vector>

struct LibraryScanRequest {
    int kind = 1;
    std::wstring folder;                      // the folder to list (not for recent)
    std::vector<std::wstring> recentFolders;  // the recent sets, in row order
    int threads = 0;                          // decoding threads; 0: one per core, at most 4
};

// The entry a folder gives under the rules of its library kind; nothing when
// it is not listed.
std::unique_ptr<CClipEntry> ReadLibraryEntry(int kind, const std::wstring& folder);

class CVSetScanner : public QObject {
    Q_OBJECT
public:
    explicit CVSetScanner(QObject* parent = nullptr);
    ~CVSetScanner() override;

    // Starts a new scan; a running one is stopped first and nothing of it
    // arrives any more.
    void Start(LibraryScanRequest request);
    void Cancel();
    bool IsRunning() const { return m_job != nullptr; }

    // The entries that became ready since the last call, in row order.
    std::vector<std::unique_ptr<CClipEntry>> TakeEntries();

signals:
    void EntriesReady();
    // After the scan's last entries; listed = rows of the whole scan.
    void Finished(int listed);

private:
    struct Job;
    void RunJob(const std::shared_ptr<Job>& job);
    void Process(const std::shared_ptr<Job>& job);
    void Deliver(const std::shared_ptr<Job>& job, size_t index, std::unique_ptr<CClipEntry> entry);

    std::shared_ptr<Job> m_job;
};
