#pragma once
// Virtual sets for the benchmarks, written once into a work folder and
// reused by later runs: a stack of photograph-like layers, the top one a
// third of the canvas (the one dragged), the others nearly full frame, and
// optionally one screen wrapped through a 16-bit UV map.
#include <cstdint>
#include <string>
#include <vector>

struct BenchSetSpec {
    std::string name;    // the set folder's name
    int layers = 8;
    int width = 1920;    // of every layer picture
    int height = 1080;
    bool uvScreen = true;  // layer 1 carries a UV map of the picture's size
    bool vmix = false;     // a vMix folder instead of a native package
};

struct BenchSet {
    std::string folder;               // empty when it could not be written
    std::vector<std::string> pictures;  // the layer pictures, top first
    std::string uvMap;                // empty without a UV screen
    // The pictures' bytes as 8-bit RGBA (the UV map's as 16-bit RGBA).
    double rawBytes = 0;
};

BenchSet WriteBenchSet(const std::string& workFolder, const BenchSetSpec& spec);
