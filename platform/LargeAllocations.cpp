#include "LargeAllocations.h"

#include <malloc.h>

namespace platform {

namespace {

// Rows, small pictures and text stay in the heap; a 1280 × 720 RGBA frame
// (3.5 MB) and anything larger is mapped.
constexpr int kMappedFrom = 2 * 1024 * 1024;

}  // namespace

void MapLargeAllocationsSeparately() { mallopt(M_MMAP_THRESHOLD, kMappedFrom); }

}  // namespace platform
