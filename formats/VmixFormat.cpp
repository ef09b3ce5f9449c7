#include "VmixFormat.h"

#include "FolderReplacement.h"
#include "MultiViewTemplates.h"
#include "SetFileNames.h"
#include "ThumbnailFile.h"
#include "XmlDocument.h"
#include "platform/FileStream.h"
#include "platform/FileUtil.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cwctype>
#include <limits>
#include <vector>

using platform::AnsiToWide;
using platform::FileNamePart;
using platform::FolderPart;
using platform::JoinPath;

namespace {

constexpr const wchar_t* kRoot = L"virtualSet";

// Rotations are degrees in the file and turns in the records.
constexpr double kDegreesPerTurn = 360.0;

std::wstring Lower(std::wstring text)
{
    for (auto& c : text)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}

std::wstring Trimmed(const std::wstring& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && std::iswspace(static_cast<wint_t>(text[begin])))
        ++begin;
    while (end > begin && std::iswspace(static_cast<wint_t>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
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
    return FormatVmixValue(layer.cropLeft) + L"," + FormatVmixValue(layer.cropTop) + L"," +
           FormatVmixValue(1.0f - layer.cropRight) + L"," + FormatVmixValue(1.0f - layer.cropBottom);
}

// A number of the file as a record value; beyond the float range it stays at
// its largest value (ClampLayerPlacement then brings it within reach).
float Narrow(double value)
{
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}

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
    return ReadNumber(doc, name, degrees) ? Narrow(degrees / kDegreesPerTurn) : 0.0f;
}

// x, y, zoomX, zoomY, zoomZ and the three rotations, in this order, of a
// record or a template cell; the rotations times rotationScale.
template <typename Values, typename Format>
void WriteNumbers(CXmlDocument& doc, const Values& v, double rotationScale, Format format)
{
    const std::pair<const wchar_t*, double> numbers[] = {
        {L"x", v.x},
        {L"y", v.y},
        {L"zoomX", v.zoomX},
        {L"zoomY", v.zoomY},
        {L"zoomZ", v.zoomZ},
        {L"rotateX", v.rotateX * rotationScale},
        {L"rotateY", v.rotateY * rotationScale},
        {L"rotateZ", v.rotateZ * rotationScale}};
    for (const auto& [name, value] : numbers)
        doc.SetAttribute(name, format(value));
}

// name, x, y, zoomX, zoomY, zoomZ and the rotations (degrees), in this order.
template <typename Record>
void WritePlacementAttributes(CXmlDocument& doc, const Record& r)
{
    doc.SetAttribute(L"name", GetRecordName(r.name));
    WriteNumbers(doc, r, kDegreesPerTurn, [](double value) { return FormatVmixValue(Narrow(value)); });
}

template <typename Record>
void ReadRotations(CXmlDocument& doc, Record& r)
{
    r.rotateX = ReadRotation(doc, L"rotateX");
    r.rotateY = ReadRotation(doc, L"rotateY");
    r.rotateZ = ReadRotation(doc, L"rotateZ");
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

// Copies a file of the set into the new folder, synced to the disk before
// the folder takes the old one's place. A source that no longer exists is
// left out, as the scene writer leaves out a missing picture; any other
// failure fails the export.
bool CopySetFile(const std::wstring& source, const std::wstring& target)
{
    if (platform::PathExists(target))
        return true;  // one file shown by two layers: copied once
    platform::FileStream in, out;
    if (!in.Open(source, platform::FileStream::Mode::Read))
        return errno == ENOENT || errno == ENOTDIR;
    const int64_t size = in.Size();
    if (size < 0 || !out.Open(target, platform::FileStream::Mode::CreateNew) ||
        !platform::CopyStreamBytes(in, out, size) || !out.Sync() || !out.Close())
        return false;
    return true;
}

bool CopyThumbnail(const std::wstring& thumbnailPath, const std::wstring& folder)
{
    const std::wstring jpeg = EnsureJpegThumbnail(thumbnailPath);
    if (jpeg.empty())
        return false;
    if (platform::FileSize(jpeg) < 1) {
        errno = ENOENT;
        return false;
    }
    platform::RemoveFile(JoinPath(folder, L"thumbnail.jpg"));
    return CopySetFile(jpeg, JoinPath(folder, L"thumbnail.jpg")) && platform::FileExists(JoinPath(folder, L"thumbnail.jpg"));
}

std::wstring ImagePathOf(const LayerInfo& layer) { return AnsiToWide(LayerImagePath(layer)); }
std::wstring UvPathOf(const LayerInfo& layer) { return AnsiToWide(LayerUvPath(layer)); }

// Writes every layer, back-most first, and copies its files into the new
// folder. A file that lies in the set's old folder keeps its name there, so a
// picture that is still shown from it never changes under its layer.
bool WriteInputs(CXmlDocument& doc, const LayerList& layers, const std::wstring& target, const std::wstring& staging)
{
    SetFileNames names(target);
    for (const LayerInfo& layer : layers) {
        names.KeepOwnName(ImagePathOf(layer));
        names.KeepOwnName(UvPathOf(layer));
    }
    for (size_t n = layers.size(); n-- > 0;) {
        const LayerInfo& layer = layers[n];
        const std::wstring image = ImagePathOf(layer);
        const std::wstring uv = UvPathOf(layer);
        const std::wstring imageName = image.empty() ? std::wstring() : names.NameFor(image);
        doc.AddElement(L"input", imageName);
        WriteInputAttributes(doc, layer);
        if (!uv.empty()) {
            const std::wstring uvName = names.NameFor(uv);
            doc.SetAttribute(L"uvmap", uvName);
            if (!CopySetFile(uv, JoinPath(staging, uvName)))
                return false;
        }
        if (!image.empty() && !CopySetFile(image, JoinPath(staging, imageName)))
            return false;
    }
    return true;
}

// Keeps what a file says within what a placement can use.
void KeepUsable(LayerInfo& layer)
{
    ClampLayerPlacement(layer);
    // The crop is read as edge positions 0 ... 1; the scene turns them into insets.
    for (float* edge : {&layer.cropLeft, &layer.cropTop, &layer.cropRight, &layer.cropBottom})
        *edge = std::isfinite(*edge) ? std::clamp(*edge, 0.0f, 1.0f) : 0.0f;
}

// The file an attribute or text names, found inside the set folder.
SetFileLookup FindLayerFile(const std::wstring& folder, const std::wstring& name, const std::wstring& layerName,
                            bool uvMap, std::vector<SetFileNote>* notes)
{
    const SetFileLookup found = FindSetFile(folder, name);
    if (found.problem != SetFileProblem::None && notes)
        notes->push_back(SetFileNote{layerName, name, found.problem, uvMap});
    return found;
}

// An input's layer. namesImage tells whether the input names a picture at
// all (found, missing or refused).
LayerInfo ReadInput(CXmlDocument& doc, const std::wstring& folder, std::vector<SetFileNote>* notes, bool& namesImage)
{
    LayerInfo layer = MakeDefaultLayer();
    const std::wstring name = doc.GetAttribute(L"name");
    SetRecordName(layer.name, name);
    const SetFileLookup image = FindLayerFile(folder, doc.GetElementText(), name, false, notes);
    namesImage = !image.path.empty() || image.problem != SetFileProblem::None;
    SetLayerImagePath(layer, platform::WideToAnsi(image.path));
    SetLayerUvPath(layer, platform::WideToAnsi(FindLayerFile(folder, doc.GetAttribute(L"uvmap"), name, true, notes).path));
    layer.dynamic = Lower(Trimmed(doc.GetAttribute(L"dynamic"))) == L"true" ? 1 : 0;

    double value = 0;
    layer.x = ReadNumber(doc, L"x", value) ? Narrow(value) : 0.0f;
    layer.y = ReadNumber(doc, L"y", value) ? Narrow(value) : 0.0f;
    if (ReadNumber(doc, L"zoom", value))
        layer.zoomX = layer.zoomY = Narrow(value);
    if (ReadNumber(doc, L"zoomX", value))
        layer.zoomX = Narrow(value);
    if (ReadNumber(doc, L"zoomY", value))
        layer.zoomY = Narrow(value);
    if (ReadNumber(doc, L"zoomZ", value))
        layer.zoomZ = Narrow(value);
    for (float* zoom : {&layer.zoomX, &layer.zoomY, &layer.zoomZ})
        if (!(*zoom > 0.0f))
            *zoom = 1.0f;
    ReadRotations(doc, layer);

    const std::vector<std::wstring> crop = SplitAtCommas(doc.GetAttribute(L"cropping"));
    if (crop.size() == 4) {
        layer.cropLeft = Narrow(ParseVmixNumber(crop[0]));
        layer.cropTop = Narrow(ParseVmixNumber(crop[1]));
        layer.cropRight = Narrow(ParseVmixNumber(crop[2]));
        layer.cropBottom = Narrow(ParseVmixNumber(crop[3]));
    }
    if (IsReservedForDynamic(name))
        layer.dynamic = 0;
    KeepUsable(layer);
    return layer;
}

ShotInfo ReadShot(CXmlDocument& doc)
{
    ShotInfo shot = MakeDefaultShot();
    SetRecordName(shot.name, doc.GetAttribute(L"name"));
    double value = 0;
    shot.x = ReadNumber(doc, L"x", value) ? Narrow(value) : 0.0f;
    shot.y = ReadNumber(doc, L"y", value) ? Narrow(value) : 0.0f;
    if (ReadNumber(doc, L"zoom", value)) {
        shot.zoomX = shot.zoomY = shot.zoomZ = Narrow(value);
    } else {
        if (ReadNumber(doc, L"zoomX", value))
            shot.zoomX = Narrow(value);
        if (ReadNumber(doc, L"zoomY", value))
            shot.zoomY = Narrow(value);
        if (ReadNumber(doc, L"zoomZ", value))
            shot.zoomZ = Narrow(value);
    }
    ReadRotations(doc, shot);
    ClampShotPlacement(shot);
    return shot;
}

size_t CountChildren(CXmlDocument& doc, const wchar_t* name)
{
    size_t count = 0;
    doc.Rewind();
    while (doc.FindChildElement(name))
        ++count;
    doc.Rewind();
    return count;
}

// The reader behind both ReadVmixConfig and LoadVmixVirtualSet. With
// namedOnly, inputs without an image name are not kept.
bool ReadConfig(const std::wstring& configPath, LayerList& layers, ShotList& shots, std::vector<SetFileNote>* notes,
                bool namedOnly)
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
    layers.reserve(CountChildren(doc, L"input"));
    while (doc.FindChildElement(L"input")) {
        doc.EnterElement();
        bool namesImage = false;
        std::vector<SetFileNote> layerNotes;
        LayerInfo layer = ReadInput(doc, folder, notes ? &layerNotes : nullptr, namesImage);
        if (namesImage || !namedOnly) {
            layers.push_back(layer);
            for (size_t i = 0; notes && i < layerNotes.size() && notes->size() < kMaxVmixNotes; ++i)
                notes->push_back(std::move(layerNotes[i]));
        } else {
            FreeLayerBuffers(layer);
        }
        doc.LeaveElement();
    }
    shots.reserve(CountChildren(doc, L"zoom"));
    while (doc.FindChildElement(L"zoom")) {
        doc.EnterElement();
        shots.push_back(ReadShot(doc));
        doc.LeaveElement();
    }
    return true;
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

std::wstring FormatVmixValue(float value)
{
    // The shortest decimal that reads back as the same float, so 33.3 read
    // into a record is written as 33.300000 and not as 33.299999.
    char shortest[64];
    const auto written = std::to_chars(shortest, shortest + sizeof(shortest), value);
    double decimal = value;
    if (written.ec == std::errc())
        std::from_chars(shortest, written.ptr, decimal);
    return FormatVmixNumber(decimal);
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
    if (layers.empty()) {
        errno = ENODATA;
        return false;
    }
    // Everything is written into a new folder beside the set's, which takes
    // the old one's place only when complete.
    const std::wstring target = FolderPart(configPath);
    FolderReplacement replacement;
    if (!replacement.Create(target))
        return false;
    const std::wstring staging = replacement.folder();
    if (!CopyThumbnail(info.thumbnailPath, staging))
        return false;
    CXmlDocument doc;
    doc.SetDocumentText(L"");
    doc.AddElement(kRoot, L"");
    doc.EnterElement();
    if (!WriteInputs(doc, layers, target, staging))
        return false;
    for (const ShotInfo& shot : shots)
        WriteShot(doc, shot);
    doc.LeaveElement();
    if (!doc.SaveFile(JoinPath(staging, FileNamePart(configPath))))
        return false;
    return replacement.Commit();
}

bool ReadVmixConfig(const std::wstring& configPath, LayerList& layers, ShotList& shots, std::vector<SetFileNote>* notes)
{
    return ReadConfig(configPath, layers, shots, notes, false);
}

bool IsVmixVirtualSet(const std::wstring& configPath)
{
    LayerList layers;
    ShotList shots;
    return ReadVmixConfig(configPath, layers, shots);
}

bool LoadVmixVirtualSet(const std::wstring& configPath, LayerList& layers, ShotList& shots, bool takeLayers,
                        bool takeShots, std::vector<SetFileNote>* notes)
{
    LayerList scratchLayers;
    ShotList scratchShots;
    if (!ReadConfig(configPath, scratchLayers, scratchShots, takeLayers ? notes : nullptr, true))
        return false;
    if (takeLayers) {
        // Each layer goes to the front of the list: the file's order reversed.
        scratchLayers.reverse();
        scratchLayers.append(std::move(layers));
        layers = std::move(scratchLayers);
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
            WriteNumbers(doc, cell, 1.0, FormatVmixNumber);  // the template's values as they stand
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
