#include "LargeAllocations.h"

#include <cstdlib>
#include <malloc.h>
#include <mutex>

namespace platform {

namespace {

// Rows, small pictures and text stay in the heap; a 1280 × 720 RGBA frame
// (3.5 MB) and anything larger is mapped.
constexpr int kMappedFrom = 2 * 1024 * 1024;
// The largest size the allocator accepts: a 3840 × 2160 RGBA picture and its
// decoder's padding fit under it.
constexpr int kHeapUpTo = 32 * 1024 * 1024;
// The allocator's own default for giving back the free end of a heap.
constexpr int kDefaultTrim = 128 * 1024;
constexpr int kNeverTrim = 1 << 30;
// Freeing a block this large makes the allocator trim the heap it is in.
constexpr size_t kTrimmingBlock = 256 * 1024;

std::mutex g_reuseMutex;
int g_reuseDepth = 0;

}  // namespace

void MapLargeAllocationsSeparately() { mallopt(M_MMAP_THRESHOLD, kMappedFrom); }

ReusedLargeBuffers::ReusedLargeBuffers()
{
    std::lock_guard lock(g_reuseMutex);
    if (g_reuseDepth++ > 0)
        return;
    mallopt(M_TRIM_THRESHOLD, kNeverTrim);
    mallopt(M_MMAP_THRESHOLD, kHeapUpTo);
}

ReusedLargeBuffers::~ReusedLargeBuffers()
{
    std::lock_guard lock(g_reuseMutex);
    if (--g_reuseDepth > 0)
        return;
    MapLargeAllocationsSeparately();
    mallopt(M_TRIM_THRESHOLD, kDefaultTrim);
    GiveBackFreeHeapPages();
}

void TrimThisThreadsHeap()
{
    // The allocator has no call for it: a block from this thread's heap,
    // freed, makes the allocator look at the heap's free end. (Held in a
    // volatile, so the compiler cannot drop the pair as doing nothing.)
    void* volatile block = std::malloc(kTrimmingBlock);
    std::free(block);
}

void GiveBackFreeHeapPages() { malloc_trim(0); }

}  // namespace platform
