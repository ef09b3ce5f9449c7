#pragma once
// Follows the layers' items from frame to frame and names the one layer that
// keeps changing while all the others stay: the layer being dragged or slid,
// or the layer showing a live picture. Only such a layer is worth drawing
// apart from the others (see SplitComposition); a layer that changes once,
// or several layers changing together, are not.
#include "SceneState.h"

#include <optional>
#include <vector>

class ChangingLayer {
public:
    // Takes this frame's items (bottom first) and answers the position of
    // the layer changing alone, if there is one.
    std::optional<size_t> Follow(const std::vector<ItemState>& items);
    void Forget();

private:
    std::vector<ItemState> m_last;
    std::optional<size_t> m_changedLastFrame;
    std::optional<size_t> m_current;
};
