#include "FileStream.h"

#include "FileUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

FileStream::FileStream(FileStream&& other) noexcept : m_fd(other.m_fd), m_error(other.m_error)
{
    other.m_fd = -1;
}

FileStream& FileStream::operator=(FileStream&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = other.m_fd;
        m_error = other.m_error;
        other.m_fd = -1;
    }
    return *this;
}

bool FileStream::Open(const std::wstring& path, Mode mode)
{
    Close();
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read: flags |= O_RDONLY; break;
    case Mode::ReadWrite: flags |= O_RDWR; break;
    case Mode::CreateNew: flags |= O_WRONLY | O_CREAT | O_EXCL; break;
    }
    int fd = path.empty() ? -1 : ::open(NativePath(path).c_str(), flags, 0666);
    if (fd < 0) {
        m_error = path.empty() ? ENOENT : errno;
        errno = m_error;
        return false;
    }
    return Adopt(fd);
}

bool FileStream::Adopt(int fd)
{
    m_fd = fd;
    m_error = 0;
    return true;
}

bool FileStream::Close()
{
    if (m_fd < 0)
        return true;
    const int result = ::close(m_fd);
    m_fd = -1;
    if (result != 0) {
        m_error = errno;
        return false;
    }
    return true;
}

int64_t FileStream::Size() const
{
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return -1;
    return static_cast<int64_t>(st.st_size);
}

int64_t FileStream::Position() const
{
    if (m_fd < 0)
        return -1;
    return static_cast<int64_t>(::lseek(m_fd, 0, SEEK_CUR));
}

bool FileStream::Seek(int64_t offset)
{
    if (m_fd < 0 || offset < 0 || ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
        m_error = m_fd < 0 ? EBADF : (offset < 0 ? EINVAL : errno);
        return false;
    }
    return true;
}

bool FileStream::Skip(int64_t count)
{
    if (count < 0 || m_fd < 0 || ::lseek(m_fd, static_cast<off_t>(count), SEEK_CUR) < 0) {
        m_error = m_fd < 0 ? EBADF : (count < 0 ? EINVAL : errno);
        return false;
    }
    return true;
}

size_t FileStream::Read(void* buffer, size_t count)
{
    m_error = 0;
    if (m_fd < 0) {
        m_error = EBADF;
        return 0;
    }
    char* p = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(m_fd, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_error = errno;
            break;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

bool FileStream::ReadExact(void* buffer, size_t count)
{
    if (Read(buffer, count) == count)
        return true;
    if (m_error == 0)
        m_error = EIO;  // the file ended early
    return false;
}

bool FileStream::Write(const void* buffer, size_t count)
{
    if (m_fd < 0) {
        m_error = EBADF;
        return false;
    }
    const char* p = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t n = ::write(m_fd, p, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_error = errno;
            return false;
        }
        p += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

bool FileStream::Sync()
{
    if (m_fd < 0 || ::fdatasync(m_fd) != 0) {
        m_error = m_fd < 0 ? EBADF : errno;
        return false;
    }
    return true;
}

void FileStream::StartWriteback()
{
    if (m_fd >= 0)
        ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool ReplacementFile::Create(const std::wstring& target)
{
    Abandon();
    const std::wstring folder = FolderPart(target);
    m_temp = MakeTempFile(folder.empty() ? L"." : folder, L"." + FileNamePart(target) + L".");
    if (m_temp.empty())
        return false;
    int fd = ::open(NativePath(m_temp).c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        Abandon();
        return false;
    }
    // The temporary file is private while it is written; the finished file
    // gets the permissions of a plain new file.
    m_stream.Adopt(fd);
    m_target = target;
    return true;
}

bool ReplacementFile::Commit(bool syncToDisk)
{
    if (!m_stream.IsOpen()) {
        errno = EBADF;
        return false;
    }
    bool ok = !syncToDisk || m_stream.Sync();
    ok = m_stream.Close() && ok;
    if (ok) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        const std::string temp = NativePath(m_temp);
        ::chmod(temp.c_str(), 0666 & ~mask);
        ok = ::rename(temp.c_str(), NativePath(m_target).c_str()) == 0;
    } else {
        errno = m_stream.LastError();
    }
    if (!ok) {
        Abandon();
        return false;
    }
    m_temp.clear();
    m_target.clear();
    return true;
}

void ReplacementFile::Abandon()
{
    const int saved = errno;
    m_stream.Close();
    if (!m_temp.empty())
        ::unlink(NativePath(m_temp).c_str());
    m_temp.clear();
    m_target.clear();
    errno = saved;
}

bool CopyStreamBytes(FileStream& from, FileStream& to, int64_t count)
{
    if (count < 0) {
        errno = EINVAL;
        return false;
    }
    constexpr size_t kChunk = size_t(1) << 20;
    const size_t bufferSize = static_cast<size_t>(std::min<int64_t>(count, kChunk));
    if (bufferSize == 0)
        return true;
    std::unique_ptr<char[]> buffer(new char[bufferSize]);
    while (count > 0) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(bufferSize)));
        if (!from.ReadExact(buffer.get(), want)) {
            errno = from.LastError();
            return false;
        }
        if (!to.Write(buffer.get(), want)) {
            errno = to.LastError();
            return false;
        }
        count -= static_cast<int64_t>(want);
    }
    return true;
}

bool SameStreamBytes(FileStream& one, FileStream& other, int64_t count)
{
    if (count < 0)
        return false;
    constexpr size_t kChunk = size_t(1) << 20;
    const size_t bufferSize = static_cast<size_t>(std::min<int64_t>(count, kChunk));
    if (bufferSize == 0)
        return true;
    std::unique_ptr<char[]> first(new char[bufferSize]);
    std::unique_ptr<char[]> second(new char[bufferSize]);
    while (count > 0) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(bufferSize)));
        if (!one.ReadExact(first.get(), want) || !other.ReadExact(second.get(), want) ||
            std::memcmp(first.get(), second.get(), want) != 0)
            return false;
        count -= static_cast<int64_t>(want);
    }
    return true;
}

}  // namespace platform
