#pragma once
// Large test pictures for the benchmarks: gradients with grain, so they
// compress like photographs rather than like flat colour.
#include <string>

// Writes a PNG, 3840 × 2160 unless told. With softAlphaEdge the bottom rows
// fade out, like a keyed studio element.
bool MakeBenchPng(const std::string& path, int seed, bool softAlphaEdge, int width = 3840, int height = 2160);
