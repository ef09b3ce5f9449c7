#pragma once
// What one step of the history changed in a set, told by comparing the set
// before and after it: the kind of change and the layer it concerns, so the
// step can be named ("Move Desk", "Add layer Screen").
#include "SetSnapshot.h"

#include <string>

enum class SetChangeKind {
    None,
    LayerAdded,
    LayerRemoved,
    LayerOrder,
    LayerRenamed,  // `layer` is the new name
    LayerMoved,    // place, size, rotation or crop of one layer
    LayersMoved,   // the same of `count` layers
    LayerChanged,  // its files or flags
    Shots,
    Set,           // the set's name, thumbnail or mode; or several kinds at once
};

struct SetChange {
    SetChangeKind kind = SetChangeKind::None;
    std::wstring layer;
    int count = 0;
};

SetChange DescribeSetChange(const SetSnapshot& before, const SetSnapshot& after);

// Whether two records of a layer differ at most in where it sits (place,
// size, rotation, crop).
bool SameLayerApartFromPlacement(const LayerInfo& a, const LayerInfo& b);
bool SamePlacement(const LayerInfo& a, const LayerInfo& b);
// Takes where the layer sits from `from` into `to`.
void CopyPlacement(const LayerInfo& from, LayerInfo& to);
