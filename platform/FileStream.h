#pragma once
// Streaming access to one file: unbuffered reads, writes and seeks, for files
// too large to hold in memory. Paths are wide text with '/' separators.
#include <cstdint>
#include <cstddef>
#include <string>

namespace platform {

class FileStream {
public:
    enum class Mode {
        Read,       // existing file, reading only
        ReadWrite,  // existing file, reading and writing in place
        CreateNew,  // a new file for writing; fails when the name is taken
    };

    FileStream() = default;
    ~FileStream() { Close(); }
    FileStream(FileStream&& other) noexcept;
    FileStream& operator=(FileStream&& other) noexcept;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    bool Open(const std::wstring& path, Mode mode);
    bool IsOpen() const { return m_fd >= 0; }
    // Closes the file; false when the system reported a failure on close.
    bool Close();

    int64_t Size() const;         // -1 when unknown
    int64_t Position() const;     // -1 when unknown
    bool Seek(int64_t offset);    // from the start
    bool Skip(int64_t count);     // forwards from the current position

    // Reads up to count bytes; fewer only at the end of the file or on an
    // error (LastError then tells which).
    size_t Read(void* buffer, size_t count);
    // Reads exactly count bytes; false on a short read.
    bool ReadExact(void* buffer, size_t count);
    // Writes all bytes; false on any failure.
    bool Write(const void* buffer, size_t count);
    // Flushes the file's data to the disk.
    bool Sync();
    // Starts writing what was written so far to the disk without waiting, so
    // a later Sync of a large file has little left to wait for.
    void StartWriteback();

    // errno of the last failure (0 after a plain end of file).
    int LastError() const { return m_error; }

private:
    friend class ReplacementFile;
    bool Adopt(int fd);

    int m_fd = -1;
    int m_error = 0;
};

// A new file that replaces a target only when it is complete: the bytes go to
// a temporary file in the target's folder, and Commit renames that file over
// the target. A file that is never committed is removed, so a failed or
// interrupted write leaves the old target as it was.
class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile() { Abandon(); }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool Create(const std::wstring& target);
    FileStream& stream() { return m_stream; }
    // Flushes (to the disk too when syncToDisk), closes and renames over the
    // target. On failure the temporary file is removed and errno tells why.
    bool Commit(bool syncToDisk);
    // Removes the temporary file (keeps errno).
    void Abandon();

private:
    FileStream m_stream;
    std::wstring m_target;
    std::wstring m_temp;
};

// Copies exactly count bytes from one stream's position to the other's,
// through a fixed buffer. False on a short read or any failure; errno tells
// why (EIO stands for a file that ended early).
bool CopyStreamBytes(FileStream& from, FileStream& to, int64_t count);

// True when the next count bytes of both streams are the same; false at the
// first difference, on a short read or on any failure.
bool SameStreamBytes(FileStream& one, FileStream& other, int64_t count);

}  // namespace platform
