#include "PsdReader.h"

#include "PngRowWriter.h"
#include "PsdColour.h"
#include "PsdThumbnail.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cerrno>
#include <cstring>

namespace {

// Each picture into its own PNG file in the folder, the visible ones also
// into the thumbnail.
class PictureFiles : public PsdPictureSink {
public:
    PictureFiles(std::wstring folder, uint32_t width, uint32_t height) : m_folder(std::move(folder)), m_thumbnail(width, height) {}

    bool Begin(const PsdPictureInfo& info, std::string& error) override
    {
        m_info = info;
        m_row = 0;
        m_paths.push_back(platform::JoinPath(m_folder, L"layer-" + std::to_wstring(m_paths.size() + 1) + L".png"));
        m_png = std::make_unique<PngRowWriter>();
        if (!m_png->Open(m_paths.back(), info.width, info.height))
            return Failed(error);
        if (info.visible)
            m_thumbnail.BeginLayer(info.left, info.top, info.width);
        return true;
    }

    bool Row(const uint8_t* rgba, std::string& error) override
    {
        if (!m_png->AddRow(rgba))
            return Failed(error);
        if (m_info.visible)
            m_thumbnail.AddRow(static_cast<int32_t>(int64_t(m_info.top) + m_row), rgba);
        ++m_row;
        return true;
    }

    bool End(std::string& error) override
    {
        if (!m_png->Finish())
            return Failed(error);
        m_png.reset();
        if (m_info.visible)
            m_thumbnail.EndLayer();
        return true;
    }

    const std::vector<std::wstring>& paths() const { return m_paths; }
    const PsdThumbnail& thumbnail() const { return m_thumbnail; }

private:
    bool Failed(std::string& error)
    {
        error = "cannot be imported: " + platform::WideToUtf8(m_paths.back()) + ": " + std::strerror(m_png->LastError());
        return false;
    }

    std::wstring m_folder;
    PsdThumbnail m_thumbnail;
    PsdPictureInfo m_info;
    uint32_t m_row = 0;
    std::unique_ptr<PngRowWriter> m_png;
    std::vector<std::wstring> m_paths;
};

}  // namespace

bool DecodePsd(const PsdBytes& bytes, PsdPictureSink& sink, PsdDecoding& decoding, std::string& error)
{
    if (!ReadPsdStructure(bytes, decoding.structure, error))
        return false;
    decoding.plan = PlanPsdLayers(decoding.structure);
    const PsdColour colour(decoding.structure);
    decoding.flattened = decoding.plan.layers.empty();
    if (decoding.flattened) {
        PsdPlannedLayer only;
        only.name = L"Background";
        decoding.plan.layers = {only};
        decoding.plan.report.push_back({PsdChange::FlattenedOnly, only.name, {}});
        return PaintPsdFlattened(bytes, decoding.structure, colour, sink, error);
    }
    for (size_t i = decoding.plan.layers.size(); i-- > 0;) {
        if (!PaintPsdLayer(bytes, decoding.structure, colour, decoding.plan.layers[i], sink, error))
            return false;
    }
    return true;
}

bool ReadPsdDocument(const std::wstring& path, PsdDocument& document, std::string& error)
{
    PsdFileBytes bytes;
    if (!bytes.Open(path)) {
        error = std::string("cannot be read (") + std::strerror(errno) + ")";
        return false;
    }
    // The header first: the canvas size is the thumbnail's.
    PsdCursor head(bytes, 0, bytes.Size());
    PsdHeader header;
    if (!ReadPsdHeader(head, header, error))
        return false;
    const std::wstring folder = platform::MakeTempFolder(L"kelvane-psd-");
    if (folder.empty()) {
        error = std::string("cannot be imported: no temporary folder (") + std::strerror(errno) + ")";
        return false;
    }
    const auto owner = std::shared_ptr<const std::wstring>(new std::wstring(folder), [](const std::wstring* f) {
        platform::RemoveFolderTree(*f);
        delete f;
    });
    PsdDecoding decoding;
    PictureFiles files(folder, header.width, header.height);
    if (!DecodePsd(bytes, files, decoding, error))
        return false;

    PsdDocument result;
    result.width = decoding.structure.header.width;
    result.height = decoding.structure.header.height;
    result.report = decoding.plan.report;
    result.pictureFolder = owner;
    const size_t count = decoding.plan.layers.size();
    for (size_t i = 0; i < count; ++i) {
        const PsdPlannedLayer& planned = decoding.plan.layers[i];
        PsdLayer layer;
        layer.name = planned.name;
        layer.visible = planned.visible;
        if (decoding.flattened) {
            layer.width = result.width;
            layer.height = result.height;
        } else {
            const PsdRect& rect = decoding.structure.records[planned.record].rect;
            layer.left = rect.left;
            layer.top = rect.top;
            layer.width = rect.width();
            layer.height = rect.height();
        }
        // Painted bottom first: the top layer's picture is the last.
        layer.picture = files.paths()[count - 1 - i];
        result.layers.push_back(std::move(layer));
    }
    result.thumbnailJpeg = files.thumbnail().EncodeJpeg();
    document = std::move(result);
    return true;
}
