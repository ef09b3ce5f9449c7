#pragma once
// How the allocator treats the large buffers of decoded pictures.

namespace platform {

// Makes every large allocation a mapping of its own, given back to the
// system when freed. Left to itself the allocator raises that size to just
// above the largest buffer freed so far, and a 3840 × 2160 RGBA picture
// (just under the raise's limit) then lands in the decoding thread's heap,
// where its freed pages stay resident: a few hundred megabytes after a set
// of 4K layers opens.
void MapLargeAllocationsSeparately();

// While one lives, picture-sized buffers come from the heaps and a freed one
// is taken again by the next picture, instead of being mapped anew and
// zeroed page by page by the system: decoding a set's pictures in a row
// costs a quarter less. When the last one ends, large allocations are mapped
// separately again and the free pages inside every heap go back to the
// system. The free top of a thread's own heap only goes back from that
// thread: each thread that decoded calls TrimThisThreadsHeap afterwards.
class ReusedLargeBuffers {
public:
    ReusedLargeBuffers();
    ~ReusedLargeBuffers();
    ReusedLargeBuffers(const ReusedLargeBuffers&) = delete;
    ReusedLargeBuffers& operator=(const ReusedLargeBuffers&) = delete;
};

// Gives the free end of the calling thread's heap back to the system.
void TrimThisThreadsHeap();

// Gives the free pages inside every heap back to the system: a buffer taken
// from a heap while large buffers were reused (a layer's picture, a frame
// composed then) and freed since stays resident until then.
void GiveBackFreeHeapPages();

}  // namespace platform
