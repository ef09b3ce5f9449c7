#include "PsdReport.h"

#include "platform/TextConv.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

const std::pair<const char*, const wchar_t*> kNames[] = {
    {"pass", L"Pass Through"}, {"norm", L"Normal"},       {"diss", L"Dissolve"},      {"dark", L"Darken"},
    {"mul ", L"Multiply"},     {"idiv", L"Color Burn"},   {"lbrn", L"Linear Burn"},   {"dkCl", L"Darker Color"},
    {"lite", L"Lighten"},      {"scrn", L"Screen"},       {"div ", L"Color Dodge"},   {"lddg", L"Linear Dodge (Add)"},
    {"lgCl", L"Lighter Color"}, {"over", L"Overlay"},     {"sLit", L"Soft Light"},    {"hLit", L"Hard Light"},
    {"vLit", L"Vivid Light"},  {"lLit", L"Linear Light"}, {"pLit", L"Pin Light"},     {"hMix", L"Hard Mix"},
    {"diff", L"Difference"},   {"smud", L"Exclusion"},    {"fsub", L"Subtract"},      {"fdiv", L"Divide"},
    {"hue ", L"Hue"},          {"sat ", L"Saturation"},   {"colr", L"Color"},         {"lum ", L"Luminosity"},
};

bool IsKnownBlendKey(const std::string& key)
{
    return std::any_of(std::begin(kNames), std::end(kNames), [&](const auto& entry) { return key == entry.first; });
}

}  // namespace

std::string NormalisePsdBlendKey(const std::string& key)
{
    const std::string reversed(key.rbegin(), key.rend());
    return !IsKnownBlendKey(key) && IsKnownBlendKey(reversed) ? reversed : key;
}

std::wstring PsdBlendModeName(const std::string& key)
{
    for (const auto& [k, name] : kNames) {
        if (key == k)
            return name;
    }
    std::wstring text;
    for (unsigned char c : key)
        text += (c >= 32 && c < 127) ? static_cast<wchar_t>(c) : L'?';
    return text;
}

std::wstring DescribePsdChange(const PsdReportEntry& entry)
{
    const std::wstring layer = L"\"" + entry.layer + L"\"";
    switch (entry.change) {
    case PsdChange::BlendShownNormal:
        return layer + L": blend mode " + entry.detail + L" shown as Normal";
    case PsdChange::EmptySkipped:
        return layer + L": holds no pixels, skipped";
    case PsdChange::AdjustmentSkipped:
        return layer + L": adjustment layer, skipped (a set cannot show it)";
    case PsdChange::Renamed:
        return layer + L": renamed \"" + entry.detail + L"\"";
    case PsdChange::ClippedToGroup:
        return layer + L": clipped to a group, shown unclipped";
    case PsdChange::HiddenLeftOut:
        return layer + L": hidden, left out (a vMix set shows every layer)";
    case PsdChange::FlattenedOnly:
        return L"The file has no layers: its flattened picture is the set's one layer " + layer;
    }
    return layer;
}
