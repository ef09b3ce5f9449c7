#pragma once
// What an import changed or left out of a Photoshop file, layer by layer, so
// the user learns where the set differs from the file.
#include <string>
#include <vector>

enum class PsdChange {
    BlendShownNormal,   // detail: the blend mode's name
    EmptySkipped,       // the layer stores no pixels
    AdjustmentSkipped,  // an adjustment layer changes the layers below; a set cannot
    Renamed,            // detail: the set layer's name
    ClippedToGroup,     // clipping to a group is not applied
    FlattenedOnly,      // the file has no layers: its flattened picture is the one layer
    HiddenLeftOut,      // a vMix set shows every layer, so a hidden one stays out
};

struct PsdReportEntry {
    PsdChange change;
    std::wstring layer;   // the layer's (or group's) name in the file
    std::wstring detail;
};

using PsdImportReport = std::vector<PsdReportEntry>;

// Some writers store the blend key backwards ("mron"); such a key is turned round.
std::string NormalisePsdBlendKey(const std::string& key);
// The blend mode's name as Photoshop shows it ("Multiply"), or the key.
std::wstring PsdBlendModeName(const std::string& key);
// One line of the report in English, for the command line.
std::wstring DescribePsdChange(const PsdReportEntry& entry);
