#include "UvMapImage.h"

#include <filesystem>
#include <fstream>
#include <lodepng.h>

namespace {

bool ReadFileLimited(const std::string& path, std::vector<unsigned char>& bytes, std::string& error)
{
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec)) {
        error = "the path is not a regular file";
        return false;
    }
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        error = "the file cannot be opened";
        return false;
    }
    const std::streamoff size = file.tellg();
    if (size < 0) {
        error = "the file size cannot be read";
        return false;
    }
    if (static_cast<uint64_t>(size) > kMaxUvMapFileBytes) {
        error = "the file is too large for a UV map";
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    file.seekg(0);
    if (size > 0 && !file.read(reinterpret_cast<char*>(bytes.data()), size)) {
        error = "the file cannot be read";
        return false;
    }
    return true;
}

bool SizeIsAcceptable(unsigned width, unsigned height, std::string& error)
{
    if (width == 0 || height == 0) {
        error = "the image is empty";
        return false;
    }
    if (width > kMaxUvMapSide || height > kMaxUvMapSide ||
        uint64_t(width) * height > kMaxUvMapPixels) {
        error = "the image is " + std::to_string(width) + " x " + std::to_string(height) +
                ", larger than a UV map may be";
        return false;
    }
    return true;
}

// The decoder gives 16-bit channels most significant byte first.
void BigEndianToTexels(const std::vector<unsigned char>& decoded, std::vector<uint16_t>& texels)
{
    texels.resize(decoded.size() / 2);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<uint16_t>((decoded[2 * i] << 8) | decoded[2 * i + 1]);
}

}  // namespace

bool LoadUvMapImage(const std::string& utf8Path, UvMapImage& image, std::string& error)
{
    std::vector<unsigned char> bytes;
    if (!ReadFileLimited(utf8Path, bytes, error))
        return false;

    lodepng::State state;
    unsigned width = 0;
    unsigned height = 0;
    unsigned code = lodepng_inspect(&width, &height, &state, bytes.data(), bytes.size());
    if (code) {
        error = std::string("not a PNG image (") + lodepng_error_text(code) + ")";
        return false;
    }
    if (!SizeIsAcceptable(width, height, error))
        return false;

    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 16;
    std::vector<unsigned char> decoded;
    code = lodepng::decode(decoded, width, height, state, bytes.data(), bytes.size());
    if (code) {
        error = std::string("the PNG data is damaged (") + lodepng_error_text(code) + ")";
        return false;
    }
    if (decoded.size() != size_t(width) * height * 8) {
        error = "the decoder returned an unexpected amount of data";
        return false;
    }
    BigEndianToTexels(decoded, image.texels);
    image.width = width;
    image.height = height;
    return true;
}
