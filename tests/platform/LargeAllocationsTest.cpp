#include "platform/LargeAllocations.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define ALLOCATOR_REPLACED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ALLOCATOR_REPLACED 1
#endif
#endif

namespace {

#ifdef ALLOCATOR_REPLACED
constexpr bool kSystemAllocator = false;  // the sanitizer's allocator keeps freed blocks aside
#else
constexpr bool kSystemAllocator = true;
#endif

constexpr size_t kPicture = size_t(3840) * 2160 * 4;  // a 4K RGBA picture
constexpr double kSlackMegabytes = 8.0;

double ResidentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

size_t MappedChunks() { return mallinfo2().hblks; }

// A picture decoded: its buffer taken, written whole and freed.
void DecodeOnePicture()
{
    void* buffer = std::malloc(kPicture);
    ASSERT_NE(buffer, nullptr);
    std::memset(buffer, 0x5a, kPicture);
    asm volatile("" : : "g"(buffer) : "memory");  // written for real, not optimised away
    std::free(buffer);
}

}  // namespace

TEST(LargeAllocations, WhileReusedAFreedPictureServesTheNextAndAfterwardsItsPagesGoBack)
{
    if (!kSystemAllocator)
        GTEST_SKIP() << "built with the sanitizer's allocator";
    platform::MapLargeAllocationsSeparately();
    const double before = ResidentMegabytes();
    const size_t mapped = MappedChunks();
    {
        const platform::ReusedLargeBuffers reuse;
        DecodeOnePicture();
        {
            const platform::ReusedLargeBuffers nested;  // an inner end changes nothing
        }
        void* next = std::malloc(kPicture);
        ASSERT_NE(next, nullptr);
        asm volatile("" : : "g"(next) : "memory");
        EXPECT_EQ(MappedChunks(), mapped) << "the picture was mapped anew instead of taken from the heap";
        std::free(next);
        EXPECT_GT(ResidentMegabytes(), before + 16.0) << "the freed picture should stay ready for the next";
    }
    EXPECT_LT(ResidentMegabytes(), before + kSlackMegabytes) << "the freed picture stayed resident";

    void* later = std::malloc(kPicture);
    ASSERT_NE(later, nullptr);
    asm volatile("" : : "g"(later) : "memory");
    EXPECT_EQ(MappedChunks(), mapped + 1) << "large buffers are mapped separately again";
    std::free(later);
}

TEST(LargeAllocations, AThreadThatDecodedGivesItsHeapsFreeEndBack)
{
    if (!kSystemAllocator)
        GTEST_SKIP() << "built with the sanitizer's allocator";
    platform::MapLargeAllocationsSeparately();
    const double before = ResidentMegabytes();
    std::optional<platform::ReusedLargeBuffers> reuse(std::in_place);
    enum class Step { Started, Decoded, Reused, Trimmed, Measured } step = Step::Started;
    std::mutex mutex;
    std::condition_variable changed;
    auto go = [&](Step next) {
        std::lock_guard lock(mutex);
        step = next;
        changed.notify_all();
    };
    auto await = [&](Step wanted) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return step == wanted; });
    };
    // The worker stays alive until the end is measured: a thread that ends
    // gives its heap back anyway.
    std::thread worker([&] {
        DecodeOnePicture();
        DecodeOnePicture();
        go(Step::Decoded);
        await(Step::Reused);
        platform::TrimThisThreadsHeap();
        go(Step::Trimmed);
        await(Step::Measured);
    });
    await(Step::Decoded);
    reuse.reset();
    go(Step::Reused);
    await(Step::Trimmed);
    const double after = ResidentMegabytes();
    go(Step::Measured);
    worker.join();
    EXPECT_LT(after, before + kSlackMegabytes) << "the worker's freed picture stayed resident";
}
