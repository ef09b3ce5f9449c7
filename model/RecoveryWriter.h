#pragma once
// Writes the recovery journal on a thread of its own, so the user interface
// never waits for the disk while editing. States come faster than they are
// worth writing during a long run of edits: a state not yet written is
// replaced by a newer one, and the journal is written at most once per
// interval.
#include "RecoveryJournal.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class CRecoveryWriter {
public:
    explicit CRecoveryWriter(std::chrono::milliseconds interval = std::chrono::milliseconds(1000));
    // A state not yet written is dropped; a write running ends first.
    ~CRecoveryWriter();
    CRecoveryWriter(const CRecoveryWriter&) = delete;
    CRecoveryWriter& operator=(const CRecoveryWriter&) = delete;

    // The state to write into the journal folder next.
    void Post(const std::wstring& journalFolder, std::shared_ptr<const SetSnapshot> state, const JournalOwner& owner);
    // Writes a waiting state at once and waits until the journal holds the
    // latest state posted; false when that write failed.
    bool Flush();
    // Drops a waiting state of the folder, waits for a write running and
    // deletes the journal folder.
    void Remove(const std::wstring& journalFolder);

    // Journal writes finished so far, successful or not.
    int WriteCount() const;

private:
    struct Job {
        std::wstring folder;
        std::shared_ptr<const SetSnapshot> state;
        JournalOwner owner;
    };
    void Run();
    void WriteJob(std::unique_lock<std::mutex>& lock, Job job);

    const std::chrono::milliseconds m_interval;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<Job> m_pending;
    bool m_writing = false;
    bool m_flushing = false;
    bool m_stop = false;
    bool m_lastWritten = true;
    int m_writeCount = 0;
    std::chrono::steady_clock::time_point m_lastWrite{};
    std::thread m_thread;
};
