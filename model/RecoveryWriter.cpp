#include "RecoveryWriter.h"

#include "platform/TextConv.h"

#include <cerrno>
#include <cstring>
#include <obs.h>

CRecoveryWriter::CRecoveryWriter(std::chrono::milliseconds interval) : m_interval(interval)
{
    m_thread = std::thread([this] { Run(); });
}

CRecoveryWriter::~CRecoveryWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_pending.reset();
    }
    m_changed.notify_all();
    m_thread.join();
}

void CRecoveryWriter::Post(const std::wstring& journalFolder, std::shared_ptr<const SetSnapshot> state,
                           const JournalOwner& owner)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending = Job{journalFolder, std::move(state), owner};
    }
    m_changed.notify_all();
}

bool CRecoveryWriter::Flush()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_flushing = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return !m_pending && !m_writing; });
    m_flushing = false;
    return m_lastWritten;
}

void CRecoveryWriter::Remove(const std::wstring& journalFolder)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_pending && m_pending->folder == journalFolder)
        m_pending.reset();
    m_changed.wait(lock, [this] { return !m_writing; });
    // Still holding the lock: no write of the folder can start meanwhile.
    RemoveRecoveryJournal(journalFolder);
}

int CRecoveryWriter::WriteCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writeCount;
}

void CRecoveryWriter::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        if (!m_pending) {
            m_changed.wait(lock);
            continue;
        }
        const auto due = m_lastWrite + m_interval;
        if (!m_flushing && std::chrono::steady_clock::now() < due) {
            // Newer states replace this one until the interval is over.
            m_changed.wait_until(lock, due, [this] { return m_stop || m_flushing; });
            continue;
        }
        Job job = std::move(*m_pending);
        m_pending.reset();
        WriteJob(lock, std::move(job));
    }
}

void CRecoveryWriter::WriteJob(std::unique_lock<std::mutex>& lock, Job job)
{
    m_writing = true;
    lock.unlock();
    errno = 0;
    const bool written = WriteRecoveryJournal(job.folder, *job.state, job.owner);
    const int error = errno;
    if (!written)
        blog(LOG_WARNING, "The recovery journal could not be written to %s: %s",
             platform::WideToUtf8(job.folder).c_str(), std::strerror(error ? error : EIO));
    job.state.reset();
    lock.lock();
    m_writing = false;
    m_lastWritten = written;
    ++m_writeCount;
    m_lastWrite = std::chrono::steady_clock::now();
    m_changed.notify_all();
}
