#include "PsdStructure.h"

#include "PsdReport.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kMaxChannels = 56;
constexpr uint64_t kMaxProfileBytes = uint64_t(8) << 20;

bool Refuse(std::string& error, std::string reason)
{
    error = std::move(reason);
    return false;
}

bool IsSignature(const std::string& key) { return key == "8BIM" || key == "8B64"; }

// Blocks whose length field has 8 bytes in the large-document variant.
bool HasWideLength(const std::string& key)
{
    static const char* const kWide[] = {"LMsk", "Lr16", "Lr32", "Layr", "Mt16", "Mt32", "Mtrn",
                                        "Alph", "FMsk", "lnk2", "FEid", "FXid", "PxSD"};
    return std::any_of(std::begin(kWide), std::end(kWide), [&](const char* k) { return key == k; });
}

bool IsAdjustmentKey(const std::string& key)
{
    static const char* const kAdjustments[] = {"levl", "curv", "brit", "blnc", "blwh", "hue ", "hue2", "selc",
                                               "mixr", "grdm", "phfl", "expA", "thrs", "nvrt", "post", "vibA",
                                               "clrL", "CgEd"};
    return std::any_of(std::begin(kAdjustments), std::end(kAdjustments), [&](const char* k) { return key == k; });
}

// Writers pad tagged blocks to 2 or to 4 bytes; up to three filler bytes
// before the next signature are passed over.
bool AlignToSignature(PsdCursor& cursor)
{
    for (int skipped = 0; skipped < 4 && cursor.remaining() >= 12; ++skipped) {
        if (IsSignature(cursor.PeekKey()))
            return true;
        cursor.Skip(1);
    }
    return false;
}

std::wstring Utf16BigEndianText(const std::string& bytes)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t unit = (static_cast<unsigned char>(bytes[i]) << 8) | static_cast<unsigned char>(bytes[i + 1]);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = (static_cast<unsigned char>(bytes[i + 2]) << 8) | static_cast<unsigned char>(bytes[i + 3]);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        text += (unit >= 0xD800 && unit < 0xE000) ? L'\uFFFD' : static_cast<wchar_t>(unit);
    }
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

// Pascal names are UTF-8 from some writers, the system's 8-bit text from
// Photoshop; the latter is taken as Latin-1.
std::wstring PascalText(const std::string& bytes)
{
    const std::wstring decoded = platform::Utf8ToWide(bytes);
    if (decoded.find(L'\uFFFD') == std::wstring::npos)
        return decoded;
    std::wstring text;
    for (unsigned char c : bytes)
        text += static_cast<wchar_t>(c);
    return text;
}

PsdRect ReadRect(PsdCursor& cursor)
{
    PsdRect rect;
    rect.top = cursor.I32();
    rect.left = cursor.I32();
    rect.bottom = cursor.I32();
    rect.right = cursor.I32();
    return rect;
}

void ReadMask(PsdCursor mask, PsdMask& out)
{
    if (mask.remaining() < 18)
        return;
    out.present = true;
    out.rect = ReadRect(mask);
    out.defaultColour = mask.U8();
    const uint8_t flags = mask.U8();
    out.disabled = (flags & 0x02) != 0;
    if (mask.remaining() == 2)  // the short form ends with padding
        return;
    if (flags & 0x10) {
        const uint8_t parameters = mask.U8();
        mask.Skip((parameters & 1 ? 1 : 0) + (parameters & 2 ? 8 : 0) + (parameters & 4 ? 1 : 0) + (parameters & 8 ? 8 : 0));
    }
    if (mask.remaining() >= 18) {
        const uint8_t realFlags = mask.U8();
        out.realDisabled = (realFlags & 0x02) != 0;
        out.realBackground = mask.U8();
        out.realRect = ReadRect(mask);
        out.hasReal = mask.ok();
    }
    if (!mask.ok())
        out = PsdMask{};
}

void ReadLayerInfoBlocks(PsdCursor& extra, bool large, PsdLayerRecord& record)
{
    while (AlignToSignature(extra)) {
        extra.Key();
        const std::string key = extra.Key();
        const uint64_t length = extra.Length(large && HasWideLength(key));
        PsdCursor block = extra.Take(length);
        if (!extra.ok())
            return;
        if (key == "luni") {
            const uint64_t units = block.U32();
            if (units <= block.remaining() / 2)
                record.name = Utf16BigEndianText(block.Bytes(units * 2));
        } else if (key == "lsct" || key == "lsdk") {
            const uint32_t type = block.U32();
            if (type >= 1 && type <= 3)
                record.section = static_cast<PsdSection>(type);
            if (block.remaining() >= 8 && IsSignature(block.Key()))
                record.sectionBlendKey = NormalisePsdBlendKey(block.Key());
        } else if (key == "iOpa") {
            if (block.remaining() >= 1)
                record.fillOpacity = block.U8();
        } else if (key == "vmsk" || key == "vsms") {
            record.hasVectorMask = true;
        } else if (IsAdjustmentKey(key)) {
            record.adjustmentKey = key;
        }
    }
}

bool ReadLayerRecord(PsdCursor& cursor, bool large, PsdLayerRecord& record, std::string& error)
{
    record.rect = ReadRect(cursor);
    const int channels = cursor.U16();
    if (channels > kMaxChannels)
        return Refuse(error, "is damaged (a layer with " + std::to_string(channels) + " channels)");
    record.channels.resize(static_cast<size_t>(channels));
    for (PsdChannel& channel : record.channels) {
        channel.id = cursor.I16();
        channel.length = cursor.Length(large);
    }
    if (!IsSignature(cursor.Key()))
        return Refuse(error, cursor.ok() ? "is damaged (a layer record without its signature)" : "is cut short");
    record.blendKey = NormalisePsdBlendKey(cursor.Key());
    record.opacity = cursor.U8();
    record.clipped = cursor.U8() != 0;
    record.hidden = (cursor.U8() & 0x02) != 0;
    cursor.U8();
    PsdCursor extra = cursor.Take(cursor.U32());
    if (!cursor.ok())
        return Refuse(error, "is cut short");
    ReadMask(extra.Take(extra.U32()), record.mask);
    extra.Skip(extra.U32());  // blending ranges
    const uint8_t nameLength = extra.U8();
    record.name = PascalText(extra.Bytes(nameLength));
    extra.Skip(std::min<uint64_t>((4 - (1 + nameLength) % 4) % 4, extra.remaining()));
    if (!extra.ok())
        return Refuse(error, "is damaged (a layer record ends early)");
    ReadLayerInfoBlocks(extra, large, record);
    if (record.rect.width() > kMaxPsdLayerSide || record.rect.height() > kMaxPsdLayerSide ||
        record.mask.rect.width() > kMaxPsdLayerSide || record.mask.rect.height() > kMaxPsdLayerSide ||
        record.mask.realRect.width() > kMaxPsdLayerSide || record.mask.realRect.height() > kMaxPsdLayerSide) {
        return Refuse(error, "has a layer of " + std::to_string(record.rect.width()) + " x " +
                                 std::to_string(record.rect.height()) + " pixels (at most " +
                                 std::to_string(kMaxPsdLayerSide) + " on a side)");
    }
    return true;
}

// The layer count, the records and where each channel's data lies.
bool ReadLayerInfo(PsdCursor& info, bool large, PsdStructure& structure, std::string& error)
{
    const int count = info.I16();
    if (!info.ok())
        return Refuse(error, "is cut short");
    const int layers = std::abs(count);
    if (layers > kMaxPsdLayers)
        return Refuse(error, "has " + std::to_string(layers) + " layers (at most " + std::to_string(kMaxPsdLayers) + ")");
    structure.mergedAlpha = count < 0;
    structure.records.assign(static_cast<size_t>(layers), PsdLayerRecord{});
    uint64_t pixels = 0;
    for (PsdLayerRecord& record : structure.records) {
        if (!ReadLayerRecord(info, large, record, error))
            return false;
        pixels += uint64_t(record.rect.width()) * record.rect.height();
    }
    if (pixels > kMaxPsdLayerPixels)
        return Refuse(error, "has layers of " + std::to_string(pixels >> 20) + " million pixels (at most " +
                                 std::to_string(kMaxPsdLayerPixels >> 20) + " million)");
    uint64_t at = info.position();
    for (PsdLayerRecord& record : structure.records) {
        for (PsdChannel& channel : record.channels) {
            if (channel.length > info.end() - at)
                return Refuse(error, "is cut short");
            channel.offset = at;
            at += channel.length;
        }
    }
    return true;
}

void ReadResources(PsdCursor resources, PsdStructure& structure)
{
    while (resources.remaining() >= 12) {
        const std::string signature = resources.Key();
        if (signature != "8BIM" && signature != "MeSa" && signature != "AgHg" && signature != "PHUT" && signature != "DCSR")
            return;
        const uint16_t id = resources.U16();
        const uint8_t nameLength = resources.U8();
        resources.Skip(nameLength + (nameLength % 2 == 0 ? 1 : 0));
        const uint32_t size = resources.U32();
        PsdCursor data = resources.Take(size);
        if (size % 2 != 0 && resources.remaining() > 0)
            resources.Skip(1);
        if (!resources.ok())
            return;
        if (id == 1039 && size <= kMaxProfileBytes)
            structure.iccProfile = data.Bytes(size);
    }
}

bool ReadLayerAndMaskSection(PsdCursor section, bool large, PsdStructure& structure, std::string& error)
{
    if (section.remaining() == 0)
        return true;
    // A cut file is refused, but a hostile layer count first gets its own reason.
    bool cut = false;
    PsdCursor info = section.TakeWhatIsThere(section.Length(large), cut);
    if (info.remaining() >= 2 && !ReadLayerInfo(info, large, structure, error))
        return false;
    if (cut)
        return Refuse(error, "is cut short");
    if (section.remaining() >= 4)
        section.Skip(section.U32());  // the global layer mask
    // Files of 16 and 32 bits per sample keep their layers in a block here.
    while (AlignToSignature(section)) {
        section.Key();
        const std::string key = section.Key();
        PsdCursor block = section.Take(section.Length(large && HasWideLength(key)));
        if (!section.ok())
            return Refuse(error, "is cut short");
        if ((key == "Lr16" || key == "Lr32" || key == "Layr") && structure.records.empty() && block.remaining() >= 2 &&
            !ReadLayerInfo(block, large, structure, error))
            return false;
    }
    return true;
}

}  // namespace

const PsdChannel* PsdLayerRecord::Channel(int id) const
{
    for (const PsdChannel& channel : channels) {
        if (channel.id == id)
            return &channel;
    }
    return nullptr;
}

int PsdStructure::ColourChannels() const
{
    switch (header.mode) {
    case PsdColourMode::Rgb: return 3;
    case PsdColourMode::Cmyk: return 4;
    default: return 1;
    }
}

bool ReadPsdHeader(PsdCursor& cursor, PsdHeader& header, std::string& error)
{
    if (cursor.Key() != "8BPS")
        return Refuse(error, "is no Photoshop file");
    const uint16_t version = cursor.U16();
    if (version != 1 && version != 2)
        return Refuse(error, "is a Photoshop file of an unknown version");
    header.large = version == 2;
    cursor.Skip(6);
    header.channels = cursor.U16();
    header.height = cursor.U32();
    header.width = cursor.U32();
    header.depth = cursor.U16();
    const uint16_t mode = cursor.U16();
    header.mode = static_cast<PsdColourMode>(mode);
    if (!cursor.ok())
        return Refuse(error, "is no Photoshop file");
    if (header.width == 0 || header.height == 0 || header.width > kMaxPsdSide || header.height > kMaxPsdSide) {
        return Refuse(error, "has a canvas of " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                                 " pixels (at most " + std::to_string(kMaxPsdSide) + " on a side)");
    }
    if (header.depth != 8 && header.depth != 16 && header.depth != 32)
        return Refuse(error, "has " + std::to_string(header.depth) + "-bit samples (the import reads 8, 16 and 32 bits)");
    switch (header.mode) {
    case PsdColourMode::Grey:
    case PsdColourMode::Rgb:
    case PsdColourMode::Cmyk:
    case PsdColourMode::Duotone:
        break;
    case PsdColourMode::Indexed:
        if (header.depth == 8)
            break;
        [[fallthrough]];
    default:
        return Refuse(error, "uses colour mode " + std::to_string(mode) +
                                 " (the import reads RGB, greyscale, CMYK, indexed and duotone files)");
    }
    const int colourChannels = header.mode == PsdColourMode::Rgb ? 3 : header.mode == PsdColourMode::Cmyk ? 4 : 1;
    if (header.channels < colourChannels || header.channels > kMaxChannels)
        return Refuse(error, "is damaged (" + std::to_string(header.channels) + " channels)");
    return true;
}

bool ReadPsdStructure(const PsdBytes& bytes, PsdStructure& structure, std::string& error)
{
    structure = PsdStructure{};
    if (bytes.Size() > kMaxPsdFileBytes)
        return Refuse(error, "is larger than 1 GiB");
    PsdCursor file(bytes, 0, bytes.Size());
    PsdHeader& header = structure.header;
    if (!ReadPsdHeader(file, header, error))
        return false;
    PsdCursor colourData = file.Take(file.U32());
    if (header.mode == PsdColourMode::Indexed && colourData.remaining() >= 768)
        structure.palette = colourData.Bytes(768);
    ReadResources(file.Take(file.U32()), structure);
    bool cut = false;
    PsdCursor section = file.TakeWhatIsThere(file.Length(header.large), cut);
    if (!ReadLayerAndMaskSection(section, header.large, structure, error))
        return false;
    if (cut)
        return Refuse(error, "is cut short");
    structure.imageDataOffset = file.position();
    return true;
}
