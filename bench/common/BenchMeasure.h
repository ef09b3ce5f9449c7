#pragma once
// What the benchmarks read of the process and the machine: CPU time and the
// load the numbers were taken under.
#include <cstdint>
#include <string>

// CPU seconds the whole process (every thread) has used.
double ProcessCpuSeconds();
// Seconds on a steady clock.
double WallSeconds();
// The machine's load averages over 1, 5 and 15 minutes, as text.
std::string LoadAverageText();
