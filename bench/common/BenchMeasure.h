#pragma once
// What the benchmarks read of the process and the machine: CPU time and the
// load the numbers were taken under.
#include <cstdint>
#include <string>

// CPU seconds the whole process (every thread) has used.
double ProcessCpuSeconds();
// Seconds on a steady clock.
double WallSeconds();
// A field of /proc/self/status (VmRSS, VmHWM, RssAnon, ...) in kilobytes, or -1.
long StatusKilobytes(const char* field);
// Bytes the allocator has handed out and not had back (heap and mapped).
double HeapBytesInUse();
// The machine's load averages over 1, 5 and 15 minutes, as text.
std::string LoadAverageText();
