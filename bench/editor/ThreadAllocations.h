#pragma once
// Bytes the calling thread holds from operator new, counted by the program
// that links ThreadAllocations.cpp (it replaces the global operator new and
// delete). Memory of one thread's work (an editor's undo history) is then
// measured without the engine's threads allocating and freeing megabytes
// alongside it. What C code mallocs directly is not counted.
#include <cstdint>

int64_t ThreadHeldBytes();
