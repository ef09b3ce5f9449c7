#include "PsdReader.h"

#include "platform/TextConv.h"

#include <Magick++.h>

#include <cstdio>
#include <memory>
#include <mutex>

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

bool ReadBytes(FILE* file, void* buffer, size_t size) { return std::fread(buffer, 1, size, file) == size; }

bool ReadBigEndian(FILE* file, int bytes, uint64_t& value)
{
    unsigned char buffer[8];
    if (bytes > 8 || !ReadBytes(file, buffer, static_cast<size_t>(bytes)))
        return false;
    value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | buffer[i];
    return true;
}

// Skips a section given by its length field, never past the end of the file.
bool SkipSection(FILE* file, int lengthBytes, uint64_t fileSize)
{
    uint64_t length = 0;
    if (!ReadBigEndian(file, lengthBytes, length))
        return false;
    const long here = std::ftell(file);
    if (here < 0 || length > fileSize - static_cast<uint64_t>(here))
        return false;
    return std::fseek(file, static_cast<long>(length), SEEK_CUR) == 0;
}

std::once_flag g_magickStarted;

void StartMagick()
{
    std::call_once(g_magickStarted, [] {
        Magick::InitializeMagick(nullptr);
        // A layer is never larger than the checked canvas; this caps what a
        // file can make ImageMagick allocate on top of that.
        Magick::ResourceLimits::memory(uint64_t(2) << 30);
        Magick::ResourceLimits::disk(0);
    });
}

// Layer names are UTF-8 when ImageMagick found the file's Unicode name, else
// the file's 8-bit text, taken as Latin-1.
std::wstring LayerName(const std::string& text)
{
    const std::wstring decoded = platform::Utf8ToWide(text);
    if (decoded.find(L'\uFFFD') == std::wstring::npos || text.find("\xEF\xBF\xBD") != std::string::npos)
        return decoded;
    std::wstring name;
    for (unsigned char c : text)
        name += static_cast<wchar_t>(c);
    return name;
}

std::string EncodePng(Magick::Image image)
{
    image.page(Magick::Geometry(image.columns(), image.rows(), 0, 0));

    image.depth(8);
    image.magick("PNG32");
    Magick::Blob blob;
    image.write(&blob);
    return std::string(static_cast<const char*>(blob.data()), blob.length());
}

std::string EncodeThumbnail(Magick::Image image)
{
    image.page(Magick::Geometry(image.columns(), image.rows(), 0, 0));
    Magick::Geometry size(320, 180);
    size.aspect(true);
    image.resize(size);
    image.matte(false);
    image.magick("JPEG");
    image.quality(90);
    Magick::Blob blob;
    image.write(&blob);
    return std::string(static_cast<const char*>(blob.data()), blob.length());
}

bool IsHiddenLayer(const Magick::Image& image)
{
    // ImageMagick marks a layer whose visible flag is off like this.
    return image.compose() == MagickCore::NoCompositeOp;
}

}  // namespace

bool ReadPsdOutline(const std::wstring& path, PsdOutline& outline, std::string& error)
{
    FileHandle file(std::fopen(platform::WideToUtf8(path).c_str(), "rb"));
    if (!file) {
        error = "cannot be read";
        return false;
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        error = "cannot be read";
        return false;
    }
    const long end = std::ftell(file.get());
    std::rewind(file.get());
    const uint64_t fileSize = end < 0 ? 0 : static_cast<uint64_t>(end);
    if (fileSize > kMaxPsdFileBytes) {
        error = "is larger than 1 GiB";
        return false;
    }
    unsigned char header[26];
    if (!ReadBytes(file.get(), header, sizeof header) || std::string(reinterpret_cast<char*>(header), 4) != "8BPS") {
        error = "is no Photoshop file";
        return false;
    }
    const int version = (header[4] << 8) | header[5];
    if (version != 1 && version != 2) {
        error = "is a Photoshop file of an unknown version";
        return false;
    }
    outline.large = version == 2;
    outline.height = (uint32_t(header[14]) << 24) | (uint32_t(header[15]) << 16) | (uint32_t(header[16]) << 8) | header[17];
    outline.width = (uint32_t(header[18]) << 24) | (uint32_t(header[19]) << 16) | (uint32_t(header[20]) << 8) | header[21];
    if (outline.width == 0 || outline.height == 0 || outline.width > kMaxPsdSide || outline.height > kMaxPsdSide) {
        error = "has a canvas of " + std::to_string(outline.width) + " x " + std::to_string(outline.height) +
                " pixels (at most " + std::to_string(kMaxPsdSide) + " on a side)";
        return false;
    }
    const int wideLength = outline.large ? 8 : 4;
    uint64_t layerSection = 0, layerInfo = 0, count = 0;
    if (!SkipSection(file.get(), 4, fileSize) || !SkipSection(file.get(), 4, fileSize) ||
        !ReadBigEndian(file.get(), wideLength, layerSection)) {
        error = "is cut short";
        return false;
    }
    outline.layerCount = 0;
    if (layerSection == 0)
        return true;
    if (!ReadBigEndian(file.get(), wideLength, layerInfo)) {
        error = "is cut short";
        return false;
    }
    if (layerInfo == 0)
        return true;
    if (!ReadBigEndian(file.get(), 2, count)) {
        error = "is cut short";
        return false;
    }
    // A negative count means the first alpha channel holds the merged transparency.
    const int16_t signedCount = static_cast<int16_t>(count);
    outline.layerCount = signedCount < 0 ? -int(signedCount) : int(signedCount);
    if (outline.layerCount > kMaxPsdLayers) {
        error = "has " + std::to_string(outline.layerCount) + " layers (at most " + std::to_string(kMaxPsdLayers) + ")";
        return false;
    }
    return true;
}

bool ReadPsdDocument(const std::wstring& path, PsdDocument& document, std::string& error)
{
    PsdOutline outline;
    if (!ReadPsdOutline(path, outline, error))
        return false;
    StartMagick();
    std::vector<Magick::Image> images;
    try {
        try {
            Magick::readImages(&images, platform::WideToUtf8(path));
        } catch (const Magick::Warning&) {
            // Warnings (an unknown resource block, say) leave the pictures read.
        }
        if (images.empty()) {
            error = "holds no picture";
            return false;
        }
        document = PsdDocument{};
        document.width = outline.width;
        document.height = outline.height;
        document.thumbnailJpeg = EncodeThumbnail(images.front());
        // The first picture is the composite; the layers follow bottom to top.
        const size_t first = images.size() > 1 ? 1 : 0;
        if (images.size() - first > static_cast<size_t>(kMaxPsdLayers)) {
            error = "has more than " + std::to_string(kMaxPsdLayers) + " layers";
            return false;
        }
        for (size_t i = images.size(); i-- > first;) {
            Magick::Image& image = images[i];
            PsdLayer layer;
            const Magick::Geometry page = image.page();
            layer.left = static_cast<int32_t>(page.xNegative() && page.xOff() > 0 ? -page.xOff() : page.xOff());
            layer.top = static_cast<int32_t>(page.yNegative() && page.yOff() > 0 ? -page.yOff() : page.yOff());
            layer.width = static_cast<uint32_t>(image.columns());
            layer.height = static_cast<uint32_t>(image.rows());
            layer.visible = first == 0 || !IsHiddenLayer(image);
            layer.name = first == 0 ? std::wstring(L"Background") : LayerName(image.label());
            if (layer.name.empty())
                layer.name = L"Layer " + std::to_wstring(i);
            layer.png = EncodePng(image);
            document.layers.push_back(std::move(layer));
        }
    } catch (const Magick::Exception& e) {
        error = std::string("cannot be decoded: ") + e.what();
        return false;
    }
    return true;
}
