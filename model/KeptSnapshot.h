#pragma once
// A set snapshot as a long history keeps it: the layer records a step did
// not change are shared with the snapshot before it, so a step costs about
// the records it changed rather than a copy of the whole set.
#include "SetSnapshot.h"

#include <memory>
#include <vector>

class KeptSnapshot {
public:
    // Keeps `snapshot`, sharing each layer record that equals the one at the
    // same place in `previous` (optional).
    KeptSnapshot(const SetSnapshot& snapshot, const KeptSnapshot* previous);

    // The whole snapshot again, with its own copies of the records. Its
    // content is left empty: it is what the set holds once it was put back.
    std::shared_ptr<const SetSnapshot> Expand() const;

private:
    // One layer record with its own copies of the paths.
    struct Layer {
        explicit Layer(const LayerInfo& record);
        const LayerInfo& Record() const { return own[0]; }
        LayerList own;
    };
    static bool SameRecord(const LayerInfo& a, const LayerInfo& b);

    std::vector<std::shared_ptr<const Layer>> m_layers;
    std::shared_ptr<const SetSnapshot> m_rest;  // everything but the layers
};
