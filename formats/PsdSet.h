#pragma once
// A layered Photoshop file as a new virtual set: one set layer per PSD layer
// (top first), placed at its offset over a canvas of the file's size.
#include "PsdReader.h"
#include "SceneRecords.h"

#include <string>

enum class PsdSetFormat { Native, Vmix };

// The layer's record, its image path still to be set: centre and size in the
// set's normalised coordinates, hidden layers hidden.
LayerInfo PsdLayerRecord(const PsdDocument& document, const PsdLayer& layer);

// Writes the document as the set folder `target`, which must not exist yet.
// The set is made in a temporary folder beside it and renamed into place, so
// a failure leaves no half-made set. A vMix set keeps no hidden state, so
// hidden layers stay out of it; each is added to `report`.
bool WritePsdSet(const PsdDocument& document, const std::wstring& target, PsdSetFormat format,
                 PsdImportReport& report, std::string& error);
