#pragma once
// The vMix virtual-set folder: "config.xml" beside the layer images, their UV
// maps and "thumbnail.jpg".
#include "SceneRecords.h"
#include "SetFileNames.h"

#include <string>
#include <vector>

inline constexpr const wchar_t* kVmixConfigFileName = L"config.xml";
// Notes kept per read: enough to tell the user what is wrong, and a file that
// names thousands of missing files costs no more.
inline constexpr size_t kMaxVmixNotes = 100;

struct VmixSetInfo {
    std::wstring name;           // the set's name
    std::wstring thumbnailPath;  // the set's thumbnail image
};

// Writes config.xml at configPath from the layer and shot lists and copies the
// layer files and the thumbnail into its folder (an existing folder); true
// only when all of it was saved. The new folder is built beside the old one
// and takes its place only when complete (FolderReplacement), so a failure
// leaves the old folder as it was, and no file of it is written over while a
// layer may still have to be read from it. Files get names Windows can hold
// (SetFileNames). Rotations are written from turns as degrees. errno tells
// why it failed; ENODATA for an empty layer list.
bool WriteVmixConfig(const std::wstring& configPath, const LayerList& layers, const ShotList& shots,
                     const VmixSetInfo& info);

// Reads a config.xml. The lists are emptied and filled only once the file has
// parsed with a "virtualSet" root; on failure they are left as they were.
// Files are looked for inside the set folder only (see FindSetFile): a name
// that leads elsewhere leaves its layer without that file. What the user
// should hear about (names refused, files missing) goes to notes, at most the
// first kMaxVmixNotes. Rotations are read from degrees into turns; values no placement can
// use are brought within reach (ClampLayerPlacement).
bool ReadVmixConfig(const std::wstring& configPath, LayerList& layers, ShotList& shots,
                    std::vector<SetFileNote>* notes = nullptr);

bool IsVmixVirtualSet(const std::wstring& configPath);

// Reads config.xml into scratch lists and moves the layers that name an image
// to the front of layers (so the list order is the reverse of the file order)
// and appends every shot. A layer whose image was refused or is missing stays,
// without a picture, so the user sees what the set holds.
bool LoadVmixVirtualSet(const std::wstring& configPath, LayerList& layers, ShotList& shots, bool takeLayers,
                        bool takeShots, std::vector<SetFileNote>* notes = nullptr);

bool WriteEmptyVmixConfig(const std::wstring& folder);
bool WriteVmixTemplateConfig(const std::wstring& folder, int templateIndex);

// The VirtualSets folder of an installed vMix, searching drives A to Z.
bool FindVmixVirtualSetsFolder(std::wstring& folder);

// Number texts of the format: "%f" with a point, and a reader that stops at
// the first character that is not part of a number (empty reads as 0).
std::wstring FormatVmixNumber(double value);
// A record's value as "%f" of the shortest decimal that reads back as the
// same float: a value read from a file is written back as it stood.
std::wstring FormatVmixValue(float value);
double ParseVmixNumber(const std::wstring& text);
