#include "ThreadAllocations.h"

#include <algorithm>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

thread_local int64_t t_held = 0;

void* Allocate(std::size_t size)
{
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    t_held += int64_t(malloc_usable_size(block));
    return block;
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    const std::size_t align = std::max<std::size_t>(std::size_t(alignment), sizeof(void*));
    void* block = nullptr;
    if (posix_memalign(&block, align, size ? size : 1) != 0)
        throw std::bad_alloc();
    t_held += int64_t(malloc_usable_size(block));
    return block;
}

void Release(void* block) noexcept
{
    if (!block)
        return;
    // A block freed on another thread than the one that took it moves the
    // count between the two; the measured work takes and frees on one.
    t_held -= int64_t(malloc_usable_size(block));
    std::free(block);
}

}  // namespace

int64_t ThreadHeldBytes() { return t_held; }

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, std::align_val_t) noexcept { Release(block); }
void operator delete[](void* block, std::align_val_t) noexcept { Release(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
