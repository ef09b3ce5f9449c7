#include "PsdReaderCheck.h"

#include "formats/PsdReader.h"

#include <set>

namespace {

// Counts the rows and holds none of them.
class RowCounter : public PsdPictureSink {
public:
    bool Begin(const PsdPictureInfo& info, std::string&) override
    {
        if (open)
            fault = "a picture began inside another";
        open = true;
        current = info;
        rows = 0;
        ++pictures;
        return true;
    }
    bool Row(const uint8_t* rgba, std::string&) override
    {
        if (!open || rows >= current.height)
            fault = "a row beyond the announced height";
        // Touch the whole row, so a short one shows under the address checker.
        for (size_t i = 0; i < size_t(current.width) * 4; ++i)
            checksum += rgba[i];
        ++rows;
        return true;
    }
    bool End(std::string&) override
    {
        if (!open || rows != current.height)
            fault = "a picture ended with rows missing";
        open = false;
        return true;
    }

    std::string fault;
    bool open = false;
    PsdPictureInfo current;
    uint32_t rows = 0;
    size_t pictures = 0;
    unsigned checksum = 0;
};

}  // namespace

std::string CheckPsdReader(const std::string& bytes, const std::wstring&)
{
    PsdMemoryBytes source(bytes);
    RowCounter counter;
    PsdDecoding decoding;
    std::string error;
    const bool decoded = DecodePsd(source, counter, decoding, error);
    if (!counter.fault.empty())
        return counter.fault;
    if (!decoded)
        return error.empty() ? "refused without a reason" : std::string();
    if (counter.open || counter.pictures != decoding.plan.layers.size())
        return "the pictures do not match the planned layers";
    std::set<std::wstring> names;
    for (const PsdPlannedLayer& layer : decoding.plan.layers) {
        if (layer.name.empty() || !names.insert(layer.name).second)
            return "a set layer name is empty or repeated";
    }
    return {};
}
