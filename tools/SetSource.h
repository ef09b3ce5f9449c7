#pragma once
// Reading a set of either format for the command-line tools, the way the
// editor reads it: the records in list order with the crop as insets.
#include "formats/SceneRecords.h"
#include "formats/SetFileNames.h"

#include <string>

enum class SetFormatKind { None, Native, Vmix };

// The format of the set a path names (a set folder, its "scene.tvn" or its
// "config.xml"), with the set file found.
SetFormatKind DetectSetFormat(const std::wstring& path, std::wstring& setFile);

struct LoadedSet {
    std::wstring name;           // the set folder's name
    std::wstring thumbnailPath;  // the set's thumbnail picture
    LayerList layers;
    ShotList shots;
    std::vector<SetFileNote> notes;  // files a vMix set names that were refused or not found
};

// Reads the set. A native set is unpacked into workFolder (never beside its
// own scene file, so a set in a read-only folder reads too); a vMix set is
// read where it is.
bool ReadSetForConversion(const std::wstring& path, const std::wstring& workFolder, LoadedSet& set, std::string& error);
