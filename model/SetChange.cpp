#include "SetChange.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool SameFilesAndFlags(const LayerInfo& a, const LayerInfo& b)
{
    return a.dynamic == b.dynamic && a.visible == b.visible && a.uvEnabled == b.uvEnabled &&
           LayerImagePath(a) == LayerImagePath(b) && LayerUvPath(a) == LayerUvPath(b);
}

bool SameName(const LayerInfo& a, const LayerInfo& b) { return std::strncmp(a.name, b.name, sizeof a.name) == 0; }

}  // namespace

bool SamePlacement(const LayerInfo& a, const LayerInfo& b)
{
    return a.x == b.x && a.y == b.y && a.zoomX == b.zoomX && a.zoomY == b.zoomY && a.zoomZ == b.zoomZ &&
           a.rotateX == b.rotateX && a.rotateY == b.rotateY && a.rotateZ == b.rotateZ && a.cropLeft == b.cropLeft &&
           a.cropTop == b.cropTop && a.cropRight == b.cropRight && a.cropBottom == b.cropBottom;
}

void CopyPlacement(const LayerInfo& from, LayerInfo& to)
{
    to.x = from.x;
    to.y = from.y;
    to.zoomX = from.zoomX;
    to.zoomY = from.zoomY;
    to.zoomZ = from.zoomZ;
    to.rotateX = from.rotateX;
    to.rotateY = from.rotateY;
    to.rotateZ = from.rotateZ;
    to.cropLeft = from.cropLeft;
    to.cropTop = from.cropTop;
    to.cropRight = from.cropRight;
    to.cropBottom = from.cropBottom;
}

bool SameLayerApartFromPlacement(const LayerInfo& a, const LayerInfo& b)
{
    return SameName(a, b) && SameFilesAndFlags(a, b);
}

namespace {

std::vector<std::wstring> Names(const LayerList& layers)
{
    std::vector<std::wstring> names;
    for (size_t i = 0; i < layers.size(); ++i)
        names.push_back(GetRecordName(layers[i].name));
    return names;
}

// The first name of `more` that `fewer` lacks (counting repeated names).
std::wstring ExtraName(std::vector<std::wstring> more, std::vector<std::wstring> fewer)
{
    for (const std::wstring& name : fewer) {
        if (auto found = std::find(more.begin(), more.end(), name); found != more.end())
            more.erase(found);
    }
    return more.empty() ? std::wstring() : more.front();
}

SetChange LayerEdits(const LayerList& before, const LayerList& after)
{
    SetChange change;
    int moved = 0, renamed = 0, changed = 0;
    for (size_t i = 0; i < after.size(); ++i) {
        const bool placement = !SamePlacement(before[i], after[i]);
        const bool name = !SameName(before[i], after[i]);
        const bool files = !SameFilesAndFlags(before[i], after[i]);
        if (!placement && !name && !files)
            continue;
        moved += placement;
        renamed += name;
        changed += files;
        change.layer = GetRecordName(after[i].name);
        ++change.count;
    }
    if (change.count == 0)
        return change;
    if (moved == change.count && renamed == 0 && changed == 0)
        change.kind = change.count == 1 ? SetChangeKind::LayerMoved : SetChangeKind::LayersMoved;
    else if (change.count > 1 || (moved + renamed + changed) > 1)
        change.kind = SetChangeKind::Set;
    else
        change.kind = renamed ? SetChangeKind::LayerRenamed : SetChangeKind::LayerChanged;
    return change;
}

}  // namespace

SetChange DescribeSetChange(const SetSnapshot& before, const SetSnapshot& after)
{
    const std::vector<std::wstring> namesBefore = Names(before.layers), namesAfter = Names(after.layers);
    if (after.layers.size() > before.layers.size())
        return {SetChangeKind::LayerAdded, ExtraName(namesAfter, namesBefore), 1};
    if (after.layers.size() < before.layers.size())
        return {SetChangeKind::LayerRemoved, ExtraName(namesBefore, namesAfter),
                static_cast<int>(before.layers.size() - after.layers.size())};
    SetChange layers = LayerEdits(before.layers, after.layers);
    if (layers.kind != SetChangeKind::None && namesBefore != namesAfter && layers.kind != SetChangeKind::LayerRenamed) {
        std::vector<std::wstring> a = namesBefore, b = namesAfter;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        if (a == b)
            return {SetChangeKind::LayerOrder, {}, 0};
    }
    const bool shots = !SameShots(before.shots, after.shots);
    const bool set = before.name != after.name || before.thumbnailPath != after.thumbnailPath ||
                     before.shotMode != after.shotMode || before.headerValue != after.headerValue;
    if (layers.kind != SetChangeKind::None)
        return shots || set ? SetChange{SetChangeKind::Set, {}, 0} : layers;
    if (shots)
        return set ? SetChange{SetChangeKind::Set, {}, 0} : SetChange{SetChangeKind::Shots, {}, 0};
    return set ? SetChange{SetChangeKind::Set, {}, 0} : SetChange{};
}
