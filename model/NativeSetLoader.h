#pragma once
// Opening a native set for the editor: the scene file is read and its
// pictures are unpacked where the layers show them from. That is the set
// folder, or, when the set folder cannot be written (a shared sets folder, a
// read-only mount, a file in the way), the set's private cache folder. A
// picture is only ever shown from a file this load has written or has found
// to hold the set's own bytes already.
#include "formats/SceneFile.h"

#include <string>

struct NativeSetLoad {
    std::wstring folder;  // where the thumbnail and the pictures were unpacked
    int error = 0;        // errno of why the pictures could not be unpacked; 0 otherwise
};

// False when the scene file does not read (load.error 0), or when its
// pictures could be unpacked neither in the set folder nor in the cache
// folder.
bool LoadNativeSet(const std::wstring& sceneFile, LayerList& layers, ShotList& shots, SceneFileHeader& header,
                   bool loadLayers, bool loadShots, NativeSetLoad& load);
