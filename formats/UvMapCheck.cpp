#include "UvMapCheck.h"

#include "platform/FileUtil.h"

#include <cerrno>
#include <cstdint>
#include <lodepng.h>
#include <vector>

namespace {

// A UV map covers at most an 8K canvas with room to spare. Anything larger is
// refused before decoding, so a small file cannot make the decoder allocate
// gigabytes on the strength of its header.
constexpr uint64_t kMaxPixels = 8192ull * 8192ull;
constexpr int64_t kMaxFileBytes = 1024ll * 1024 * 1024;

constexpr unsigned kAcceptedBitsPerPixel = 64;

bool Reject(UvMapImageInfo& info, std::string reason)
{
    info.reason = std::move(reason);
    return false;
}

}  // namespace

bool CheckUvMapImage(const std::wstring& path, UvMapImageInfo* out)
{
    UvMapImageInfo local;
    UvMapImageInfo& info = out ? *out : local;
    info = UvMapImageInfo();

    // The file is read through the program's own path handling, so every
    // path the rest of the editor can open works here too.
    const int64_t size = platform::FileSize(path);
    if (size < 0)
        return Reject(info, "cannot read the file");
    if (size > kMaxFileBytes)
        return Reject(info, "the file is too large");
    const auto bytes = platform::ReadWholeFile(path);
    if (!bytes)
        return Reject(info, "cannot read the file");
    const auto* data = reinterpret_cast<const unsigned char*>(bytes->data());

    lodepng::State state;  // defaults: 8-bit RGBA output, CRCs checked
    unsigned width = 0, height = 0;
    unsigned error = lodepng_inspect(&width, &height, &state, data, bytes->size());
    if (error)
        return Reject(info, std::string("not a PNG image: ") + lodepng_error_text(error));
    const unsigned channels = state.info_png.color.colortype == LCT_RGBA ? 4 : 3;
    info.width = width;
    info.height = height;
    info.bitsPerPixel = channels * state.info_png.color.bitdepth;
    if (static_cast<uint64_t>(width) * height > kMaxPixels)
        return Reject(info, "the image is too large for a UV map");

    std::vector<unsigned char> pixels;
    error = lodepng::decode(pixels, width, height, state, data, bytes->size());
    if (error)
        return Reject(info, std::string("the PNG data is damaged: ") + lodepng_error_text(error));
    if (info.bitsPerPixel != kAcceptedBitsPerPixel)
        return Reject(info, "a UV map must be a 16-bit RGBA PNG (64 bits per pixel), this one has " +
                                std::to_string(info.bitsPerPixel));
    return true;
}
