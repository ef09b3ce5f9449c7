#pragma once
// Huge pages for the large buffers of decoded pictures.
//
// A 3840 × 2160 picture passes through a dozen buffers of 33 MB on its way
// from the file to a texture (the decoder's frames, the engine's copy, the
// renderer's storage), each a fresh mapping whose every 4 KB page faults in
// on first touch: on a virtual machine those faults cost as much as the
// decoding itself. Backed by 2 MB pages they cost a fraction, and a texture
// read across rows misses the address cache far less often.
//
// Where the system gives huge pages only to memory that asks for them (the
// usual "madvise" setting), the C library asks for its large allocations
// when told so by its tunables, which it reads once as the program starts.
#include <string>

namespace platform {

// Starts the program again with the allocator asking for huge pages, when
// the system offers them on request and the allocator is not set either way
// yet; returns when nothing needs doing or the restart cannot be made, and
// the program goes on as it is. Call it first thing in main, before any
// thread starts. A user's own setting of the tunable is kept.
void RestartWithHugePageBuffers(char** argv);

// The pieces, for the tests.
// The setting in brackets in a kernel file such as
// /sys/kernel/mm/transparent_hugepage/enabled ("always [madvise] never").
std::string ChosenKernelSetting(const std::string& text);
// The tunables text to start with, or empty when `current` already says
// whether the allocator asks for huge pages.
std::string TunablesAskingForHugePages(const char* current);

}  // namespace platform
