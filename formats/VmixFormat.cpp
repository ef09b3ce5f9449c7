#include "VmixFormat.h"

#include "MultiViewTemplates.h"
#include "ThumbnailFile.h"
#include "XmlDocument.h"
#include "platform/FileUtil.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"

#include <charconv>
#include <map>
#include <cmath>
#include <cwctype>
#include <numbers>
#include <vector>

using platform::AnsiToWide;
using platform::FileNamePart;
using platform::FolderPart;
using platform::JoinPath;

namespace {

constexpr const wchar_t* kRoot = L"virtualSet";

double DegreesToRadians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// Degrees are rounded to the record's float precision first, so 90 read as
// radians writes back as 90.000000.
std::wstring RadiansAsDegrees(float radians)
{
    return FormatVmixNumber(static_cast<float>(radians * 180.0 / std::numbers::pi));
}

std::wstring Lower(std::wstring text)
{
    for (auto& c : text)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}

bool IsReservedForDynamic(const std::wstring& name)
{
    const std::wstring lower = Lower(name);
    return lower == L"borders" || lower.find(L"overlay") != std::wstring::npos;
}

std::vector<std::wstring> SplitAtCommas(const std::wstring& text)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(L',', start);
        parts.push_back(text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
        if (comma == std::wstring::npos)
            return parts;
        start = comma + 1;
    }
}

bool IsCropped(const LayerInfo& layer)
{
    return !(layer.cropLeft == 0.0f && layer.cropTop == 0.0f && 1.0f - layer.cropRight == 1.0f &&
             1.0f - layer.cropBottom == 1.0f);
}

std::wstring CroppingText(const LayerInfo& layer)
{
    return FormatVmixNumber(layer.cropLeft) + L"," + FormatVmixNumber(layer.cropTop) + L"," +
           FormatVmixNumber(1.0f - layer.cropRight) + L"," + FormatVmixNumber(1.0f - layer.cropBottom);
}

void SetNumber(CXmlDocument& doc, const wchar_t* name, double value) { doc.SetAttribute(name, FormatVmixNumber(value)); }

// Reads an attribute as a number only when it is present and non-empty.
bool ReadNumber(CXmlDocument& doc, const wchar_t* name, double& value)
{
    const std::wstring text = doc.GetAttribute(name);
    if (text.empty())
        return false;
    value = ParseVmixNumber(text);
    return true;
}

float ReadRotation(CXmlDocument& doc, const wchar_t* name)
{
    double degrees = 0;
    return ReadNumber(doc, name, degrees) ? static_cast<float>(DegreesToRadians(degrees)) : 0.0f;
}

// name, x, y, zoomX, zoomY, zoomZ and the rotations (degrees), in this order.
template <typename Record>
void WritePlacementAttributes(CXmlDocument& doc, const Record& r)
{
    doc.SetAttribute(L"name", GetRecordName(r.name));
    SetNumber(doc, L"x", r.x);
    SetNumber(doc, L"y", r.y);
    SetNumber(doc, L"zoomX", r.zoomX);
    SetNumber(doc, L"zoomY", r.zoomY);
    SetNumber(doc, L"zoomZ", r.zoomZ);
    doc.SetAttribute(L"rotateX", RadiansAsDegrees(r.rotateX));
    doc.SetAttribute(L"rotateY", RadiansAsDegrees(r.rotateY));
    doc.SetAttribute(L"rotateZ", RadiansAsDegrees(r.rotateZ));
}

void WriteInputAttributes(CXmlDocument& doc, const LayerInfo& layer)
{
    WritePlacementAttributes(doc, layer);
    if (IsCropped(layer))
        doc.SetAttribute(L"cropping", CroppingText(layer));
    if (layer.dynamic)
        doc.SetAttribute(L"dynamic", L"true");
}

void WriteShot(CXmlDocument& doc, const ShotInfo& shot)
{
    doc.AddElement(L"zoom", L"");
    WritePlacementAttributes(doc, shot);
}

// Names of the files in the set folder being written. Two different files
// with one name (layers from different folders) would overwrite each other,
// and a layer called "thumbnail.jpg" would replace the thumbnail, so a later
// one gets a numbered name. Compared without case, as on the set's Windows peers.
class SetFileNames {
public:
    SetFileNames() { m_taken = {{L"CONFIG.XML", L""}, {L"THUMBNAIL.JPG", L""}}; }

    std::wstring NameFor(const std::wstring& source)
    {
        const std::wstring name = FileNamePart(source);
        for (int n = 1;; ++n) {
            const std::wstring candidate =
                n == 1 ? name : platform::StemPart(name) + L" (" + std::to_wstring(n) + L")" + platform::ExtensionPart(name);
            const std::wstring key = platform::ToUpperWide(candidate);
            auto it = m_taken.find(key);
            if (it == m_taken.end()) {
                m_taken.emplace(key, source);
                return candidate;
            }
            if (it->second == source || (!it->second.empty() && platform::IsSameFile(it->second, source)))
                return candidate;
        }
    }

private:
    std::map<std::wstring, std::wstring> m_taken;  // upper-cased name -> the file written under it
};

// Copies a layer file into the set folder under the given name. A file that
// is already the target (exporting into the set's own folder) is left alone.
bool CopyLayerFile(const std::wstring& source, const std::wstring& folder, const std::wstring& name)
{
    const std::wstring target = JoinPath(folder, name);
    if (platform::IsSameFile(source, target))
        return true;
    const auto bytes = platform::ReadWholeFile(source);
    if (!bytes)
        return false;
    return platform::WriteFileAtomically(target, *bytes);
}

bool CopyThumbnail(const std::wstring& thumbnailPath, const std::wstring& folder)
{
    const std::wstring jpeg = EnsureJpegThumbnail(thumbnailPath);
    if (jpeg.empty())
        return false;
    const std::wstring target = JoinPath(folder, L"thumbnail.jpg");
    if (platform::IsSameFile(jpeg, target))
        return true;
    const auto bytes = platform::ReadWholeFile(jpeg);
    if (!bytes || bytes->empty())
        return false;
    return platform::WriteFileAtomically(target, *bytes);
}

// Writes every layer, back-most first; a file that cannot be copied ends the
// loop, and the layers before it in the list are left out.
void WriteInputs(CXmlDocument& doc, const LayerList& layers, const std::wstring& folder)
{
    SetFileNames names;
    for (size_t n = layers.size(); n-- > 0;) {
        const LayerInfo& layer = layers[n];
        const std::wstring image = AnsiToWide(LayerImagePath(layer));
        const std::wstring uv = AnsiToWide(LayerUvPath(layer));
        const std::wstring imageName = image.empty() ? std::wstring() : names.NameFor(image);
        const std::wstring uvName = uv.empty() ? std::wstring() : names.NameFor(uv);
        doc.AddElement(L"input", imageName);
        WriteInputAttributes(doc, layer);
        if (!uv.empty())
            doc.SetAttribute(L"uvmap", uvName);
        if (!image.empty() && platform::FileSize(image) >= 1 && !CopyLayerFile(image, folder, imageName))
            return;
        if (!uv.empty() && platform::FileSize(uv) >= 1 && !CopyLayerFile(uv, folder, uvName))
            return;
    }
}

LayerInfo ReadInput(CXmlDocument& doc, const std::wstring& folder)
{
    LayerInfo layer = MakeDefaultLayer();
    const std::wstring text = doc.GetElementText();
    if (!text.empty())
        SetLayerImagePath(layer, platform::WideToAnsi(JoinPath(folder, text)));
    const std::wstring uv = doc.GetAttribute(L"uvmap");
    if (!uv.empty())
        SetLayerUvPath(layer, platform::WideToAnsi(JoinPath(folder, uv)));
    const std::wstring name = doc.GetAttribute(L"name");
    SetRecordName(layer.name, name);
    layer.dynamic = Lower(doc.GetAttribute(L"dynamic")) == L"true" ? 1 : 0;

    double value = 0;
    layer.x = ReadNumber(doc, L"x", value) ? static_cast<float>(value) : 0.0f;
    layer.y = ReadNumber(doc, L"y", value) ? static_cast<float>(value) : 0.0f;
    if (ReadNumber(doc, L"zoom", value))
        layer.zoomX = layer.zoomY = static_cast<float>(value);
    if (ReadNumber(doc, L"zoomX", value))
        layer.zoomX = static_cast<float>(value);
    if (ReadNumber(doc, L"zoomY", value))
        layer.zoomY = static_cast<float>(value);
    if (ReadNumber(doc, L"zoomZ", value))
        layer.zoomZ = static_cast<float>(value);
    for (float* zoom : {&layer.zoomX, &layer.zoomY, &layer.zoomZ})
        if (!(*zoom > 0.0f))
            *zoom = 1.0f;
    layer.rotateX = ReadRotation(doc, L"rotateX");
    layer.rotateY = ReadRotation(doc, L"rotateY");
    layer.rotateZ = ReadRotation(doc, L"rotateZ");

    const std::vector<std::wstring> crop = SplitAtCommas(doc.GetAttribute(L"cropping"));
    if (crop.size() == 4) {
        layer.cropLeft = static_cast<float>(ParseVmixNumber(crop[0]));
        layer.cropTop = static_cast<float>(ParseVmixNumber(crop[1]));
        layer.cropRight = static_cast<float>(ParseVmixNumber(crop[2]));
        layer.cropBottom = static_cast<float>(ParseVmixNumber(crop[3]));
    }
    if (IsReservedForDynamic(name))
        layer.dynamic = 0;
    return layer;
}

ShotInfo ReadShot(CXmlDocument& doc)
{
    ShotInfo shot = MakeDefaultShot();
    SetRecordName(shot.name, doc.GetAttribute(L"name"));
    double value = 0;
    shot.x = ReadNumber(doc, L"x", value) ? static_cast<float>(value) : 0.0f;
    shot.y = ReadNumber(doc, L"y", value) ? static_cast<float>(value) : 0.0f;
    if (ReadNumber(doc, L"zoom", value)) {
        shot.zoomX = shot.zoomY = shot.zoomZ = static_cast<float>(value);
    } else {
        if (ReadNumber(doc, L"zoomX", value))
            shot.zoomX = static_cast<float>(value);
        if (ReadNumber(doc, L"zoomY", value))
            shot.zoomY = static_cast<float>(value);
        if (ReadNumber(doc, L"zoomZ", value))
            shot.zoomZ = static_cast<float>(value);
    }
    shot.rotateX = ReadRotation(doc, L"rotateX");
    shot.rotateY = ReadRotation(doc, L"rotateY");
    shot.rotateZ = ReadRotation(doc, L"rotateZ");
    return shot;
}

bool SaveRootOnly(CXmlDocument& doc, const std::wstring& folder)
{
    return doc.SaveFile(JoinPath(folder, L"config.xml"));
}

}  // namespace

std::wstring FormatVmixNumber(double value)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 6);
    if (result.ec != std::errc())
        return L"0.000000";
    return std::wstring(buffer, result.ptr);
}

double ParseVmixNumber(const std::wstring& text)
{
    // Leading blanks, a sign, digits with one point, an exponent: the longest
    // such prefix is the number; anything else reads as 0.
    size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i])))
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-')
            number += '-';
        ++i;
    }
    auto isDigit = [&](size_t k) { return k < text.size() && text[k] >= L'0' && text[k] <= L'9'; };
    size_t digits = 0;
    while (isDigit(i)) {
        number += static_cast<char>(text[i++]);
        ++digits;
    }
    if (i < text.size() && text[i] == L'.') {
        number += '.';
        ++i;
        while (isDigit(i)) {
            number += static_cast<char>(text[i++]);
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        size_t k = i + 1;
        std::string exponent = "e";
        if (k < text.size() && (text[k] == L'+' || text[k] == L'-'))
            exponent += static_cast<char>(text[k++]);
        if (isDigit(k)) {
            while (isDigit(k))
                exponent += static_cast<char>(text[k++]);
            number += exponent;
        }
    }
    double value = 0.0;
    const char* begin = number.c_str();
    if (*begin == '-')
        ++begin;
    const auto result = std::from_chars(begin, number.c_str() + number.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return number[0] == '-' ? -value : value;
}

bool WriteVmixConfig(const std::wstring& configPath, const LayerList& layers, const ShotList& shots,
                     const VmixSetInfo& info)
{
    CXmlDocument doc;
    doc.SetDocumentText(L"");
    if (layers.empty())
        return false;
    const std::wstring folder = FolderPart(configPath);
    if (!CopyThumbnail(info.thumbnailPath, folder))
        return false;
    doc.AddElement(kRoot, L"");
    doc.EnterElement();
    WriteInputs(doc, layers, folder);
    for (const ShotInfo& shot : shots)
        WriteShot(doc, shot);
    doc.LeaveElement();
    return doc.SaveFile(configPath);
}

bool ReadVmixConfig(const std::wstring& configPath, LayerList& layers, ShotList& shots)
{
    if (!platform::FileExists(configPath))
        return false;
    CXmlDocument doc;
    if (!doc.LoadFile(configPath))
        return false;
    doc.Rewind();
    if (!doc.FindElement(kRoot))
        return false;
    layers.clear();
    shots.clear();
    const std::wstring folder = FolderPart(configPath);
    doc.Rewind();
    while (doc.FindChildElement(L"input")) {
        doc.EnterElement();
        layers.push_back(ReadInput(doc, folder));
        doc.LeaveElement();
    }
    doc.Rewind();
    while (doc.FindChildElement(L"zoom")) {
        doc.EnterElement();
        shots.push_back(ReadShot(doc));
        doc.LeaveElement();
    }
    return true;
}

bool IsVmixVirtualSet(const std::wstring& configPath)
{
    LayerList layers;
    ShotList shots;
    return ReadVmixConfig(configPath, layers, shots);
}

bool LoadVmixVirtualSet(const std::wstring& configPath, LayerList& layers, ShotList& shots, bool takeLayers,
                        bool takeShots)
{
    LayerList scratchLayers;
    ShotList scratchShots;
    if (!ReadVmixConfig(configPath, scratchLayers, scratchShots))
        return false;
    if (takeLayers) {
        while (!scratchLayers.empty()) {
            LayerInfo layer = scratchLayers.take(0);
            if (layer.imagePath && layer.imagePathSize > 0)
                layers.insert(0, layer);
            else
                FreeLayerBuffers(layer);
        }
    }
    if (takeShots)
        shots.insert(shots.end(), scratchShots.begin(), scratchShots.end());
    return true;
}

bool WriteEmptyVmixConfig(const std::wstring& folder)
{
    CXmlDocument doc;
    doc.SetDocumentText(L"");
    doc.AddElement(kRoot, L"");
    return SaveRootOnly(doc, folder);
}

bool WriteVmixTemplateConfig(const std::wstring& folder, int templateIndex)
{
    CXmlDocument doc;
    doc.SetDocumentText(L"");
    doc.AddElement(kRoot, L"");
    if (const MultiViewTemplate* t = GetMultiViewTemplate(templateIndex)) {
        doc.EnterElement();
        for (uint32_t n = t->count; n >= 1; --n) {
            const MultiViewCell& cell = t->cells[n - 1];
            const std::wstring number = std::to_wstring(n);
            doc.AddElement(L"input", number + L".png");
            doc.SetAttribute(L"name", number);
            SetNumber(doc, L"x", cell.x);
            SetNumber(doc, L"y", cell.y);
            SetNumber(doc, L"zoomX", cell.zoomX);
            SetNumber(doc, L"zoomY", cell.zoomY);
            SetNumber(doc, L"zoomZ", cell.zoomZ);
            SetNumber(doc, L"rotateX", cell.rotateX);
            SetNumber(doc, L"rotateY", cell.rotateY);
            SetNumber(doc, L"rotateZ", cell.rotateZ);
            doc.SetAttribute(L"cropping", L"0,0,0,0");
            doc.SetAttribute(L"dynamic", L"true");
        }
        doc.LeaveElement();
    }
    return SaveRootOnly(doc, folder);
}

bool FindVmixVirtualSetsFolder(std::wstring& folder)
{
    static const wchar_t* const candidates[] = {L"Program Files (x86)/vMix", L"Program Files/vMix"};
    for (wchar_t letter = L'a'; letter <= L'z'; ++letter) {
        const std::wstring drive = platform::DriveFolder(letter);
        if (!platform::FolderExists(drive))
            continue;
        for (const wchar_t* candidate : candidates) {
            const std::wstring vmix = JoinPath(drive, candidate);
            const std::wstring sets = JoinPath(vmix, L"VirtualSets");
            if (platform::FolderExists(vmix) && platform::FileExists(JoinPath(vmix, L"vMix.exe")) &&
                platform::FolderExists(sets)) {
                folder = sets;
                return true;
            }
        }
    }
    return false;
}
