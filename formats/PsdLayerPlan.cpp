#include "PsdLayerPlan.h"

#include "platform/TextConv.h"

#include <map>
#include <set>

namespace {

constexpr size_t kNameBytes = 63;  // a set layer's name field, less its NUL

bool IsGroup(const PsdLayerRecord& r) { return r.section == PsdSection::OpenGroup || r.section == PsdSection::ClosedGroup; }

bool IsNormalBlend(const std::string& key) { return key == "norm" || key == "pass"; }

// The file's records with their enclosing group: walked from the top, a group
// record opens a group and its end marker, further down, closes it.
std::vector<int> ParentGroups(const std::vector<PsdLayerRecord>& records)
{
    std::vector<int> parent(records.size(), -1);
    std::vector<int> open;
    for (size_t i = records.size(); i-- > 0;) {
        parent[i] = open.empty() ? -1 : open.back();
        if (IsGroup(records[i]))
            open.push_back(static_cast<int>(i));
        else if (records[i].section == PsdSection::GroupEnd && !open.empty())
            open.pop_back();
    }
    return parent;
}

// The nearest record below in the same group that is not itself clipped.
int ClippingBase(const std::vector<PsdLayerRecord>& records, const std::vector<int>& parent, size_t index)
{
    for (size_t j = index; j-- > 0;) {
        if (records[j].section == PsdSection::GroupEnd || parent[j] != parent[index])
            continue;
        if (!records[j].clipped)
            return static_cast<int>(j);
    }
    return -1;
}

std::wstring DisplayName(const std::vector<PsdLayerRecord>& records, size_t index)
{
    return records[index].name.empty() ? L"Layer " + std::to_wstring(index + 1) : records[index].name;
}

// The name with the groups around it, outermost first: "Version A / Matte".
std::wstring PathName(const std::vector<PsdLayerRecord>& records, const std::vector<int>& parent, size_t index)
{
    std::wstring name = DisplayName(records, index);
    for (int g = parent[index]; g >= 0; g = parent[static_cast<size_t>(g)])
        name = DisplayName(records, static_cast<size_t>(g)) + L" / " + name;
    return name;
}

// The name as the set's record will hold it: cut on a whole character.
std::wstring FitName(const std::wstring& name, size_t bytes)
{
    return platform::AnsiToWide(platform::WideToAnsiLimited(name, bytes));
}

// Layers sharing a name get their group path; what still repeats, a number.
void MakeNamesUnique(const std::vector<PsdLayerRecord>& records, const std::vector<int>& parent, PsdLayerPlan& plan)
{
    std::map<std::wstring, int> uses;
    for (const PsdPlannedLayer& layer : plan.layers)
        ++uses[FitName(layer.name, kNameBytes)];
    std::set<std::wstring> taken;
    for (PsdPlannedLayer& layer : plan.layers) {
        const std::wstring original = layer.name;
        const std::wstring name = uses[FitName(original, kNameBytes)] > 1 ? PathName(records, parent, layer.record) : original;
        std::wstring fitted = FitName(name, kNameBytes);
        for (int n = 2; taken.count(fitted); ++n) {
            const std::wstring suffix = L" " + std::to_wstring(n);
            fitted = FitName(name, kNameBytes - platform::WideToAnsi(suffix).size()) + suffix;
        }
        taken.insert(fitted);
        layer.name = fitted;
        if (fitted != original)
            plan.report.push_back({PsdChange::Renamed, original, fitted});
    }
}

}  // namespace

PsdLayerPlan PlanPsdLayers(const PsdStructure& structure)
{
    const std::vector<PsdLayerRecord>& records = structure.records;
    const std::vector<int> parent = ParentGroups(records);
    PsdLayerPlan plan;
    std::set<int> groupsReported;
    for (size_t i = records.size(); i-- > 0;) {
        const PsdLayerRecord& record = records[i];
        if (record.section != PsdSection::Layer)
            continue;
        const std::wstring name = DisplayName(records, i);
        // A layer left out is named with its groups, so the user can find it in the file.
        const std::wstring where = PathName(records, parent, i);
        if (!record.adjustmentKey.empty()) {
            plan.report.push_back({PsdChange::AdjustmentSkipped, where, {}});
            continue;
        }
        PsdPlannedLayer layer;
        layer.record = i;
        layer.name = name;
        layer.visible = !record.hidden;
        layer.opacity = record.opacity / 255.0f * (record.fillOpacity / 255.0f);
        if (record.clipped) {
            const int base = ClippingBase(records, parent, i);
            if (base >= 0 && IsGroup(records[static_cast<size_t>(base)])) {
                plan.report.push_back({PsdChange::ClippedToGroup, name, {}});
            } else if (base >= 0) {
                const PsdLayerRecord& baseRecord = records[static_cast<size_t>(base)];
                layer.clipBase = base;
                layer.visible = layer.visible && !baseRecord.hidden;
                layer.opacity *= baseRecord.opacity / 255.0f;
                if (baseRecord.rect.empty()) {
                    plan.report.push_back({PsdChange::EmptySkipped, where, {}});
                    continue;
                }
            }
        }
        if (record.rect.empty()) {
            plan.report.push_back({PsdChange::EmptySkipped, where, {}});
            continue;
        }
        for (int g = parent[i]; g >= 0; g = parent[static_cast<size_t>(g)]) {
            const PsdLayerRecord& group = records[static_cast<size_t>(g)];
            layer.visible = layer.visible && !group.hidden;
            layer.opacity *= group.opacity / 255.0f;
            const std::string& blend = group.sectionBlendKey.empty() ? group.blendKey : group.sectionBlendKey;
            if (!IsNormalBlend(blend) && groupsReported.insert(g).second)
                plan.report.push_back({PsdChange::BlendShownNormal, DisplayName(records, static_cast<size_t>(g)),
                                       PsdBlendModeName(blend)});
        }
        if (record.blendKey != "norm")
            plan.report.push_back({PsdChange::BlendShownNormal, name, PsdBlendModeName(record.blendKey)});
        plan.layers.push_back(layer);
    }
    MakeNamesUnique(records, parent, plan);
    return plan;
}
