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

}  // namespace platform
