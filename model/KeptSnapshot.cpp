#include "KeptSnapshot.h"

#include <cstring>

namespace {

// Everything of a snapshot but its layers.
void CopyAllButLayers(const SetSnapshot& from, SetSnapshot& to)
{
    to.shots = from.shots;
    to.shotToItem = from.shotToItem;
    to.name = from.name;
    to.thumbnailPath = from.thumbnailPath;
    to.shotMode = from.shotMode;
    to.headerValue = from.headerValue;
}

}  // namespace

KeptSnapshot::Layer::Layer(const LayerInfo& record) { own.push_back(CloneLayer(record)); }

bool KeptSnapshot::SameRecord(const LayerInfo& a, const LayerInfo& b)
{
    // Byte for byte apart from the handles and the path buffers' addresses:
    // equal bytes are equal values, and a difference only in unused bytes
    // merely keeps one record more.
    auto fields = [](const LayerInfo& layer) {
        LayerInfo copy;
        std::memcpy(&copy, &layer, sizeof copy);
        copy.uvFilter = copy.imageSource = nullptr;
        copy.imagePath = copy.uvPath = nullptr;
        return copy;
    };
    const LayerInfo x = fields(a), y = fields(b);
    return std::memcmp(&x, &y, sizeof x) == 0 && LayerImagePath(a) == LayerImagePath(b) &&
           LayerUvPath(a) == LayerUvPath(b);
}

KeptSnapshot::KeptSnapshot(const SetSnapshot& snapshot, const KeptSnapshot* previous)
{
    m_layers.reserve(snapshot.layers.size());
    for (size_t i = 0; i < snapshot.layers.size(); ++i) {
        const LayerInfo& record = snapshot.layers[i];
        if (previous && i < previous->m_layers.size() && SameRecord(previous->m_layers[i]->Record(), record))
            m_layers.push_back(previous->m_layers[i]);
        else
            m_layers.push_back(std::make_shared<const Layer>(record));
    }
    // A step that changed only layers shares the rest as well.
    if (previous && SameApartFromLayers(*previous->m_rest, snapshot)) {
        m_rest = previous->m_rest;
    } else {
        auto rest = std::make_shared<SetSnapshot>();
        CopyAllButLayers(snapshot, *rest);
        m_rest = std::move(rest);
    }
}

std::shared_ptr<const SetSnapshot> KeptSnapshot::Expand() const
{
    auto snapshot = std::make_shared<SetSnapshot>();
    for (const auto& layer : m_layers)
        snapshot->layers.push_back(CloneLayer(layer->Record()));
    CopyAllButLayers(*m_rest, *snapshot);
    return snapshot;
}
