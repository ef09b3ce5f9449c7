#pragma once
// The vMix virtual-set folder: "config.xml" beside the layer images, their UV
// maps and "thumbnail.jpg".
#include "SceneRecords.h"

#include <string>

inline constexpr const wchar_t* kVmixConfigFileName = L"config.xml";

struct VmixSetInfo {
    std::wstring name;           // the set's name
    std::wstring thumbnailPath;  // the set's thumbnail image
};

// Writes config.xml at configPath from the layer and shot lists and copies the
// layer files and the thumbnail into its folder; true only when saved.
bool WriteVmixConfig(const std::wstring& configPath, const LayerList& layers, const ShotList& shots,
                     const VmixSetInfo& info);

// Reads a config.xml. The lists are emptied and filled only once the file has
// parsed with a "virtualSet" root; on failure they are left as they were.
bool ReadVmixConfig(const std::wstring& configPath, LayerList& layers, ShotList& shots);

bool IsVmixVirtualSet(const std::wstring& configPath);

// Reads config.xml into scratch lists and moves the layers that have an image
// to the front of layers (so the list order is the reverse of the file order)
// and appends every shot.
bool LoadVmixVirtualSet(const std::wstring& configPath, LayerList& layers, ShotList& shots, bool takeLayers,
                        bool takeShots);

bool WriteEmptyVmixConfig(const std::wstring& folder);
bool WriteVmixTemplateConfig(const std::wstring& folder, int templateIndex);

// The VirtualSets folder of an installed vMix, searching drives A to Z.
bool FindVmixVirtualSetsFolder(std::wstring& folder);

// Number texts of the format: "%f" with a point, and a reader that stops at
// the first character that is not part of a number (empty reads as 0).
std::wstring FormatVmixNumber(double value);
double ParseVmixNumber(const std::wstring& text);
