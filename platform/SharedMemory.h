#pragma once
// A named block of memory shared by every process that opens the same name
// (a POSIX shared-memory object), zero-filled when first created.
#include <cstddef>
#include <string>

namespace platform {

class SharedMemory {
public:
    SharedMemory() = default;
    ~SharedMemory();
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    // Opens or creates "/name" of the given size; created tells whether this
    // call made it.
    bool Open(const std::string& name, size_t size, bool* created = nullptr);
    void Close();
    void* Data() const { return m_data; }
    size_t Size() const { return m_size; }

    static bool Unlink(const std::string& name);

private:
    void* m_data = nullptr;
    size_t m_size = 0;
};

}  // namespace platform
