#include "SharedMemory.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {
std::string ObjectName(const std::string& name) { return name.starts_with('/') ? name : "/" + name; }
}  // namespace

SharedMemory::~SharedMemory() { Close(); }

bool SharedMemory::Open(const std::string& name, size_t size, bool* created)
{
    Close();
    const std::string objectName = ObjectName(name);
    bool madeHere = true;
    int fd = ::shm_open(objectName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) {
        madeHere = false;
        fd = ::shm_open(objectName.c_str(), O_RDWR | O_CLOEXEC, 0600);
    }
    if (fd < 0)
        return false;
    // ftruncate only grows a new object; a smaller existing one is made large
    // enough, its extra bytes reading as zero.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || (static_cast<size_t>(st.st_size) < size && ::ftruncate(fd, static_cast<off_t>(size)) != 0)) {
        ::close(fd);
        return false;
    }
    void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    if (data == MAP_FAILED)
        return false;
    m_data = data;
    m_size = size;
    if (created)
        *created = madeHere;
    return true;
}

void SharedMemory::Close()
{
    if (m_data)
        ::munmap(m_data, m_size);
    m_data = nullptr;
    m_size = 0;
}

bool SharedMemory::Unlink(const std::string& name) { return ::shm_unlink(ObjectName(name).c_str()) == 0; }

}  // namespace platform
